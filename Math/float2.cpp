#include "Math/float2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <ostream>

#include "Algorithm/Random/LCG.h"
#include "Math/Assume.h"
#include "Math/ComponentRules.h"
#include "Math/FloatCodec.h"
#include "Math/MathFunc.h"
#include "Math/MathOps.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3.h"
#include "Math/float4.h"

namespace math {

using namespace component_rules;

namespace {

constexpr float kNaN = __builtin_nanf("");  // 0x7FC00000

float ClampOf(float v, float floor, float ceil) { return max_of(min_of(v, ceil), floor); }

}  // namespace

const float2 float2::zero(0.f, 0.f);
const float2 float2::one(1.f, 1.f);
const float2 float2::unitX(1.f, 0.f);
const float2 float2::unitY(0.f, 1.f);
const float2 float2::nan(kNaN, kNaN);
const float2 float2::inf(INFINITY, INFINITY);

float2::float2(const float *data) : x(kNaN), y(kNaN) {
    if (data)
        Set(data[0], data[1]);
}

float2 float2::FromScalar(float scalar) { return float2(scalar); }
void float2::SetFromScalar(float scalar) { Set(scalar, scalar); }

void float2::Set(float x_, float y_) {
    x = x_;
    y = y_;
}

float float2::At(int index) const {
    switch (index) {
    case 0: return x;
    case 1: return y;
    default: return kNaN;
    }
}

float &float2::At(int index) {
    return index == 1 ? y : x;
}

float2 float2::Swizzled(int i, int j) const { return float2(At(i), At(j)); }

float3 float2::Swizzled(int i, int j, int k) const {
    return float3(At(i), At(j), At(k));
}

float4 float2::Swizzled(int i, int j, int k, int l) const { return float4(At(i), At(j), At(k), At(l)); }

float float2::LengthSq() const { return x * x + y * y; }
float float2::Length() const { return std::sqrt(LengthSq()); }

float float2::Normalize() {
    const float sq = LengthSq();
    if (sq > 1e-6f) {
        const float length = std::sqrt(sq);
        *this *= 1.f / length;
        return length;
    }
    *this = unitX;
    return 0.f;
}

float2 float2::Normalized() const {
    float2 copy = *this;
    copy.Normalize();
    return copy;
}

float float2::ScaleToLength(float newLength) {
    const float sq = LengthSq();
    if (sq < 1e-6f)
        return 0.f;
    const float length = std::sqrt(sq);
    *this *= newLength / length;
    return length;
}

float2 float2::ScaledToLength(float newLength) const {
    float2 copy = *this;
    copy.ScaleToLength(newLength);
    return copy;
}

bool float2::IsNormalized(float epsilonSq) const {
    return std::fabs(LengthSq() - 1.f) <= epsilonSq;
}

bool float2::IsZero(float epsilonSq) const { return LengthSq() <= epsilonSq; }
bool float2::IsFinite() const { return std::isfinite(x) && std::isfinite(y); }

bool float2::IsPerpendicular(const float2 &other, float epsilonSq) const {
    const float dot = Dot(other);
    return dot * dot <= (LengthSq() * epsilonSq) * other.LengthSq();
}

bool float2::AreOrthogonal(const float2 &a, const float2 &b, float epsilon) {
    return a.IsPerpendicular(b, epsilon);
}

float float2::Dot(const float2 &v) const { return x * v.x + y * v.y; }
float float2::PerpDot(const float2 &v) const { return x * v.y - y * v.x; }

bool float2::Equals(const float2 &other, float epsilon) const {
    return Equals(other.x, other.y, epsilon);
}

bool float2::Equals(float x_, float y_, float epsilon) const {
    return EqualAbs(x, x_, epsilon) && EqualAbs(y, y_, epsilon);
}

bool float2::BitEquals(const float2 &other) const {
    return std::memcmp(this, &other, sizeof(float2)) == 0;
}

float float2::SumOfElements() const { return x + y; }
float float2::ProductOfElements() const { return x * y; }
float float2::AverageOfElements() const { return (x + y) * 0.5f; }
float float2::MinElement() const { return min_of(x, y); }
float float2::MaxElement() const { return max_of(x, y); }
int float2::MinElementIndex() const { return y >= x ? 0 : 1; }
int float2::MaxElementIndex() const { return x > y ? 0 : 1; }

float2 float2::Abs() const { return float2(std::fabs(x), std::fabs(y)); }
float2 float2::Neg() const { return float2(-x, -y); }
float2 float2::Recip() const { return float2(1.f / x, 1.f / y); }
float2 float2::Min(float ceil) const { return float2(min_of(x, ceil), min_of(y, ceil)); }
float2 float2::Min(const float2 &ceil) const { return float2(min_of(x, ceil.x), min_of(y, ceil.y)); }
float2 float2::Max(float floor) const { return float2(max_of(x, floor), max_of(y, floor)); }
float2 float2::Max(const float2 &floor) const { return float2(max_of(x, floor.x), max_of(y, floor.y)); }

float2 float2::Clamp(float floor, float ceil) const {
    return float2(ClampOf(x, floor, ceil), ClampOf(y, floor, ceil));
}

float2 float2::Clamp(const float2 &floor, const float2 &ceil) const {
    return float2(ClampOf(x, floor.x, ceil.x), ClampOf(y, floor.y, ceil.y));
}

float2 float2::Clamp01() const { return Clamp(0.f, 1.f); }

float float2::DistanceSq(const float2 &point) const {
    const float dx = x - point.x;
    const float dy = y - point.y;
    return dx * dx + dy * dy;
}

float float2::Distance(const float2 &point) const { return std::sqrt(DistanceSq(point)); }

float2 float2::Reflect(const float2 &normal) const {
    return normal * (2.f * Dot(normal)) - *this;
}

// Without a cosine term in the factor of the normal, like the other vector types.
float2 float2::Refract(const float2 &normal, float negativeSideRefractionIndex,
                       float positiveSideRefractionIndex) const {
    const float eta = negativeSideRefractionIndex / positiveSideRefractionIndex;
    const float d = Dot(normal);
    const float k = (1.f - d * d) * (eta * eta);
    if (k > 1.f)
        return *this + normal * (2.f * -d);
    return *this * eta - normal * (eta + std::sqrt(1.f - k));
}

float2 float2::ProjectTo(const float2 &direction) const {
    return direction * Dot(direction) * (1.f / direction.LengthSq());
}

float2 float2::ProjectToNorm(const float2 &unitDirection) const {
    return unitDirection * Dot(unitDirection);
}

void float2::Decompose(const float2 &unitDirection, float2 &outParallel,
                       float2 &outPerpendicular) const {
    outParallel = ProjectToNorm(unitDirection);
    outPerpendicular = *this - outParallel;
}

float2 float2::Lerp(const float2 &b, float t) const { return Lerp(*this, b, t); }

float2 float2::Lerp(const float2 &a, const float2 &b, float t) {
    return a * (1.f - t) + b * t;
}

float float2::AngleBetween(const float2 &other) const {
    return clamped_acos(Dot(other) / std::sqrt(other.LengthSq() * LengthSq()));
}

// Clamped: a dot product of unit vectors may round to just beyond 1.
float float2::AngleBetweenNorm(const float2 &other) const {
    return clamped_acos(Dot(other));
}

void float2::Orthogonalize(const float2 &a, float2 &b) {
    if (a.LengthSq() > 1e-7f)
        b -= b.ProjectTo(a);
}

void float2::Orthonormalize(float2 &a, float2 &b) {
    a.Normalize();
    b -= a * a.Dot(b);
    b.Normalize();
}

float2 float2::Perp() const { return float2(-y, x); }
void float2::Rotate90CW() { *this = Rotated90CW(); }
float2 float2::Rotated90CW() const { return float2(y, -x); }
void float2::Rotate90CCW() { *this = Rotated90CCW(); }
float2 float2::Rotated90CCW() const { return float2(-y, x); }

void float2::SetFromPolarCoordinates(float angle, float length) {
    float sin, cos;
    SinCos(angle, sin, cos);
    Set(cos * length, length * sin);
}

float2 float2::FromPolarCoordinates(float angle, float length) {
    float2 v;
    v.SetFromPolarCoordinates(angle, length);
    return v;
}

float2 float2::ToPolarCoordinates() const {
    const float length = Length();
    if (length > 1e-4f)
        return float2(std::atan2(y, x), length);
    return zero;
}

float float2::AimedAngle() const { return std::atan2(y, x); }

bool float2::OrientedCCW(const float2 &a, const float2 &b, const float2 &c) {
    return (a.x - c.x) * (b.y - c.y) - (a.y - c.y) * (b.x - c.x) >= 0.f;
}

float2 float2::Add(float s) const { return float2(x + s, y + s); }
float2 float2::Sub(float s) const { return float2(x - s, y - s); }
float2 float2::SubLeft(float s) const { return float2(s - x, s - y); }
float2 float2::Mul(const float2 &v) const { return float2(x * v.x, y * v.y); }
float2 float2::Div(const float2 &v) const { return float2(x / v.x, y / v.y); }
float2 float2::DivLeft(float s) const { return float2(s / x, s / y); }

float2 float2::operator+(const float2 &v) const { return float2(x + v.x, y + v.y); }
float2 float2::operator-(const float2 &v) const { return float2(x - v.x, y - v.y); }
float2 float2::operator-() const { return Neg(); }
float2 float2::operator*(float s) const { return float2(x * s, y * s); }
float2 float2::operator/(float s) const { return *this * (1.f / s); }

float2 &float2::operator+=(const float2 &v) { return *this = *this + v; }
float2 &float2::operator-=(const float2 &v) { return *this = *this - v; }
float2 &float2::operator*=(float s) { return *this = *this * s; }
float2 &float2::operator/=(float s) { return *this = *this / s; }

float2 operator*(float s, const float2 &v) { return float2(s * v.x, s * v.y); }

std::string float2::ToString() const { return FormatText("(%f, %f)", PrintableFloat(x), PrintableFloat(y)); }

std::ostream &operator<<(std::ostream &out, const float2 &v) {
    return out << v.ToString();
}

float2 float2::RandomDir(LCG &lcg, float length) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const float rx = lcg.Float(-length, length);
        const float ry = lcg.Float(-length, length);
        const float s = ry * ry + rx * rx;
        if (s >= 1e-6f && length * length >= s)
            return float2(rx, ry) * (length / std::sqrt(s));
    }
    return float2(length, 0.f);
}

float2 float2::RandomBox(LCG &lcg, float minElem, float maxElem) {
    const float rx = lcg.Float(minElem, maxElem);
    const float ry = lcg.Float(minElem, maxElem);
    return float2(rx, ry);
}

namespace {

// The sign of a sum of doubles, exactly: the running sum is kept as parts that do not overlap
// (the rounding error of each addition is itself a double), so the largest part that is not
// zero carries the sign.
int SignOfSum(std::initializer_list<double> terms) {
    double parts[8];
    int count = 0;
    for (double q : terms) {
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            const double sum = q + parts[i];
            const double virtualPart = sum - q;
            const double error = (q - (sum - virtualPart)) + (parts[i] - virtualPart);
            if (error != 0)
                parts[kept++] = error;
            q = sum;
        }
        parts[kept++] = q;
        count = kept;
    }
    for (int i = count - 1; i >= 0; --i)
        if (parts[i] != 0)
            return parts[i] > 0 ? 1 : -1;
    return 0;
}

// The exact turn of a, b, c: 1 counter-clockwise, -1 clockwise, 0 collinear. Expanded into
// products of two floats, each exact in double.
int Turn(const float2 &a, const float2 &b, const float2 &c) {
    return SignOfSum({ (double)a.x * b.y, -(double)a.y * b.x, (double)b.x * c.y, -(double)b.y * c.x,
                       (double)c.x * a.y, -(double)c.y * a.x });
}

double DistanceSqInDouble(const float2 &a, const float2 &b) {
    const double dx = (double)b.x - a.x, dy = (double)b.y - a.y;
    return dy * dy + dx * dx;
}

}  // namespace

bool SortByPolarAngle::operator()(const float2 &a, const float2 &b) const {
    const int turn = Turn(perspective, a, b);
    if (turn != 0)
        return turn > 0;
    return DistanceSqInDouble(perspective, a) < DistanceSqInDouble(perspective, b);
}

namespace {

// Extreme vertices, the first occurrence winning ties; a point that sets a new minimum
// is not tested as a maximum in the same step.
struct Extremes {
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
};

Extremes FindExtremes(const float2 *points, int count) {
    Extremes e;
    for (int i = 1; i < count; ++i) {
        if (points[i].x < points[e.minX].x)
            e.minX = i;
        else if (points[i].x > points[e.maxX].x)
            e.maxX = i;
        if (points[i].y < points[e.minY].y)
            e.minY = i;
        else if (points[i].y > points[e.maxY].y)
            e.maxY = i;
    }
    return e;
}

// Strictly left of the edge a->b, by more than 1e-6.
bool StrictlyLeftOf(const float2 &a, const float2 &b, const float2 &p) {
    const float ex = b.x - a.x, ey = b.y - a.y;
    return ex * a.y - ey * a.x + 1e-6f < ex * p.y - ey * p.x;
}

// Drops the points strictly inside the quadrilateral of the four extremes, which cannot
// be hull vertices; returns the number kept at the front.
int DropInteriorPoints(float2 *points, int count) {
    const Extremes e = FindExtremes(points, count);
    const float2 quad[4] = { points[e.minY], points[e.maxX], points[e.maxY], points[e.minX] };
    int i = 0;
    while (i < count) {
        bool inside = true;
        for (int k = 0; k < 4 && inside; ++k)
            inside = StrictlyLeftOf(quad[k], quad[(k + 1) % 4], points[i]);
        if (inside)
            std::swap(points[i], points[--count]);
        else
            ++i;
    }
    return count;
}

// Moves the lowest point (the leftmost of those) to index 0.
void MovePivotToFront(float2 *points, int count) {
    int pivot = 0;
    for (int i = 1; i < count; ++i)
        if (points[i].y < points[pivot].y
            || (points[i].y == points[pivot].y && points[i].x < points[pivot].x))
            pivot = i;
    std::swap(points[0], points[pivot]);
}

// Packs the points behind index 0 that do not equal the point before them, as
// compared by keep(candidate, last kept); returns the number kept, index 0 included.
template <typename Keep>
int PackBehindFirst(float2 *points, int count, Keep keep) {
    int kept = 1;
    for (int i = 1; i < count; ++i)
        if (keep(points[i], points[kept - 1]))
            points[kept++] = points[i];
    return kept;
}

// Graham scan over points sorted around points[0]; the hull stack lives at the front. The turns
// are exact: a band of tolerance around straight, unscaled by the edge lengths, takes any turn
// between short edges for straight and drops true hull vertices with it.
int GrahamScan(float2 *points, int count) {
    int top = 1;
    for (int i = 2; i < count; ++i) {
        const float2 p = points[i];
        while (top > 0) {
            const float2 &below = points[top - 1];
            const int turn = Turn(below, points[top], p);
            const bool collinearBeyond =
                turn == 0 && DistanceSqInDouble(below, points[top]) <= DistanceSqInDouble(below, p);
            if (turn > 0 || (turn == 0 && !collinearBeyond))
                break;
            --top;
        }
        points[++top] = p;
    }
    return top + 1;
}

}  // namespace

void float2::ConvexHull(const float2 *points, int count, std::vector<float2> &outHull) {
    outHull.clear();
    if (count <= 0)
        return;
    outHull.assign(points, points + count);
    outHull.resize(ConvexHullInPlace(outHull.data(), count));
}

int float2::ConvexHullInPlace(float2 *points, int count) {
    if (count < 3)
        return count;
    if (count >= 50)
        count = DropInteriorPoints(points, count);
    MovePivotToFront(points, count);
    const float2 pivot = points[0];
    count = PackBehindFirst(points, count, [&pivot](const float2 &p, const float2 &) {
        return !p.Equals(pivot, 0.001f);
    });
    if (count == 1)
        return 2;  // nothing but the pivot: still reported as two entries
    std::sort(points + 1, points + count, SortByPolarAngle{ pivot });
    count = PackBehindFirst(points, count, [](const float2 &p, const float2 &last) {
        return !p.Equals(last, 0.001f);
    });
    if (count <= 2)
        return 2;
    return GrahamScan(points, count);
}

bool float2::ConvexHullContains(const float2 *hull, int count, const float2 &point) {
    for (int j = count - 1, i = 0; i < count; j = i++) {
        if (point.DistanceSq(hull[j]) <= 1e-6f)
            return true;
        const float side = (hull[i].x - hull[j].x) * (point.y - hull[j].y)
                           - (hull[i].y - hull[j].y) * (point.x - hull[j].x);
        if (side < 0.f)
            return false;
    }
    return true;
}

namespace {

// One caliper: a hull vertex and the unit direction of the edge leaving it.
struct Caliper {
    int vertex;
    float2 edge;
};

Caliper MakeCaliper(const float2 *hull, int count, int vertex) {
    return Caliper{ vertex, (hull[(vertex + 1) % count] - hull[vertex]).Normalized() };
}

bool AllCoincide(const float2 *points, int count) {
    for (int i = 1; i < count; ++i)
        if (points[i].DistanceSq(points[0]) > 1e-6f)
            return false;
    return true;
}

}  // namespace

float float2::MinAreaRectInPlace(float2 *points, int count, float2 &center, float2 &uDir,
                                 float2 &vDir, float &minU, float &maxU, float &minV,
                                 float &maxV) {
    if (!points || count <= 0)
        return 0.f;
    count = ConvexHullInPlace(points, count);
    // With every edge degenerate the calipers never turn: the rectangle is the point.
    if (AllCoincide(points, count)) {
        const float2 p = points[0];
        center = p;
        vDir = float2(0.f, -1.f);
        uDir = unitX;
        minU = maxU = p.x;
        minV = maxV = -p.y;
        return 0.f;
    }
    const Extremes e = FindExtremes(points, count);
    Caliper minX = MakeCaliper(points, count, e.minX);
    Caliper minY = MakeCaliper(points, count, e.minY);
    Caliper maxX = MakeCaliper(points, count, e.maxX);
    Caliper maxY = MakeCaliper(points, count, e.maxY);

    float2 d(-0.f, -1.f);
    float best = INFINITY;
    float2 bestDir = d;
    float bestMinU = kNaN, bestMaxU = kNaN, bestMinV = kNaN, bestMaxV = kNaN;
    // Half a turn advances each caliper about count / 2 times; the cap only guards
    // against hulls that are degenerate in ways the test above does not catch.
    const int maxSteps = 4 * count + 8;
    for (int step = 0; step < maxSteps && d.y <= 0.f; ++step) {
        const float aMinX = d.y * minX.edge.y + d.x * minX.edge.x;
        const float aMinY = d.x * minY.edge.y - d.y * minY.edge.x;
        const float aMaxX = -(d.y * maxX.edge.y + d.x * maxX.edge.x);
        const float aMaxY = -(d.x * maxY.edge.y - d.y * maxY.edge.x);
        Caliper *turned = &minX;
        float bestAlign = aMinX;
        d = minX.edge;
        if (aMinY > bestAlign) {
            turned = &minY;
            bestAlign = aMinY;
            d = float2(minY.edge.y, -minY.edge.x);
        }
        if (aMaxX > bestAlign) {
            turned = &maxX;
            bestAlign = aMaxX;
            d = -maxX.edge;
        }
        if (aMaxY > bestAlign) {
            turned = &maxY;
            d = float2(-maxY.edge.y, maxY.edge.x);
        }
        *turned = MakeCaliper(points, count, (turned->vertex + 1) % count);

        const auto u = [&d](const float2 &p) { return p.y * d.x - p.x * d.y; };
        const auto v = [&d](const float2 &p) { return p.y * d.y + p.x * d.x; };
        const float uMinX = u(points[minX.vertex]), uMaxX = u(points[maxX.vertex]);
        const float vMinY = v(points[minY.vertex]), vMaxY = v(points[maxY.vertex]);
        const float area = std::fabs((vMaxY - vMinY) * (uMaxX - uMinX));
        if (area < best) {
            best = area;
            bestDir = d;
            bestMinU = min_of(uMinX, uMaxX);
            bestMaxU = max_of(uMinX, uMaxX);
            bestMinV = min_of(vMinY, vMaxY);
            bestMaxV = max_of(vMinY, vMaxY);
        }
    }
    const float2 bestU(-bestDir.y, bestDir.x);
    center = float2(((bestMinV + bestMaxV) * bestDir.x + (bestMinU + bestMaxU) * bestU.x) * 0.5f,
                    ((bestMinV + bestMaxV) * bestDir.y + (bestMinU + bestMaxU) * bestU.y) * 0.5f);
    vDir = bestDir;
    uDir = bestU;
    minU = bestMinU;
    maxU = bestMaxU;
    minV = bestMinV;
    maxV = bestMaxV;
    return best;
}

// ---- Text forms ----

std::string float2::SerializeToString() const {
    const float values[] = {x, y};
    const std::string text = detail::SerializeFloats(values, 2);
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Math/float2", 254);
    return text;
}

std::string float2::SerializeToCodeString() const { return "float2(" + SerializeToString() + ")"; }

float2 float2::FromString(const char *str, const char **outEndStr) {
    MATH_ASSUME(IsNeutralCLocale(), "IsNeutralCLocale()", "Math/float2", 267);
    return detail::ReadFloatType<float2>(str, outEndStr, "float2");
}

}  // namespace math
