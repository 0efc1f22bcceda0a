// Preview boxes of placed instances, GUIDs, and the erase tool's search.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Geometry/LineSegment.h"
#include "Math/float4x4.h"
#include "pace.h"
#include "records.h"

namespace engine {

struct PlacedItem {
    math::float4x4 transform;
    int definition;
};

using BoxEdges = std::array<math::LineSegment, 12>;

// Each item's definition box under its transformation (its scale from column 0), as the 12
// edges in the box's edge order.
std::vector<BoxEdges> preview_boxes(const std::vector<PlacedItem> &items, const std::vector<Definition> &definitions,
                                    Pace &pace);

// 36 characters: 16 random bytes as lower-case hexadecimal, grouped 8-4-4-4-12.
std::string new_guid_text();

// More GUIDs than this in one call are refused, as the generators refuse more points.
constexpr long kMaxGuids = 16777216;  // 2^24

// The erase tool's reach around the cursor, in plan view.
constexpr float kEraseRadius = 8.0f;

// Indices of the points whose plan-view position lies within the erase radius of the cursor.
std::vector<long> points_near(const std::vector<math::float3> &points, const math::float3 &cursor);

}  // namespace engine
