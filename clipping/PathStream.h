#pragma once

#include <ostream>

#include "clipping/IntPoint.h"

namespace clip {

// "(X,Y)"; Z is not written.
std::ostream& operator<<(std::ostream& s, const IntPoint& p);
// "(X,Y), " per vertex, the last one followed by a line break; nothing for an empty path.
std::ostream& operator<<(std::ostream& s, const Path& path);
// Each path, then one more line break.
std::ostream& operator<<(std::ostream& s, const Paths& paths);

}  // namespace clip
