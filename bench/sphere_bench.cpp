// Enclosing spheres of point sets: the support-set search (OptimalEnclosingSphere) and the
// quick sphere (FastEnclosingSphere) beside CGAL's minimal sphere on the same points. After
// the timings, one line per set gives the radii relative to CGAL's and the search's restarts.
#include <CGAL/Min_sphere_of_spheres_d.h>
#include <CGAL/Min_sphere_of_spheres_d_traits_3.h>
#include <CGAL/Simple_cartesian.h>

#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "Geometry/Sphere.h"
#include "side_by_side.h"

namespace {

using K = CGAL::Simple_cartesian<double>;
using Traits = CGAL::Min_sphere_of_spheres_d_traits_3<K, double>;

// Points uniform in a ball of radius 100, so that many lie near the enclosing surface.
const std::vector<math::float3> &Points(int count) {
    static std::map<int, std::vector<math::float3>> sets;
    std::vector<math::float3> &points = sets[count];
    if (points.empty()) {
        std::mt19937 engine(static_cast<unsigned>(count));
        std::uniform_real_distribution<float> unit(-1.f, 1.f);
        while (static_cast<int>(points.size()) < count) {
            const float x = unit(engine), y = unit(engine), z = unit(engine);
            const math::float3 p(x, y, z);
            if (p.LengthSq() <= 1.f) points.push_back(p * 100.f);
        }
    }
    return points;
}

double CgalRadius(const std::vector<math::float3> &points) {
    std::vector<Traits::Sphere> balls;
    balls.reserve(points.size());
    for (const math::float3 &p : points) balls.emplace_back(K::Point_3(p.x, p.y, p.z), 0.0);
    CGAL::Min_sphere_of_spheres_d<Traits> ms(balls.begin(), balls.end());
    return ms.radius();
}

void Optimal(benchmark::State &state) {
    const std::vector<math::float3> &points = Points(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(math::Sphere::OptimalEnclosingSphere(points.data(), static_cast<int>(points.size())));
}

void Fast(benchmark::State &state) {
    const std::vector<math::float3> &points = Points(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(math::Sphere::FastEnclosingSphere(points.data(), static_cast<int>(points.size())));
}

// CGAL's timing includes building its input balls from the points, as a caller would.
void Cgal(benchmark::State &state) {
    const std::vector<math::float3> &points = Points(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(CgalRadius(points));
}

void PrintQuality() {
    std::printf("\n%-8s %12s %14s %14s %9s\n", "points", "CGAL radius", "optimal/CGAL", "fast/CGAL", "restarts");
    for (int count = 1000; count <= 100000; count *= 10) {
        const std::vector<math::float3> &points = Points(count);
        int restarts = 0;
        const math::Sphere optimal = math::detail::OptimalEnclosingSphere(points.data(), count, restarts);
        const math::Sphere fast = math::Sphere::FastEnclosingSphere(points.data(), count);
        const double minimal = CgalRadius(points);
        std::printf("%-8d %12.5f %14.7f %14.7f %9d\n", count, minimal, optimal.r / minimal, fast.r / minimal, restarts);
    }
}

}  // namespace

BENCHMARK(Optimal)->Name("vandrel/OptimalEnclosingSphere")->RangeMultiplier(10)->Range(1000, 100000);
BENCHMARK(Cgal)->Name("cgal/OptimalEnclosingSphere")->RangeMultiplier(10)->Range(1000, 100000);
BENCHMARK(Fast)->Name("vandrel/FastEnclosingSphere")->RangeMultiplier(10)->Range(1000, 100000);
BENCHMARK(Cgal)->Name("cgal/FastEnclosingSphere")->RangeMultiplier(10)->Range(1000, 100000);

int main(int argc, char **argv) {
    const int result = bench::RunSideBySide(argc, argv);
    PrintQuality();
    return result;
}
