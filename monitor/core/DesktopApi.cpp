#include "DesktopApi.h"

namespace wendle {
namespace {

DesktopPlatform g_desktop;

}  // namespace

const DesktopPlatform& Desktop() { return g_desktop; }

DesktopPlatform SetDesktopPlatform(const DesktopPlatform& desktop) {
  DesktopPlatform previous = g_desktop;
  g_desktop = desktop;
  return previous;
}

}  // namespace wendle
