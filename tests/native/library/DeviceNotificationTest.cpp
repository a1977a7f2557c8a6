// Registering a window for receiver arrival and removal messages, and ending the registration.
#include "DeviceNotification.h"
#include "LibraryTest.h"

namespace {

class DeviceNotificationTest : public LibraryTest {
 protected:
  void TearDown() override {
    TESK_unregister_notify();
    LibraryTest::TearDown();
  }
  int window = 0;
  int otherWindow = 0;
};

TEST_F(DeviceNotificationTest, UnregisteringBeforeAnyRegistrationDoesNothing) {
  TESK_unregister_notify();
  EXPECT_TRUE(system.events.empty());
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(DeviceNotificationTest, RegistersOnceAndUnregistersOnce) {
  EXPECT_TRUE(TESK_set_notify(&window));
  EXPECT_EQ(system.registeredWindows, std::vector<korvan::WindowHandle>{&window});
  TESK_unregister_notify();
  TESK_unregister_notify();
  EXPECT_EQ(system.events, (Texts{"Register", "Unregister"}));
  EXPECT_EQ(system.unregistered, system.registrations);
  EXPECT_EQ(system.traces, Texts{"unregister_notify ok"});
  EXPECT_EQ(korvan::g_hNotify, nullptr);
}

TEST_F(DeviceNotificationTest, TheFilterAsksForNetworkTunerInterfacesByAnyName) {
  ASSERT_TRUE(TESK_set_notify(&window));
  ASSERT_EQ(system.registeredFilters.size(), 1u);
  EXPECT_EQ(fakes::Hex(system.registeredFilters[0]),
            "20 00 00 00 05 00 00 00 00 00 00 00 "       // size 32, device interface, reserved
            "48 5F 98 71 A1 1C D3 11 9C C8 00 C0 4F 79 71 E0 "  // KSCATEGORY_BDA_NETWORK_TUNER
            "00 00 00 00");                               // empty name
}

TEST_F(DeviceNotificationTest, ARefusedRegistrationGivesFalseAndNoTrace) {
  system.registrationRefused = true;
  EXPECT_FALSE(TESK_set_notify(nullptr));
  EXPECT_TRUE(system.traces.empty());
  EXPECT_EQ(korvan::g_hNotify, nullptr);
  TESK_unregister_notify();
  EXPECT_EQ(system.events, Texts{"Register"});
}

TEST_F(DeviceNotificationTest, ASecondRegistrationEndsTheFirstQuietly) {
  ASSERT_TRUE(TESK_set_notify(&window));
  ASSERT_TRUE(TESK_set_notify(&otherWindow));
  EXPECT_EQ(system.events, (Texts{"Register", "Unregister", "Register"}));
  ASSERT_EQ(system.registrations.size(), 2u);
  EXPECT_EQ(system.unregistered, std::vector<korvan::NotifyHandle>{system.registrations[0]});
  EXPECT_TRUE(system.traces.empty());

  TESK_unregister_notify();
  EXPECT_EQ(system.unregistered, system.registrations);
  EXPECT_EQ(system.traces, Texts{"unregister_notify ok"});
}

TEST_F(DeviceNotificationTest, ARefusedSecondRegistrationLeavesNoneInForce) {
  ASSERT_TRUE(TESK_set_notify(&window));
  system.registrationRefused = true;
  EXPECT_FALSE(TESK_set_notify(&otherWindow));
  EXPECT_EQ(system.unregistered, system.registrations);
  EXPECT_EQ(korvan::g_hNotify, nullptr);
}

TEST_F(DeviceNotificationTest, TheRegistrationIsIndependentOfTheReceiverSlots) {
  ASSERT_TRUE(TESK_set_notify(&window));
  EXPECT_EQ(system.events, Texts{"Register"});  // no COM, no lock, no slot
  OpenReceiver();
  TESK_exit(0);
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "Unregister"), 0);
  EXPECT_NE(korvan::g_hNotify, nullptr);
}

}  // namespace
