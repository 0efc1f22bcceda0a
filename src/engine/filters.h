// Filters that thin point records by their boundary distance, their height or their slope,
// and shrink the survivors in soft bands.
#pragma once

#include <vector>

#include "pace.h"
#include "records.h"

namespace engine {

// The filters keep records with, where they rescale them, the uniform scale they take.
enum class BoundaryMode { distance, size, other };

struct BoundarySettings {
    BoundaryMode mode;
    float distance;
    float percent;  // of each definition's footprint, in mode size
};

// Keeps the records without a distance and those far enough from the boundary: beyond the
// distance, or beyond their footprint's reach in mode size. Each record's distance is read;
// its scale, axis scale and definition only where it has a distance.
std::vector<Kept> boundary_check(const std::vector<PointRecord> &records, const BoundarySettings &settings,
                                 const std::vector<Definition> &definitions, Pace &pace);

// [on, inverse, distance, percent] of one falloff.
struct FalloffSettings {
    bool on;
    bool inverse;
    float distance;
    float percent;
};

// Thins by distance (one draw per record, after seeding with its seed) and shrinks by it.
std::vector<Kept> area_falloff(const std::vector<PointRecord> &records, const FalloffSettings &density,
                               const FalloffSettings &scale, Pace &pace);

// A range [lo, hi] with soft bands of width soft_lo above lo and soft_hi below hi.
struct Range {
    float lo, hi, soft_lo, soft_hi;
};

enum class RangeOf { altitude, slope };

struct RangeSettings {
    RangeOf of;    // the height of the position, or the angle of the normal from world up (radians)
    Range range;   // in the tested value's unit
    bool thin;     // drop by chance in the soft bands
    bool scale;    // shrink in the soft bands
    int seed;
};

std::vector<Kept> range_filter(const std::vector<PointRecord> &records, const RangeSettings &settings, Pace &pace);

// Degrees to radians, as the slope filter takes its range.
Range in_radians(const Range &degrees);

}  // namespace engine
