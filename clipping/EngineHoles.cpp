// Hole states of finished rings and the rings that hold them: which of two rings a join
// merges or splits holds the other, how the parts of a strictly simple ring nest, and where a
// hole whose links lead nowhere belongs. Near rounded crossings rings can overlap, so
// containment tests are checked against the way rings run and their sizes.
#include <algorithm>
#include <cmath>

#include "clipping/Engine.h"
#include "clipping/RingLoops.h"

namespace clip {

OutRec* Engine::Enclosing(OutRec* r1, OutRec* r2) const {
    if (r1->isHole == r2->isHole) return GetLowermostRec(r1, r2);
    // Of two closed rings that share an edge, one holding the other, the holder is the larger;
    // lowest points alone can tie where rounding brought the rings together.
    return std::fabs(Area(*r1)) >= std::fabs(Area(*r2)) ? r1 : r2;
}

Engine::Nesting Engine::JoinedPartsNesting(const OutRec* oldRec, const OutRec* newRec) const {
    const double oldArea = std::fabs(Area(*oldRec));
    const double newArea = std::fabs(Area(*newRec));
    Nesting nesting = Poly2ContainsPoly1(newRec->pts, oldRec->pts)   ? NewInsideOld
                      : Poly2ContainsPoly1(oldRec->pts, newRec->pts) ? OldInsideNew
                                                                     : Apart;
    // The two parts of a ring run opposite ways when one holds the other, the same way when
    // they lie apart, and a holder is the larger. Where the first vertex tested says
    // otherwise, rounding made the parts overlap near it: judge again far from the other
    // part's edges, and failing that by the way they run and their sizes.
    const bool opposite = AreaSign(oldRec->pts, useFullRange) * AreaSign(newRec->pts, useFullRange) < 0;
    const bool consistent = nesting == Apart ? !opposite
                            : opposite && (nesting == NewInsideOld ? newArea < oldArea : oldArea < newArea);
    if (consistent) return nesting;
    const int newFar = FarContainment(newRec->pts, oldRec->pts);
    const int oldFar = FarContainment(oldRec->pts, newRec->pts);
    if (newFar == 1 && newArea < oldArea) return NewInsideOld;
    if (oldFar == 1 && oldArea < newArea) return OldInsideNew;
    if (newFar == 0 && oldFar == 0) return Apart;
    if (!opposite) return Apart;
    return newArea < oldArea ? NewInsideOld : OldInsideNew;
}

void Engine::SplitHoleState(OutRec* oldRec, OutRec* newRec) {
    switch (JoinedPartsNesting(oldRec, newRec)) {
        case NewInsideOld:
            newRec->isHole = !oldRec->isHole;
            newRec->firstLeft = oldRec;
            FixupFirstLefts2(newRec, oldRec);
            KeepDirection(newRec);
            break;
        case OldInsideNew:
            newRec->isHole = oldRec->isHole;
            oldRec->isHole = !newRec->isHole;
            newRec->firstLeft = oldRec->firstLeft;
            oldRec->firstLeft = newRec;
            FixupFirstLefts2(oldRec, newRec);
            KeepDirection(oldRec);
            break;
        case Apart:
            newRec->isHole = oldRec->isHole;
            newRec->firstLeft = oldRec->firstLeft;
            FixupFirstLefts1(oldRec, newRec);
            break;
    }
}

void Engine::KeepDirection(OutRec* record) {
    // A part that runs against the hole state its nesting gives it is what rounding left of
    // rings that overlap (rings given twice, whose joins rounding defeated); turning it round
    // would add or take away the area it encloses. Its hole state follows the way it runs.
    SettleOrientation(record, AreaSign(record->pts, useFullRange));
}

void Engine::SettleOrientation(OutRec* record, int sign) {
    // Joins decide the hole state of a ring they merge from the rings' links and lowest points,
    // which rings that rounding brought together can mislead; the way the ring runs, which
    // every join keeps, tells what it encloses.
    if ((sign > 0) != (record->isHole == reverseOutput)) record->isHole = !record->isHole;
}

void Engine::SettleParts(const std::vector<OutRec*>& parts) {
    OutRec* const whole = parts.front();  // the ring's own record, now one of its parts
    const Holding holding{whole->firstLeft, whole->isHole};
    std::vector<OutRec*> kept;  // the parts that enclose something
    for (OutRec* part : parts) {
        const int sign = AreaSign(part->pts, useFullRange);
        // A part that only runs along a line and back (two collinear edges of the ring on top
        // of each other) encloses nothing.
        if (sign == 0) {
            DisposeOutPts(part->pts);
            continue;
        }
        // Every loop runs as its nesting says (OrientLoops), or, in a ring that joins merged,
        // as the ring it came from ran; where rounding made two loops overlap, containment
        // could not tell.
        part->isHole = (sign > 0) == reverseOutput;
        kept.push_back(part);
    }
    for (OutRec* part : kept) part->firstLeft = PartHolder(*part, kept, holding);
    // Rings that the whole ring held, or that lay beside it, now go with one of its parts.
    for (OutRec* r : outRecords) {
        if (!r->pts || std::find(parts.begin(), parts.end(), r) != parts.end()) continue;
        if (ParseFirstLeft(r->firstLeft, outRecords.size()) == whole) r->firstLeft = PartHolder(*r, kept, holding);
    }
}

namespace {

// A ring can hold only a smaller one, or, of an outer ring and a hole that coincide, the
// outer ring the hole: where rounding made two rings overlap, each could seem to hold the
// other, and links must never run in a circle.
bool MayHold(const OutRec& holder, double holderSize, const OutRec& r, double size) {
    return holderSize > size || (holderSize == size && !holder.isHole && r.isHole);
}

bool MayHold(const OutRec& holder, const OutRec& r) {
    return MayHold(holder, std::fabs(Area(holder)), r, std::fabs(Area(r)));
}

// Whether no vertex of ring1 lies outside ring2.
bool InsideOrOn(const OutPt* ring1, const OutPt* ring2) {
    const OutPt* op = ring1;
    do {
        if (PointInPolygon(op->pt, ring2) == 0) return false;
        op = op->next;
    } while (op != ring1);
    return true;
}

}  // namespace

bool Engine::InSplitPart(const OutRec& r, const OutRec& kept, const OutRec& split) const {
    // Only a larger part can hold r. Where rounding moved a vertex of r just outside the part
    // that holds it, as near the points the two share, the sizes still tell; but a ring thin
    // enough for rounding to have turned it may owe its hole state, and so its link to the
    // whole ring, to rounding too.
    const bool keptMayHold = MayHold(kept, r);
    const bool splitMayHold = MayHold(split, r);
    if (keptMayHold != splitMayHold && !Thin(r.pts)) return splitMayHold;
    return Poly2ContainsPoly1(r.pts, split.pts);
}

OutRec* Engine::PartHolder(const OutRec& r, const std::vector<OutRec*>& parts, const Holding& holding) const {
    if (OutRec* holder = SmallestHolder(r, parts)) return holder;
    OutRec* largest = nullptr;
    for (OutRec* part : parts) {
        if (part == &r || !part->pts || part->isHole == r.isHole || !MayHold(*part, r)) continue;
        if (!largest || std::fabs(Area(*part)) > std::fabs(Area(*largest))) largest = part;
    }
    return r.isHole == holding.wholeIsHole || !largest ? holding.outside : largest;
}

OutRec* Engine::SmallestHolder(const OutRec& r, const std::vector<OutRec*>& candidates) const {
    OutRec* smallest = nullptr;
    for (OutRec* c : candidates) {
        if (c == &r || !c->pts || c->isHole == r.isHole || !MayHold(*c, r) || !Poly2ContainsPoly1(r.pts, c->pts))
            continue;
        if (!smallest || MayHold(*smallest, *c)) smallest = c;
    }
    return smallest;
}

void Engine::FixupFirstLefts1(OutRec* oldRec, OutRec* newRec) {
    for (OutRec* r : outRecords) {
        if (r->pts && ParseFirstLeft(r->firstLeft, outRecords.size()) == oldRec && InSplitPart(*r, *oldRec, *newRec))
            r->firstLeft = newRec;
    }
}

void Engine::FixupFirstLefts2(OutRec* oldRec, OutRec* newRec) {
    for (OutRec* r : outRecords) {
        if (r->firstLeft == oldRec) r->firstLeft = newRec;
    }
}

std::vector<double> Engine::RingSizes() const {
    std::vector<double> sizes(outRecords.size(), 0.0);
    for (const OutRec* record : outRecords)
        if (record->pts) sizes[record->index] = std::fabs(Area(*record));
    return sizes;
}

OutRec* Engine::Container(const OutRec& record, const std::vector<double>& sizes) const {
    // A link can outlive what it said: a join can leave a ring pointing at a part that rounding
    // then turned into a small hole. Only a larger ring of the other hole state can hold this
    // one, so the links that count never run in a circle.
    auto holds = [&](const OutRec* ring) {
        return ring->pts && ring->isHole != record.isHole &&
               MayHold(*ring, sizes[ring->index], record, sizes[record.index]);
    };
    OutRec* fl = record.firstLeft;
    for (std::size_t steps = outRecords.size(); fl && !holds(fl) && steps > 0; --steps) fl = fl->firstLeft;
    return fl && holds(fl) ? fl : nullptr;
}

void Engine::SettleOrphanHoles() {
    const std::vector<double> sizes = RingSizes();  // reorienting a ring keeps its size
    auto orphaned = [&](const OutRec* record) { return record->pts && record->isHole && !Container(*record, sizes); };
    // Holes that cancel with the rings inside them go first, so that no ring is linked below to
    // a ring that then goes with them.
    for (OutRec* record : outRecords) {
        if (orphaned(record) && !SmallestHolder(*record, outRecords)) DropIfCancelled(record);
    }
    for (OutRec* record : outRecords) {
        if (!orphaned(record)) continue;
        // Its links lead to no outer ring: a join took over the ring that held it, or
        // rounding collapsed that ring. Look for the holder among all rings; a hole that none
        // holds is an outer ring.
        record->firstLeft = SmallestHolder(*record, outRecords);
        if (record->firstLeft) continue;
        // Or a rounded vertex of the hole lies just outside its holder, rather than rounding
        // having turned the ring: the input tells.
        RowPoint p;
        if (InputKeeps(record->pts, {record->pts}, record, p)) record->firstLeft = HolderAt(*record, p);
        if (record->firstLeft) continue;
        record->isHole = false;
        Reorient(record);
    }
}

void Engine::DropIfCancelled(OutRec* hole) {
    // Rings given twice, whose copies joins split in different ways, leave the one copy whole
    // as a hole that no ring holds, the other in parts inside it.
    std::vector<OutRec*> inner;
    std::vector<const OutPt*> rings{hole->pts};
    for (OutRec* r : outRecords) {
        if (r == hole || !r->pts || !InsideOrOn(r->pts, hole->pts)) continue;
        inner.push_back(r);
        rings.push_back(r->pts);
    }
    if (inner.empty() || SummedAreaSign(rings) != 0) return;
    DisposeOutPts(hole->pts);
    for (OutRec* r : inner) DisposeOutPts(r->pts);
}

OutRec* Engine::HolderAt(const OutRec& r, const RowPoint& p) const {
    OutRec* smallest = nullptr;
    for (OutRec* c : outRecords) {
        int winding = 0;
        if (c == &r || !c->pts || c->isHole == r.isHole || !MayHold(*c, r) || !RingWinding(c->pts, p, winding) ||
            winding == 0)
            continue;
        if (!smallest || MayHold(*smallest, *c)) smallest = c;
    }
    return smallest;
}

}  // namespace clip
