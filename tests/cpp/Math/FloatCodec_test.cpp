#include "Math/FloatCodec.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "Math/codec_oracle.h"
#include "Math/grisu3.h"
#include "Math/grisu3_cpp.h"
#include "log_capture.h"
#include "text_form_support.h"

using codec_oracle::BitsOf;
using codec_oracle::FloatFromBits;
using text_form_support::ExactCopy;

namespace {

const float kInf = std::numeric_limits<float>::infinity();

uint64_t DoubleBits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double DoubleFromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

TEST(SerializeFloat, WritesTheShortestTextInItsOwnForms) {
    struct Case { float value; const char *text; };
    const Case cases[] = {
        {1.0f, "1"}, {1.5f, "1.5"}, {0.5f, ".5"}, {100.0f, "100"}, {1000.0f, "1e3"}, {-0.0f, "-0"}, {0.0f, "0"},
        {kInf, "inf"}, {-kInf, "-inf"}, {FloatFromBits(0x7FC00000u), "NaN(7FC00000)"},
        {FloatFromBits(0xFF800001u), "NaN(FF800001)"},
        {0.25f, "2.5e-1"}, {0.75f, "7.5e-1"}, {0.0625f, "625e-4"}, {0.1f, "1.0000000149011612e-1"},
        {FLT_MAX, "34028234663852886e22"}, {-FLT_MAX, "-34028234663852886e22"},
        {10.0f, "10"}, {12.5f, "12.5"}, {-3.0f, "-3"}, {123456.0f, "123456"}, {16777216.0f, "16777216"},
        {0.05f, "5.000000074505806e-2"}, {0.125f, "1.25e-1"}, {2.5e-3f, "2.4999999441206455e-3"},
        {FLT_MIN, "11754943508222875e-54"}, {FloatFromBits(1), "1401298464324817e-60"},
        // The digit generation cannot prove the shortest digits of this one: "%.17g".
        {FloatFromBits(0x0001BE9Du), "1.6021465732164931e-40"},
    };
    for (const Case &c : cases) {
        char buffer[32];
        const char *end = math::SerializeFloat(c.value, buffer);
        EXPECT_STREQ(buffer, c.text) << "bits " << std::hex << BitsOf(c.value);
        EXPECT_EQ(end, buffer + std::strlen(c.text));
    }
}

TEST(Dtoa, PlacesPointAndExponentByTheFormattingRules) {
    struct Case { double value; const char *text; };
    const Case cases[] = {
        {0.1, ".1"}, {0.5, ".5"}, {0.05, ".05"}, {0.005, ".005"}, {0.0005, "5e-4"}, {5e-10, ".5e-9"},
        {1.25e-10, "125e-12"}, {1.25e-9, "1.25e-9"}, {123.456, "123.456"}, {1.2345678901234567e19, "12345678901234567e3"},
        {1e21, "1e21"}, {1e100, "1e100"}, {-2.5, "-2.5"}, {DBL_MAX, "17976931348623157e292"},
        {DBL_MIN, "22250738585072014e-324"}, {5e-324, "5e-324"}, {-0.0, "-0"},
        {std::numeric_limits<double>::infinity(), "inf"}, {DoubleFromBits(0x7FF8000000000000ull), "NaN(7FF8000000000000)"},
        {DoubleFromBits(0xFFF0000000000ABCull), "NaN(FFF0000000000ABC)"},
    };
    for (const Case &c : cases) {
        char buffer[32];
        EXPECT_EQ(dtoa_grisu3(c.value, buffer), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(dtoa_grisu3_string(c.value), c.text);
    }
}

// 10 million bit patterns: both signs, every exponent (subnormals included) with the
// significands next to powers of two, at the middle and at random.
TEST(FloatCodecOracle, SampledFloatsCarryTheShortestDigitsAndReadBackExactly) {
    std::mt19937 random(20261211);
    const uint32_t edges[] = {0, 1, 2, 3, 0x7FFFFF, 0x7FFFFE, 0x400000, 0x3FFFFF, 0x400001};
    const int kRandomPerExponent = 19600;
    long unproven = 0;
    long checked = 0;
    int failures = 0;
    const auto check = [&](uint32_t bits) {
        const codec_oracle::Verdict verdict = codec_oracle::Check(bits);
        unproven += verdict.unproven;
        ++checked;
        if (!verdict.failure.empty() && ++failures <= 10) ADD_FAILURE() << verdict.failure;
    };
    for (uint32_t sign = 0; sign < 2; ++sign) {
        for (uint32_t exponent = 0; exponent < 256; ++exponent) {
            const uint32_t high = sign << 31 | exponent << 23;
            for (uint32_t edge : edges) check(high | edge);
            const int count = exponent == 255 ? 1000 : kRandomPerExponent;  // NaN payloads
            for (int i = 0; i < count; ++i) check(high | (random() & 0x7FFFFF));
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GE(checked, 10000000);
    // About one float in 130 has digits that the generation cannot prove; far more would
    // mean its error bounds are off.
    EXPECT_LT(unproven, checked / 50);
}

// Doubles of every binary exponent reach every cached power of ten.
TEST(FloatCodecOracle, SampledDoublesCarryTheShortestDigits) {
    std::mt19937_64 random(7);
    int failures = 0;
    for (uint64_t exponent = 0; exponent < 2047; ++exponent) {
        for (int i = 0; i < 200; ++i) {
            const uint64_t fraction = i == 0 ? 0 : i == 1 ? 1 : random() & 0xFFFFFFFFFFFFFull;
            const uint64_t bits = (random() & 0x8000000000000000ull) | exponent << 52 | fraction;
            if (bits == 0 || bits == 0x8000000000000000ull) continue;
            const double value = DoubleFromBits(bits);
            char text[32];
            dtoa_grisu3(value, text);
            char expected[40];
            *std::to_chars(expected, expected + 39, value, std::chars_format::scientific).ptr = '\0';
            char fallback[40];
            std::snprintf(fallback, sizeof fallback, "%s%.17g", bits >> 63 ? "-" : "", std::fabs(value));
            const bool right = codec_oracle::DecimalOf(text) == codec_oracle::DecimalOf(expected) ||
                               std::strcmp(text, fallback) == 0;
            const bool readsBack = DoubleBits(math::DeserializeDouble(text, nullptr)) == bits;
            if ((!right || !readsBack) && ++failures <= 10)
                ADD_FAILURE() << "bits " << std::hex << bits << " text " << text << " shortest " << expected;
        }
    }
    EXPECT_EQ(failures, 0);
}

namespace {

const int kUnwritten = -1;

struct ReadCase {
    const char *text;
    size_t length;  // the text may hold a NUL before its terminator
    uint32_t bits;
    int end;  // offset of *outEndStr, or kUnwritten
};

#define TEXT(s) s, sizeof(s) - 1

}  // namespace

TEST(DeserializeFloat, ReadsOneNumberAndOneSeparator) {
    const ReadCase cases[] = {
        {TEXT("  1.5 , 2"), 0x3FC00000u, 8},
        {TEXT("2;3"), 0x40000000u, 2},
        {TEXT("\x01\x1f 7 \t"), 0x40E00000u, 6},
        {TEXT("1,,2"), 0x3F800000u, 2},
        {TEXT(""), 0x7FC00000u, kUnwritten},
        {TEXT(" \t\n "), 0x7FC00000u, kUnwritten},
        {TEXT("abc"), 0, 0},
        {TEXT(",5"), 0, 1},
        {TEXT("-0"), 0x80000000u, 2},
        {TEXT("NaN(7FC00001),5"), 0x7FC00001u, 13},
        {TEXT("NaN(7fc00001)"), 0x7FC00001u, 13},
        {TEXT("NaN(7FC00003"), 0x7FC00003u, 12},
        {TEXT("NaN(1234567890ABCDEF7FC00002)"), 0x7FC00002u, 29},
        {TEXT("NaN(3F800000)"), 0x3F800000u, 13},
        {TEXT("NaN(0x7F)"), 0, 9},
        {TEXT("NaN("), 0x7FC00000u, kUnwritten},
        {TEXT("NaN()"), 0x7FC00000u, kUnwritten},
        {TEXT("NaN( 7F)"), 0x7FC00000u, kUnwritten},
        {TEXT("NaN(-7F)"), 0x7FC00000u, kUnwritten},
        {TEXT("NaN(+7F)"), 0x7FC00000u, kUnwritten},
        {TEXT("nan"), 0x7FC00000u, 3},  // strtod's own NaN
        {TEXT("-inf, 1"), 0xFF800000u, 6},
        {TEXT("inf"), 0x7F800000u, 3},
        {TEXT("infinity"), 0x7F800000u, 3},
        {TEXT("1e99999"), 0x7F800000u, 7},
        {TEXT("-1e99999"), 0xFF800000u, 8},
        {TEXT("1e-99999"), 0, 8},
        {TEXT("1e"), 0x3F800000u, 1},
        {TEXT("1.5e+"), 0x3FC00000u, 3},
        {TEXT("1.5\0,2"), 0x3FC00000u, 3},
        {TEXT("\0 1"), 0x7FC00000u, kUnwritten},
        {TEXT("1.0000000149011612e-1"), 0x3DCCCCCDu, 21},
    };
    for (const ReadCase &c : cases) {
        const std::unique_ptr<char[]> text = ExactCopy(c.text, c.length);
        const char *sentinel = "unwritten";
        const char *end = sentinel;
        const float value = math::DeserializeFloat(text.get(), &end);
        EXPECT_EQ(BitsOf(value), c.bits) << '"' << c.text << '"';
        EXPECT_EQ(end == sentinel ? kUnwritten : static_cast<int>(end - text.get()), c.end) << '"' << c.text << '"';
        EXPECT_EQ(BitsOf(math::DeserializeFloat(text.get(), nullptr)), c.bits);
    }
    const char *end = nullptr;
    EXPECT_EQ(BitsOf(math::DeserializeFloat(nullptr, &end)), 0x7FC00000u);
    EXPECT_EQ(end, nullptr);
}

TEST(DeserializeDouble, ReadsSixtyFourBitPatterns) {
    struct Case { const char *text; size_t length; uint64_t bits; int end; };
    const Case cases[] = {
        {TEXT("NaN(7FF8000000000001) 2"), 0x7FF8000000000001ull, 21},
        {TEXT("NaN(17FF8000000000001)"), 0x7FF8000000000001ull, 22},  // the 17th digit pushes the 1 out
        {TEXT("NaN(17FF80000000000012)"), 0x7FF8000000000001ull, 23},  // an 18th is not read
        {TEXT("NaN(FFF0000000000ABC"), 0xFFF0000000000ABCull, 20},
        {TEXT("NaN(x)"), 0x7FF8000000000000ull, kUnwritten},
        {TEXT("1.0000000000000002; 3"), 0x3FF0000000000001ull, 20},
        {TEXT("-inf"), 0xFFF0000000000000ull, 4},
        {TEXT("1e400"), 0x7FF0000000000000ull, 5},
        {TEXT("  "), 0x7FF8000000000000ull, kUnwritten},
    };
    for (const Case &c : cases) {
        const std::unique_ptr<char[]> text = ExactCopy(c.text, c.length);
        const char *sentinel = "unwritten";
        const char *end = sentinel;
        EXPECT_EQ(DoubleBits(math::DeserializeDouble(text.get(), &end)), c.bits) << c.text;
        EXPECT_EQ(end == sentinel ? kUnwritten : static_cast<int>(end - text.get()), c.end) << c.text;
    }
    EXPECT_EQ(DoubleBits(math::DeserializeDouble(nullptr, nullptr)), 0x7FF8000000000000ull);
}

TEST(HexstrToU64, ReadsUpToSeventeenHexDigits) {
    struct Case { const char *text; int digits; unsigned long long value; };
    const Case cases[] = {
        {"", 0, 0}, {"ff", 2, 0xFF}, {"DEADbeefZ", 8, 0xDEADBEEF}, {"0x1", 1, 0}, {" 1", 0, 0}, {"-1", 0, 0},
        {"1234567890ABCDEF", 16, 0x1234567890ABCDEFull},
        {"1234567890ABCDEF7", 17, 0x234567890ABCDEF7ull},
        {"1234567890ABCDEF78", 17, 0x234567890ABCDEF7ull},
    };
    for (const Case &c : cases) {
        const std::unique_ptr<char[]> text = ExactCopy(c.text, std::strlen(c.text));
        unsigned long long value = 12345;
        EXPECT_EQ(math::hexstr_to_u64(text.get(), &value), c.digits) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    unsigned long long value = 12345;
    EXPECT_EQ(math::hexstr_to_u64(nullptr, &value), 0);
    EXPECT_EQ(value, 0u);
    int digits = -1;
    const std::string log = StderrOf([&] { digits = math::hexstr_to_u64("ff", nullptr); });
    EXPECT_EQ(digits, 0);
    EXPECT_EQ(FirstLine(log), "Error: u in Math/MathFunc:602");
}

TEST(TextScanning, CountsCommasAndFindsCharacters) {
    const char *text = "a,b,,c";
    EXPECT_EQ(math::CountCommas(text, text + 6), 3);
    EXPECT_EQ(math::CountCommas(text, text + 3), 1);
    EXPECT_EQ(math::CountCommas(text + 2, text + 2), 0);
    EXPECT_EQ(math::CountCommas(nullptr, nullptr), 0);
    EXPECT_EQ(math::FindNext(text, ','), text + 1);
    EXPECT_EQ(math::FindNext(text, 'z'), text + 6);
    EXPECT_EQ(math::FindNext(text, '\0'), text + 6);
    EXPECT_EQ(math::FindNext(nullptr, ','), nullptr);
    EXPECT_TRUE(math::IsNeutralCLocale());
}
