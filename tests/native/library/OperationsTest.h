#pragma once
// Fixture for the tests of the receiver operations: slot 0 open on one receiver, a driver that
// answers from a short script, and each request written as one line so that a whole exchange
// compares in one expectation.
#include <memory>

#include "LibraryTest.h"

// "<set> <id> <get|set> <request length>: <data as it arrived>", e.g. "control 10 set 24: 56 9A 11".
inline std::string Describe(const fakes::Request& r) {
  const korvan::Guid set = r.Set();
  const char* setName = fakes::SameGuid(set, korvan::PROPSET_CONTROL)   ? "control"
                        : fakes::SameGuid(set, korvan::PROPSET_CHANNEL) ? "channel"
                        : fakes::SameGuid(set, korvan::PROPSET_PIDMAP)  ? "pidmap"
                                                                        : "unknown";
  const char* direction = r.Flags() == 1 ? "get" : r.Flags() == 2 ? "set" : "flags?";
  std::string line = std::string(setName) + " " + std::to_string(r.Id()) + " " + direction + " " +
                     std::to_string(r.header.size()) + ":";
  if (!r.dataSent.empty()) line += " " + fakes::Hex(r.dataSent);
  return line;
}

class OperationsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenReceiver();
  }

  Texts Requests() const {
    Texts lines;
    for (const fakes::Request& r : system.requests) lines.push_back(Describe(r));
    return lines;
  }

  // The driver answers the k-th request with results[k] (the last one repeats) and fills the
  // data of every successful get with reply (as far as it reaches).
  void Answer(std::vector<korvan::HResult> results, std::vector<uint8_t> reply = {}) {
    auto count = std::make_shared<size_t>(0);
    system.driver = [=](const korvan::DriverRequest& request, uint32_t, uint8_t* data, uint32_t length) {
      const size_t k = (*count)++;
      const korvan::HResult hr = results.empty() ? 0 : results[std::min(k, results.size() - 1)];
      if (korvan::Succeeded(hr) && request.Flags == korvan::KSPROPERTY_TYPE_GET && data)
        std::copy_n(reply.begin(), std::min<size_t>(length, reply.size()), data);
      return hr;
    };
  }

  korvan::ReceiverDevice& Device() { return *korvan::g_pDevices[0]; }

  // A record whose property interface was never obtained.
  void DropPropertyInterface() {
    korvan::PropertyPort* port = Device().m_pKsControl;
    Device().m_pKsControl = nullptr;
    port->Release();
  }
};

constexpr korvan::HResult kGenFailure = static_cast<korvan::HResult>(0x8007001F);
constexpr korvan::HResult kNotImplemented = static_cast<korvan::HResult>(0x80070001);
