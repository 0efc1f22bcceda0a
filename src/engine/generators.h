// The point generators: candidate points on, above or along the scene.
#pragma once

#include <vector>

#include "pace.h"
#include "records.h"
#include "scene.h"

namespace engine {

// What a generator made: point records, or bare positions (only `position` used).
struct Generated {
    bool bare_points = false;
    std::vector<GeneratedPoint> points;
};

// Grid spacings, jitters (percent of a spacing) and offsets along the grid's two axes.
struct GridSettings {
    float sx, sy, jx, jy, ox, oy;
};

// A jittered grid over the faces, turned by angle degrees about +Z, at the top of their box.
Generated grid_points(const Surface &surface, float angle, int seed, const GridSettings &grid, Pace &pace);

// Points every spacing along each curve, the spacing running on across joints.
Generated curve_spacing_points(const Curves &curves, int seed, float spacing, float offset, float jitter, Pace &pace);

struct DensitySettings {
    bool above_faces;  // bare points spread over the faces' box, to be projected, rather than on the faces
    int seed;
    float density;
    float factor;
};

// Random points by density: on the faces, above them, or along the curves (by scene kind).
Generated random_points(const Scene &scene, const DensitySettings &settings, Pace &pace);

// One record per curve vertex but the last, with the heading of the segment ending there.
Generated curve_vertex_points(const Curves &curves);

// One record per face, at its centroid.
Generated face_centre_points(const Surface &surface);

}  // namespace engine
