// The settings-changed notice: every top-level window gets it once, and a
// window that does not answer cannot hold the sender.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "desktop/settings_broadcast.h"
#include "desktop_test_support.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;
using namespace std::chrono_literals;

TEST(BroadcastTest, EveryTopLevelWindowHearsItOnce) {
  CountingWindows windows(3);
  BroadcastSettingsChange();
  EXPECT_EQ(windows.Counts(), (std::vector<int>{1, 1, 1}));
  BroadcastSettingsChange();
  EXPECT_EQ(windows.Counts(), (std::vector<int>{2, 2, 2}));
}

TEST(BroadcastTest, UnresponsiveWindowDoesNotStallTheSender) {
  UniqueHandle created(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread stuck([&] {
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"stuck", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr));
    SetEvent(created.get());
    // Never looks at its queue until released, like a hung program.
    WaitForSingleObject(release.get(), 30000);
  });
  WaitForSingleObject(created.get(), 5000);

  CountingWindows windows(2);
  const auto start = std::chrono::steady_clock::now();
  BroadcastSettingsChange(300ms);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  SetEvent(release.get());
  stuck.join();

  EXPECT_LT(elapsed, 5s);
  EXPECT_EQ(windows.Counts(), (std::vector<int>{1, 1}));
}

}  // namespace
}  // namespace skyloom
