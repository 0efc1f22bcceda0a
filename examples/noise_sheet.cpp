// A contact sheet of the noise generator: one small square per noise type, all at seed 1337.
//
//   build/noise_sheet [output.svg]
//
// Each square maps the generator's value over a 96 x 96 grid to grey, darkest at the
// square's smallest value and lightest at its largest, and is labelled with what it shows.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "noise/Noise.h"

namespace {

using noise::CellularReturnType;
using noise::FractalType;
using noise::Noise;
using noise::NoiseType;

constexpr int kPixels = 96;   // grid points along a side
constexpr int kScale = 2;     // picture units per grid point
constexpr int kColumns = 4;
constexpr int kMargin = 16, kLabel = 22;
constexpr int kTile = kPixels * kScale;

struct Panel {
    const char *label;
    std::function<void(Noise &)> configure;
    bool warped = false;  // displace the coordinates by fractal gradient perturbation first
};

std::vector<Panel> Panels() {
    const auto type = [](NoiseType t, float frequency) {
        return [t, frequency](Noise &n) {
            n.SetNoiseType(t);
            n.SetFrequency(frequency);
        };
    };
    const auto fractal = [](NoiseType t, FractalType f, float frequency) {
        return [t, f, frequency](Noise &n) {
            n.SetNoiseType(t);
            n.SetFractalType(f);
            n.SetFrequency(frequency);
        };
    };
    const auto cellular = [](CellularReturnType r) {
        return [r](Noise &n) {
            n.SetNoiseType(NoiseType::Cellular);
            n.SetCellularReturnType(r);
            n.SetFrequency(0.06f);
        };
    };
    return {
        {"value", type(NoiseType::Value, 0.08f)},
        {"value fractal (FBM)", fractal(NoiseType::ValueFractal, FractalType::FBM, 0.05f)},
        {"cubic", type(NoiseType::Cubic, 0.08f)},
        {"cubic fractal (billow)", fractal(NoiseType::CubicFractal, FractalType::Billow, 0.05f)},
        {"Perlin", type(NoiseType::Perlin, 0.06f)},
        {"Perlin fractal (FBM)", fractal(NoiseType::PerlinFractal, FractalType::FBM, 0.04f)},
        {"Perlin fractal (billow)", fractal(NoiseType::PerlinFractal, FractalType::Billow, 0.04f)},
        {"Perlin fractal (rigid)", fractal(NoiseType::PerlinFractal, FractalType::RigidMulti, 0.04f)},
        {"simplex", type(NoiseType::Simplex, 0.04f)},
        {"simplex fractal (FBM)", fractal(NoiseType::SimplexFractal, FractalType::FBM, 0.03f)},
        {"simplex FBM, perturbed", fractal(NoiseType::SimplexFractal, FractalType::FBM, 0.03f), true},
        {"white", type(NoiseType::WhiteNoise, 1.0f)},
        {"cellular: cell value", cellular(CellularReturnType::CellValue)},
        {"cellular: distance", cellular(CellularReturnType::Distance)},
        {"cellular: distance 2 - 1", cellular(CellularReturnType::Distance2Sub)},
        {"cellular: distance 1 / 2", cellular(CellularReturnType::Distance2Div)},
    };
}

std::vector<float> Render(const Panel &panel) {
    Noise n(1337), warp(1337);
    panel.configure(n);
    warp.SetFrequency(0.02f);
    warp.SetGradientPerturbAmp(40.0f);
    std::vector<float> values;
    for (int j = 0; j < kPixels; ++j)
        for (int i = 0; i < kPixels; ++i) {
            float x = static_cast<float>(i), y = static_cast<float>(j);
            if (panel.warped) warp.GradientPerturbFractal(x, y);
            values.push_back(n.GetNoise(x, y));
        }
    return values;
}

// One row of rectangles per grid row in 32 greys, neighbours of equal grey merged.
void WriteTile(std::FILE *out, const std::vector<float> &values, int left, int top) {
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const float span = *hi > *lo ? *hi - *lo : 1.0f;
    for (int j = 0; j < kPixels; ++j) {
        int i = 0;
        while (i < kPixels) {
            const auto grey = [&](int k) { return static_cast<int>((values[j * kPixels + k] - *lo) / span * 31.0f + 0.5f) * 255 / 31; };
            const int g = grey(i);
            int end = i + 1;
            while (end < kPixels && grey(end) == g) ++end;
            std::fprintf(out, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"/>\n",
                         left + i * kScale, top + j * kScale, (end - i) * kScale, kScale, g, g, g);
            i = end;
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    const char *path = argc > 1 ? argv[1] : "noise_sheet.svg";
    std::FILE *out = std::fopen(path, "w");
    if (!out) {
        std::perror(path);
        return 1;
    }
    const std::vector<Panel> panels = Panels();
    const int rows = (static_cast<int>(panels.size()) + kColumns - 1) / kColumns;
    const int width = kMargin + kColumns * (kTile + kMargin);
    const int height = kMargin + rows * (kLabel + kTile + kMargin);
    std::fprintf(out, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" shape-rendering=\"crispEdges\">\n",
                 width, height);
    std::fprintf(out, "<rect width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n", width, height);
    for (std::size_t p = 0; p < panels.size(); ++p) {
        const int left = kMargin + static_cast<int>(p % kColumns) * (kTile + kMargin);
        const int top = kMargin + static_cast<int>(p / kColumns) * (kLabel + kTile + kMargin);
        std::fprintf(out, "<text x=\"%d\" y=\"%d\" font-family=\"sans-serif\" font-size=\"14\">%s</text>\n", left,
                     top + 15, panels[p].label);
        WriteTile(out, Render(panels[p]), left, top + kLabel);
    }
    std::fprintf(out, "</svg>\n");
    std::fclose(out);
    std::printf("noise sheet: %zu noise types, seed 1337, written to %s\n", panels.size(), path);
    return 0;
}
