#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>

#include "Math/float3.h"

namespace math {

namespace detail {

// The shared steps of the types' text forms. str is never null here: each type answers a
// null text with its own NaN value first.

// The values written by SerializeFloat, joined by "," without blanks.
std::string SerializeFloats(const float *values, int count);

// str past prefix when it begins with it, else str.
const char *SkipPrefix(const char *str, const char *prefix);

// An optional prefix, an optional "(", count numbers read by DeserializeListedFloat (which
// skips blanks and one separator after each), an optional ")" and then an optional ",".
// Returns the position reached.
const char *ReadFloatGroup(const char *str, const char *prefix, float *values, int count);

// The FromString of a type made of floats: V::nan for a null str, else ReadFloatGroup of
// all of its components after the prefix; *outEndStr, when outEndStr is not null, receives
// the position reached.
template <typename V>
V ReadFloatType(const char *str, const char **outEndStr, const char *prefix) {
    if (str == nullptr) return V::nan;
    float values[sizeof(V) / sizeof(float)];
    str = ReadFloatGroup(str, prefix, values, sizeof(V) / sizeof(float));
    if (outEndStr) *outEndStr = str;
    return V(values);
}

// One text form of each vector, joined by separator.
std::string JoinVectors(std::initializer_list<float3> vectors, std::string (float3::*form)() const,
                        const char *separator);

// For each of the count labels: skips it when present, then reads a vector with
// PointVecFromString (DirVecFromString behaves identically). Returns the position after the
// last vector.
const char *ReadLabelledVectors(const char *str, const char *const *labels, int count, float3 *vectors);

template <typename Shape, size_t N, size_t... I>
Shape ShapeOfVectors(const float3 (&vectors)[N], std::index_sequence<I...>) {
    return Shape(vectors[I]...);
}

// The FromString of a shape made of N vectors: the shape of N NaN vectors for a null str;
// else the prefix skipped when present and one labelled vector read per label.
template <typename Shape, size_t N>
Shape ReadVectorShape(const char *str, const char **outEnd, const char *prefix, const char *const (&labels)[N]) {
    float3 vectors[N];
    for (float3 &v : vectors) v = float3::nan;
    if (str != nullptr) {
        str = ReadLabelledVectors(SkipPrefix(str, prefix), labels, static_cast<int>(N), vectors);
        if (outEnd) *outEnd = str;
    }
    return ShapeOfVectors<Shape>(vectors, std::make_index_sequence<N>());
}

}  // namespace detail
}  // namespace math
