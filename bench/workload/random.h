#pragma once

#include <cstdint>

namespace workload {

// SplitMix64: tiny, fast and fully defined by its integer arithmetic, so the
// same start value gives the same tree on every compiler and standard library
// (the std:: distributions are free to differ between implementations).
class Random {
public:
    explicit Random(std::uint64_t start) : state_(start) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound); bound must be positive and below 2^32. The
    // multiply-shift keeps the bias under bound / 2^32, far below anything a
    // benchmark tree could show.
    std::uint64_t Below(std::uint64_t bound) { return ((Next() >> 32) * bound) >> 32; }

    // Uniform in [low, high].
    std::uint64_t Between(std::uint64_t low, std::uint64_t high) { return low + Below(high - low + 1); }

    // True with probability numerator / denominator.
    bool Chance(std::uint64_t numerator, std::uint64_t denominator) { return Below(denominator) < numerator; }

private:
    std::uint64_t state_;
};

} // namespace workload
