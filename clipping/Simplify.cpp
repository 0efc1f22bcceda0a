#include "clipping/Simplify.h"

#include "clipping/Engine.h"

namespace clip {

void SimplifyPolygon(const Path& in, Paths& out, PolyFillType fill) { SimplifyPolygons(Paths{in}, out, fill); }

void SimplifyPolygons(const Paths& in, Paths& out, PolyFillType fill) {
    Engine engine(StrictlySimple);
    engine.AddPaths(in, Subject, true);
    engine.Execute(Union, out, fill, fill);
}

void SimplifyPolygons(Paths& polys, PolyFillType fill) { SimplifyPolygons(polys, polys, fill); }

}  // namespace clip
