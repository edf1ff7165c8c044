#include "Noise.h"

#include <algorithm>
#include <cmath>

double Random::next()
{
    // splitmix64: small, fast and the same everywhere.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) / double(1ull << 53);
}

TileNoise::TileNoise(int cellsX, int cellsY, std::uint64_t seed)
    : m_cellsX(std::max(1, cellsX)), m_cellsY(std::max(1, cellsY))
{
    Random random(seed);
    m_values.resize(m_cellsX * m_cellsY);
    for (double& value : m_values)
        value = random.signedNext();
}

double TileNoise::lattice(int x, int y) const
{
    x %= m_cellsX;
    y %= m_cellsY;
    if (x < 0)
        x += m_cellsX;
    if (y < 0)
        y += m_cellsY;
    return m_values[y * m_cellsX + x];
}

double TileNoise::at(double u, double v) const
{
    const double fx = std::floor(u);
    const double fy = std::floor(v);
    const int x = int(fx);
    const int y = int(fy);
    auto smooth = [](double t) { return t * t * (3.0 - 2.0 * t); };
    const double tx = smooth(u - fx);
    const double ty = smooth(v - fy);
    const double top = lattice(x, y) + (lattice(x + 1, y) - lattice(x, y)) * tx;
    const double bottom = lattice(x, y + 1) + (lattice(x + 1, y + 1) - lattice(x, y + 1)) * tx;
    return top + (bottom - top) * ty;
}

TileTexture::TileTexture(double width, double height, double cellPxX, double cellPxY, int octaves,
                         double persistence, std::uint64_t seed)
{
    double weight = 1.0;
    for (int i = 0; i < octaves; ++i) {
        // Whole cells across the picture keep every octave seamless.
        const int cellsX = std::max(1, int(std::lround(width / cellPxX)));
        const int cellsY = std::max(1, int(std::lround(height / cellPxY)));
        m_octaves.append({TileNoise(cellsX, cellsY, seed + 7919ull * std::uint64_t(i)), cellsX / width,
                          cellsY / height, weight});
        m_total += weight;
        weight *= persistence;
        cellPxX /= 2.0;
        cellPxY /= 2.0;
    }
}

double TileTexture::at(double x, double y) const
{
    double sum = 0.0;
    for (const Octave& octave : m_octaves)
        sum += octave.weight * octave.noise.at(x * octave.scaleX, y * octave.scaleY);
    return m_total > 0.0 ? sum / m_total : 0.0;
}
