#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "saver/ParallelPictures.h"

namespace kestrava {
namespace {

std::vector<uint8_t> Numbered(size_t i) {
  return {uint8_t(i), uint8_t(i >> 8), 0xAB};
}

TEST(ParallelPictures, HandsOutEveryPictureInListOrder) {
  for (const unsigned threads : {1u, 2u, 4u, 16u}) {
    constexpr size_t kCount = 50;
    TParallelPictures pictures(kCount, Numbered, threads);
    for (size_t i = 0; i < kCount; ++i)
      ASSERT_EQ(pictures.Prepared(i), Numbered(i)) << "threads " << threads;
  }
}

TEST(ParallelPictures, AnErrorComesWithItsOwnPicture) {
  TParallelPictures pictures(
      6,
      [](size_t i) {
        if (i == 3) throw std::runtime_error("broken 3");
        return Numbered(i);
      },
      3);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(pictures.Prepared(i), Numbered(i));
  try {
    pictures.Prepared(3);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "broken 3");
  }
  EXPECT_EQ(pictures.Prepared(4), Numbered(4));
}

// Workers never run more than the window ahead of the pictures handed out (the last one asked for
// may already be out while `asked` still names it, hence one more).
TEST(ParallelPictures, WorkersStayWithinTheWindow) {
  std::atomic<size_t> highest{0};
  std::atomic<size_t> asked{0};
  std::atomic<bool> beyond{false};
  constexpr size_t kCount = 40;
  TParallelPictures pictures(
      kCount,
      [&](size_t i) {
        if (i > asked.load() + 8) beyond = true;
        size_t seen = highest.load();
        while (i > seen && !highest.compare_exchange_weak(seen, i)) {
        }
        return Numbered(i);
      },
      4);
  EXPECT_EQ(pictures.Window(), 8u);
  for (size_t i = 0; i < kCount; ++i) {
    asked = i;
    // Give the workers every chance to run ahead.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(pictures.Prepared(i), Numbered(i));
  }
  EXPECT_FALSE(beyond.load());
  EXPECT_EQ(highest.load(), kCount - 1);
}

// A writer that gives up early (a failed build) must not wait for the rest of the list.
TEST(ParallelPictures, StopsWhenTheWriterGivesUp) {
  std::atomic<size_t> prepared{0};
  {
    TParallelPictures pictures(
        1000,
        [&](size_t i) {
          ++prepared;
          return Numbered(i);
        },
        4);
    pictures.Prepared(0);
  }
  EXPECT_LT(prepared.load(), 20u);
}

// The decoded pictures in hand stay within the budget, except a picture larger than it, which
// proceeds alone; pictures that fit together still run together.
TEST(ParallelPictures, DecodedPicturesInHandStayWithinTheBudget) {
  constexpr int64_t kBudget = 100;
  const int64_t claims[] = {60, 60, 30, 30, 30, 250, 10, 90, 20, 70, 50, 50, 5, 5, 5, 5};
  std::mutex mutex;
  int64_t inHand = 0, most = 0;
  int holders = 0, mostHolders = 0;
  bool overBudget = false;
  TParallelPictures pictures(
      std::size(claims),
      [&](size_t i) {
        const TDecodeReservation reservation(claims[i]);
        {
          std::lock_guard lock(mutex);
          inHand += claims[i];
          ++holders;
          if (inHand > kBudget && holders > 1) overBudget = true;
          most = std::max(most, inHand);
          mostHolders = std::max(mostHolders, holders);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        {
          std::lock_guard lock(mutex);
          inHand -= claims[i];
          --holders;
        }
        return Numbered(i);
      },
      4, kBudget);
  for (size_t i = 0; i < std::size(claims); ++i)
    ASSERT_EQ(pictures.Prepared(i), Numbered(i));
  EXPECT_FALSE(overBudget);
  EXPECT_EQ(most, 250);  // the large one, alone
  EXPECT_GE(mostHolders, 3);
}

}  // namespace
}  // namespace kestrava
