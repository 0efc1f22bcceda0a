// An instance transformation as it is built: a start (the translation to the record's
// position, less its pivot) times each factor in turn, multiplied in on the right.
//
// The reference (`use_reference_algorithms`) forms every factor and product with the geometry
// library's members. Otherwise a step goes through the engine's own forms
// (transform_factors.h), which give the library's bits whenever the result holds no NaN; a
// step whose result may hold one is formed again the library's way, so that every step, and so
// the whole transformation, is the reference's to the last bit.
#pragma once

#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float4x4.h"
#include "transform_factors.h"

namespace engine {

class InstanceComposition {
public:
    InstanceComposition(const math::float4x4 &start, const math::float3 &pivot) : m_(start), pivot_(pivot) {}

    const math::float4x4 &matrix() const { return m_; }

    // LookAt(forward, target, local_up, world_up), which turns about the origin, not the pivot.
    void look_at(const math::float3 &forward, const math::float3 &target, const math::float3 &local_up,
                 const math::float3 &world_up);
    // RotateFromTo about the pivot: a rare step, always the library's.
    void rotate_from_to(const math::float3 &source, const math::float3 &target);
    void scale(const math::float3 &factors);  // about the pivot
    void translate(const math::float3 &offset);
    void rotate(Axis axis, float angle);  // about the pivot
    // The same with the rotation's 3x3 part formed already, axis_rotation(axis, angle).
    void rotate(Axis axis, float angle, const math::float3x3 &part);

private:
    template <typename Fast, typename Library>
    void step(const Fast &fast, const Library &library);

    math::float4x4 m_;
    math::float3 pivot_;
};

}  // namespace engine
