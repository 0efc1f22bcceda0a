#include "clipping/PathStream.h"

namespace clip {

std::ostream& operator<<(std::ostream& s, const IntPoint& p) { return s << "(" << p.X << "," << p.Y << ")"; }

std::ostream& operator<<(std::ostream& s, const Path& path) {
    for (std::size_t i = 0; i < path.size(); ++i) s << path[i] << (i + 1 < path.size() ? ", " : "\n");
    return s;
}

std::ostream& operator<<(std::ostream& s, const Paths& paths) {
    for (const Path& path : paths) s << path;
    return s << "\n";
}

}  // namespace clip
