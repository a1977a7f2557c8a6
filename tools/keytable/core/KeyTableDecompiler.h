#pragma once
// The key map text of a key table file: readable where the file is what the compiler writes,
// byte-exact always, so that compiling the text gives the file's bytes back.
#include <cstdint>
#include <string>
#include <vector>

namespace keytable {

// sourceName goes into the header comment. The warnings of an unusual file (short or long, a
// count outside 1 to 50, negative limits) are written into the text as comments and also
// returned in *pWarnings.
std::string DecompileKeyTable(const std::vector<uint8_t>& bytes, const std::string& sourceName,
                              std::vector<std::string>* pWarnings);

}  // namespace keytable
