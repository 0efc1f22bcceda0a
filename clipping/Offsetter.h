#pragma once

#include "clipping/Enums.h"
#include "clipping/IntPoint.h"
#include "clipping/PolyTree.h"

namespace clip {

class Engine;

// (0, 0) for equal points; otherwise the unit vector to the right of p1 -> p2 (Y up).
DoublePoint GetUnitNormal(const IntPoint& p1, const IntPoint& p2);

// Grows or shrinks closed polygons and turns open polylines and closed lines into outlines,
// with square, round or mitred corners. The raw offset rings are cleaned by a union.
class Offsetter {
public:
    Offsetter(double miterLimit, double arcTolerance);
    ~Offsetter();
    // The stored inputs are owned here.
    Offsetter(const Offsetter&) = delete;
    Offsetter& operator=(const Offsetter&) = delete;

    void AddPath(const Path& path, JoinType joinType, EndType endType);
    void AddPaths(const Paths& paths, JoinType joinType, EndType endType);
    // A NaN delta, miter limit or arc tolerance gives no output. Throws kRangeError when an
    // offset point leaves the allowed range.
    void Execute(Paths& solution, double delta);
    void Execute(PolyTree& solution, double delta);
    void Clear();

    double miterLimit;  // in multiples of delta, before a mitre is squared off
    double arcTolerance;  // the largest distance of a rounded corner from the true arc

private:
    // The raw rings of the offset united into solution; true when the result holds the frame
    // of a shrinking offset, to be taken out. False for a NaN delta or limit, with no output.
    template <typename Solution>
    bool Unite(Solution& solution, double delta);
    void AddCleanupInput(Engine& engine) const;
    // Decides whether the polygons are turned for offsetting, so that the outermost one runs
    // counter-clockwise.
    void FixOrientations();
    // srcPoly = the node's contour, turned as the orientation rule says.
    void LoadSource(const PolyNode& node);
    void DoOffset(double delta);
    void OffsetContour(const PolyNode& node, double steps);
    void OffsetSinglePoint(JoinType joinType, double steps);
    void OffsetClosedLine(JoinType joinType);
    void OffsetOpenPath(JoinType joinType, EndType endType);
    // Closes the end at vertex j of an open path, whose edge normal k points back along it.
    void CapEnd(std::size_t j, std::size_t k, EndType endType);
    // normal j = -(normal j - 1) for j = n - 1 down to 1, then normal 0 = first.
    void TurnNormalsRound(DoublePoint first);
    void OffsetPoint(std::size_t j, std::size_t& k, JoinType joinType);
    void DoSquare(std::size_t j, std::size_t k);
    void DoMiter(std::size_t j, std::size_t k, double r);
    void DoRound(std::size_t j, std::size_t k);
    // Appends base + (dx, dy), rounded, with Z 0.
    void AddPoint(const IntPoint& base, double dx, double dy);
    // Turns v by one arc step.
    void Rotate(DoublePoint& v) const;

    Paths destPolys;
    Path srcPoly;
    Path destPoly;
    std::vector<DoublePoint> normals;
    double delta;
    double sinA;
    double sinStep;
    double cosStep;
    double miterLim;
    double radianSteps;
    IntPoint lowest;  // X: input holding the lowest vertex of the closed polygons, Y: that vertex
    PolyNode polyNodes;
    bool reversePolygons;
};

}  // namespace clip
