#include "raster/Random.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace kestrava {

namespace {

uint32_t MillisecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return uint32_t(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + ms);
}

// Touched by the GUI thread and the animation thread; the atomic keeps each access whole.
std::atomic<uint32_t> g_seed{MillisecondsSinceMidnight()};

}  // namespace

uint32_t Random(uint32_t n) {
  const uint32_t next = g_seed.load(std::memory_order_relaxed) * 134775813u + 1u;
  g_seed.store(next, std::memory_order_relaxed);
  return uint32_t((uint64_t{next} * n) >> 32);
}

uint32_t RandSeed() {
  return g_seed.load(std::memory_order_relaxed);
}

void SetRandSeed(uint32_t seed) {
  g_seed.store(seed, std::memory_order_relaxed);
}

void Randomize() {
  SetRandSeed(MillisecondsSinceMidnight());
}

}  // namespace kestrava
