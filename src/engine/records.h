// The engine's records: what the binding reads from the caller's point records and
// definition records, as plain values with named fields. A step fills in only the fields
// it uses; the others keep their defaults.
#pragma once

#include "Math/float3.h"

namespace engine {

// A point record: where it lies, its normal, its uniform and per-axis scale, its seed, its
// definition (-1 for none), its distance to the nearest boundary (-1 for none measured) and
// its heading.
struct PointRecord {
    math::float3 position{0.0f, 0.0f, 0.0f};
    math::float3 normal{0.0f, 0.0f, 1.0f};
    double scale = 1.0;
    int seed = 0;
    int definition = -1;
    float distance = -1.0f;
    math::float3 axis_scale{1.0f, 1.0f, 1.0f};
    float heading = 0.0f;  // rotation about the local Z axis, radians
};

// A point as a generator makes it.
struct GeneratedPoint {
    math::float3 position;
    math::float3 normal;
    float heading;
};

// A record a step keeps: its place in the input and, when `changed`, the new value of the
// one slot the step sets in the kept copy.
struct Kept {
    int index;
    bool changed;
    float value;
};

// A definition record: its weight in the dealing, its scale percentage, whether its origin
// is the centre of its box, and its box.
struct Definition {
    float weight = 0.0f;
    double scale_percent = 100.0;
    bool centred = false;
    math::float3 box_min{0.0f, 0.0f, 0.0f};
    math::float3 box_max{0.0f, 0.0f, 0.0f};
};

// IndexError unless 0 <= index < count: the per-definition tables must never be read
// past their end.
void check_definition_index(int index, int count);

}  // namespace engine
