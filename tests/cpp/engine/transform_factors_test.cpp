// The engine's own forms of the factors of an instance transformation and of their products
// must give what the geometry library's members give, to the last bit, zeros' signs included;
// only which NaN a NaN element is may differ (the step forms those again the library's way).
#include "engine/instance_composition.h"
#include "engine/reference.h"
#include "engine/transform_factors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "odd_floats.h"

namespace {

using math::float3;
using math::float3x3;
using math::float4x4;

float4x4 matrix_of(const engine::Rows &rows) {
    float4x4 m;
    std::memcpy(m.elements, rows, sizeof m.elements);
    return m;
}

float4x4 matrix_of(const engine::Affine &x) {
    const engine::Rows rows = {x.row[0], x.row[1], x.row[2], engine::Lanes{0.0f, 0.0f, 0.0f, 1.0f}};
    return matrix_of(rows);
}

float4x4 product(const float4x4 &m, const engine::Affine &x) {
    engine::Rows rows;
    engine::product(m, x, rows);
    return matrix_of(rows);
}

float4x4 translated(const float4x4 &m, const float3 &t) {
    engine::Rows rows;
    engine::translated(m, t, rows);
    return matrix_of(rows);
}

// Angles of every kind, and ordinary ones around a few turns.
float odd_angle(std::mt19937 &rng) {
    if (std::uniform_int_distribution<int>(0, 1)(rng) == 0) return odd_floats::component(rng);
    return std::uniform_real_distribution<float>(-20.0f, 20.0f)(rng);
}

// Each form draws its inputs and gives the engine's result and the library's.
struct Form {
    const char *name;
    std::function<std::pair<float4x4, float4x4>(std::mt19937 &)> both;
};

const Form kForms[] = {
    {"product",
     [](std::mt19937 &rng) {
         const float4x4 m = odd_floats::matrix(rng);
         const float3 p = odd_floats::point(rng), axis = odd_floats::point(rng);
         const float angle = odd_angle(rng);
         const engine::Affine x = engine::about_point(float3x3::RotateAxisAngle(axis, angle), p);
         return std::make_pair(product(m, x), m * matrix_of(x));
     }},
    {"translated",
     [](std::mt19937 &rng) {
         const float4x4 m = odd_floats::matrix(rng);
         const float3 t = odd_floats::point(rng);
         return std::make_pair(translated(m, t), m * float4x4::Translate(t.x, t.y, t.z));
     }},
    {"rotation about X, Y or Z through a point",
     [](std::mt19937 &rng) {
         const float angle = odd_angle(rng);
         const float3 p = odd_floats::point(rng);
         const engine::Axis axis = static_cast<engine::Axis>(std::uniform_int_distribution<int>(0, 2)(rng));
         const float4x4 fast = matrix_of(engine::about_point(engine::axis_rotation(axis, angle), p));
         switch (axis) {
             case engine::Axis::x: return std::make_pair(fast, float4x4::RotateX(angle, p));
             case engine::Axis::y: return std::make_pair(fast, float4x4::RotateY(angle, p));
             default: return std::make_pair(fast, float4x4::RotateZ(angle, p));
         }
     }},
    {"rotation about any axis through a point",  // a 3x3 part with no zeros in it
     [](std::mt19937 &rng) {
         const float3 axis = odd_floats::point(rng);
         const float angle = odd_angle(rng);
         const float3 p = odd_floats::point(rng);
         return std::make_pair(matrix_of(engine::about_point(float3x3::RotateAxisAngle(axis, angle), p)),
                               float4x4::RotateAxisAngle(axis, angle, p));
     }},
    {"scale about a centre",
     [](std::mt19937 &rng) {
         const float3 s = odd_floats::point(rng), centre = odd_floats::point(rng);
         return std::make_pair(matrix_of(engine::scale_about(s, centre)), float4x4::Scale(s, centre));
     }},
    {"uniform scale about a centre",
     [](std::mt19937 &rng) {
         const float u = odd_floats::component(rng);
         const float3 centre = odd_floats::point(rng);
         return std::make_pair(matrix_of(engine::scale_about(float3(u, u, u), centre)),
                               float4x4::UniformScale(u, centre));
     }},
    {"look-at rotation",
     [](std::mt19937 &rng) {
         const float3 forward = odd_floats::point(rng), target = odd_floats::point(rng);
         const float3 local_up = odd_floats::point(rng), world_up = odd_floats::point(rng);
         return std::make_pair(float4x4(engine::look_at(forward, target, local_up, world_up)),
                               float4x4(float3x3::LookAt(forward, target, local_up, world_up)));
     }},
};

TEST(TransformFactors, EachFormMatchesTheLibraryOnOddValues) {
    for (const Form &form : kForms) {
        std::mt19937 rng(31);
        for (int k = 0; k < 100000; ++k) {
            const auto [fast, library] = form.both(rng);
            ASSERT_TRUE(odd_floats::same_bits_but_nans(fast, library)) << form.name << ", case " << k << "\n"
                                                              << fast << "\n" << library;
        }
    }
}

// The look-at rotation as the step uses it: local forward Z (or Y) and local up Y (or Z),
// world up Z, and targets between up and unit normals of every direction, the degenerate
// ones (straight up or down, zero, NaN) among them.
TEST(TransformFactors, TheLookAtRotationOfThePointingStep) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const float3 y(0, 1, 0), z(0, 0, 1);
    for (int k = 0; k < 100000; ++k) {
        float3 n(unit(rng), unit(rng), unit(rng));
        if (k % 7 == 0) n = odd_floats::point(rng);
        if (k % 11 == 0) n = float3(0.0f, 0.0f, k % 2 ? -1.0f : 1.0f);
        const float t = std::uniform_int_distribution<int>(0, 2)(rng) * 0.5f;
        const float3 target = z.Lerp(n.Normalized(), t);
        const bool swapped = k % 2 == 0;
        const float3 forward = swapped ? y : z, local_up = swapped ? z : y;
        ASSERT_TRUE(odd_floats::same_bits_but_nans(float4x4(engine::look_at(forward, target, local_up, z)),
                                                   float4x4(float3x3::LookAt(forward, target, local_up, z))))
            << "target " << target;
    }
}

// Each step of an instance transformation, from odd matrices with odd factors: the engine's
// composition gives the reference's bits, NaNs included, since a step whose result holds a
// NaN is formed again the library's way.
TEST(InstanceComposition, EachStepGivesTheReferenceBitsOnOddValues) {
    using Step = std::function<void(engine::InstanceComposition &)>;
    std::mt19937 rng(17);
    for (int k = 0; k < 100000; ++k) {
        const float4x4 start = odd_floats::matrix(rng);
        const float3 pivot = odd_floats::point(rng), v = odd_floats::point(rng), w = odd_floats::point(rng);
        const float angle = odd_angle(rng);
        const Step steps[] = {
            [&](engine::InstanceComposition &m) { m.scale(v); },
            [&](engine::InstanceComposition &m) { m.translate(v); },
            [&](engine::InstanceComposition &m) { m.rotate(engine::Axis::x, angle); },
            [&](engine::InstanceComposition &m) { m.rotate(engine::Axis::y, angle); },
            [&](engine::InstanceComposition &m) { m.rotate(engine::Axis::z, angle); },
            [&](engine::InstanceComposition &m) { m.look_at(float3(0, 0, 1), v, w, float3(0, 0, 1)); },
            [&](engine::InstanceComposition &m) { m.look_at(v, w, pivot, angle < 0 ? float3(0, 0, 1) : v); },
        };
        const Step &step = steps[k % (sizeof steps / sizeof steps[0])];
        auto after = [&](bool reference) {
            engine::use_reference_algorithms = reference;
            engine::InstanceComposition m(start, pivot);
            step(m);
            engine::use_reference_algorithms = false;
            return m.matrix();
        };
        const float4x4 fast = after(false), reference = after(true);
        ASSERT_TRUE(odd_floats::same_bits(fast, reference)) << "step " << k % 7 << ", case " << k << "\n"
                                                            << fast << "\n" << reference;
    }
}

}  // namespace
