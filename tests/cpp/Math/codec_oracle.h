#pragma once

// Checks the float text codec against std::to_chars: shared by the sampled test and the
// run over every float (tests/exhaustive/codec_exhaustive.cpp).

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Math/FloatCodec.h"

namespace codec_oracle {

inline float FloatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A decimal text as significant digits (no leading or trailing zeros) and the power of ten
// of the last one, whatever the placing of point and exponent.
struct Decimal {
    bool negative = false;
    char digits[40] = {};
    int length = 0;
    int exponent = 0;
    bool operator==(const Decimal &o) const {
        return negative == o.negative && length == o.length && exponent == o.exponent &&
               std::memcmp(digits, o.digits, static_cast<size_t>(length)) == 0;
    }
};

inline Decimal DecimalOf(const char *text) {
    Decimal d;
    const char *p = text;
    d.negative = *p == '-';
    if (d.negative) ++p;
    bool afterPoint = false;
    for (; *p != '\0' && *p != 'e' && d.length < 40; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (!(d.length == 0 && *p == '0')) d.digits[d.length++] = *p;
        if (afterPoint) --d.exponent;
    }
    if (*p == 'e') d.exponent += std::atoi(p + 1);
    while (d.length > 0 && d.digits[d.length - 1] == '0') {
        --d.length;
        ++d.exponent;
    }
    return d;
}

struct Verdict {
    std::string failure;  // empty when the text is right
    bool unproven = false;  // the digit generation could not prove the shortest digits
};

// The text of the float with these bits: reads back to the same bits, stopping at its end;
// a NaN shows its pattern; other values carry the shortest round-trip digits of the value as
// a double, or, where those cannot be proven, the "%.17g" text.
inline Verdict Check(uint32_t bits) {
    Verdict verdict;
    const float value = FloatFromBits(bits);
    char text[32];
    const char *end = math::SerializeFloat(value, text);
    const auto fail = [&](const std::string &what) {
        char bitsText[16];
        std::snprintf(bitsText, sizeof bitsText, "%08X", static_cast<unsigned>(bits));
        verdict.failure = std::string("bits ") + bitsText + " text \"" + text + "\": " + what;
    };
    if (end != text + std::strlen(text)) fail("end pointer is not at the terminator");
    const char *stop = nullptr;
    const float back = math::DeserializeFloat(text, &stop);
    if (BitsOf(back) != bits) fail("reads back as other bits");
    if (stop != end) fail("reading stops elsewhere than at the end");
    if (!verdict.failure.empty()) return verdict;
    char expected[64];
    if (std::isnan(value) || std::isinf(value)) {
        if (std::isnan(value))
            std::snprintf(expected, sizeof expected, "NaN(%08X)", static_cast<unsigned>(bits));
        else
            std::snprintf(expected, sizeof expected, "%s", bits >> 31 ? "-inf" : "inf");
        if (std::strcmp(text, expected) != 0) fail(std::string("expected ") + expected);
        return verdict;
    }
    const double wide = value;
    const std::to_chars_result shortest = std::to_chars(expected, expected + sizeof expected - 1, wide, std::chars_format::scientific);
    *shortest.ptr = '\0';
    if (DecimalOf(text) == DecimalOf(expected)) return verdict;
    verdict.unproven = true;
    std::snprintf(expected, sizeof expected, "%s%.17g", std::signbit(wide) ? "-" : "", std::fabs(wide));
    if (std::strcmp(text, expected) != 0) fail(std::string("neither the shortest digits nor ") + expected);
    return verdict;
}

}  // namespace codec_oracle
