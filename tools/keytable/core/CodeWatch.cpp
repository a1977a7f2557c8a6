#include "CodeWatch.h"

#include <cstdio>
#include <string>

#include "KeyNames.h"
#include "KeyTableCheck.h"
#include "ReceiverLibrary.h"

namespace keytable {

int WatchCodes(ToolEnvironment& env, RemoteReceiver& receiver, const wendle::KeyTable& table,
               const WatchLimits& limits) {
  const uint16_t wChip = receiver.Open();
  if (wChip == 0) {
    env.Error("keytable: watch: no receiver could be opened (is it plugged in and its driver installed?)\n");
    return 2;
  }
  char line[160];
  const bool bReports = wChip == wendle::CHIP_DECODES_ITSELF;
  std::snprintf(line, sizeof line, "Receiver 0 open, chip %04X: %s\n", unsigned{wChip},
                bReports ? "it decodes buttons itself, so its reports are shown; the key table is not used"
                         : "showing raw codes and what the key table makes of them");
  env.Out(line);

  uint32_t nCodes = 0;
  for (uint32_t nPolls = 0; limits.maxPolls == 0 || nPolls < limits.maxPolls; ++nPolls) {
    if (bReports) {
      uint8_t report[8] = {};
      if (receiver.ReadReport(report)) {
        std::snprintf(line, sizeof line, "report %02X %02X %02X %02X %02X %02X %02X %02X  %s\n", report[0],
                      report[1], report[2], report[3], report[4], report[5], report[6], report[7],
                      KeyText(report[0], report[2]).c_str());
        env.Out(line);
        ++nCodes;
      }
    } else {
      uint32_t dwCode = 0;
      if (receiver.ReadRawCode(&dwCode)) {
        std::snprintf(line, sizeof line, "0x%08X  ", dwCode);
        env.Out(line + DescribeCode(table, dwCode) + "\n");
        ++nCodes;
      }
    }
    if (limits.maxCodes != 0 && nCodes >= limits.maxCodes) break;
    if (!env.WaitForPoll(WATCH_POLL_MS)) break;
  }
  receiver.Close();
  return 0;
}

}  // namespace keytable
