#include "Math/TextForms.h"

#include <cstring>

#include "Math/FloatCodec.h"

namespace math {
namespace detail {

std::string SerializeFloats(const float *values, int count) {
    std::string text;
    char number[32];
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        text.append(number, SerializeFloat(values[i], number));
    }
    return text;
}

const char *SkipPrefix(const char *str, const char *prefix) {
    const size_t length = std::strlen(prefix);
    return std::strncmp(str, prefix, length) == 0 ? str + length : str;
}

const char *ReadFloatGroup(const char *str, const char *prefix, float *values, int count) {
    str = SkipPrefix(SkipPrefix(str, prefix), "(");
    // A read that finds the text ended leaves the position where it was.
    for (int i = 0; i < count; ++i) values[i] = DeserializeListedFloat(str, &str);
    str = SkipPrefix(str, ")");
    return SkipPrefix(str, ",");
}

std::string JoinVectors(std::initializer_list<float3> vectors, std::string (float3::*form)() const,
                        const char *separator) {
    std::string text;
    for (const float3 &v : vectors) {
        if (!text.empty()) text += separator;
        text += (v.*form)();
    }
    return text;
}

const char *ReadLabelledVectors(const char *str, const char *const *labels, int count, float3 *vectors) {
    for (int i = 0; i < count; ++i) vectors[i] = PointVecFromString(SkipPrefix(str, labels[i]), &str);
    return str;
}

}  // namespace detail
}  // namespace math
