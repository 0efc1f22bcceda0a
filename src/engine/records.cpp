#include "records.h"

#include "error.h"

namespace engine {

void check_definition_index(int index, int count) {
    if (index < 0 || index >= count)
        fail(ErrorKind::index, "definition index %d out of range (%d definitions)", index, count);
}

}  // namespace engine
