#include "error.h"

#include <cstdarg>
#include <cstdio>

namespace engine {

void fail(ErrorKind kind, const char *format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    throw Error(kind, text);
}

}  // namespace engine
