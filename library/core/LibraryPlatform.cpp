#include "LibraryPlatform.h"

namespace korvan {
namespace {
LibraryPlatform g_platform = {};
}

void SetLibraryPlatform(const LibraryPlatform& platform) { g_platform = platform; }
const LibraryPlatform& Platform() { return g_platform; }

}  // namespace korvan
