#include "clipping/Minkowski.h"

#include <algorithm>

#include "clipping/Engine.h"
#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace clip {

namespace {

// One copy of poly per path vertex, moved there (sum) or mirrored there (difference).
Paths PlacedCopies(const Path& poly, const Path& path, bool isSum) {
    Paths copies;
    copies.reserve(path.size());
    for (const IntPoint& p : path) {
        Path copy;
        copy.reserve(poly.size());
        for (const IntPoint& q : poly) {
            copy.emplace_back(isSum ? CheckedAdd(p.X, q.X) : CheckedSub(p.X, q.X),
                              isSum ? CheckedAdd(p.Y, q.Y) : CheckedSub(p.Y, q.Y), 0);
        }
        copies.push_back(std::move(copy));
    }
    return copies;
}

void Orient(Path& ring) {
    if (!Orientation(ring)) std::reverse(ring.begin(), ring.end());
}

// Adds the swept quadrilaterals and, so that short path edges leave no gap, the pattern
// placed at every path vertex.
void AddSweep(Engine& engine, const Path& pattern, const Path& path, bool isSum, bool isClosed) {
    Paths quads;
    Minkowski(pattern, path, quads, isSum, isClosed);
    engine.AddPaths(quads, Subject, true);
    if (pattern.empty()) return;
    for (Path& copy : PlacedCopies(pattern, path, isSum)) {
        Orient(copy);
        engine.AddPath(copy, Subject, true);
    }
}

void UniteInto(Engine& engine, Paths& solution) { engine.Execute(Union, solution, NonZero, NonZero); }

}  // namespace

void Minkowski(const Path& poly, const Path& path, Paths& solution, bool isSum, bool isClosed) {
    solution.clear();
    const std::size_t m = poly.size();
    const std::size_t n = path.size();
    if (m == 0 || n == 0) return;
    const Paths copies = PlacedCopies(poly, path, isSum);
    const std::size_t strips = isClosed ? n : n - 1;
    solution.reserve(strips * m);
    for (std::size_t i = 0; i < strips; ++i) {
        const Path& a = copies[i];
        const Path& b = copies[(i + 1) % n];
        for (std::size_t j = 0; j < m; ++j) {
            Path quad{a[j], b[j], b[(j + 1) % m], a[(j + 1) % m]};
            Orient(quad);
            solution.push_back(std::move(quad));
        }
    }
}

void MinkowskiSum(const Path& pattern, const Path& path, Paths& solution, bool pathIsClosed) {
    Engine engine;
    AddSweep(engine, pattern, path, true, pathIsClosed);
    UniteInto(engine, solution);
}

void MinkowskiSum(const Path& pattern, const Paths& paths, Paths& solution, bool pathIsClosed) {
    Engine engine;
    for (const Path& path : paths) {
        AddSweep(engine, pattern, path, true, pathIsClosed);
        if (!pathIsClosed || pattern.empty()) continue;
        Path moved;
        TranslatePath(path, moved, pattern.front());
        engine.AddPath(moved, Clip, true);
    }
    UniteInto(engine, solution);
}

void MinkowskiDiff(const Path& poly1, const Path& poly2, Paths& solution) {
    Engine engine;
    AddSweep(engine, poly1, poly2, false, true);
    UniteInto(engine, solution);
}

void TranslatePath(const Path& path, Path& out, const IntPoint& delta) {
    out.resize(path.size());
    for (std::size_t i = 0; i < path.size(); ++i)
        out[i] = IntPoint(CheckedAdd(path[i].X, delta.X), CheckedAdd(path[i].Y, delta.Y), 0);
}

}  // namespace clip
