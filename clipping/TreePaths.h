#pragma once

#include "clipping/Enums.h"
#include "clipping/IntPoint.h"
#include "clipping/PolyTree.h"

namespace clip {

// Appends the node's contour (unless empty or excluded by nodeType), then its children's, in pre-order.
void AddPolyNodeToPaths(const PolyNode& node, NodeType nodeType, Paths& paths);
void PolyTreeToPaths(const PolyTree& tree, Paths& paths);
void ClosedPathsFromPolyTree(const PolyTree& tree, Paths& paths);
void OpenPathsFromPolyTree(const PolyTree& tree, Paths& paths);

}  // namespace clip
