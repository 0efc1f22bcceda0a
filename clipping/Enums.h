#pragma once

#include <cstdint>

namespace clip {

// Callers pass these as numbers, so every value is fixed.
enum ClipType : std::int32_t { Intersection = 0, Union = 1, Difference = 2, Xor = 3 };
enum PolyType : std::int32_t { Subject = 0, Clip = 1 };
enum PolyFillType : std::int32_t { EvenOdd = 0, NonZero = 1, Positive = 2, Negative = 3 };
enum JoinType : std::int32_t { SquareJoin = 0, RoundJoin = 1, MiterJoin = 2 };
enum EndType : std::int32_t { ClosedPolygon = 0, ClosedLine = 1, OpenButt = 2, OpenSquare = 3, OpenRound = 4 };
enum NodeType : std::int32_t { AnyNode = 0, OpenNode = 1, ClosedNode = 2 };
enum Direction : std::int32_t { RightToLeft = 0, LeftToRight = 1 };
enum EdgeSide : std::int32_t { LeftSide = 1, RightSide = 2 };
enum InitOptions : std::int32_t { ReverseSolution = 1, StrictlySimple = 2, PreserveCollinear = 4 };

}  // namespace clip
