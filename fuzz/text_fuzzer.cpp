// libFuzzer target for the text readers: the float codec's readers and every FromString.
//
// The first byte picks the reader, the rest is the text; a heap block of exactly its size
// holds it, so a read past the terminator is caught (embedded NULs end the text early, as
// for any C string). Besides not crashing, each reader must stop inside the text, and what
// it read must come back bit for bit from its serialized forms, and print the same after a
// round through its printed form.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/FloatCodec.h"
#include "Math/Quat.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float4.h"
#include "Math/grisu3.h"

namespace {

[[noreturn]] void fail(const char *what, const char *text) {
    std::fprintf(stderr, "text_fuzzer: invariant broken: %s, text \"%s\"\n", what, text);
    std::abort();
}

void check_end(const char *text, const char *end) {
    if (end < text || end > text + std::strlen(text)) fail("the end lies outside the text", text);
}

template <typename T>
bool bit_equal(const T &a, const T &b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <typename T>
void check_reads_back(const T &value, const std::string &form, const char *what) {
    if (!bit_equal(T::FromString(form.c_str(), nullptr), value)) fail(what, form.c_str());
}

template <typename T>
void check_printed(const T &value) {
    const std::string printed = value.ToString();
    if (T::FromString(printed.c_str(), nullptr).ToString() != printed) fail("the printed form changes", printed.c_str());
}

template <typename T>
void check_type(const char *text) {
    const char *end = nullptr;
    const T value = T::FromString(text, &end);
    check_end(text, end);
    check_reads_back(value, value.SerializeToString(), "the serialized form reads back otherwise");
    check_reads_back(value, value.SerializeToCodeString(), "the code form reads back otherwise");
    check_printed(value);
}

// The code form writes d with "%.9g", which keeps the value but not a NaN's payload.
template <>
void check_type<math::Plane>(const char *text) {
    const char *end = nullptr;
    const math::Plane plane = math::Plane::FromString(text, &end);
    check_end(text, end);
    check_reads_back(plane, plane.SerializeToString(), "the serialized form reads back otherwise");
    if (!std::isnan(plane.d)) check_reads_back(plane, plane.SerializeToCodeString(), "the code form reads back otherwise");
    check_printed(plane);
}

void check_float(const char *text) {
    const char *end = text;
    const float value = math::DeserializeFloat(text, &end);
    check_end(text, end);
    char written[32];
    math::SerializeFloat(value, written);
    if (!bit_equal(math::DeserializeFloat(written, nullptr), value)) fail("a float reads back otherwise", written);
}

void check_double(const char *text) {
    const char *end = text;
    const double value = math::DeserializeDouble(text, &end);
    check_end(text, end);
    char written[32];
    dtoa_grisu3(value, written);
    if (!bit_equal(math::DeserializeDouble(written, nullptr), value)) fail("a double reads back otherwise", written);
}

void check_hex(const char *text) {
    unsigned long long value = 0;
    const int digits = math::hexstr_to_u64(text, &value);
    if (digits < 0 || digits > 17 || static_cast<size_t>(digits) > std::strlen(text)) fail("hex digit count", text);
}

void check_point_vec(const char *text) {
    const char *end = nullptr;
    math::PointVecFromString(text, &end);
    check_end(text, end);
}

void check_polygon(const char *text) {
    const char *end = nullptr;
    const math::Polygon polygon = math::Polygon::FromString(text, &end);
    check_end(text, end);
    const math::Polygon back = math::Polygon::FromString(polygon.SerializeToString().c_str(), nullptr);
    bool same = back.vertices.size() == polygon.vertices.size();
    for (size_t i = 0; same && i < polygon.vertices.size(); ++i) same = bit_equal(back.vertices[i], polygon.vertices[i]);
    if (!same) fail("the polygon's serialized form reads back otherwise", text);
}

using Reader = void (*)(const char *);
const Reader readers[] = {
    check_float, check_double, check_hex, check_point_vec, check_polygon,
    check_type<math::float2>, check_type<math::float3>, check_type<math::float4>, check_type<math::Quat>,
    check_type<math::Line>, check_type<math::Ray>, check_type<math::LineSegment>, check_type<math::Plane>,
    check_type<math::Triangle>, check_type<math::AABB>, check_type<math::OBB>,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const Reader reader = readers[data[0] % (sizeof readers / sizeof readers[0])];
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0');
    text.shrink_to_fit();
    reader(text.data());
    return 0;
}
