#include "Math/TextFormat.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace math {

std::string FormatText(const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

double PrintableFloat(float value) { return std::isnan(value) ? std::fabs(static_cast<double>(value)) : value; }

}  // namespace math
