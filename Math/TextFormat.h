#pragma once

#include <string>

namespace math {

// printf-style formatting into a buffer sized by a first measuring pass, so the text
// is exactly what sprintf would write and never overruns.
std::string FormatText(const char *format, ...) __attribute__((format(printf, 1, 2)));

// glibc prints a NaN with the sign bit as "-nan"; text forms print every NaN as "nan".
double PrintableFloat(float value);

}  // namespace math
