#pragma once

// Fixed pseudo-random values for textures: the same arguments give the same value on every run,
// so the artwork comes out byte for byte the same.

#include <cstdint>

// A value in [0, 1) for the lattice point (x, y) of the texture `seed`.
double latticeValue(int x, int y, uint32_t seed);

// Smooth noise in [0, 1): the lattice values around (x, y), blended with a smoothstep.
double valueNoise(double x, double y, uint32_t seed);

// `octaves` layers of value noise, each twice as fine and half as strong, in [0, 1).
double fractalNoise(double x, double y, uint32_t seed, int octaves);
