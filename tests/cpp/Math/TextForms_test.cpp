// The text forms of the vector, quaternion and matrix types.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "Math/Quat.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"
#include "Math/codec_oracle.h"
#include "text_form_support.h"

using math::float2;
using math::float3;
using math::float3x3;
using math::float3x4;
using math::float4;
using math::float4x4;
using math::Quat;
using text_form_support::BitEqual;
using text_form_support::ExactCopy;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(VectorTextForms, WriteTheirExactTexts) {
    struct Case { std::string toString, serialized, code; std::string expectedTo, expectedSerialized, expectedCode; };
    const float3 special(0.5f, -0.0f, codec_oracle::FloatFromBits(0x7FC00001u));
    const Case cases[] = {
        {float3(1, 2, 3).ToString(), float3(1, 2, 3).SerializeToString(), float3(1, 2, 3).SerializeToCodeString(),
         "(1.000, 2.000, 3.000)", "1,2,3", "float3(1,2,3)"},
        {special.ToString(), special.SerializeToString(), special.SerializeToCodeString(),
         "(0.500, -0.000, nan)", ".5,-0,NaN(7FC00001)", "float3(.5,-0,NaN(7FC00001))"},
        {float2(1, 2).ToString(), float2(1, 2).SerializeToString(), float2(1, 2).SerializeToCodeString(),
         "(1.000000, 2.000000)", "1,2", "float2(1,2)"},
        {float2(kInf, 0.1f).ToString(), float2(kInf, 0.1f).SerializeToString(),
         float2(kInf, 0.1f).SerializeToCodeString(), "(inf, 0.100000)", "inf,1.0000000149011612e-1",
         "float2(inf,1.0000000149011612e-1)"},
        {float4(1, 2, 3, 4).ToString(), float4(1, 2, 3, 4).SerializeToString(),
         float4(1, 2, 3, 4).SerializeToCodeString(), "(1.000, 2.000, 3.000, 4.000)", "1,2,3,4", "float4(1,2,3,4)"},
        {Quat::identity.ToString(), Quat::identity.SerializeToString(), Quat::identity.SerializeToCodeString(),
         "(0.000, 0.000, 0.000, 1.000)", "0,0,0,1", "Quat(0,0,0,1)"},
        {Quat(-kInf, 1000, 0.25f, -1.5f).ToString(), Quat(-kInf, 1000, 0.25f, -1.5f).SerializeToString(),
         Quat(-kInf, 1000, 0.25f, -1.5f).SerializeToCodeString(), "(-inf, 1000.000, 0.250, -1.500)",
         "-inf,1e3,2.5e-1,-1.5", "Quat(-inf,1e3,2.5e-1,-1.5)"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.toString, c.expectedTo);
        EXPECT_EQ(c.serialized, c.expectedSerialized);
        EXPECT_EQ(c.code, c.expectedCode);
    }
}

TEST(MatrixTextForms, SerializeEveryElementRowByRow) {
    EXPECT_EQ(float3x3::identity.SerializeToString(), "1,0,0,0,1,0,0,0,1");
    EXPECT_EQ(float3x4::identity.SerializeToString(), "1,0,0,0,0,1,0,0,0,0,1,0");
    const float4x4 m(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1);
    EXPECT_EQ(m.SerializeToString(), "1,0,0,1,0,1,0,2,0,0,1,3,0,0,0,1");
    EXPECT_EQ(float4x4::nan.SerializeToString().size(), 16 * 13 + 15u);  // "NaN(7FC00000)" each
    float4x4 widest;
    for (int i = 0; i < 16; ++i) widest.elements[i / 4][i % 4] = i % 2 ? FLT_MIN : -FLT_MAX;
    std::string expected;
    for (int i = 0; i < 16; ++i) expected += i % 2 ? ",11754943508222875e-54" : i ? ",-34028234663852886e22" : "-34028234663852886e22";
    EXPECT_EQ(widest.SerializeToString(), expected);
}

// The printf forms hold every value whole, however wide: ±FLT_MAX in every slot.
TEST(VectorAndMatrixTextForms, PrintTheWidestValuesWhole) {
    using text_form_support::FilledFormat;
    for (const bool negative : {false, true}) {
        const float v = negative ? -FLT_MAX : FLT_MAX;
        struct Case { std::string text; const char *format; };
        const Case cases[] = {
            {float2(v, v).ToString(), "(%f, %f)"},
            {float3(v, v, v).ToString(), "(%.3f, %.3f, %.3f)"},
            {float4(v, v, v, v).ToString(), "(%.3f, %.3f, %.3f, %.3f)"},
            {Quat(v, v, v, v).ToString(), "(%.3f, %.3f, %.3f, %.3f)"},
            {float3x3(v, v, v, v, v, v, v, v, v).ToString(), "(%.2f, %.2f, %.2f) (%.2f, %.2f, %.2f) (%.2f, %.2f, %.2f)"},
            {float3x3(v, v, v, v, v, v, v, v, v).ToString2(),
             "float3x3(X:(%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f)"},
            {float3x4(v, v, v, v, v, v, v, v, v, v, v, v).ToString(),
             "(%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f)"},
            {float3x4(v, v, v, v, v, v, v, v, v, v, v, v).ToString2(),
             "float3x4(X:(%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f), Pos:(%.2f,%.2f,%.2f))"},
            {float4x4(v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v).ToString(),
             "(%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f)"},
            {float4x4(v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v).ToString2(),
             "float4x4(X:(%.2f,%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f,%.2f), "
             "Pos:(%.2f,%.2f,%.2f,%.2f))"},
        };
        for (const Case &c : cases) EXPECT_EQ(c.text, FilledFormat(c.format, FLT_MAX, negative));
    }
}

namespace {

struct Float3ReadCase {
    const char *text;
    size_t length;  // the text may hold a NUL before its terminator
    float3 value;
    int end;
};

#define TEXT(s) s, sizeof(s) - 1

using Float3Reader = float3 (*)(const char *, const char **);

// Each text read from a heap block of exactly its size; a null text gives nan and leaves
// the end unwritten.
template <size_t N>
void ExpectReads(Float3Reader read, const Float3ReadCase (&cases)[N]) {
    for (const Float3ReadCase &c : cases) {
        const auto text = ExactCopy(c.text, c.length);
        const char *end = nullptr;
        EXPECT_TRUE(BitEqual(read(text.get(), &end), c.value)) << c.text;
        EXPECT_EQ(end - text.get(), c.end) << c.text;
    }
    const char *sentinel = "unwritten";
    const char *end = sentinel;
    EXPECT_TRUE(BitEqual(read(nullptr, &end), float3::nan));
    EXPECT_EQ(end, sentinel);
}

}  // namespace

TEST(Float3FromString, ReadsPrefixParenthesesAndSeparators) {
    const Float3ReadCase cases[] = {
        {TEXT("float3(1, 2, 3)"), float3(1, 2, 3), 15},
        {TEXT("1,2,3"), float3(1, 2, 3), 5},
        {TEXT("(1;2;3),rest"), float3(1, 2, 3), 8},
        {TEXT("float3(1,2,3"), float3(1, 2, 3), 12},
        {TEXT("float3(NaN(7FC00001),inf,-inf)"), float3(codec_oracle::FloatFromBits(0x7FC00001u), kInf, -kInf), 30},
        {TEXT("NaN(7FC00001) ; NaN(FF800001),2"), float3(codec_oracle::FloatFromBits(0x7FC00001u), codec_oracle::FloatFromBits(0xFF800001u), 2), 31},
        {TEXT("NaN(),2,3"), float3::nan, 0},  // a pattern without digits stops every read
        {TEXT("1e99999,-1e99999,1e-99999"), float3(kInf, -kInf, 0), 25},
        {TEXT("1,2"), float3(1, 2, kNaN), 3},
        {TEXT(""), float3::nan, 0},
        {TEXT("float3"), float3::nan, 6},
        {TEXT("float3("), float3::nan, 7},
        {TEXT("abc"), float3(0, 0, 0), 0},
        {TEXT(" (1,2,3)"), float3(0, 0, 0), 1},  // no blanks are skipped before the "("
        {TEXT("1\0,2,3"), float3(1, kNaN, kNaN), 1},
        {TEXT("(1.000, 2.000, 3.000)"), float3(1, 2, 3), 21},  // the ToString form
    };
    ExpectReads(float3::FromString, cases);
}

TEST(PointVecFromString, ReadsFourNumberGroupsAsFloat4) {
    const Float3ReadCase cases[] = {
        {TEXT(" (1,2,3,4)"), float3(1, 2, 3), 10},
        {TEXT("float4(1,2,3,4) x"), float3(1, 2, 3), 15},
        {TEXT("float3(1,2,3)"), float3(1, 2, 3), 13},
        {TEXT("(1,2,3)"), float3(1, 2, 3), 7},
        {TEXT("(1,2,3,4"), float3(1, 2, 3), 8},
        {TEXT("(1,2,3) (4,5,6,7)"), float3(1, 2, 3), 7},  // only the text up to the first ")" counts
        {TEXT("(,,,)"), float3(0, 0, 0), 5},
        {TEXT("()"), float3(0, 0, 0), 2},
        {TEXT("("), float3::nan, 1},
        {TEXT("  abc"), float3(0, 0, 0), 2},
        {TEXT("   "), float3::nan, 3},
        {TEXT("(1,2\0,3,4)"), float3(1, 2, kNaN), 4},
    };
    ExpectReads(math::PointVecFromString, cases);
    ExpectReads(math::DirVecFromString, cases);
}

TEST(VectorFromString, ReadsItsOwnPrefixAndComponentCount) {
    const char *end = nullptr;
    EXPECT_TRUE(BitEqual(float2::FromString("float2(1.5,-2)", &end), float2(1.5f, -2)));
    EXPECT_STREQ(end, "");
    EXPECT_TRUE(BitEqual(float2::FromString("(1.000000, 2.000000), 7", &end), float2(1, 2)));
    EXPECT_STREQ(end, " 7");
    EXPECT_TRUE(BitEqual(float4::FromString("float4(1,2,3,4),float4", &end), float4(1, 2, 3, 4)));
    EXPECT_STREQ(end, "float4");
    EXPECT_TRUE(BitEqual(Quat::FromString("Quat(0,0,0,1)", &end), Quat::identity));
    EXPECT_STREQ(end, "");
    EXPECT_TRUE(BitEqual(Quat::FromString("1 2", &end), Quat(1, 2, kNaN, kNaN)));
    EXPECT_STREQ(end, "");
    EXPECT_TRUE(BitEqual(float2::FromString(nullptr, nullptr), float2::nan));
    EXPECT_TRUE(BitEqual(float4::FromString(nullptr, nullptr), float4::nan));
    EXPECT_TRUE(BitEqual(Quat::FromString(nullptr, nullptr), Quat::nan));
}

namespace {

// Both serialized forms read back to the same bits and stop at the end of the text.
template <typename V>
void ExpectSerializedFormsReadBack(std::mt19937 &random) {
    for (int i = 0; i < 2000; ++i) {
        const V v = text_form_support::RandomBits<V>(random);
        for (const std::string &form : {v.SerializeToString(), v.SerializeToCodeString()}) {
            const auto text = ExactCopy(form);
            const char *end = nullptr;
            const V back = V::FromString(text.get(), &end);
            EXPECT_TRUE(BitEqual(back, v)) << form;
            EXPECT_EQ(end, text.get() + form.size()) << form;
        }
    }
}

}  // namespace

TEST(VectorFromString, ReadsBothSerializedFormsBackBitForBit) {
    std::mt19937 random(99);
    ExpectSerializedFormsReadBack<float2>(random);
    ExpectSerializedFormsReadBack<float3>(random);
    ExpectSerializedFormsReadBack<float4>(random);
    ExpectSerializedFormsReadBack<Quat>(random);
}
