// Result trees, their conversion to path lists, and the text form of paths.
#include "clipping/PolyTree.h"

#include <gtest/gtest.h>

#include <sstream>
#include <type_traits>

#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/PathStream.h"
#include "clipping/TreePaths.h"

namespace {

using namespace clip;

// Owning types cannot be copied (a copy would free the same nodes or edges twice).
static_assert(!std::is_copy_constructible_v<PolyTree> && !std::is_copy_assignable_v<PolyTree>);
static_assert(!std::is_copy_constructible_v<PolyNode> && !std::is_copy_assignable_v<PolyNode>);
static_assert(!std::is_copy_constructible_v<Engine> && !std::is_copy_assignable_v<Engine>);
static_assert(!std::is_copy_constructible_v<EngineBase> && !std::is_copy_assignable_v<EngineBase>);

Path Square(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// A square with a hole that holds an island, beside a second square.
void Nested(PolyTree& tree) {
    Engine engine;
    engine.AddPaths({Square(0, 0, 100, 100), Square(20, 20, 80, 80), Square(40, 40, 60, 60), Square(200, 0, 210, 10)},
                    Subject, true);
    ASSERT_TRUE(engine.Execute(Union, tree, EvenOdd, EvenOdd));
}

TEST(PolyTree, NestingHoleStateAndOrientation) {
    PolyTree tree;
    Nested(tree);
    EXPECT_TRUE(tree.IsHole());
    ASSERT_EQ(tree.ChildCount(), 2);
    const PolyNode* outer = tree.childs[0]->ChildCount() ? tree.childs[0] : tree.childs[1];
    const PolyNode* lone = outer == tree.childs[0] ? tree.childs[1] : tree.childs[0];
    EXPECT_FALSE(outer->IsHole());
    EXPECT_FALSE(lone->IsHole());
    EXPECT_EQ(lone->ChildCount(), 0);
    EXPECT_DOUBLE_EQ(Area(outer->contour), 10000);
    ASSERT_EQ(outer->ChildCount(), 1);
    const PolyNode* hole = outer->childs[0];
    EXPECT_TRUE(hole->IsHole());
    EXPECT_EQ(hole->parent, outer);
    EXPECT_DOUBLE_EQ(Area(hole->contour), -3600);
    ASSERT_EQ(hole->ChildCount(), 1);
    const PolyNode* island = hole->childs[0];
    EXPECT_FALSE(island->IsHole());
    EXPECT_DOUBLE_EQ(Area(island->contour), 400);
    EXPECT_EQ(tree.Total(), 4);
    EXPECT_EQ(tree.GetFirst(), tree.childs[0]);
}

TEST(PolyTree, GetNextWalksEveryNodeInPreOrder) {
    PolyTree tree;
    Nested(tree);
    std::vector<const PolyNode*> walked;
    for (const PolyNode* node = tree.GetNext(); node; node = node->GetNext()) walked.push_back(node);
    ASSERT_EQ(walked.size(), 4u);
    for (std::size_t i = 0; i < walked.size(); ++i) {
        const PolyNode* node = walked[i];
        if (node->ChildCount()) {
            EXPECT_EQ(walked[i + 1], node->childs[0]);  // a node before its children
        }
        EXPECT_EQ(node->parent->childs[node->index], node);
    }
}

TEST(PolyTree, TotalCountsTheNodesReachableFromTheRoot) {
    PolyTree empty;
    EXPECT_EQ(empty.Total(), 0);
    EXPECT_EQ(empty.GetFirst(), nullptr);

    // A hole created before its outer ring (as a join split can leave it) still counts.
    PolyTree tree;
    tree.allNodes = {new PolyNode, new PolyNode};
    tree.AddChild(*tree.allNodes[1]);
    tree.allNodes[1]->AddChild(*tree.allNodes[0]);
    EXPECT_EQ(tree.Total(), 2);

    // A node the tree owns but no longer holds (a removed outer rectangle) does not.
    tree.allNodes.push_back(new PolyNode);
    EXPECT_EQ(tree.Total(), 2);
    tree.Clear();
    EXPECT_EQ(tree.Total(), 0);
    EXPECT_TRUE(tree.allNodes.empty());
}

TEST(PolyTree, ConvertsToPathsNodeBeforeChildren) {
    PolyTree tree;
    Paths paths{{{1, 1}}};
    PolyTreeToPaths(tree, paths);
    EXPECT_TRUE(paths.empty());

    Engine engine;
    engine.AddPaths({Square(0, 0, 10, 10), Square(2, 2, 8, 8)}, Subject, true);
    ASSERT_TRUE(engine.Execute(Difference, tree, EvenOdd, EvenOdd));  // no clip: the even-odd subject
    PolyTreeToPaths(tree, paths);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_DOUBLE_EQ(Area(paths[0]), 100);
    EXPECT_DOUBLE_EQ(Area(paths[1]), -36);
    Paths closed;
    ClosedPathsFromPolyTree(tree, closed);
    EXPECT_EQ(closed, paths);
    Paths open{{{1, 1}}};
    OpenPathsFromPolyTree(tree, open);
    EXPECT_TRUE(open.empty());
    Paths none;
    AddPolyNodeToPaths(tree, OpenNode, none);
    EXPECT_TRUE(none.empty());
}

TEST(PathStream, WritesPointsPathsAndPathLists) {
    struct Case {
        Paths paths;
        const char* text;
    };
    const Case cases[] = {
        {{{{1, 2, 99}, {3, 4}}}, "(1,2), (3,4)\n\n"},
        {{{}}, "\n"},
        {{}, "\n"},
        {{{{-5, 6}}, {{7, 8}, {9, -10}, {0, 0}}}, "(-5,6)\n(7,8), (9,-10), (0,0)\n\n"},
    };
    for (const Case& c : cases) {
        std::ostringstream s;
        s << c.paths;
        EXPECT_EQ(s.str(), c.text);
    }
    std::ostringstream s;
    s << IntPoint(-1, 2, 3) << Path{{1, 2}, {3, 4}};
    EXPECT_EQ(s.str(), "(-1,2)(1,2), (3,4)\n");
}

}  // namespace
