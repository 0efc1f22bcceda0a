// The enclosing spheres and the fits against CGAL: the minimal sphere of points in double
// precision and the exact circumcentres.
#include <gtest/gtest.h>

#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Min_sphere_of_spheres_d.h>
#include <CGAL/Min_sphere_of_spheres_d_traits_3.h>
#include <CGAL/Simple_cartesian.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "Geometry/Sphere.h"
#include "Geometry/geometry_oracle.h"

using math::float3;
using math::Sphere;
using oracle::D3;

namespace {

struct Ball {
    D3 centre;
    double r;
};

Ball CgalMinimalSphere(const std::vector<float3> &points) {
    using K = CGAL::Simple_cartesian<double>;
    using Traits = CGAL::Min_sphere_of_spheres_d_traits_3<K, double>;
    std::vector<Traits::Sphere> balls;
    for (const float3 &p : points) balls.emplace_back(K::Point_3(p.x, p.y, p.z), 0.0);
    CGAL::Min_sphere_of_spheres_d<Traits> ms(balls.begin(), balls.end());
    auto c = ms.center_cartesian_begin();
    const double x = *c++;
    const double y = *c++;
    const double z = *c;
    return {D3(x, y, z), ms.radius()};
}

using Exact = CGAL::Exact_predicates_exact_constructions_kernel;
Exact::Point_3 ExactPoint(const float3 &p) { return Exact::Point_3(p.x, p.y, p.z); }
D3 ToD3(const Exact::Point_3 &p) { return D3(CGAL::to_double(p.x()), CGAL::to_double(p.y()), CGAL::to_double(p.z())); }

enum class Shape { Cube, SphereSurface, Cluster, FlatDisc, NearLine, GridWithDuplicates, TwoClusters };

std::vector<float3> MakeSet(Shape shape, int count, uint32_t seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> unit(-1.f, 1.f);
    std::normal_distribution<float> normal(0.f, 1.f);
    std::uniform_int_distribution<int> cell(-3, 3);
    std::vector<float3> points;
    for (int i = 0; i < count; ++i) {
        const float x = unit(engine), y = unit(engine), z = unit(engine);
        switch (shape) {
            case Shape::Cube: points.push_back(float3(x, y, z) * 10.f); break;
            case Shape::SphereSurface: {
                const float3 d(normal(engine), normal(engine), normal(engine));
                points.push_back(d.Normalized() * 8.f + float3(3, -2, 1));
                break;
            }
            case Shape::Cluster: points.push_back(float3(normal(engine), normal(engine), normal(engine)) * 3.f); break;
            case Shape::FlatDisc: points.push_back(float3(x * 10.f, y * 10.f, 5.f)); break;
            case Shape::NearLine: points.push_back(float3(x * 10.f, y * 0.01f, z * 0.01f)); break;
            case Shape::GridWithDuplicates: points.push_back(float3(cell(engine), cell(engine), cell(engine)) * 2.f); break;
            case Shape::TwoClusters:
                points.push_back(float3(x, y, z) + float3(i % 2 ? 9.f : -9.f, 0.f, 0.f));
                break;
        }
    }
    return points;
}

}  // namespace

TEST(SphereEnclosingCgal, OptimalAndFastAgainstTheMinimalSphere) {
    const Shape shapes[] = {Shape::Cube,     Shape::SphereSurface,      Shape::Cluster,    Shape::FlatDisc,
                            Shape::NearLine, Shape::GridWithDuplicates, Shape::TwoClusters};
    const int counts[] = {5, 6, 9, 20, 60, 250, 2000};
    int maxRestarts = 0;
    double worstExcess = 0;
    for (const Shape shape : shapes) {
        for (const int count : counts) {
            for (uint32_t seed = 1; seed <= 4; ++seed) {
                const std::vector<float3> points = MakeSet(shape, count, seed * 7919u + count);
                const Ball minimal = CgalMinimalSphere(points);
                const double size = std::max(minimal.r, 1.0);
                int restarts = 0;
                const Sphere optimal = math::detail::OptimalEnclosingSphere(points.data(), count, restarts);
                const Sphere fast = Sphere::FastEnclosingSphere(points.data(), count);
                ASSERT_TRUE(optimal.BitEquals(Sphere::OptimalEnclosingSphere(points.data(), count)));
                maxRestarts = std::max(maxRestarts, restarts);
                for (int i = 0; i < count; ++i) {
                    ASSERT_TRUE(optimal.Contains(points[i]))
                        << "optimal, shape " << int(shape) << ", " << count << " points, seed " << seed << ", point " << i;
                    ASSERT_TRUE(fast.Contains(points[i]))
                        << "fast, shape " << int(shape) << ", " << count << " points, seed " << seed << ", point " << i;
                }
                EXPECT_LE(optimal.r, minimal.r + 3e-4 * size)
                    << "shape " << int(shape) << ", " << count << " points, seed " << seed;
                EXPECT_GE(fast.r, minimal.r * (1 - 1e-6));
                worstExcess = std::max(worstExcess, (optimal.r - minimal.r) / size);
            }
        }
    }
    EXPECT_LT(maxRestarts, 200);
    RecordProperty("max_restarts", maxRestarts);
    RecordProperty("worst_relative_excess", std::to_string(worstExcess));
}

TEST(SphereEnclosingCgal, FitsAgreeWithExactCircumcentres) {
    std::mt19937 engine(99);
    std::uniform_real_distribution<float> coordinate(-10.f, 10.f);
    const auto point = [&] {
        const float x = coordinate(engine);
        const float y = coordinate(engine);
        const float z = coordinate(engine);
        return float3(x, y, z);
    };
    int checked3 = 0, checked4 = 0;
    for (int i = 0; i < 300; ++i) {
        const float3 a = point(), b = point(), c = point(), d = point();
        // Well-shaped inputs only: the circumcentre of a sliver is ill-conditioned in any precision.
        const D3 ab = D3(b) - D3(a), ac = D3(c) - D3(a), ad = D3(d) - D3(a);
        const double area = oracle::Length(oracle::Cross(ab, ac));
        if (area > 0.3 * oracle::Length(ab) * oracle::Length(ac)) {
            const D3 exact = ToD3(CGAL::circumcenter(ExactPoint(a), ExactPoint(b), ExactPoint(c)));
            const Sphere fit = Sphere::FitThroughPoints(a, b, c);
            const double r = oracle::Distance(exact, D3(a));
            EXPECT_TRUE(oracle::Near(fit.pos, exact, 1e-4 * r)) << i;
            EXPECT_NEAR(fit.r, r, 1e-4 * r) << i;
            ++checked3;
        }
        const double volume = std::fabs(oracle::Dot(ab, oracle::Cross(ac, ad)));
        if (volume > 0.2 * oracle::Length(ab) * oracle::Length(ac) * oracle::Length(ad)) {
            const D3 exact = ToD3(CGAL::circumcenter(ExactPoint(a), ExactPoint(b), ExactPoint(c), ExactPoint(d)));
            const Sphere fit = Sphere::FitThroughPoints(a, b, c, d);
            const double r = oracle::Distance(exact, D3(a));
            EXPECT_TRUE(oracle::Near(fit.pos, exact, 1e-4 * r)) << i;
            EXPECT_NEAR(fit.r, r, 1e-4 * r) << i;
            ++checked4;
        }
    }
    EXPECT_GT(checked3, 100);
    EXPECT_GT(checked4, 50);
}
