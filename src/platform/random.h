#ifndef OSSIVAR_PLATFORM_RANDOM_H
#define OSSIVAR_PLATFORM_RANDOM_H

// The game's one source of randomness: the C standard's portable generator,
// kept here so every draw is the same on every platform and std::rand is
// never involved.
namespace rng {

// Draws are 0 to kDrawCount - 1.
constexpr int kDrawCount = 32768;

// Sets the generator's state; before any call the state is 1.
void Seed(const unsigned int& seed);

// Advances the state and returns an integer from 0 to kDrawCount - 1.
int Draw();

}  // namespace rng

#endif
