#include "platform/random.h"

#include <cstdint>

namespace rng {
namespace {

std::uint32_t state = 1;

}  // namespace

void Seed(const unsigned int& seed) { state = static_cast<std::uint32_t>(seed); }

int Draw() {
  // Unsigned 32-bit arithmetic wraps, which is the modulo the algorithm needs.
  state = state * 1103515245u + 12345u;
  return static_cast<int>((state / 65536u) % kDrawCount);
}

}  // namespace rng
