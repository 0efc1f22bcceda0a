// Scaling the point records and turning them into instance transformations.
#pragma once

#include <string>
#include <vector>

#include "Math/float4x4.h"
#include "pace.h"
#include "records.h"

namespace engine {

// A random value between lo and lo + width: (float)(rand() / 2147483647.0) * width + lo.
struct DrawRange {
    float lo = 0.0f, width = 0.0f;

    static DrawRange of(double low, double high);
    static DrawRange percent(double low, double high);
    float value(int raw) const;
    float draw() const;
};

// Bounds read in order: x low, x high, y low, y high, z low, z high.
struct Bounds6 {
    double bound[6];
};

// [randomise, axis mode, x low %, x high %, y low %, y high %, z low %, z high %]
struct ScaleSettings {
    bool randomise = false;
    std::string mode;
    DrawRange x, y, z;

    ScaleSettings() = default;
    ScaleSettings(bool randomise, std::string mode, const Bounds6 &percent);

    // The per-axis factors: one draw shared by all axes ("xyz"), one for x and y and one
    // for z ("xy"), or one per axis, drawn x, y, z.
    math::float3 draw() const;
};

// A record's new scales: the uniform one only for a record with a definition.
struct Scaled {
    bool rescaled;
    float scale;
    math::float3 axis_scale;
};

// Each record with a definition takes its definition's scale percentage and, when asked,
// random per-axis factors drawn after seeding with its seed.
std::vector<Scaled> scale_records(const std::vector<PointRecord> &records, const std::vector<Definition> &definitions,
                                  const ScaleSettings &settings, Pace &pace);

// [on, x low, x high, y low, y high, z low, z high]
struct TransformRange {
    bool on = false;
    DrawRange x, y, z;

    TransformRange() = default;
    TransformRange(bool on, const Bounds6 &bounds);
    // Three numbers are drawn first, then turned into the x, y and z values.
    math::float3 draw() const;
};

struct TransformSettings {
    bool scale;  // apply the records' axis scales
    TransformRange rotation, translation;
    float pointing;  // percent
    bool swap_yz, mirror, vmirror, quarter_turns;
};

struct Placement {
    math::float4x4 transform;
    int definition;
};

// The translation to a record's position times the inverse of the translation to its pivot,
// the first factor of an instance transformation whose origin is the box's. The two ways to
// form it, with identical results: the product of the two matrices (the reference) and the
// translation it comes to.
math::float4x4 position_less_pivot_by_product(const math::float3 &pos, const math::float3 &pivot);
math::float4x4 position_less_pivot(const math::float3 &pos, const math::float3 &pivot);

// The transformation of every record with a definition, in order.
std::vector<Placement> random_transforms(const std::vector<PointRecord> &records,
                                         const std::vector<Definition> &definitions, const TransformSettings &settings,
                                         Pace &pace);

}  // namespace engine
