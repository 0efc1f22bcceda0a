#include "clipping/Offsetter.h"

#include <algorithm>
#include <cmath>

#include "clipping/Engine.h"
#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace clip {

namespace {

constexpr double kArcToleranceFallback = 0.25;
// An offset smaller than this returns the closed polygons as they are.
constexpr double kZeroOffset = 1e-20;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
// The rectangle that turns a shrinking offset into a union lies this far outside the rings.
constexpr std::int64_t kFrameMargin = 10;

double Dot(const DoublePoint& a, const DoublePoint& b) { return a.X * b.X + a.Y * b.Y; }

DoublePoint Negated(const DoublePoint& v) { return {-v.X, -v.Y}; }

// Larger Y wins, at equal Y smaller X.
bool IsLower(const IntPoint& a, const IntPoint& b) { return a.Y > b.Y || (a.Y == b.Y && a.X < b.X); }

bool IsClosed(EndType endType) { return endType == ClosedPolygon || endType == ClosedLine; }

}  // namespace

DoublePoint GetUnitNormal(const IntPoint& p1, const IntPoint& p2) {
    if (p1 == p2) return {0, 0};
    const double dx = static_cast<double>(p2.X - p1.X);
    const double dy = static_cast<double>(p2.Y - p1.Y);
    const double f = 1 / std::sqrt(dx * dx + dy * dy);
    return {dy * f, -dx * f};
}

Offsetter::Offsetter(double miterLimit, double arcTolerance)
    : miterLimit(miterLimit),
      arcTolerance(arcTolerance),
      delta(0),
      sinA(0),
      sinStep(0),
      cosStep(0),
      miterLim(0),
      radianSteps(0),
      lowest(-1, 0),
      reversePolygons(false) {}

Offsetter::~Offsetter() { Clear(); }

void Offsetter::Clear() {
    for (PolyNode* node : polyNodes.childs) delete node;
    polyNodes.childs.clear();
    lowest.X = -1;
}

void Offsetter::AddPath(const Path& path, JoinType joinType, EndType endType) {
    if (path.empty()) return;
    std::size_t last = path.size() - 1;
    if (IsClosed(endType))
        while (last > 0 && path[last] == path[0]) --last;
    Path contour{path[0]};
    contour.reserve(last + 1);
    std::size_t lowestIndex = 0;
    for (std::size_t i = 1; i <= last; ++i) {
        if (path[i] == contour.back()) continue;
        contour.push_back(path[i]);
        if (IsLower(path[i], contour[lowestIndex])) lowestIndex = contour.size() - 1;
    }
    if (endType == ClosedPolygon && contour.size() < 3) return;

    PolyNode* node = new PolyNode();
    node->contour = std::move(contour);
    node->joinType = joinType;
    node->endType = endType;
    polyNodes.AddChild(*node);
    if (endType != ClosedPolygon) return;
    if (lowest.X < 0 || IsLower(node->contour[lowestIndex], polyNodes.childs[lowest.X]->contour[lowest.Y]))
        lowest = IntPoint(polyNodes.ChildCount() - 1, static_cast<std::int64_t>(lowestIndex));
}

void Offsetter::AddPaths(const Paths& paths, JoinType joinType, EndType endType) {
    for (const Path& path : paths) AddPath(path, joinType, endType);
}

// The stored inputs keep the way they were given, so that every run orients them alike: run
// on inputs already turned, the rule would turn the closed lines back.
void Offsetter::FixOrientations() {
    reversePolygons = lowest.X >= 0 && !Orientation(polyNodes.childs[lowest.X]->contour);
}

void Offsetter::LoadSource(const PolyNode& node) {
    srcPoly = node.contour;
    const bool reverse = node.endType == ClosedPolygon ? reversePolygons
                         : node.endType == ClosedLine  ? Orientation(node.contour) == reversePolygons
                                                       : false;
    if (reverse) ReversePath(srcPoly);
}

void Offsetter::AddCleanupInput(Engine& engine) const {
    engine.AddPaths(destPolys, Subject, true);
    if (delta > 0) return;
    const IntBounds r = engine.GetBounds();
    const std::int64_t left = CheckedSub(r.minX, kFrameMargin), right = CheckedAdd(r.maxX, kFrameMargin);
    const std::int64_t bottom = CheckedSub(r.minY, kFrameMargin), top = CheckedAdd(r.maxY, kFrameMargin);
    const Path frame{{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    engine.AddPath(frame, Subject, true);
}

// A shrinking offset is the union of the raw rings and a frame around them with negative
// fills, output reversed: the frame comes out as the outer ring, the wanted rings inside it.
template <typename Solution>
bool Offsetter::Unite(Solution& solution, double delta) {
    if (std::isnan(delta) || std::isnan(miterLimit) || std::isnan(arcTolerance)) return false;
    FixOrientations();
    DoOffset(delta);
    Engine engine(delta > 0 ? 0 : ReverseSolution);
    AddCleanupInput(engine);
    const PolyFillType fill = delta > 0 ? Positive : Negative;
    engine.Execute(Union, solution, fill, fill);
    return delta <= 0;
}

void Offsetter::Execute(Paths& solution, double delta) {
    solution.clear();
    if (Unite(solution, delta) && !solution.empty()) solution.erase(solution.begin());
}

void Offsetter::Execute(PolyTree& solution, double delta) {
    solution.Clear();
    if (!Unite(solution, delta)) return;
    if (solution.ChildCount() != 1 || solution.childs[0]->ChildCount() == 0) {
        solution.Clear();
        return;
    }
    // The frame's node stays in the tree's allNodes, unreachable.
    PolyNode* frame = solution.childs[0];
    PolyNode* first = frame->childs[0];
    solution.childs[0] = first;
    first->parent = &solution;
    first->index = 0;
    for (std::size_t i = 1; i < frame->childs.size(); ++i) solution.AddChild(*frame->childs[i]);
    frame->childs.clear();
}

void Offsetter::DoOffset(double delta) {
    destPolys.clear();
    this->delta = delta;
    const double size = std::fabs(delta);
    if (size < kZeroOffset) {
        for (const PolyNode* node : polyNodes.childs) {
            if (node->endType != ClosedPolygon) continue;
            LoadSource(*node);
            destPolys.push_back(srcPoly);
        }
        return;
    }
    miterLim = miterLimit > 2 ? 2 / (miterLimit * miterLimit) : 0.5;
    const double y = arcTolerance <= 0 ? kArcToleranceFallback : std::min(arcTolerance, size * 0.25);
    const double steps = std::min(kPi / std::acos(1 - y / size), size * kPi);
    sinStep = std::sin(kTwoPi / steps);
    cosStep = std::cos(kTwoPi / steps);
    radianSteps = steps / kTwoPi;
    if (delta < 0) sinStep = -sinStep;
    for (const PolyNode* node : polyNodes.childs) {
        const std::size_t n = node->contour.size();
        if (n == 0 || (delta <= 0 && (n < 3 || node->endType != ClosedPolygon))) continue;
        OffsetContour(*node, steps);
    }
}

void Offsetter::OffsetContour(const PolyNode& node, double steps) {
    LoadSource(node);
    destPoly.clear();
    const std::size_t n = srcPoly.size();
    if (n == 1) {
        OffsetSinglePoint(node.joinType, steps);
        destPolys.push_back(destPoly);
        return;
    }
    normals.clear();
    for (std::size_t j = 0; j + 1 < n; ++j) normals.push_back(GetUnitNormal(srcPoly[j], srcPoly[j + 1]));
    normals.push_back(IsClosed(node.endType) ? GetUnitNormal(srcPoly[n - 1], srcPoly[0]) : normals[n - 2]);

    if (!IsClosed(node.endType)) {
        OffsetOpenPath(node.joinType, node.endType);
        destPolys.push_back(destPoly);
        return;
    }
    std::size_t k = n - 1;
    for (std::size_t j = 0; j < n; ++j) OffsetPoint(j, k, node.joinType);
    destPolys.push_back(destPoly);
    if (node.endType == ClosedLine) OffsetClosedLine(node.joinType);
}

void Offsetter::OffsetSinglePoint(JoinType joinType, double steps) {
    const IntPoint& src = srcPoly[0];
    if (joinType == RoundJoin) {
        DoublePoint v{1, 0};
        const std::int64_t count = Round(std::floor(steps));
        for (std::int64_t i = 0; i < count; ++i) {
            AddPoint(src, v.X * delta, v.Y * delta);
            Rotate(v);
        }
        return;
    }
    for (const DoublePoint& v : {DoublePoint{-1, -1}, DoublePoint{1, -1}, DoublePoint{1, 1}, DoublePoint{-1, 1}})
        AddPoint(src, v.X * delta, v.Y * delta);
}

// The other side of a closed line: the same corners walked backwards with the normals turned.
void Offsetter::OffsetClosedLine(JoinType joinType) {
    const std::size_t n = srcPoly.size();
    TurnNormalsRound(Negated(normals[n - 1]));
    destPoly.clear();
    std::size_t k = 0;
    for (std::size_t j = n; j-- > 0;) OffsetPoint(j, k, joinType);
    destPolys.push_back(destPoly);
}

// One ring around the path: out along one side, round the far end, back along the other.
void Offsetter::OffsetOpenPath(JoinType joinType, EndType endType) {
    const std::size_t n = srcPoly.size();
    std::size_t k = 0;
    for (std::size_t j = 1; j + 1 < n; ++j) OffsetPoint(j, k, joinType);
    if (endType != OpenButt) normals[n - 1] = Negated(normals[n - 1]);
    CapEnd(n - 1, n - 2, endType);
    // Normal 0 becomes the negated new normal 1, which is normal 0 again.
    TurnNormalsRound(normals[0]);
    k = n - 1;
    for (std::size_t j = n - 2; j > 0; --j) OffsetPoint(j, k, joinType);
    CapEnd(0, 1, endType);
}

void Offsetter::CapEnd(std::size_t j, std::size_t k, EndType endType) {
    const IntPoint& src = srcPoly[j];
    if (endType == OpenButt) {
        // Each end adds first the point on the side just walked, normal 0 being unturned.
        const double dx = normals[j].X * delta, dy = normals[j].Y * delta;
        const double sign = j == 0 ? -1.0 : 1.0;
        AddPoint(src, sign * dx, sign * dy);
        AddPoint(src, -sign * dx, -sign * dy);
        return;
    }
    sinA = 0;
    if (endType == OpenSquare)
        DoSquare(j, k);
    else
        DoRound(j, k);
}

void Offsetter::TurnNormalsRound(DoublePoint first) {
    for (std::size_t j = normals.size() - 1; j > 0; --j) normals[j] = Negated(normals[j - 1]);
    normals[0] = first;
}

void Offsetter::OffsetPoint(std::size_t j, std::size_t& k, JoinType joinType) {
    const DoublePoint& nj = normals[j];
    const DoublePoint& nk = normals[k];
    const IntPoint& src = srcPoly[j];
    sinA = nk.X * nj.Y - nj.X * nk.Y;
    if (std::fabs(sinA * delta) < 1.0) {
        // Almost straight: one point, and the corner keeps the earlier edge.
        if (Dot(nk, nj) > 0) {
            AddPoint(src, nk.X * delta, nk.Y * delta);
            return;
        }
    } else {
        sinA = std::clamp(sinA, -1.0, 1.0);
    }
    if (sinA * delta < 0) {
        // A concave corner for this offset: the union cleans up the loop through the vertex.
        AddPoint(src, nk.X * delta, nk.Y * delta);
        destPoly.push_back(src);
        AddPoint(src, nj.X * delta, nj.Y * delta);
    } else if (joinType == MiterJoin) {
        const double r = 1 + Dot(nj, nk);
        if (r >= miterLim)
            DoMiter(j, k, r);
        else
            DoSquare(j, k);
    } else if (joinType == SquareJoin) {
        DoSquare(j, k);
    } else {
        DoRound(j, k);
    }
    k = j;
}

void Offsetter::DoSquare(std::size_t j, std::size_t k) {
    const DoublePoint& nj = normals[j];
    const DoublePoint& nk = normals[k];
    const double dx = std::tan(std::atan2(sinA, Dot(nk, nj)) / 4);
    AddPoint(srcPoly[j], delta * (nk.X - nk.Y * dx), delta * (nk.Y + nk.X * dx));
    AddPoint(srcPoly[j], delta * (nj.X + nj.Y * dx), delta * (nj.Y - nj.X * dx));
}

void Offsetter::DoMiter(std::size_t j, std::size_t k, double r) {
    const double q = delta / r;
    AddPoint(srcPoly[j], (normals[k].X + normals[j].X) * q, (normals[k].Y + normals[j].Y) * q);
}

void Offsetter::DoRound(std::size_t j, std::size_t k) {
    const double a = std::atan2(sinA, Dot(normals[k], normals[j]));
    const std::int64_t steps = std::max<std::int64_t>(1, Round(radianSteps * std::fabs(a)));
    DoublePoint v = normals[k];
    for (std::int64_t i = 0; i < steps; ++i) {
        AddPoint(srcPoly[j], v.X * delta, v.Y * delta);
        Rotate(v);
    }
    AddPoint(srcPoly[j], normals[j].X * delta, normals[j].Y * delta);
}

void Offsetter::AddPoint(const IntPoint& base, double dx, double dy) {
    const IntPoint p(Round(static_cast<double>(base.X) + dx), Round(static_cast<double>(base.Y) + dy), 0);
    // Checked here rather than only by the cleaning union, so that an offset far beyond the
    // range stops before it builds arcs of billions of points.
    bool fullRange = false;
    RangeTest(p, fullRange);
    destPoly.push_back(p);
}

void Offsetter::Rotate(DoublePoint& v) const {
    const double x = v.X;
    v.X = x * cosStep - sinStep * v.Y;
    v.Y = x * sinStep + v.Y * cosStep;
}

}  // namespace clip
