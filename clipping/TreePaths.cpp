#include "clipping/TreePaths.h"

namespace clip {

void AddPolyNodeToPaths(const PolyNode& node, NodeType nodeType, Paths& paths) {
    if (nodeType == OpenNode) return;
    const bool listed = !(nodeType == ClosedNode && node.IsOpen());
    if (listed && !node.contour.empty()) paths.push_back(node.contour);
    for (const PolyNode* child : node.childs) AddPolyNodeToPaths(*child, nodeType, paths);
}

namespace {
void TreeToPaths(const PolyTree& tree, NodeType nodeType, Paths& paths) {
    paths.clear();
    paths.reserve(tree.Total());
    AddPolyNodeToPaths(tree, nodeType, paths);
}
}  // namespace

void PolyTreeToPaths(const PolyTree& tree, Paths& paths) { TreeToPaths(tree, AnyNode, paths); }

void ClosedPathsFromPolyTree(const PolyTree& tree, Paths& paths) { TreeToPaths(tree, ClosedNode, paths); }

void OpenPathsFromPolyTree(const PolyTree& tree, Paths& paths) {
    paths.clear();
    for (const PolyNode* child : tree.childs) {
        if (child->IsOpen()) paths.push_back(child->contour);
    }
}

}  // namespace clip
