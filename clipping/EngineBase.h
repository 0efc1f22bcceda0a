#pragma once

#include <cstddef>
#include <vector>

#include "clipping/Edge.h"
#include "clipping/Enums.h"
#include "clipping/IntPoint.h"

namespace clip {

// The input side of a clip engine: closed rings become edge rings split at their local
// minima into left and right bounds, which the sweep consumes.
class EngineBase {
public:
    EngineBase();
    virtual ~EngineBase();
    EngineBase(const EngineBase&) = delete;
    EngineBase& operator=(const EngineBase&) = delete;

    // Throws ClipError for an open path and kRangeError for a coordinate beyond the high range;
    // false when the path leaves fewer than three usable vertices or is flat.
    bool AddPath(const Path& path, PolyType polyType, bool closed);
    bool AddPaths(const Paths& paths, PolyType polyType, bool closed);
    virtual void Clear();
    IntBounds GetBounds() const;

protected:
    // Prepares a new sweep over the same input.
    virtual void Reset();
    void DisposeLocalMinimaList();
    void PopLocalMinima();

    std::size_t currentMinimum;
    std::vector<LocalMinimum> minimaList;
    bool useFullRange;
    std::vector<std::vector<TEdge>> edgeArrays;
    bool preserveCollinear;
    bool hasOpenPaths;

private:
    TEdge* ProcessBound(TEdge* e, bool forward);
    // Merges away duplicate and collinear vertices; returns the ring's surviving start edge.
    TEdge* CleanRing(TEdge* start);
    void AddLocalMinima(TEdge* e);
};

}  // namespace clip
