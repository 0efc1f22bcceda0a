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

// fast() and library() each give the matrix after the step.
template <typename Fast, typename Library>
void InstanceComposition::step(const Fast &fast, const Library &library) {
    if (!use_reference_algorithms) {
        const math::float4x4 next = fast();
        if (!may_hold_nan(next)) {
            m_ = next;
            return;
        }
    }
    m_ = library();
}

void InstanceComposition::look_at(const math::float3 &forward, const math::float3 &target,
                                  const math::float3 &local_up, const math::float3 &world_up) {
    static const float no_translation[3] = {0.0f, 0.0f, 0.0f};
    step(
        [&] {
            const math::float3x3 turn = engine::look_at(forward, target, local_up, world_up);
            return product(m_, Affine(turn.elements, no_translation));
        },
        [&] { return m_ * math::float4x4::LookAt(forward, target, local_up, world_up); });
}

void InstanceComposition::rotate_from_to(const math::float3 &source, const math::float3 &target) {
    m_ = m_ * math::float4x4::RotateFromTo(source, target, pivot_);
}

void InstanceComposition::scale(const math::float3 &factors) {
    step([&] { return product(m_, scale_about(factors, pivot_)); },
         [&] { return m_ * math::float4x4::Scale(factors, pivot_); });
}

void InstanceComposition::translate(const math::float3 &offset) {
    step([&] { return translated(m_, offset); },
         [&] { return m_ * math::float4x4::Translate(offset.x, offset.y, offset.z); });
}

void InstanceComposition::rotate(Axis axis, float angle) { rotate(axis, angle, axis_rotation(axis, angle)); }

void InstanceComposition::rotate(Axis axis, float angle, const math::float3x3 &part) {
    step([&] { return product(m_, about_point(part, pivot_)); },
         [&] { return m_ * rotation_about(axis, angle, pivot_); });
}

}  // namespace engine
