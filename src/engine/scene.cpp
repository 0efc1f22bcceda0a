#include "scene.h"

namespace engine {

namespace {

// Running x and y bounds over the vertices of one face; a NaN coordinate never replaces one.
struct Bounds2D {
    float minx = 0, maxx = 0, miny = 0, maxy = 0;

    void start(const math::float3 &p) {
        minx = maxx = p.x;
        miny = maxy = p.y;
    }
    void extend(const math::float3 &p) {
        if (p.x < minx) minx = p.x;
        if (p.x > maxx) maxx = p.x;
        if (p.y < miny) miny = p.y;
        if (p.y > maxy) maxy = p.y;
    }
    math::AABB2D record() const {
        math::AABB2D box;
        box.minCorner = math::float2(minx, miny);
        box.maxCorner = math::float2(maxx, maxy);
        return box;
    }
};

std::shared_ptr<const Scene> &scene_slot() {
    static std::shared_ptr<const Scene> scene = std::make_shared<const Scene>(Scene{
        SceneKind::none, std::make_shared<const Surface>(std::vector<std::vector<math::float3>>{}, false, math::Quat::identity),
        std::make_shared<const Curves>(), std::make_shared<const ObjectAreas>(std::vector<std::vector<std::vector<math::float3>>>{})});
    return scene;
}

void install(Scene scene) { scene_slot() = std::make_shared<const Scene>(std::move(scene)); }

}  // namespace

Surface::Surface(std::vector<std::vector<math::float3>> vertices, bool rotate, const math::Quat &q)
    : faces_(vertices.size()), face_bounds_(vertices.size()), bounds_(math::float3(0, 0, 0), math::float3(0, 0, 0)) {
    bounds_.SetNegativeInfinity();
    Bounds2D bounds;  // carries over from face to face: an empty face keeps the previous bounds
    for (size_t i = 0; i < vertices.size(); ++i) {
        std::vector<math::float3> &face = vertices[i];
        for (size_t j = 0; j < face.size(); ++j) {
            if (rotate) face[j] = q.Transform(face[j]);
            if (j == 0) bounds.start(face[j]);
            else bounds.extend(face[j]);
        }
        faces_[i].vertices = std::move(face);
        bounds_.Enclose(faces_[i]);
        face_bounds_[i] = bounds.record();
    }
}

const ProjectionIndex &Surface::projection_index() const {
    if (!projection_index_) projection_index_ = std::make_shared<const ProjectionIndex>(faces_, face_bounds_);
    return *projection_index_;
}

std::shared_ptr<const Curves> make_curves(const std::vector<std::vector<math::float3>> &points) {
    auto curves = std::make_shared<Curves>(points.size());
    for (size_t i = 0; i < points.size(); ++i)  // a curve of fewer than two points has no segments
        for (size_t j = 1; j < points[i].size(); ++j) (*curves)[i].emplace_back(points[i][j - 1], points[i][j]);
    return curves;
}

ObjectAreas::ObjectAreas(std::vector<std::vector<std::vector<math::float3>>> outlines) : objects_(outlines.size()) {
    for (size_t i = 0; i < outlines.size(); ++i) {
        for (std::vector<math::float3> &outline : outlines[i]) {
            for (math::float3 &v : outline) v.z = 0.0f;
            objects_[i].emplace_back();
            objects_[i].back().vertices = std::move(outline);
        }
    }
}

const FootprintIndex &ObjectAreas::index(Pace &pace) const {
    if (!index_) index_ = std::make_shared<const FootprintIndex>(objects_, pace);
    return *index_;
}

std::shared_ptr<const Scene> current_scene() { return scene_slot(); }

void install_surface(std::shared_ptr<const Surface> surface) {
    const Scene &now = *scene_slot();
    install({SceneKind::surface, std::move(surface), now.curves, now.object_areas});
}

void install_curves(std::shared_ptr<const Curves> curves) {
    const Scene &now = *scene_slot();
    install({SceneKind::curve, now.surface, std::move(curves), now.object_areas});
}

void install_object_areas(std::shared_ptr<const ObjectAreas> areas) {
    const Scene &now = *scene_slot();
    install({now.kind, now.surface, now.curves, std::move(areas)});
}

}  // namespace engine
