#include "views/common/RandomColor.h"

#include <chrono>
#include <random>

namespace {

// The views run on the user-interface thread only; one generator serves them.
std::mt19937& Generator() {
    static std::mt19937 generator(std::random_device{}());
    return generator;
}

std::uint32_t RandomComponent() {
    std::uniform_int_distribution<std::uint32_t> component(0, 254);
    return component(Generator());
}

}  // namespace

TColor RandomColor() {
    std::uint32_t red = RandomComponent();
    std::uint32_t green = RandomComponent();
    std::uint32_t blue = RandomComponent();
    return red | (green << 8) | (blue << 16);
}

TColor RandomLightColor() {
    return ChangeLightness(RandomColor(), 100);
}

namespace {

// The seed of the last RandomizeColors.
std::uint32_t& LastSeed() {
    static std::uint32_t seed = 0;
    return seed;
}

}  // namespace

void RandomizeColors() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    LastSeed() = static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
    Generator().seed(LastSeed());
}

void RepeatColors() {
    Generator().seed(LastSeed());
}

void SeedRandomColors(std::uint32_t seed) {
    Generator().seed(seed);
}
