#include "Math/FloatCodec.h"

#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "Math/Assume.h"
#include "Math/grisu3.h"

namespace math {

namespace {

template <typename Real>
struct TextTraits;

// A float's "NaN(" pattern keeps the low 32 bits of however many digits follow.
template <>
struct TextTraits<float> {
    using Bits = uint32_t;
    static constexpr Bits kQuietNaN = 0x7FC00000u;
    static constexpr int kMaxHexDigits = INT_MAX;
};

template <>
struct TextTraits<double> {
    using Bits = uint64_t;
    static constexpr Bits kQuietNaN = 0x7FF8000000000000ull;
    static constexpr int kMaxHexDigits = 17;
};

template <typename Real>
Real FromBits(typename TextTraits<Real>::Bits bits) {
    Real value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits only (no blanks, sign or "0x"); the value wraps in 64 bits.
int ReadHex(const char *str, int maxDigits, unsigned long long &value) {
    value = 0;
    int count = 0;
    for (int digit; count < maxDigits && (digit = HexDigitValue(str[count])) >= 0; ++count)
        value = (value << 4) | static_cast<unsigned>(digit);
    return count;
}

bool IsBlank(char c) {
    const unsigned char code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

const char *SkipBlanks(const char *str) {
    while (IsBlank(*str)) ++str;
    return str;
}

const char *SkipSeparator(const char *str) {
    str = SkipBlanks(str);
    if (*str == ',' || *str == ';') ++str;
    return SkipBlanks(str);
}

template <typename Real>
Real Deserialize(const char *str, const char **outEndStr) {
    using Traits = TextTraits<Real>;
    const Real nan = FromBits<Real>(Traits::kQuietNaN);
    if (str == nullptr) return nan;
    str = SkipBlanks(str);
    if (*str == '\0') return nan;
    if (std::strncmp(str, "NaN(", 4) == 0) {
        unsigned long long pattern = 0;
        if (ReadHex(str + 4, Traits::kMaxHexDigits, pattern) == 0) return nan;
        const char *close = FindNext(str + 4, ')');
        if (outEndStr) *outEndStr = *close == ')' ? close + 1 : close;
        return FromBits<Real>(static_cast<typename Traits::Bits>(pattern));
    }
    Real value;
    if (std::strncmp(str, "-inf", 4) == 0) {
        value = -std::numeric_limits<Real>::infinity();
        str += 4;
    } else if (std::strncmp(str, "inf", 3) == 0) {
        value = std::numeric_limits<Real>::infinity();
        str += 3;
    } else {
        char *end = nullptr;
        value = static_cast<Real>(std::strtod(str, &end));
        str = end;
    }
    str = SkipSeparator(str);
    if (outEndStr) *outEndStr = str;
    return value;
}

}  // namespace

char *SerializeFloat(float value, char *buffer) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0)
        return buffer + std::sprintf(buffer, "NaN(%8X)", bits);
    return buffer + dtoa_grisu3(value, buffer);
}

float DeserializeFloat(const char *str, const char **outEndStr) { return Deserialize<float>(str, outEndStr); }

double DeserializeDouble(const char *str, const char **outEndStr) { return Deserialize<double>(str, outEndStr); }

int hexstr_to_u64(const char *str, unsigned long long *outValue) {
    MATH_ASSUME(outValue != nullptr, "u", "Math/MathFunc", 602);
    if (outValue == nullptr) return 0;
    *outValue = 0;
    if (str == nullptr) return 0;
    return ReadHex(str, TextTraits<double>::kMaxHexDigits, *outValue);
}

bool IsNeutralCLocale() { return std::strcmp(std::localeconv()->decimal_point, ".") == 0; }

int CountCommas(const char *start, const char *end) {
    int count = 0;
    for (const char *c = start; c != nullptr && c < end; ++c) count += *c == ',';
    return count;
}

const char *FindNext(const char *str, char ch) {
    if (str == nullptr) return nullptr;
    while (*str != '\0' && *str != ch) ++str;
    return str;
}

std::string SerializeFloats(std::initializer_list<float> values) {
    std::string text;
    for (const float value : values) {
        char number[25];
        if (!text.empty()) text += ',';
        text.append(number, SerializeFloat(value, number));
    }
    return text;
}

}  // namespace math
