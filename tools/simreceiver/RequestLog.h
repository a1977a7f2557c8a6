#pragma once
// One line of the request log per KsProperty call, so that tests can compare the wire traffic
// byte for byte:
//   CHANNEL id=1 flags=2 req=24:<hex> data=12:<hex> reply=- hr=0x00000000
// data is the caller's buffer as it arrived, reply what a successful get returned.
#include <cstdint>
#include <string>

namespace sim {

struct LoggedRequest {
  const char* setName = "UNKNOWN";
  uint32_t id = 0;
  uint32_t flags = 0;
  const uint8_t* request = nullptr;
  uint32_t requestLength = 0;
  const uint8_t* data = nullptr;  // as it arrived
  uint32_t dataLength = 0;
  const uint8_t* reply = nullptr;  // null: no reply ("-")
  uint32_t replyLength = 0;
  uint32_t hresult = 0;
};

// Longest byte run written out in full; longer runs end in "...".
constexpr uint32_t kLoggedBytesLimit = 4096;

std::string FormatRequestLine(const LoggedRequest& request);

// "# " followed by the text: notes that tests skip when they compare requests.
std::string FormatNoteLine(const std::string& text);

}  // namespace sim
