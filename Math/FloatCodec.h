#pragma once

#include <initializer_list>
#include <string>

namespace math {

// The text forms of the math and shape types write their floats with SerializeFloat and read
// them back with DeserializeFloat, bit for bit (NaN payloads and -0 included) while the
// process locale writes "." as decimal point.

// The shortest text that reads back to value, or "NaN(hhhhhhhh)" with a NaN's 32-bit
// pattern. buffer must hold 25 bytes; returns a pointer to the terminator written.
char *SerializeFloat(float value, char *buffer);
// Each value by SerializeFloat, joined by ",".
std::string SerializeFloats(std::initializer_list<float> values);

// Reads one number after any blanks and control characters: "NaN(" with a hexadecimal bit
// pattern, "-inf", "inf" or a decimal (strtod). After a decimal or infinity, blanks, one ","
// or ";" and blanks again are skipped, so that lists read in sequence. Text that holds no
// number gives 0 and consumes nothing; a null, empty or all-blank text, or "NaN(" without a
// digit, gives the quiet NaN and leaves *outEndStr unwritten. Otherwise *outEndStr, when
// outEndStr is not null, receives the position reached.
float DeserializeFloat(const char *str, const char **outEndStr);
// The same for a double, with 64-bit NaN patterns.
double DeserializeDouble(const char *str, const char **outEndStr);

// Reads up to 17 hexadecimal digits into *outValue (set to 0 first; a 17th digit pushes the
// first one out of the 64 bits), stopping at the first other character, and returns the
// number of digits read. A null outValue is logged and nothing is read.
int hexstr_to_u64(const char *str, unsigned long long *outValue);

// True when the current locale's decimal point is exactly ".".
bool IsNeutralCLocale();
// The number of "," in [start, end).
int CountCommas(const char *start, const char *end);
// The first ch in str, or its terminator when there is none; null for a null str.
const char *FindNext(const char *str, char ch);

}  // namespace math
