#include "tools/artwork/Noise.h"

#include <cmath>

namespace {

// A 32-bit integer mix (xorshift-multiply rounds); every input bit reaches every output bit.
uint32_t mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double smoothstep(double t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

double latticeValue(int x, int y, uint32_t seed) {
    const uint32_t h =
        mix(static_cast<uint32_t>(x) * 0x9e3779b1U ^ mix(static_cast<uint32_t>(y) + seed));
    return (h >> 8) / 16777216.0;
}

double valueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = smoothstep(x - fx), ty = smoothstep(y - fy);
    const double top = latticeValue(ix, iy, seed) * (1 - tx) + latticeValue(ix + 1, iy, seed) * tx;
    const double bottom =
        latticeValue(ix, iy + 1, seed) * (1 - tx) + latticeValue(ix + 1, iy + 1, seed) * tx;
    return top * (1 - ty) + bottom * ty;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, weight = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x * scale, y * scale, seed + 101U * i) * weight;
        total += weight;
        weight *= 0.5;
        scale *= 2;
    }
    return sum / total;
}
