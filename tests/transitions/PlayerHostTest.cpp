#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "transitions/HeadlessPlayerHost.h"
#include "transitions/ManualResetEvent.h"

namespace kestrava {
namespace {

TEST(HeadlessPlayerHost, RunsSentCallsOnItsOwnThreadWhilePumping) {
  THeadlessPlayerHost host;
  std::atomic<bool> ranOnUiThread{false};
  std::atomic<bool> errorReturned{false};
  std::thread other([&] {
    host.Send([&] { ranOnUiThread = host.IsUiThread(); });
    try {
      host.Send([] { throw std::runtime_error("sent call failed"); });
    } catch (const std::runtime_error&) {
      errorReturned = true;
    }
    host.Wake();
  });
  EXPECT_TRUE(host.RunUntil([&] { return errorReturned.load(); }));
  other.join();
  EXPECT_TRUE(ranOnUiThread);
}

TEST(HeadlessPlayerHost, WaitingServesSentCallsButNotPostedMessages) {
  THeadlessPlayerHost host;
  bool postedRan = false;
  host.Post([&] { postedRan = true; });
  std::atomic<bool> finished{false};
  std::thread other([&] {
    for (int i = 0; i < 3; ++i)
      host.Send([] {});
    finished = true;
    host.PostAnimationDone();
  });
  host.WaitServingSends([&] { return finished.load(); });
  other.join();
  EXPECT_FALSE(postedRan);
  // The done message is found among the posted ones and taken out alone.
  EXPECT_TRUE(host.DispatchPendingAnimationDone());
  EXPECT_FALSE(host.DispatchPendingAnimationDone());
  host.ProcessMessages();
  EXPECT_TRUE(postedRan);
}

TEST(ManualResetEvent, StaysSetUntilReset) {
  TManualResetEvent event(true);
  event.Wait();
  event.Wait();
  EXPECT_TRUE(event.IsSet());
  event.Reset();
  EXPECT_FALSE(event.IsSet());
  std::thread setter([&] { event.Set(); });
  event.Wait();
  setter.join();
  EXPECT_TRUE(event.IsSet());
}

}  // namespace
}  // namespace kestrava
