#include "instance_composition.h"

#include "reference.h"

namespace engine {

// The library's rotation about an axis through a point.
static math::float4x4 rotation_about(Axis axis, float angle, const math::float3 &point) {
    switch (axis) {
        case Axis::x: return math::float4x4::RotateX(angle, point);
        case Axis::y: return math::float4x4::RotateY(angle, point);
        default: return math::float4x4::RotateZ(angle, point);
    }
}

// fast(next) forms the matrix after the step in next, library() gives it.
template <typename Fast, typename Library>
void InstanceComposition::step(const Fast &fast, const Library &library) {
    if (!use_reference_algorithms) {
        Rows next;
        fast(next);
        if (store_unless_nan(next, m_)) return;
    }
    m_ = library();
}

void InstanceComposition::look_at(const math::float3 &forward, const math::float3 &target,
                                  const math::float3 &local_up, const math::float3 &world_up) {
    static const float no_translation[3] = {0.0f, 0.0f, 0.0f};
    step(
        [&](Rows &next) {
            const math::float3x3 turn = engine::look_at(forward, target, local_up, world_up);
            product(m_, Affine(turn.elements, no_translation), next);
        },
        [&] { return m_ * math::float4x4::LookAt(forward, target, local_up, world_up); });
}

void InstanceComposition::rotate_from_to(const math::float3 &source, const math::float3 &target) {
    m_ = m_ * math::float4x4::RotateFromTo(source, target, pivot_);
}

void InstanceComposition::scale(const math::float3 &factors) {
    step([&](Rows &next) { product(m_, scale_about(factors, pivot_), next); },
         [&] { return m_ * math::float4x4::Scale(factors, pivot_); });
}

void InstanceComposition::translate(const math::float3 &offset) {
    step([&](Rows &next) { translated(m_, offset, next); },
         [&] { return m_ * math::float4x4::Translate(offset.x, offset.y, offset.z); });
}

void InstanceComposition::rotate(Axis axis, float angle) { rotate(axis, angle, axis_rotation(axis, angle)); }

void InstanceComposition::rotate(Axis axis, float angle, const math::float3x3 &part) {
    step([&](Rows &next) { product(m_, about_point(part, pivot_), next); },
         [&] { return m_ * rotation_about(axis, angle, pivot_); });
}

}  // namespace engine
