#include "clipping/PolyTree.h"

namespace clip {

PolyNode::PolyNode() : parent(nullptr), index(0), isOpen(false), joinType(SquareJoin), endType(ClosedPolygon) {}

int PolyNode::ChildCount() const { return static_cast<int>(childs.size()); }

void PolyNode::AddChild(PolyNode& child) {
    child.parent = this;
    child.index = static_cast<std::uint32_t>(childs.size());
    childs.push_back(&child);
}

PolyNode* PolyNode::GetNext() const { return childs.empty() ? GetNextSiblingUp() : childs.front(); }

PolyNode* PolyNode::GetNextSiblingUp() const {
    if (!parent) return nullptr;
    if (index + 1 < parent->childs.size()) return parent->childs[index + 1];
    return parent->GetNextSiblingUp();
}

bool PolyNode::IsHole() const {
    bool hole = true;
    for (const PolyNode* node = parent; node; node = node->parent) hole = !hole;
    return hole;
}

bool PolyNode::IsOpen() const { return isOpen; }

PolyTree::~PolyTree() { Clear(); }

void PolyTree::Clear() {
    for (PolyNode* node : allNodes) delete node;
    allNodes.clear();
    childs.clear();
}

PolyNode* PolyTree::GetFirst() const { return childs.empty() ? nullptr : childs.front(); }

int PolyTree::Total() const {
    int count = 0;
    for (const PolyNode* node = GetNext(); node; node = node->GetNext()) ++count;
    return count;
}

}  // namespace clip
