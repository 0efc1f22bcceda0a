#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "clipping/Enums.h"
#include "clipping/IntPoint.h"
#include "clipping/PolyTree.h"

namespace cliptest {

// Winding number of a set of rings at the point (x2 / 2, y2 / 2); x2 and y2 are odd so that
// the point never lies on a horizontal line through an integer vertex. Exact (128-bit).
int Winding(const clip::Paths& rings, std::int64_t x2, std::int64_t y2);
bool Filled(int winding, clip::PolyFillType fill);
bool Expected(clip::ClipType op, bool inSubject, bool inClip);
// Shortest distance from the point (x, y) to any edge of the rings.
double DistanceToEdges(const clip::Paths& rings, double x, double y);
double TotalArea(const clip::Paths& rings);
double Perimeter(const clip::Paths& rings);

// Shapes for the random inputs; `radius` sets the scale.
struct Shapes {
    std::mt19937_64& rng;
    std::int64_t radius;

    std::int64_t Uniform(std::int64_t lo, std::int64_t hi);
    clip::IntPoint Centre();
    clip::Path Convex(int n);
    clip::Path Star(int n, double innerFraction);
    // A star with a smaller, oppositely oriented star inside it.
    clip::Paths WithHole(int n);
    clip::Path Scribble(int n);  // random vertices: self-intersecting
    clip::Path GridRect(std::int64_t step);
    // Midpoints on edges and repeated vertices.
    clip::Path AddCollinearAndDuplicates(const clip::Path& ring);
    void RandomlyReverse(clip::Path& ring);
};

// Rings compared up to their start vertex and their order (X, Y and Z).
std::vector<std::string> Canonical(const clip::Paths& rings);

// Twice the summed area of the rings, exact while the cross products relative to each ring's
// first vertex sum within 128 bits (coordinate spans up to 2^61, rings of few vertices).
__int128 TwiceArea(const clip::Paths& rings);

// Sign of the ring's area, exact for any coordinates.
int ExactAreaSign(const clip::Path& ring);

// A named boolean operation on two sets of rings, for tables of cases.
struct OperationCase {
    const char* name;
    clip::ClipType op;
    clip::PolyFillType subjectFill;
    clip::PolyFillType clipFill;
    clip::Paths subject;
    clip::Paths clip;
};

// The first fault of a boolean operation's result, or "" when none: an execution fails;
// the tree and the path list, or a second execution, give other rings; a ring of zero area;
// a tree ring whose orientation disagrees with its hole state; a vertex beyond the bounds of
// the inputs that can reach the result; or, at the points of a grid over the inputs that lie
// more than a unit from every input edge, a winding number other than the one the
// operation's fill asks for, or a negative covered area (both checked for coordinates up to
// 2^61, where Winding is exact).
std::string ResultFault(const clip::Paths& subject, const clip::Paths& clip, clip::ClipType op,
                        clip::PolyFillType subjectFill, clip::PolyFillType clipFill, int options);

// The first fault of a result given as a tree and as a path list, or "" when none: the two
// hold other rings; a ring of zero area; a ring whose orientation disagrees with its hole
// state; a ring with a vertex outside its parent's ring.
std::string TreeFault(const clip::PolyTree& tree, const clip::Paths& flat);

}  // namespace cliptest
