#include "MonitorPlatform.h"

namespace wendle {
namespace {

MonitorPlatform g_platform;

}  // namespace

const MonitorPlatform& Platform() { return g_platform; }

MonitorPlatform SetMonitorPlatform(const MonitorPlatform& platform) {
  MonitorPlatform previous = g_platform;
  g_platform = platform;
  return previous;
}

}  // namespace wendle
