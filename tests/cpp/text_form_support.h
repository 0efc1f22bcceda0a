#pragma once

// Shared by the text-form tests of the math and shape types.

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <type_traits>

namespace text_form_support {

// The text in a heap block of exactly its size (terminator included), so that the address
// sanitizer sees any read past it.
inline std::unique_ptr<char[]> ExactCopy(const char *text, size_t length) {
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), text, length);
    copy[length] = '\0';
    return copy;
}

inline std::unique_ptr<char[]> ExactCopy(const std::string &text) { return ExactCopy(text.data(), text.size()); }

// Identical bits in every float of two values made of floats (NaN payloads and -0 included).
template <typename T>
bool BitEqual(const T &a, const T &b) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) % sizeof(float) == 0, "floats only");
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// A value whose floats are random bit patterns: every class of float, NaN payloads included.
template <typename T>
T RandomBits(std::mt19937 &random) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) % sizeof(float) == 0, "floats only");
    uint32_t bits[sizeof(T) / sizeof(float)];
    for (uint32_t &b : bits) b = static_cast<uint32_t>(random());
    T value;
    std::memcpy(&value, bits, sizeof(T));
    return value;
}

// What printf writes for the format when every conversion gets magnitude (as "%.2f", "%.3f",
// "%f" or "%2.f"), with a leading "-" when negative: the expected text of the widest values.
inline std::string FilledFormat(const char *format, double magnitude, bool negative) {
    char whole[64];
    std::snprintf(whole, sizeof whole, "%s%.0f", negative ? "-" : "", magnitude);
    std::string text;
    for (const char *p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            text += *p;
            continue;
        }
        const char *conversion = std::strchr(p, 'f');
        const std::string directive(p, conversion + 1);
        text += whole;
        if (directive == "%.2f") text += ".00";
        if (directive == "%.3f") text += ".000";
        if (directive == "%f") text += ".000000";
        p = conversion;
    }
    return text;
}

}  // namespace text_form_support
