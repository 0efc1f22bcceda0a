#include "Math/grisu3_cpp.h"

#include <cassert>

#include "Math/grisu3.h"

std::string dtoa_grisu3_string(double value) {
    char buffer[32];
    const int length = dtoa_grisu3(value, buffer);
    assert(length >= 1 && length <= 24 && buffer[length] == '\0');
    return std::string(buffer, static_cast<size_t>(length));
}
