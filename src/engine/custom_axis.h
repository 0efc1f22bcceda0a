// The custom-axis frame: the frame in which the user's scatter axis points down.
// The engine works in that frame and turns finished positions back into the world.
#pragma once

#include "Math/Quat.h"
#include "Math/float3.h"

namespace engine {

// Shortest-arc rotation taking the direction of `from` onto the direction of `to`.
math::Quat quat_from_to(math::float3 from, math::float3 to);

// Frame-to-world rotation (fwd) or its inverse, world-to-frame.
math::Quat quat_from_z_to_axis(math::float3 axis, bool fwd);

}  // namespace engine
