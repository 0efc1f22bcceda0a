#include "preview.h"

#include <guid.h>

#include <sstream>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"

namespace engine {

std::vector<BoxEdges> preview_boxes(const std::vector<PlacedItem> &items, const std::vector<Definition> &definitions,
                                    Pace &pace) {
    std::vector<math::AABB> boxes;
    for (const Definition &d : definitions) boxes.emplace_back(d.box_min, d.box_max);
    std::vector<BoxEdges> out;
    out.reserve(items.size());
    for (const PlacedItem &item : items) {
        pace.tick();
        check_definition_index(item.definition, static_cast<int>(boxes.size()));
        const math::OBB box = boxes[item.definition].Transform(item.transform);
        BoxEdges edges;
        for (int i = 0; i < 12; ++i) edges[i] = box.Edge(i);
        out.push_back(edges);
    }
    return out;
}

std::string new_guid_text() {
    std::ostringstream text;
    text << GuidGenerator().newGuid();
    return text.str();
}

std::vector<long> points_near(const std::vector<math::float3> &points, const math::float3 &cursor) {
    std::vector<long> hits;
    for (size_t i = 0; i < points.size(); ++i) {
        const math::float3 &p = points[i];
        if (math::float3(p.x, p.y, 0.f).Distance(cursor) < kEraseRadius) hits.push_back(static_cast<long>(i));
    }
    return hits;
}

}  // namespace engine
