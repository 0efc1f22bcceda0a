// The float text codec beside the standard library on the same values: writing the shortest
// text (SerializeFloat; std::to_chars of the float widened to double, as the codec widens
// it) and reading it back (DeserializeFloat, which reads with strtod; std::from_chars of a
// double narrowed to float). Two sets of 4096 values: random bit patterns of every finite
// float, and uniform values in [-1000, 1000]. Cases read library/operation/values; each
// iteration handles one value, so the times are per float.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Math/FloatCodec.h"
#include "side_by_side.h"

namespace {

constexpr std::size_t kValues = 4096;  // a power of two: the index wraps with a mask

std::vector<float> RandomBitFloats() {
    std::mt19937 rng(17);
    std::vector<float> out;
    while (out.size() < kValues) {
        const uint32_t bits = static_cast<uint32_t>(rng());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) out.push_back(value);
    }
    return out;
}

std::vector<float> UniformFloats() {
    std::mt19937 rng(18);
    std::uniform_real_distribution<float> range(-1000.f, 1000.f);
    std::vector<float> out(kValues);
    for (float &v : out) v = range(rng);
    return out;
}

struct Texts {
    std::vector<std::string> own;       // written by SerializeFloat
    std::vector<std::string> standard;  // written by std::to_chars
};

Texts Written(const std::vector<float> &values) {
    Texts texts;
    for (const float v : values) {
        char buffer[64];
        texts.own.emplace_back(buffer, math::SerializeFloat(v, buffer));
        texts.standard.emplace_back(buffer, std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v)).ptr);
    }
    return texts;
}

float FromChars(const std::string &text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<float>(value);
}

// Both readers must give back every value before they are timed.
void CheckReadBack(const std::vector<float> &values, const Texts &texts) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const float own = math::DeserializeFloat(texts.own[i].c_str(), nullptr);
        const float standard = FromChars(texts.standard[i]);
        if (std::memcmp(&own, &values[i], 4) != 0 || std::memcmp(&standard, &values[i], 4) != 0) {
            std::fprintf(stderr, "codec_bench: %s / %s do not read back\n", texts.own[i].c_str(),
                         texts.standard[i].c_str());
            std::exit(1);
        }
    }
}

void Register(const char *set, const std::vector<float> &values) {
    const Texts texts = Written(values);
    CheckReadBack(values, texts);
    const std::string suffix = std::string("/") + set;
    benchmark::RegisterBenchmark(("vandrel/write shortest" + suffix).c_str(), [values](benchmark::State &state) {
        char buffer[32];
        std::size_t i = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(math::SerializeFloat(values[i++ & (kValues - 1)], buffer));
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations());
    });
    benchmark::RegisterBenchmark(("to_chars/write shortest" + suffix).c_str(), [values](benchmark::State &state) {
        char buffer[32];
        std::size_t i = 0;
        for (auto _ : state) {
            const double wide = values[i++ & (kValues - 1)];
            benchmark::DoNotOptimize(std::to_chars(buffer, buffer + sizeof buffer, wide).ptr);
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations());
    });
    benchmark::RegisterBenchmark(("vandrel/read" + suffix).c_str(), [texts](benchmark::State &state) {
        std::size_t i = 0;
        for (auto _ : state) benchmark::DoNotOptimize(math::DeserializeFloat(texts.own[i++ & (kValues - 1)].c_str(), nullptr));
        state.SetItemsProcessed(state.iterations());
    });
    benchmark::RegisterBenchmark(("from_chars/read" + suffix).c_str(), [texts](benchmark::State &state) {
        std::size_t i = 0;
        for (auto _ : state) benchmark::DoNotOptimize(FromChars(texts.standard[i++ & (kValues - 1)]));
        state.SetItemsProcessed(state.iterations());
    });
}

}  // namespace

int main(int argc, char **argv) {
    Register("random bits", RandomBitFloats());
    Register("uniform +-1000", UniformFloats());
    return bench::RunSideBySide(argc, argv);
}
