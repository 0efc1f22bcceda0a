// The collision test's core: walking the records in visiting order, every record that
// still survives removes every other record whose footprint it overlaps.
#pragma once

#include <vector>

#include "footprint.h"
#include "pace.h"

namespace engine {

// Which records are removed, by place in the visiting order: `order` lists the indices into
// `footprints` as they are visited. A record survives exactly when it overlaps no survivor
// that comes before it.
std::vector<bool> removed_by_overlaps(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                      Pace &pace);

// The two ways to find them, with identical results: the scan over every pair in visiting
// order (the reference) and a grid in plan view.
std::vector<bool> remove_overlaps_by_scan(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                          Pace &pace);
std::vector<bool> remove_overlaps(const std::vector<Footprint> &footprints, const std::vector<int> &order,
                                  Pace &pace);

}  // namespace engine
