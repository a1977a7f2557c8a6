#pragma once
// The key table tool's command line:
//   keytable compile MAP.txt [-o tamoirtbl.bin]
//   keytable decompile tamoirtbl.bin [-o MAP.txt]
//   keytable check MAP.txt|tamoirtbl.bin
//   keytable watch [--table MAP.txt|tamoirtbl.bin] [--codes N] [--polls N]
// A file whose name ends in ".bin" is a key table file; any other is a key map.
#include <string>
#include <vector>

#include "ToolEnvironment.h"

namespace keytable {

// Exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_WARNINGS = 1;  // check found something to report
constexpr int EXIT_FAILED = 2;    // bad command line, unreadable or invalid input, nothing written

// args excludes the program name.
int RunKeyTableTool(const std::vector<std::string>& args, ToolEnvironment& env);

}  // namespace keytable
