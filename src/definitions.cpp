#include "definitions.h"

#include "ruby_guard.h"

namespace engine {

void check_definition_index(int index, int count) {
    if (index < 0 || index >= count)
        throw RubyError(rb_eIndexError, "definition index %d out of range (%d definitions)", index, count);
}

}  // namespace engine
