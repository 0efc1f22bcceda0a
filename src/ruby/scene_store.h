// The scene as a module function holds it for the length of a call: the engine's scene and
// the face normals exactly as Ruby passed them.
#pragma once

#include <ruby.h>

#include <memory>

#include "engine/scene.h"

namespace binding {

struct HeldScene {
    std::shared_ptr<const engine::Scene> scene;
    VALUE normals;  // one per face of scene->surface; held by the caller's stack
};

HeldScene hold_scene();

}  // namespace binding
