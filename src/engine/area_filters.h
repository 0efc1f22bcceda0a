// The area filters: records kept by where they lie in plan view against the outlines given
// in the call (curves, painted areas) or against the stored object footprints, each kept
// record carrying its distance to the nearest boundary measured.
#pragma once

#include <vector>

#include "Math/Quat.h"
#include "Math/float3.h"
#include "pace.h"
#include "records.h"
#include "scene.h"

namespace engine {

enum class AreaMode { curves = 1, inside = 2, outside = 3, other };

struct AreaSettings {
    AreaMode mode;
    bool distances;  // measure the distance to the nearest outline
    bool rotate;     // outlines into the custom-axis frame
    math::Quat to_frame;
    int seed;
};

// One entry of the curve list: for curves, the ends of each segment in turn (two points per
// segment); for areas, the ring's points, closed back to the first.
using OutlinePoints = std::vector<math::float3>;

// The filters keep records with, where it changes, the distance they take.
// Records (their positions and distances) kept by the outlines, in input order.
Prompted<std::vector<Kept>> area_filter(const std::vector<PointRecord> &records,
                                          const std::vector<OutlinePoints> &outlines, const AreaSettings &settings,
                                          TimeLimitPrompt &prompt);

// Records (their positions and distances) kept clear of the stored footprints.
Prompted<std::vector<Kept>> object_area_filter(const ObjectAreas &areas, const std::vector<PointRecord> &records,
                                                 TimeLimitPrompt &prompt);

}  // namespace engine
