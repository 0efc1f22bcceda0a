// The process-wide scene state: what the loaders stored last, read by the generators,
// the projection and the object-area filter. Each loader replaces only its own part.
#pragma once

#include <ruby.h>

#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"

namespace engine {

extern std::string surface_type;                              // "surface" or "curve", empty before any load
extern std::vector<math::Polygon> surface;                    // one polygon per face, in the custom-axis frame
extern std::vector<math::AABB2D> poly_bboxes;                 // per face: x and y bounds of its vertices
extern math::AABB bbox;                                       // around all face vertices
extern std::vector<std::vector<math::LineSegment>> curves;    // per curve, its segments
extern std::vector<std::vector<math::Polygon>> object_areas;  // per object, its footprints at z = 0

// Counts surface loads, so that indexes built over the faces notice a reload (the
// time-limit prompt runs the host's Ruby code, which may load a new surface mid-call).
extern unsigned surface_generation;
// Counts object-area loads, for the same reason: the object-area filter's index notices them.
extern unsigned object_areas_generation;

// The face normals exactly as Ruby passed them. They live in a Ruby Array that the
// collector marks and updates when it compacts, so the engine refers to them by index only.
VALUE surface_normal(long face);

}  // namespace engine
