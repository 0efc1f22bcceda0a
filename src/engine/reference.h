// The straightforward algorithms stay in the engine as the reference that the indexed ones
// must match bit for bit. Only the engine's C++ tests switch them on; Ruby cannot reach it.
#pragma once

namespace engine {

extern bool use_reference_algorithms;

}  // namespace engine
