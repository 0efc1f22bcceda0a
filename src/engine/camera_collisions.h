// Filters that keep what a camera sees and remove instances whose footprints overlap.
#pragma once

#include <vector>

#include "Math/float3.h"
#include "pace.h"
#include "records.h"

namespace engine {

// [eye, direction, up, horizontal field of view, vertical field of view]
struct Camera {
    math::float3 eye, dir, up;
    double hfov, vfov;
};

struct CameraSettings {
    int seed;
    bool frustum;
    float margin;     // widens both fields of view; read only with the frustum on
    float eye_shift;  // moves the eye along the view; read only with the frustum on
    bool distance;
    float max_distance;
    float falloff;    // read only with the distance on
};

// The indices of the positions the camera keeps, in order.
std::vector<int> camera_filter(const std::vector<math::float3> &positions, const Camera &camera,
                               const CameraSettings &settings, Pace &pace);

// The records' positions, definitions and axis scales; the definitions' origins and boxes.
// The indices of the surviving records in visiting order, which the process-wide shuffle
// deals. Seeds the rand stream for the steps that follow.
std::vector<int> collisions(const std::vector<PointRecord> &records, const std::vector<Definition> &definitions,
                            float size_percent, int seed, Pace &pace);

}  // namespace engine
