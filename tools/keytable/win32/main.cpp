// keytable.exe: the key table tool as a Windows console program.
#include <windows.h>

#include "KeyTableTool.h"
#include "Win32ToolEnvironment.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(keytable::Utf8FromWide(argv[i]));
  keytable::Win32ToolEnvironment env;
  return keytable::RunKeyTableTool(args, env);
}
