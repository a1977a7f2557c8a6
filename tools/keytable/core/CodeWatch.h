#pragma once
// "keytable watch": opens receiver 0 and prints each code as it arrives, with what the key table
// makes of it, so a user can learn the codes of a new remote.
#include <cstdint>

#include "KeyTable.h"
#include "ToolEnvironment.h"

namespace keytable {

constexpr uint32_t WATCH_POLL_MS = 100;  // the monitor's own poll period

struct WatchLimits {
  uint32_t maxCodes = 0;  // stop after this many codes; 0: no limit
  uint32_t maxPolls = 0;  // stop after this many polls; 0: no limit
};

// Returns the tool's exit code: 0 after a watch that ended by a limit or by the user, 2 when the
// receiver cannot be opened.
int WatchCodes(ToolEnvironment& env, RemoteReceiver& receiver, const wendle::KeyTable& table,
               const WatchLimits& limits);

}  // namespace keytable
