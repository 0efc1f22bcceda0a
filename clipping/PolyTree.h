#pragma once

#include <cstdint>
#include <vector>

#include "clipping/Enums.h"
#include "clipping/IntPoint.h"

namespace clip {

// One contour of a result tree. Its children are owned by the PolyTree that made them.
class PolyNode {
public:
    PolyNode();
    virtual ~PolyNode() = default;
    PolyNode(const PolyNode&) = delete;
    PolyNode& operator=(const PolyNode&) = delete;

    int ChildCount() const;
    void AddChild(PolyNode& child);
    // Pre-order successor: walking it from the root visits every node.
    PolyNode* GetNext() const;
    PolyNode* GetNextSiblingUp() const;
    bool IsHole() const;
    bool IsOpen() const;

    Path contour;
    std::vector<PolyNode*> childs;
    PolyNode* parent;
    std::uint32_t index;
    bool isOpen;
    JoinType joinType;
    EndType endType;
};

// The root of a result; owns every node in allNodes. The root itself has no contour.
class PolyTree : public PolyNode {
public:
    PolyTree() = default;
    ~PolyTree() override;
    PolyTree(const PolyTree&) = delete;
    PolyTree& operator=(const PolyTree&) = delete;

    void Clear();
    PolyNode* GetFirst() const;
    // The number of contours reachable from the root.
    int Total() const;

    std::vector<PolyNode*> allNodes;
};

}  // namespace clip
