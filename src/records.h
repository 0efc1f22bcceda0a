// Builders of the Ruby values that the engine returns. They make Ruby objects without
// protection, so they are called inside a protect block.
#pragma once

#include <ruby.h>

#include <vector>

#include "Math/float3.h"

namespace engine {

// A point as a generator makes it: where it lies, its normal and its heading.
struct GeneratedPoint {
    math::float3 position;
    math::float3 normal;
    float heading;  // rotation about the local Z axis, radians
};

// [position, normal, 1.0, nil, nil, nil, nil, heading]
VALUE new_point_record(VALUE position, VALUE normal, float heading);

// Appends to result a new Array holding the record's elements (shared, not duplicated) and
// returns it: a step changes its copies and leaves the given records as they are.
VALUE append_copy(VALUE result, VALUE record);

// Point records of the generated points, or bare Points of their positions.
VALUE build_point_records(const std::vector<GeneratedPoint> &points);
VALUE build_points(const std::vector<math::float3> &points);

}  // namespace engine
