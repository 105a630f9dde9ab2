#pragma once

#include <QtGlobal>

#include <cstdint>

namespace murmela::test {

// Small random sequences for generated test data. Fixed arithmetic only, so no
// library's distribution can change a sequence between machines or releases.

// The draws both generators offer, built on their next().
template <typename Generator>
class RandomDraws {
 public:
  double unit() { return static_cast<double>(self().next() >> 11) * 0x1.0p-53; }  // [0, 1)
  qsizetype below(qsizetype n) { return static_cast<qsizetype>(self().next() % static_cast<std::uint64_t>(n)); }
  bool chance(double p) { return unit() < p; }
  double between(double low, double high) { return low + (high - low) * unit(); }

 private:
  Generator& self() { return static_cast<Generator&>(*this); }
};

// splitmix64.
class SplitMix64 : public RandomDraws<SplitMix64> {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t state_;
};

// xoshiro256**, its state seeded by splitmix64.
class Xoshiro256 : public RandomDraws<Xoshiro256> {
 public:
  explicit Xoshiro256(std::uint64_t seed) {
    SplitMix64 seeder(seed);
    for (std::uint64_t& word : state_) word = seeder.next();
  }
  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t state_[4];
};

}  // namespace murmela::test
