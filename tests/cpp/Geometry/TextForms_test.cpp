// The text forms of the shape types.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "text_form_support.h"

using namespace math;
using text_form_support::BitEqual;
using text_form_support::ExactCopy;
using text_form_support::RandomBits;

namespace {

const Line kLine(float3(1.5f, -2.25f, 3), float3(0.5f, -0.75f, 0));
const Ray kRay(float3(1.5f, -2.25f, 3), float3(0.5f, -0.75f, 0));
const LineSegment kSegment(float3(1, 2, 3), float3(-4, 5.5f, 100));
const AABB kBox(float3(-1, -2, -3), float3(1000, 0.25f, 12.5f));
const Triangle kTriangle(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0.5f));
const Plane kPlane(float3(0, 0, 1), -2.5f);
const OBB kOBB(float3(1, 2, 3), float3(0.5f, 1, 2), float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1));

struct FormsCase {
    std::string toString, serialized, code;
    const char *expectedTo, *expectedSerialized, *expectedCode;
};

template <typename Shape>
FormsCase Forms(const Shape &s, const char *to, const char *serialized, const char *code) {
    return {s.ToString(), s.SerializeToString(), s.SerializeToCodeString(), to, serialized, code};
}

// FromString of each given text gives the shape back, bit for bit.
template <typename Shape>
void ExpectReadsBack(const Shape &shape, std::initializer_list<std::string> forms) {
    for (const std::string &form : forms) {
        const auto text = ExactCopy(form);
        EXPECT_TRUE(BitEqual(Shape::FromString(text.get(), nullptr), shape)) << form;
    }
}

}  // namespace

TEST(ShapeTextForms, WriteTheirExactTexts) {
    const FormsCase cases[] = {
        Forms(kLine, "Line(Pos:(1.50, -2.25, 3.00) Dir:(0.500, -0.750, 0.000))", "1.5,-2.25,3,.5,-7.5e-1,0",
              "Line(float3(1.5,-2.25,3),float3(.5,-7.5e-1,0))"),
        Forms(kRay, "Ray(Pos:(1.50, -2.25, 3.00) Dir:(0.500, -0.750, 0.000))", "1.5,-2.25,3,.5,-7.5e-1,0",
              "Ray(float3(1.5,-2.25,3),float3(.5,-7.5e-1,0))"),
        Forms(kSegment, "LineSegment(a:(1.00, 2.00, 3.00) b:(-4.00, 5.50, 100.00))", "1,2,3,-4,5.5,100",
              "LineSegment(float3(1,2,3),float3(-4,5.5,100))"),
        Forms(kBox, "AABB(Min:(-1.00, -2.00, -3.00) Max:(1000.00, 0.25, 12.50))", "-1,-2,-3,1e3,2.5e-1,12.5",
              "AABB(float3(-1,-2,-3),float3(1e3,2.5e-1,12.5))"),
        Forms(kTriangle, "Triangle(a:(0.00, 0.00, 0.00) b:(1.00, 0.00, 0.00) c:(0.00, 1.00, 0.50))",
              "0,0,0,1,0,0,0,1,.5", "Triangle(float3(0,0,0),float3(1,0,0),float3(0,1,.5))"),
        Forms(kPlane, "Plane(Normal:(0.00, 0.00, 1.00) d:-2.50)", "0,0,1,-2.5", "Plane(float3(0,0,1),-2.5)"),
        Forms(Plane(float3(0, 0, 1), 0.1f), "Plane(Normal:(0.00, 0.00, 1.00) d:0.10)", "0,0,1,1.0000000149011612e-1",
              "Plane(float3(0,0,1),0.100000001)"),
        Forms(Plane(float3::nan, -NAN), "Plane(Normal:(nan, nan, nan) d:nan)",
              "NaN(7FC00000),NaN(7FC00000),NaN(7FC00000),NaN(FFC00000)",
              "Plane(float3(NaN(7FC00000),NaN(7FC00000),NaN(7FC00000)),nan)"),
        Forms(kOBB,
              "OBB(Pos:(1.00, 2.00, 3.00) Halfsize:(0.50, 1.00, 2.00) X:(1.00, 0.00, 0.00) Y:(0.00, 1.00, 0.00) "
              "Z:(0.00, 0.00, 1.00))",
              "1,2,3 .5,1,2 1,0,0 0,1,0 0,0,1",
              "OBB(float3(1,2,3),float3(.5,1,2),float3(1,0,0),float3(0,1,0),float3(0,0,1))"),
    };
    for (const FormsCase &c : cases) {
        EXPECT_EQ(c.toString, c.expectedTo);
        EXPECT_EQ(c.serialized, c.expectedSerialized);
        EXPECT_EQ(c.code, c.expectedCode);
    }
}

TEST(ShapeTextForms, EveryFormReadsBack) {
    ExpectReadsBack(kLine, {kLine.ToString(), kLine.SerializeToString(), kLine.SerializeToCodeString()});
    ExpectReadsBack(kRay, {kRay.ToString(), kRay.SerializeToString(), kRay.SerializeToCodeString()});
    ExpectReadsBack(kSegment, {kSegment.ToString(), kSegment.SerializeToString(), kSegment.SerializeToCodeString()});
    ExpectReadsBack(kBox, {kBox.ToString(), kBox.SerializeToString(), kBox.SerializeToCodeString()});
    ExpectReadsBack(kTriangle, {kTriangle.ToString(), kTriangle.SerializeToString(), kTriangle.SerializeToCodeString()});
    ExpectReadsBack(kPlane, {kPlane.ToString(), kPlane.SerializeToString(), kPlane.SerializeToCodeString()});
    ExpectReadsBack(kOBB, {kOBB.ToString(), kOBB.SerializeToString(), kOBB.SerializeToCodeString()});
    // Points in the four-number form lose their w.
    ExpectReadsBack(kSegment, {"float4(1,2,3,9),(-4,5.5,100,9)", "LineSegment( (1,2,3,1) b:(-4,5.5,100"});
}

TEST(ShapeTextForms, SerializedFormsReadBackBitForBit) {
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        const Line line = RandomBits<Line>(random);
        const Ray ray = RandomBits<Ray>(random);
        const LineSegment segment = RandomBits<LineSegment>(random);
        const AABB box = RandomBits<AABB>(random);
        const Triangle triangle = RandomBits<Triangle>(random);
        const OBB obb = RandomBits<OBB>(random);
        const Plane plane = RandomBits<Plane>(random);
        ExpectReadsBack(line, {line.SerializeToString(), line.SerializeToCodeString()});
        ExpectReadsBack(ray, {ray.SerializeToString(), ray.SerializeToCodeString()});
        ExpectReadsBack(segment, {segment.SerializeToString(), segment.SerializeToCodeString()});
        ExpectReadsBack(box, {box.SerializeToString(), box.SerializeToCodeString()});
        ExpectReadsBack(triangle, {triangle.SerializeToString(), triangle.SerializeToCodeString()});
        ExpectReadsBack(obb, {obb.SerializeToString(), obb.SerializeToCodeString()});
        // The code form writes d with nine digits: the value comes back, a NaN's payload does not.
        ExpectReadsBack(plane, {plane.SerializeToString()});
        if (!std::isnan(plane.d)) ExpectReadsBack(plane, {plane.SerializeToCodeString()});
    }
}

TEST(ShapeFromString, StopsAfterTheLastValue) {
    const char *end = nullptr;
    const std::string line = kLine.SerializeToCodeString() + " next";
    Line::FromString(line.c_str(), &end);
    EXPECT_STREQ(end, ") next");  // the closing parenthesis of the shape is left
    Plane::FromString("Plane(Normal:(0, 0, 1) d:5), x", &end);
    EXPECT_STREQ(end, "), x");
    OBB::FromString("1,2,3 4,5,6 7,8,9 1,2,3 4,5,6 tail", &end);
    EXPECT_STREQ(end, "tail");
    Triangle::FromString("Triangle(a:(1,2,3) b:(4,5,6", &end);  // truncated
    EXPECT_STREQ(end, "");
}

TEST(ShapeFromString, NullTextGivesNaNShapesAndLeavesTheEnd) {
    const char *sentinel = "unwritten";
    const char *end = sentinel;
    EXPECT_TRUE(BitEqual(Line::FromString(nullptr, &end), Line(float3::nan, float3::nan)));
    EXPECT_TRUE(BitEqual(Ray::FromString(nullptr, &end), Ray(float3::nan, float3::nan)));
    EXPECT_TRUE(BitEqual(LineSegment::FromString(nullptr, &end), LineSegment(float3::nan, float3::nan)));
    EXPECT_TRUE(BitEqual(AABB::FromString(nullptr, &end), AABB(float3::nan, float3::nan)));
    EXPECT_TRUE(BitEqual(Triangle::FromString(nullptr, &end), Triangle(float3::nan, float3::nan, float3::nan)));
    EXPECT_TRUE(BitEqual(Plane::FromString(nullptr, &end), Plane(float3::nan, float3::nan.x)));
    EXPECT_TRUE(BitEqual(OBB::FromString(nullptr, &end), OBB(float3::nan, float3::nan, float3::nan, float3::nan,
                                                               float3::nan)));
    EXPECT_TRUE(Polygon::FromString(nullptr, &end).vertices.empty());
    EXPECT_EQ(end, sentinel);
}

TEST(PolygonTextForms, SerializeEachVertexInParentheses) {
    Polygon polygon;
    EXPECT_EQ(polygon.ToString(), "Polygon(0 vertices)");
    EXPECT_EQ(polygon.SerializeToString(), "()");
    polygon.vertices = {float3(1, 2, 3), float3(4, 5, 6)};
    EXPECT_EQ(polygon.ToString(), "Polygon(2 vertices:(1.000, 2.000, 3.000),(4.000, 5.000, 6.000))");
    EXPECT_EQ(polygon.SerializeToString(), "((1,2,3),(4,5,6))");
    struct Case { const char *text; size_t vertices; int end; };
    const Case cases[] = {
        {"((1,2,3),(4,5,6))", 2, 17}, {"Polygon((1,2,3),(4,5,6)) x", 2, 24}, {"()", 0, 2}, {"", 0, 0},
        {"Polygon(2 vertices:(1.000, 2.000, 3.000))", 0, 8},  // the ToString form holds no readable list
        {"((1,2,3),(4,5", 2, 13}, {"(,,,", 1, 4}, {"(((((", 4, 5},  // each vertex consumes its "," or "("
    };
    for (const Case &c : cases) {
        const auto text = ExactCopy(c.text);
        const char *end = nullptr;
        EXPECT_EQ(Polygon::FromString(text.get(), &end).vertices.size(), c.vertices) << c.text;
        EXPECT_EQ(end - text.get(), c.end) << c.text;
    }
    std::mt19937 random(3);
    for (int i = 0; i < 200; ++i) {
        Polygon p;
        for (int v = 0; v < i % 7; ++v) p.vertices.push_back(RandomBits<float3>(random));
        const Polygon back = Polygon::FromString(p.SerializeToString().c_str(), nullptr);
        ASSERT_EQ(back.vertices.size(), p.vertices.size());
        for (size_t v = 0; v < p.vertices.size(); ++v) EXPECT_TRUE(BitEqual(back.vertices[v], p.vertices[v]));
    }
}

// The printf forms hold every value whole, however wide: ±FLT_MAX in every slot.
TEST(ShapeTextForms, PrintTheWidestValuesWhole) {
    using text_form_support::FilledFormat;
    for (const bool negative : {false, true}) {
        const float m = negative ? -FLT_MAX : FLT_MAX;
        const float3 v(m, m, m);
        struct Case { std::string text; const char *format; };
        const Case cases[] = {
            {Line(v, v).ToString(), "Line(Pos:(%.2f, %.2f, %.2f) Dir:(%.3f, %.3f, %.3f))"},
            {Ray(v, v).ToString(), "Ray(Pos:(%.2f, %.2f, %.2f) Dir:(%.3f, %.3f, %.3f))"},
            {LineSegment(v, v).ToString(), "LineSegment(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f))"},
            {AABB(v, v).ToString(), "AABB(Min:(%.2f, %.2f, %.2f) Max:(%.2f, %.2f, %.2f))"},
            {Triangle(v, v, v).ToString(), "Triangle(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f) c:(%.2f, %.2f, %.2f))"},
            {Plane(v, m).ToString(), "Plane(Normal:(%.2f, %.2f, %.2f) d:%.2f)"},
            {OBB(v, v, v, v, v).ToString(),
             "OBB(Pos:(%.2f, %.2f, %.2f) Halfsize:(%.2f, %.2f, %.2f) X:(%.2f, %.2f, %.2f) Y:(%.2f, %.2f, %.2f) "
             "Z:(%.2f, %.2f, %.2f))"},
        };
        for (const Case &c : cases) EXPECT_EQ(c.text, FilledFormat(c.format, FLT_MAX, negative));
    }
}
