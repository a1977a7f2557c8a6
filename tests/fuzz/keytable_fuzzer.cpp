// Fuzz target of the key table tool's text and file handling. The first byte picks the input's
// kind: even, the rest is a key table file, which must decompile into a map that compiles back to
// the same bytes; odd, the rest is key map text, which must either be refused with errors or
// compile into a file whose decompiled map compiles to that file again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyTableCheck.h"
#include "KeyTableDecompiler.h"

namespace {

bool Compile(const std::string& text, std::vector<uint8_t>* pBytes) {
  keytable::KeyMapSource source;
  std::vector<keytable::Diagnostic> errors, warnings;
  keytable::CompiledKeyTable table;
  if (!keytable::ParseKeyMap(text, &source, &errors, &warnings) || !keytable::CompileKeyMap(source, &table, &errors))
    return false;
  *pBytes = std::move(table.bytes);
  return true;
}

void ExpectRoundTrip(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> warnings;
  const std::string text = keytable::DecompileKeyTable(bytes, "fuzz.bin", &warnings);
  std::vector<uint8_t> back;
  if (!Compile(text, &back) || back != bytes) std::abort();
  const keytable::LoadedTable loaded = keytable::LoadTableImage(bytes);
  keytable::CheckFile(loaded);
  keytable::CheckSlots(loaded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if ((data[0] & 1) == 0) {
    ExpectRoundTrip(std::vector<uint8_t>(data + 1, data + size));
    return 0;
  }
  std::vector<uint8_t> bytes;
  if (Compile(std::string(reinterpret_cast<const char*>(data + 1), size - 1), &bytes) && bytes.size() <= 4096)
    ExpectRoundTrip(bytes);
  return 0;
}
