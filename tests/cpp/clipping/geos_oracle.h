#pragma once

// GEOS as a test oracle: rings and paths of the clip library made into GEOS geometries.
#ifdef VANDREL_HAVE_GEOS

#include <geos_c.h>

#include <vector>

#include "clipping/IntPoint.h"
#include "clipping/PolyTree.h"

namespace cliptest {

class Geos {
public:
    Geos() : handle_(GEOS_init_r()) {}
    ~Geos() { GEOS_finish_r(handle_); }
    Geos(const Geos&) = delete;
    Geos& operator=(const Geos&) = delete;

    GEOSContextHandle_t Handle() const { return handle_; }

    // A polygon from an outer ring followed by its holes.
    GEOSGeometry* Polygon(const clip::Paths& rings) const {
        std::vector<GEOSGeometry*> made;
        for (const clip::Path& ring : rings) made.push_back(Ring(ring));
        return GEOSGeom_createPolygon_r(handle_, made[0], made.data() + 1, unsigned(made.size() - 1));
    }

    bool IsValid(const clip::Paths& polygon) const {
        GEOSGeometry* g = Polygon(polygon);
        const bool valid = GEOSisValid_r(handle_, g) == 1;
        Destroy(g);
        return valid;
    }

    // The outer rings of a tree with their holes, made valid where rings touch.
    GEOSGeometry* MultiPolygon(const clip::PolyTree& tree) const {
        std::vector<GEOSGeometry*> polygons;
        for (const clip::PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
            if (node->IsHole()) continue;
            clip::Paths rings{node->contour};
            for (const clip::PolyNode* hole : node->childs) rings.push_back(hole->contour);
            polygons.push_back(Polygon(rings));
        }
        GEOSGeometry* all =
            GEOSGeom_createCollection_r(handle_, GEOS_MULTIPOLYGON, polygons.data(), unsigned(polygons.size()));
        if (GEOSisValid_r(handle_, all) == 1) return all;
        GEOSGeometry* valid = GEOSMakeValid_r(handle_, all);
        Destroy(all);
        return valid;
    }

    // A line string through the path's vertices, back to the first when closed.
    GEOSGeometry* Line(const clip::Path& path, bool closed) const {
        return GEOSGeom_createLineString_r(handle_, Sequence(path, closed));
    }

    void Destroy(GEOSGeometry* g) const { GEOSGeom_destroy_r(handle_, g); }

private:
    GEOSCoordSequence* Sequence(const clip::Path& path, bool closed) const {
        const std::size_t count = path.size() + (closed ? 1 : 0);
        GEOSCoordSequence* seq = GEOSCoordSeq_create_r(handle_, unsigned(count), 2);
        for (std::size_t i = 0; i < count; ++i) {
            const clip::IntPoint& p = path[i % path.size()];
            GEOSCoordSeq_setXY_r(handle_, seq, unsigned(i), double(p.X), double(p.Y));
        }
        return seq;
    }

    GEOSGeometry* Ring(const clip::Path& ring) const {
        return GEOSGeom_createLinearRing_r(handle_, Sequence(ring, true));
    }

    GEOSContextHandle_t handle_;
};

}  // namespace cliptest

#endif
