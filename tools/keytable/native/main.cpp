// keytable for the build machine: everything but watch, which needs the receiver library.
#include "KeyTableTool.h"
#include "NativeToolEnvironment.h"

int main(int argc, char** argv) {
  keytable::NativeToolEnvironment env;
  return keytable::RunKeyTableTool(std::vector<std::string>(argv + 1, argv + argc), env);
}
