#pragma once

// The memory the workers of a build may hold in decoded pictures at once. Limiting the workers'
// number is not enough: each could hold a huge picture, and their number is the core count.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kestrava {

// What the workers of one build hold together, about one 8000 x 6000 progressive photograph.
inline constexpr int64_t kBuildDecodeBudget = int64_t{192} << 20;

class TDecodeBudget {
 public:
  explicit TDecodeBudget(int64_t bytes) : limit_(bytes) {}
  // Waits while other pictures are in hand and these bytes would not fit beside them. A picture
  // alone always proceeds, however large: it is refused, if at all, by its reader.
  void Take(int64_t bytes);
  void Give(int64_t bytes);
  int64_t Limit() const { return limit_; }

 private:
  const int64_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int64_t inHand_ = 0;
  int holders_ = 0;
};

// While alive, reservations made on this thread draw on the budget.
class TDecodeBudgetScope {
 public:
  explicit TDecodeBudgetScope(TDecodeBudget* budget);
  ~TDecodeBudgetScope();
  TDecodeBudgetScope(const TDecodeBudgetScope&) = delete;
  TDecodeBudgetScope& operator=(const TDecodeBudgetScope&) = delete;

 private:
  TDecodeBudget* previous_;
};

// Holds bytes of the budget of this thread's build until destroyed; outside a build, nothing.
// Made once per picture, before its decoding allocates: waiting for more while holding some
// could leave two workers waiting for each other.
class TDecodeReservation {
 public:
  explicit TDecodeReservation(int64_t bytes);
  ~TDecodeReservation();
  TDecodeReservation(const TDecodeReservation&) = delete;
  TDecodeReservation& operator=(const TDecodeReservation&) = delete;

 private:
  TDecodeBudget* budget_;
  int64_t bytes_;
};

}  // namespace kestrava
