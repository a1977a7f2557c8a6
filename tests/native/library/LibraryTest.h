#pragma once
// Fixture for tests of the library core: a fake system installed as the platform, and the
// library taken back to Closed after every test with nothing left alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Connection.h"
#include "Korvan.h"
#include "LibraryFakes.h"
#include "WideFormat.h"

// A receiver's display name as the device enumerator lists it.
inline std::u16string ReceiverName(const char16_t* id = u"{9b365890-165f-11d0-a195-0020afd156e4}",
                                   const char16_t* instance = u"0001") {
  return std::u16string(u"@device:pnp:\\\\?\\usb#vid_0000&pid_0001#") + instance +
         u"#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\" + id;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { system.Install(); }

  void TearDown() override {
    korvan::CloseIfOpen();
    korvan::g_bShowChannelFailure = true;
    EXPECT_EQ(system.liveObjects, 0) << "objects not released";
    EXPECT_EQ(system.doubleReleases, 0);
    EXPECT_EQ(system.liveNames, 0) << "display names not freed";
    EXPECT_EQ(system.liveLocks, 0);
    EXPECT_EQ(system.apartmentDepth, 0);
    EXPECT_EQ(system.openFiles, 0);
  }

  void AddTuner(const std::u16string& name) { system.Category(fakes::kTunerCategory).push_back({name}); }
  void AddCapture(const std::u16string& name) { system.Category(fakes::kCaptureCategory).push_back({name}); }

  // Opens slot n on one attached receiver and forgets what the open recorded.
  void OpenReceiver(DeviceNumber n = 0) {
    if (system.Category(fakes::kTunerCategory).empty()) AddTuner(ReceiverName());
    for (DeviceNumber i = 0; i < n; ++i) AddTuner(ReceiverName(u"{9b365890-165f-11d0-a195-0020afd156e4}", u"extra"));
    ASSERT_TRUE(TESK_init(n));
    Forget();
  }

  void Forget() {
    system.events.clear();
    system.traces.clear();
    system.requests.clear();
  }

  bool IsClosed() const {
    for (korvan::ReceiverDevice* device : korvan::g_pDevices)
      if (device) return false;
    return korvan::g_hMutex == nullptr && !korvan::g_bComInitialized;
  }

  fakes::FakeSystem system;
};

using Texts = std::vector<std::string>;
