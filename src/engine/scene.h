// The scene the steps work on: the faces, the curves and the object footprints that the
// loaders stored last, with the indexes over them. A scene is a value that never changes
// once built: a loader builds the part it loads in full and then swaps in a new scene
// holding it, so a step that holds the scene it began with works on that scene throughout,
// whatever loads run meanwhile, and a load that fails leaves the scene as it was.
#pragma once

#include <memory>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"
#include "Math/Quat.h"
#include "footprint_index.h"
#include "projection_index.h"

namespace engine {

// The faces, in the custom-axis frame.
class Surface {
public:
    // vertices: per face, as given; turned into the frame by q when rotate is on.
    Surface(std::vector<std::vector<math::float3>> vertices, bool rotate, const math::Quat &q);

    const std::vector<math::Polygon> &faces() const { return faces_; }
    const std::vector<math::AABB2D> &face_bounds() const { return face_bounds_; }  // x and y of each face
    const math::AABB &bounds() const { return bounds_; }  // around all vertices; negative infinity for none
    const ProjectionIndex &projection_index() const;       // made at its first use

private:
    std::vector<math::Polygon> faces_;
    std::vector<math::AABB2D> face_bounds_;
    math::AABB bounds_;
    mutable std::shared_ptr<const ProjectionIndex> projection_index_;
};

// Per curve, its segments: consecutive points joined.
using Curves = std::vector<std::vector<math::LineSegment>>;
std::shared_ptr<const Curves> make_curves(const std::vector<std::vector<math::float3>> &points);

// Per object, its footprints at z = 0.
class ObjectAreas {
public:
    explicit ObjectAreas(std::vector<std::vector<std::vector<math::float3>>> outlines);
    const std::vector<std::vector<math::Polygon>> &objects() const { return objects_; }
    const FootprintIndex &index(Pace &pace) const;  // made at its first use, ticking pace

private:
    std::vector<std::vector<math::Polygon>> objects_;
    mutable std::shared_ptr<const FootprintIndex> index_;
};

enum class SceneKind { none, surface, curve };

struct Scene {
    SceneKind kind = SceneKind::none;  // which load came last: the surface or the curves
    std::shared_ptr<const Surface> surface;
    std::shared_ptr<const Curves> curves;
    std::shared_ptr<const ObjectAreas> object_areas;
};

// The scene as it stands; never null, and never changed while a step holds it.
std::shared_ptr<const Scene> current_scene();

// Each swaps in a scene with the given part replacing its own.
void install_surface(std::shared_ptr<const Surface> surface);
void install_curves(std::shared_ptr<const Curves> curves);
void install_object_areas(std::shared_ptr<const ObjectAreas> areas);

}  // namespace engine
