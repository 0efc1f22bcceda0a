#pragma once

#include "Geometry/Polyhedron.h"

namespace math {
namespace polyhedron_edges {

// The directed edges (previous, current) around a face, starting with (last, first).
template <typename Visit>
void ForEachDirectedEdge(const Polyhedron::Face &face, Visit visit) {
    if (face.v.empty()) return;
    int prev = face.v.back();
    for (int cur : face.v) {
        visit(prev, cur);
        prev = cur;
    }
}

// The directed edges whose first index is the smaller: an edge that two consistently wound
// faces share is visited once, from one of them. Stops at the first visit that returns true.
template <typename Visit>
bool AnyEdgeOnce(const Polyhedron::Face &face, Visit visit) {
    bool found = false;
    ForEachDirectedEdge(face, [&](int a, int b) {
        if (!found && a < b) found = visit(a, b);
    });
    return found;
}

}  // namespace polyhedron_edges
}  // namespace math
