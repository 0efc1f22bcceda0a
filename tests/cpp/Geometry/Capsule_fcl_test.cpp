// Capsule verdicts and distances beside FCL's, on random pairs at three scales. FCL works in
// double on the same float inputs, so its answers serve as the reference.
#include <gtest/gtest.h>

#include <fcl/fcl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "Geometry/AABB.h"
#include "Geometry/Capsule.h"
#include "Geometry/OBB.h"
#include "Geometry/Sphere.h"
#include "Math/float3.h"

namespace {

using math::Capsule;
using math::float3;
using math::OBB;
using math::Sphere;

using Geometry = std::shared_ptr<fcl::CollisionGeometryd>;

Eigen::Vector3d ToEigen(const float3 &v) { return Eigen::Vector3d(v.x, v.y, v.z); }

class RandomShapes {
public:
    RandomShapes(unsigned seed, float scale) : rng_(seed), scale_(scale) {}

    float3 Point() { return float3(Coordinate(), Coordinate(), Coordinate()); }
    float Size() { return std::uniform_real_distribution<float>(0.05f, 0.6f)(rng_) * scale_; }

    Capsule NextCapsule() {
        const float3 a = Point();
        return Capsule(a, a + Point() * 0.5f, Size());
    }

    Sphere NextSphere() { return Sphere(Point(), Size()); }

    OBB NextBox() {
        std::normal_distribution<double> normal;
        Eigen::Quaterniond q(normal(rng_), normal(rng_), normal(rng_), normal(rng_));
        q.normalize();
        const Eigen::Matrix3d m = q.toRotationMatrix();
        float3 axes[3];
        for (int i = 0; i < 3; ++i) axes[i] = float3(float(m(0, i)), float(m(1, i)), float(m(2, i)));
        return OBB(Point(), float3(Size(), Size(), Size()), axes[0], axes[1], axes[2]);
    }

private:
    float Coordinate() { return std::uniform_real_distribution<float>(-1.f, 1.f)(rng_) * scale_; }

    std::mt19937 rng_;
    float scale_;
};

// FCL's capsule lies along z about its centre.
fcl::CollisionObjectd FclObject(const Capsule &c, double radiusChange = 0.) {
    const Eigen::Vector3d a = ToEigen(c.axis.a);
    const Eigen::Vector3d b = ToEigen(c.axis.b);
    fcl::Transform3d pose = fcl::Transform3d::Identity();
    pose.translation() = (a + b) * 0.5;
    pose.linear() = Eigen::Quaterniond::FromTwoVectors(Eigen::Vector3d::UnitZ(), b - a).toRotationMatrix();
    return fcl::CollisionObjectd(std::make_shared<fcl::Capsuled>(double(c.r) + radiusChange, (b - a).norm()), pose);
}

fcl::CollisionObjectd FclObject(const Sphere &s) {
    fcl::Transform3d pose = fcl::Transform3d::Identity();
    pose.translation() = ToEigen(s.pos);
    return fcl::CollisionObjectd(std::make_shared<fcl::Sphered>(s.r), pose);
}

fcl::CollisionObjectd FclObject(const OBB &box) {
    fcl::Transform3d pose = fcl::Transform3d::Identity();
    pose.translation() = ToEigen(box.pos);
    for (int i = 0; i < 3; ++i) pose.linear().col(i) = ToEigen(box.axis[i]);
    const Eigen::Vector3d size = ToEigen(box.halfSize) * 2.;
    return fcl::CollisionObjectd(std::make_shared<fcl::Boxd>(size), pose);
}

template <typename Shape>
bool FclCollide(const Capsule &c, const Shape &other, double radiusChange = 0.) {
    const fcl::CollisionObjectd o1 = FclObject(c, radiusChange);
    const fcl::CollisionObjectd o2 = FclObject(other);
    fcl::CollisionRequestd request;
    fcl::CollisionResultd result;
    fcl::collide(&o1, &o2, request, result);
    return result.isCollision();
}

template <typename Shape>
double FclDistance(const Capsule &c, const Shape &other) {
    const fcl::CollisionObjectd o1 = FclObject(c);
    const fcl::CollisionObjectd o2 = FclObject(other);
    fcl::DistanceRequestd request;
    request.gjk_solver_type = fcl::GST_INDEP;
    request.distance_tolerance = 1e-9;
    fcl::DistanceResultd result;
    fcl::distance(&o1, &o2, request, result);
    return result.min_distance;
}

// A verdict may differ from FCL's only for a pair within the touching tolerance of contact:
// shrinking or growing the capsule by it flips FCL's own verdict.
template <typename Shape>
void ExpectSameVerdict(bool ours, const Capsule &c, const Shape &other, double touching) {
    if (ours == FclCollide(c, other)) return;
    EXPECT_NE(FclCollide(c, other, -touching), FclCollide(c, other, touching))
        << c.ToString() << " ours " << ours;
}

struct Scale {
    unsigned seed;
    float scale;
};

const Scale kScales[] = {{1u, 0.01f}, {2u, 1.f}, {3u, 100.f}};
const int kPairsPerScale = 1500;

TEST(CapsuleFcl, BoxVerdicts) {
    for (const Scale &s : kScales) {
        RandomShapes shapes(s.seed, s.scale);
        int hits = 0;
        for (int i = 0; i < kPairsPerScale; ++i) {
            const Capsule c = shapes.NextCapsule();
            const OBB box = shapes.NextBox();
            const bool ours = c.Intersects(box);
            hits += ours;
            // GJK counts separations of about 1e-3 as contact, more in float at large scale.
            ExpectSameVerdict(ours, c, box, 1e-3 * std::max(1.f, s.scale));
            const math::AABB aligned(box.pos - box.halfSize, box.pos + box.halfSize);
            ExpectSameVerdict(c.Intersects(aligned), c, OBB(aligned), 1e-3 * std::max(1.f, s.scale));
        }
        // Both outcomes are well represented.
        EXPECT_GT(hits, kPairsPerScale / 10) << s.scale;
        EXPECT_LT(hits, kPairsPerScale * 9 / 10) << s.scale;
    }
}

// Distances agree within 1e-5 of the larger of the distance and the coordinates' scale,
// the float inputs' own resolution.
void ExpectSameDistance(float ours, double theirs, float scale) {
    if (theirs <= 0.) {
        EXPECT_EQ(ours, 0.f);
        return;
    }
    EXPECT_NEAR(ours, theirs, 1e-5 * std::max(theirs, double(scale)));
}

TEST(CapsuleFcl, SpheresAndCapsules) {
    for (const Scale &s : kScales) {
        RandomShapes shapes(s.seed + 10u, s.scale);
        const double touching = 1e-5 * s.scale;
        for (int i = 0; i < kPairsPerScale; ++i) {
            const Capsule c = shapes.NextCapsule();
            const Sphere sphere = shapes.NextSphere();
            ExpectSameVerdict(c.Intersects(sphere), c, sphere, touching);
            ExpectSameDistance(c.Distance(sphere), FclDistance(c, sphere), s.scale);
            const Capsule other = shapes.NextCapsule();
            ExpectSameVerdict(c.Intersects(other), c, other, touching);
            ExpectSameDistance(c.Distance(other), FclDistance(c, other), s.scale);
        }
    }
}

}  // namespace
