// Definition indices of point records refer into the definition list of the call.
#pragma once

namespace engine {

// IndexError unless 0 <= index < count: the per-definition tables must never be read
// past their end.
void check_definition_index(int index, int count);

}  // namespace engine
