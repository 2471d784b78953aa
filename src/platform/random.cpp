#include "platform/random.h"

namespace rng {

generator& Shared() {
  static generator shared;
  return shared;
}

void Seed(const unsigned int& seed) { Shared().Seed(seed); }

int Draw() { return Shared().Draw(); }

}  // namespace rng
