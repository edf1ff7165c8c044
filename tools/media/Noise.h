#pragma once

#include <QVector>
#include <cstdint>

// Repeatable randomness for the generated pictures and sounds: the same seed
// gives the same files on every machine, so the generator can be re-run
// without changing what is committed.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    // Uniform in [0, 1).
    double next();
    // Uniform in [-1, 1).
    double signedNext() { return next() * 2.0 - 1.0; }

private:
    std::uint64_t m_state;
};

// Smooth value noise on a lattice that wraps around: sampled at u in
// [0, cellsX) and v in [0, cellsY) it joins seamlessly at the edges, so a
// texture made from it tiles. Values lie in [-1, 1].
class TileNoise {
public:
    TileNoise(int cellsX, int cellsY, std::uint64_t seed);
    double at(double u, double v) const;

private:
    double lattice(int x, int y) const;

    int m_cellsX;
    int m_cellsY;
    QVector<double> m_values;
};

// Several octaves of tile noise over a picture of a given size: `at(x, y)`
// takes pixel coordinates of the design size and stays seamless at its
// edges. `cellPx` is the feature size of the coarsest octave; every further
// octave halves it and weighs `persistence` times as much.
class TileTexture {
public:
    TileTexture(double width, double height, double cellPxX, double cellPxY, int octaves, double persistence,
                std::uint64_t seed);
    double at(double x, double y) const;

private:
    struct Octave {
        TileNoise noise;
        double scaleX;
        double scaleY;
        double weight;
    };
    QVector<Octave> m_octaves;
    double m_total = 0.0;
};
