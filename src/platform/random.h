#ifndef OSSIVAR_PLATFORM_RANDOM_H
#define OSSIVAR_PLATFORM_RANDOM_H

#include <cstdint>

// The game's randomness: the C standard's portable generator, kept here so
// every draw is the same on every platform and std::rand is never involved.
namespace rng {

// Draws are 0 to kDrawCount - 1.
constexpr int kDrawCount = 32768;

// One generator state. The game uses one for the whole process (Shared);
// the arena gives each battle its own, so battles on many threads draw
// exactly what they would draw on one.
class generator {
 public:
  explicit generator(const std::uint32_t& seed = 1) : state_(seed) {}

  void Seed(const unsigned int& seed) { state_ = static_cast<std::uint32_t>(seed); }

  // Advances the state and returns an integer from 0 to kDrawCount - 1.
  int Draw() {
    // Unsigned 32-bit arithmetic wraps, which is the modulo the algorithm
    // needs.
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ / 65536u) % kDrawCount);
  }

 private:
  std::uint32_t state_;
};

// The process-wide generator; before any seeding its state is 1.
generator& Shared();

// Seed and Draw of the shared generator.
void Seed(const unsigned int& seed);
int Draw();

}  // namespace rng

#endif
