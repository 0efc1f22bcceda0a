// Results where rounding crossings to integers matters: thin loops it turns inside out, rings
// it brings together so that joins, strictly simple splitting and hole links must tell them
// apart, and coordinates so large that doubles lose whole units. Minimal inputs found by the
// fuzzer; every result is checked as a whole (cliptest::ResultFault): the same rings in both
// result forms and on a second execution, no ring of zero area, outer rings positive and
// holes negative, vertices within the inputs' bounds, and the fill the winding numbers ask for
// wherever rounding cannot reach.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "clip_test_support.h"
#include "clipping/Engine.h"

namespace {

using namespace clip;

using Case = cliptest::OperationCase;

const Case kSmallCases[] = {
    {"a thin loop that rounding turns inside out",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-4, -1}, {-16, -15}, {8, 6}, {-4, -4}, {8, 13}, {-16, -16}}},
     {}},
    {"two loops of one ring that cancel",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-7, 3}, {-16, -16}, {-8, 3}, {-15, -15}, {-16, -15}}},
     {}},
    {"a long wedge that rounding turns, and with it its ring",
     Union,
     EvenOdd,
     Positive,
     {{{6, -4}, {-15, 4}, {8, -4}, {-4, 6}, {16, -16}}},
     {}},
    {"a part that runs along a line and back",
     Union,
     EvenOdd,
     Positive,
     {{{5, 12}, {-12, -16}, {14, 12}, {-16, -16}, {-2, -6}}},
     {}},
    {"a hole whose holder a join took",
     Union,
     EvenOdd,
     EvenOdd,
     {{{-13, 12}, {-16, -16}, {-16, -10}, {-13, 12}, {-16, -14}, {-13, 14}, {-16, -13}}},
     {}},
    {"parts of a ring that overlap near the point they share",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-8, -10}, {8, 8}, {3, 4}, {2, 3}, {-4, 8}, {8, 8}, {-9, -4}}},
     {}},
    {"a merged ring larger than the ring whose hole state it took",
     Union,
     EvenOdd,
     Positive,
     {{{-16, -16}, {8, 7}, {8, 8}, {-16, -16}, {-4, -4}, {8, -16}, {-16, -16}, {-4, -14}, {8, 8}},
      {{-4, -3}, {-2, -3}, {8, 8}, {-4, -3}, {-16, -16}, {8, 8}}},
     {}},
    {"a ring split by a join whose first vertex lies inside the other part",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-6, -9}, {8, 8}, {-16, 8}, {-15, 1}, {4, -16}, {-1, -16}, {-16, 8}, {-8, 8}, {-1, -16}, {-16, -16}, {-13, -13},
       {-16, 10}},
      {{-16, -4}, {-4, -4}, {-8, -8}, {0, 3}, {-14, -16}}},
     {}},
    {"rings merged by joins at a point many edges pass, running as outer rings but taken for holes",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{8, -11}, {15, 15}, {12, -16}, {-16, 6}, {-16, -15}, {15, 15}, {-16, 8}, {6, -4}, {11, 1}, {15, 15}, {8, 8},
       {-16, -16}}},
     {{{15, 15}, {12, -16}, {-16, 6}, {-16, -15}, {15, 6}, {-16, -16}, {15, 15}, {-16, 8}, {6, -16}, {-15, -16},
       {15, 15}, {-1, -11}},
      {{-16, -16}, {-14, 15}, {-15, -16}}}},
    {"a ring left pointing at a part of its neighbour that rounding turned into a small hole",
     Union,
     EvenOdd,
     EvenOdd,
     {{{-3, -11}, {8, 13}, {-16, -16}, {-16, -4}, {6, 10}, {8, 14}}},
     {}},
    {"the same, with a ring that passes one point three times",
     Union,
     NonZero,
     Negative,
     {{{12, 11}, {-15, -15}, {-9, 11}, {-16, -16}, {9, 8}, {-5, -5}, {-10, 11}, {-16, -16}, {11, 11}}},
     {}},
    {"outer rings that overlap where three rings meet at shared points",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-16, -16}, {-11, 8}, {-8, -16}},
      {{-11, 8}, {8, 8}, {-16, -16}, {-16, -9}, {8, 8}, {-16, -16}, {-16, 10}, {-15, 8}, {8, 8}, {-15, -15}},
      {{8, 8}, {8, -16}, {-16, -16}, {-16, 8}}},
     {}},
    {"a ring whose loops, cut at its repeated points, overlap rather than nest",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-15, 9}, {8, -7}, {-4, -8}, {0, 8}, {-8, 8}, {8, 8}, {-16, 8}, {-16, -13}, {0, 0}, {8, 8}, {-16, -16}, {-8, -14}},
      {{-13, 10}, {0, 8}, {-15, -16}, {4, -8}, {-13, 8}, {-16, -16}}},
     {}},
    {"a ring given twice, cut apart at its repeated points one way as an outer ring and another as a hole",
     Difference,
     EvenOdd,
     EvenOdd,
     {{{-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {9, -14}},
      {{-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {9, -14}}},
     {}},
    {"two rings given twice, where a join splits the rings their copies make into parts that run against their "
     "nesting",
     Difference,
     EvenOdd,
     EvenOdd,
     {{{-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {9, -14}},
      {{-16, -16}, {-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {-3, 6}, {-1, 3},
       {-13, 3}},
      {{-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {9, -14}},
      {{-16, -16}, {-7, -1}, {14, -5}, {-16, -16}, {8, 1}, {-16, 8}, {-9, -16}, {5, 8}, {-16, -10}, {-3, 6}, {-1, 3},
       {-13, 3}}},
     {}},
    {"an outer ring that a join merged into a hole lying apart from it",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-4, -15}, {-15, -15}, {-8, 6}, {-16, -16}, {-11, -16}, {-4, -15}, {-15, -15}, {5, -16}},
      {{6, 8}, {-4, -15}, {-15, -15}, {7, 6}, {-16, -16}, {8, 8}, {-4, -15}, {-15, -15}},
      {{6, 8}, {-16, -9}, {13, 7}, {13, 13}, {13, 13}, {8, 8}, {-4, -15}, {-15, -15}},
      {{6, 8}, {-16, -9}, {13, 13}, {13, 13}, {13, 13}, {13, 13}, {13, 13}, {13, 13}}},
     {{{-1, -16}, {-16, -15}, {13, 13}}, {{13, 13}, {-7, -14}}}},
    {"a thin loop that its ring's nesting would turn, though the input leaves it as it runs",
     Difference,
     EvenOdd,
     Positive,
     {{{2, 9}, {-9, -3}, {10, 16}, {-15, -8}, {-10, -10}, {8, 16}, {-1, -9}},
      {{-5, -4}, {5, 15}, {8, 16}, {3, 2}, {7, -4}},
      {{11, -12}, {-15, -8}, {-14, -7}, {-11, -9}, {6, -7}, {-9, -3}, {-12, 6}, {3, 2}}},
     {}},
    {"the same under another operation, with clip rings",
     Xor,
     EvenOdd,
     NonZero,
     {{{-3, -5}, {-11, -2}, {0, -14}, {0, -7}, {7, 12}, {-11, 3}},
      {{12, -4}, {-11, 3}, {0, -7}, {-15, -3}, {13, 5}, {0, -7}, {0, -9}},
      {{2, -8}, {3, -14}, {3, -14}, {8, -9}, {12, -4}, {13, 5}},
      {{16, -16}, {12, -4}, {14, -5}, {-16, -5}}},
     {{{-1, -13}, {16, -16}, {-6, -5}, {-11, -2}, {2, 1}, {3, -3}}, {{-15, -3}, {15, 16}, {5, -5}}}},
    {"a thin loop whose only clear points lie in a short stretch of its height",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{4, 1}, {7, 1}, {1, -1}, {15, -2}, {-4, -1}, {-8, -7}, {7, 1}, {-2, -12}, {7, 1}, {11, -11}},
      {{-12, -13}, {-10, 0}, {-3, -1}, {8, 1}, {16, 16}, {-10, 0}, {-8, -15}, {-14, 16}, {-9, -4}, {-8, -6}, {8, 2},
       {-12, -15}},
      {{3, 8}, {13, -3}, {-9, -4}, {1, -3}, {-9, -4}}},
     {}},
};

// Translations: none, and one beyond the range of 64-bit slope products.
constexpr std::int64_t kOffsets[] = {0, std::int64_t(1) << 40};

const std::vector<int> kOptions = {0, StrictlySimple, PreserveCollinear, StrictlySimple | PreserveCollinear,
                                   ReverseSolution, ReverseSolution | StrictlySimple};

Paths Translated(const Paths& rings, std::int64_t offset) {
    Paths out = rings;
    for (Path& ring : out)
        for (IntPoint& p : ring) p = IntPoint(p.X + offset, p.Y + offset, p.Z);
    return out;
}

void ExpectWellFormed(const Case& c, const std::vector<int>& options) {
    for (const std::int64_t offset : kOffsets) {
        for (const int option : options) {
            EXPECT_EQ(cliptest::ResultFault(Translated(c.subject, offset), Translated(c.clip, offset), c.op,
                                            c.subjectFill, c.clipFill, option),
                      "")
                << c.name << ", offset " << offset << ", options " << option;
        }
    }
}

TEST(Rounding, ThinLoopsJoinsAndHoleLinksGiveWellFormedResults) {
    for (const Case& c : kSmallCases) ExpectWellFormed(c, kOptions);
}

// A join merges this ring with a part that lies in another ring: the ring alone covers places
// both ways, and the nesting of its loops among themselves misjudges them.
const Case kMergedRing = {
    "a ring that a join merged with a part lying in another ring",
    Xor,
    EvenOdd,
    EvenOdd,
    {{{8, -7}, {0, 8}, {-8, 8}, {9, 9}, {-6, -16}, {8, 8}, {-16, 8}, {-14, -16}, {-13, 10}},
     {{0, 8}, {-8, 8}, {-11, -16}, {-6, 8}, {-8, 8}, {-11, -16}, {-6, 0}},
     {{-8, -14}, {8, 4}, {2, -9}, {-1, 9}, {8, 8}}},
    {{{-16, -16}, {-16, 8}, {8, 0}, {-16, -8}, {-14, 0}, {8, 8}, {-16, -16}, {10, 8}, {-8, 8}, {-11, -16}},
     {{8, -11}, {-16, -13}, {8, 9}, {-11, 2}, {-16, -16}}}};

// With reversed strictly simple output, the loops of that ring that run against their nesting
// are all thin: turned as if rounding had turned them, they covered a place twice.
TEST(Rounding, ALoopThatNoSingleLargerLoopHoldsKeepsItsWay) { ExpectWellFormed(kMergedRing, kOptions); }

// A strictly simple join splits the hole's holder into the ring and a spike of no area; the
// thin hole, one rounded vertex just outside the ring, keeps its link to the spike, and once
// the spike is dropped no link leads to a ring that holds it. The input leaves empty a point
// inside it far from every input edge: it stays a hole, held by the ring that covers that point.
TEST(Rounding, AHoleWhoseHolderAJoinSplitIntoTheRingAndASpike) {
    ExpectWellFormed({"a hole whose holder a join split into the ring and a spike",
                      Union,
                      Negative,
                      NonZero,
                      {{{-10, -8}, {-10, -8}, {-9, -15}, {-9, -15}, {16, 2}, {-7, -14}}},
                      {{{-9, -15}, {8, -16}, {8, -16}, {8, -3}, {9, -7}, {-14, -13}}}},
                     {StrictlySimple});
}

// Inherent in rounding to the grid: in this one-unit strip (x from -16 to -15) the edges
// (-16,8)-(-15,-8) and (-16,10)-(-15,-16) cross at (-15.8,4.8), which rounds to (-16,5), and
// (-16,8)-(-15,-8) and (-15,-15)-(-16,11) at (-15.7,3.2), which rounds to (-16,3). The hole
// rounds to (-16,5) (-15,-8) (-15,-15) (-16,-16), of area 14, its outer ring to (-15,-8)
// (-16,3) (-16,-16) (-15,-16), of area 13.5: the hole reaches across the outer ring's edge
// from (-16,3) to (-15,-8) into the neighbouring ring (-16,3) (-15,-8) (-16,8), so no one ring
// can hold it, as a tree needs. Every point of the strip lies within a unit of the input edge
// from (-16,-16) to (-16,12), which runs along its side, so the input's windings cannot tell a
// hole from a ring that rounding turned there either. The hole is turned, and the result
// covers 30 where the subject covers about 2.46; kept as a hole it would cover 2, but no ring
// of a tree could hold it.
TEST(Rounding, DISABLED_AHoleThatRoundsLargerThanItsOuterRingInAOneUnitStrip) {
    const Paths subject = {
        {{-16, -16}, {-16, 8}, {-15, -8}, {-16, 11}, {-16, -16}, {-15, -15}, {-16, 11}, {-16, 10}, {-15, -16}, {-16, -16},
         {-16, 12}},
        {{-15, -15}, {-16, -16}, {-16, -16}}};
    for (const int options : {int(StrictlySimple), StrictlySimple | PreserveCollinear}) {
        Engine engine(options);
        engine.AddPaths(subject, Subject, true);
        Paths solution;
        ASSERT_TRUE(engine.Execute(Difference, solution, EvenOdd, EvenOdd));
        EXPECT_NEAR(static_cast<double>(cliptest::TwiceArea(solution)) / 2, 2.46, 1.0) << "options " << options;
    }
}

// Still open: the rings given twice make two copies that joins split in different ways. One
// is left whole as a hole that no link leads to; the parts of the other lie under it, but one
// of them reaches beyond its edge, so no one ring holds it (as a tree needs) and the parts do
// not cancel it. The input leaves empty the point inside it that is clear of its edges, yet
// the hole is turned, covering that point twice.
TEST(Rounding, DISABLED_AHoleThatOnlySeveralRingsTogetherHold) {
    const Path first = {{-95, -58}, {-52, -88}, {-51, 94}, {82, 92}, {7, 87}, {66, -26},
                        {4, -72},   {52, 64},   {-30, 36}, {38, 71}, {45, -36}, {-54, -12}};
    const Path second = {{-76, -100}, {-76, -100}, {-98, 18}, {-76, -100}, {-38, -76}, {-77, 20},
                         {81, 32},    {60, 55},    {77, 34},  {-47, -99},  {77, 34},   {-76, -100}};
    ExpectWellFormed({"rings given twice, whose copies joins split in different ways",
                      Union,
                      EvenOdd,
                      Negative,
                      {first, second, first, second},
                      {{{94, 63}, {76, 6}, {-99, 44}, {-35, 10}, {16, -57}}}},
                     {StrictlySimple});
}

constexpr std::int64_t kTop = 4611686018427387903;  // the largest coordinate allowed

const Case kLargeCases[] = {
    // The area of this thin triangle, summed in doubles, comes out as zero.
    {"a thin ring at the edge of the range",
     Union,
     EvenOdd,
     EvenOdd,
     {{{-1854836537934479359, -kTop}, {-kTop + 25, -kTop + 34}, {-kTop + 123, -kTop}}},
     {}},
    // An edge's X at a scan line, in doubles, overshoots its end by a unit.
    {"an edge ending at the edge of the range",
     Union,
     Positive,
     EvenOdd,
     {},
     {{{-4227378850225105578, 4611513821652280285},
       {-3746668863092399359, -kTop + 1},
       {-4550042964158709504, 4567603643999836937},
       {-kTop + 34216, -kTop}}}},
    // Crossing points, in doubles, land beyond both edges and beyond the allowed range.
    {"edges crossing at the edge of the range",
     Xor,
     EvenOdd,
     EvenOdd,
     {{{-3736580315833958400, 576614679841868838},
       {-kTop + 1, -kTop + 1},
       {4611684923210727425, -kTop + 1},
       {-kTop + 1, -kTop + 1},
       {-kTop + 1, 4611686014149132545},
       {-kTop + 138, -kTop}}},
     {}},
    // Two edges cross some 40 units below a scan line; in doubles the crossing rounds above
    // it, and the point put back on the scan line must stay within both edges' spans, not
    // on the flatter one beyond the subject's right end.
    {"a crossing that rounds above its scanbeam at the edge of the range",
     Difference,
     NonZero,
     EvenOdd,
     {{{1537228672809109248, -kTop + 1},
       {4611686018427387650, -kTop},
       {-4611610958433905988, 4611683823699099649},
       {4611686014300193058, 2500623694724148113},
       {-4323455641503334399, 4539909899366170625}}},
     {{{4611686018427387660, -4611369359074114491}, {-357473215575837694, -3891003471934025840}, {kTop, -kTop}}}},
    // Two very flat subject edges cross inside a 255-unit scanbeam; in doubles the crossing
    // lands some thousand units away, and the point put back on the beam's edge lay at the
    // flatter edge's far end, beyond the clip's left end.
    {"two very flat edges crossing at the edge of the range",
     Intersection,
     NonZero,
     NonZero,
     {{{3760224381941740556, 4467833667123028265},
       {4611411142282051841, 4611686018427352076},
       {-2666130979403390464, 4611411140520509441},
       {4611684957570465538, -kTop},
       {-kTop, -kTop + 255},
       {4539677908423903862, 3760224381941740556},
       {3775741788987274752, 4611411142282051841},
       {4611532134010646390, -2666130979403390464},
       {-4611404543450677248, 4611684957570465538},
       {-kTop, -kTop},
       {442478659094183937, -kTop + 4294967156},
       {3754383608094523498, -4610842667239079680}}},
     {{{-3963167676381003775, -kTop}, {-2017893008527065090, 1010213691414544640}, {-4611686018427387648, -kTop}}}},
    // The clip is a sliver 38 units wide along X = -kTop; a vertex of the result landed
    // some 470 units beyond its right end.
    {"a result vertex beyond a thin clip at the edge of the range",
     Intersection,
     Negative,
     Negative,
     {{{-kTop + 1, -1785633928891711743},
       {-kTop, -4611686018410610577},
       {4140038906921970788, 2263467141186466354},
       {4069111524599279951, 2839454690230478632},
       {4611685773614252033, 4611472713171599362},
       {-kTop, -kTop},
       {-4611684918908983448, 2839351785911998927},
       {-kTop + 1, -kTop + 1}}},
     {{{-kTop + 1, -kTop + 1}, {-kTop + 1, 4539628424389486441}, {-kTop + 39, -kTop}}}},
};

TEST(Rounding, ResultsAtTheEdgeOfTheCoordinateRange) {
    for (const Case& c : kLargeCases) {
        for (const int options : kOptions) {
            EXPECT_EQ(cliptest::ResultFault(c.subject, c.clip, c.op, c.subjectFill, c.clipFill, options), "")
                << c.name << ", options " << options;
        }
    }
}

// An active edge at the bottom botY of a scanbeam.
TEdge ActiveEdge(IntPoint bottom, IntPoint top, std::int64_t botY) {
    TEdge e;
    e.bottom = bottom;
    e.top = top;
    e.delta = IntPoint(top.X - bottom.X, top.Y - bottom.Y);
    e.dx = static_cast<double>(e.delta.X) / static_cast<double>(e.delta.Y);
    e.current = IntPoint(TopX(e, botY), botY);
    return e;
}

// Two edges that swap order within the scanbeam from botY up to topY; left is the one on
// the left at botY. crossing: the Y where they cross, rounded, and the steeper edge's exact X
// there, rounded down.
struct CrossingCase {
    const char* name;
    IntPoint leftBottom, leftTop, rightBottom, rightTop;
    std::int64_t topY, botY;
    IntPoint crossing;
};

const CrossingCase kFlatCrossings[] = {
    // Some 3.6e16 and 1.2e9 units of X per unit of Y: in doubles the crossing lands about a
    // thousand units of Y away, beyond the 255-unit beam.
    {"the steeper edge on the right",
     {-kTop, -kTop + 255},
     {4611684957570465538, -kTop},
     {442478659094183937, -kTop + 4294967156},
     {-kTop, -kTop},
     -kTop,
     -kTop + 255,
     {-kTop + 300074935606, -kTop + 255}},
    {"the steeper edge on the left",
     {-442478659094183937, -kTop + 4294967156},
     {kTop, -kTop},
     {kTop, -kTop + 255},
     {-4611684957570465538, -kTop},
     -kTop,
     -kTop + 255,
     {kTop - 300074935606, -kTop + 255}},
};

TEST(Rounding, FlatEdgesCrossWhereTheyCrossAtTheEdgeOfTheRange) {
    for (const CrossingCase& c : kFlatCrossings) {
        const TEdge left = ActiveEdge(c.leftBottom, c.leftTop, c.botY);
        const TEdge right = ActiveEdge(c.rightBottom, c.rightTop, c.botY);
        IntPoint pt;
        IntersectPoint(left, right, c.topY, true, pt);
        EXPECT_EQ(pt.Y, c.crossing.Y) << c.name;
        // X in doubles on the steeper edge, some 5e18 units from its bottom: within two units
        // in the last place.
        EXPECT_LE(std::llabs(pt.X - c.crossing.X), 1 << 10) << c.name << ": X " << pt.X;
    }
}

// A crossing that the doubles put inside its beam: the sums they start from lose whole
// units at the top of the range, which must not carry X off the steeper edge. Edges of the
// fuzzer's case above, a steep one (1.5e-7 units of X per unit of Y) and one at about 45
// degrees, crossing a few units from the flatter edge's top; and the same mirrored in X.
struct BeamCase {
    const char* name;
    IntPoint leftBottom, leftTop, rightBottom, rightTop;
    std::int64_t topY, botY;
};

const BeamCase kSteepCrossings[] = {
    {"the steeper edge on the left",
     {-4611684918908983448, 2839351785911998927},
     {-kTop + 1, -kTop + 1},
     {4140038906921970788, 2263467141186466354},
     {-kTop, -4611686018410610577},
     -4611686018410610577,
     -1785633928891711743},
    {"the steeper edge on the right",
     {-4140038906921970788, 2263467141186466354},
     {kTop, -4611686018410610577},
     {4611684918908983448, 2839351785911998927},
     {kTop - 1, -kTop + 1},
     -4611686018410610577,
     -1785633928891711743},
};

TEST(Rounding, CrossingsInsideTheBeamStayOnTheSteeperEdgeAtTheEdgeOfTheRange) {
    for (const BeamCase& c : kSteepCrossings) {
        const TEdge left = ActiveEdge(c.leftBottom, c.leftTop, c.botY);
        const TEdge right = ActiveEdge(c.rightBottom, c.rightTop, c.botY);
        const TEdge& steeper = std::fabs(left.dx) < std::fabs(right.dx) ? left : right;
        IntPoint pt;
        IntersectPoint(left, right, c.topY, true, pt);
        EXPECT_GE(pt.Y, c.topY) << c.name;
        EXPECT_LE(pt.Y, c.botY) << c.name;
        EXPECT_LE(std::llabs(pt.X - TopX(steeper, pt.Y)), 1) << c.name << ": X " << pt.X << " at Y " << pt.Y;
    }
}

}  // namespace
