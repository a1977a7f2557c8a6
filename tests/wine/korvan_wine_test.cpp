// Drives the real Korvan.dll step by step and prints one line per step, for the Wine tests to
// compare. Exports are looked up by name, so the program runs against any build of the library;
// a step whose export is missing ends the run with exit code 77 (the test is then skipped).
//
//   korvan_wine_test <Korvan.dll> <step>...
//
// Steps (numbers in decimal or 0x hex, n = DeviceNumber):
//   version                          TESK_GetDllVersion
//   init:n  exit:n  initir:n         TESK_init, TESK_exit, TESK_initIRDev
//   drvinfo:n                        TESK_GetDrvInfo (20 bytes)
//   readofdm:addr:n  readlink:addr:n readslave:slave:addr:n   (4 bytes)
//   writeofdm:addr:value:n  writelink:addr:value:n  writeslave:slave:addr:value:n
//   rawir:n  tamoir:n                TESK_ReadRawIR (4 bytes), TESK_ReadTamoIR (8 bytes)
//   readreg:addr:n  writereg:addr:value:n  readeeprom:addr:n  writeeeprom:addr:value:n
//   apartment                        what CoInitializeEx(multi-threaded) says about this thread
//   sleep:ms
// Output: "<step> -> <result>[ <hex bytes>]". Buffers start filled with 0xEE, so bytes the
// library did not touch show as "ee".
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Korvan.h"

namespace {

HMODULE g_library = nullptr;
const char* g_step = "";

[[noreturn]] void MissingExport(const char* name) {
  printf("%s -> missing export %s\n", g_step, name);
  fflush(stdout);
  ExitProcess(77);
}

template <typename Function>
Function Export(const char* name) {
  FARPROC address = GetProcAddress(g_library, name);
  if (address == nullptr) MissingExport(name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

#define KORVAN(name) Export<decltype(&name)>(#name)

std::string Hex(const uint8_t* bytes, size_t length) {
  std::string text;
  char pair[3];
  for (size_t i = 0; i < length; ++i) {
    snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

void Print(long result) { printf("%s -> %ld\n", g_step, result); }

void Print(long result, const uint8_t* bytes, size_t length) {
  printf("%s -> %ld %s\n", g_step, result, Hex(bytes, length).c_str());
}

struct Buffer {
  explicit Buffer(size_t size) : bytes(size, 0xEE) {}
  uint8_t* data() { return bytes.data(); }
  std::vector<uint8_t> bytes;
};

const char* Apartment() {
  HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(result)) {
    CoUninitialize();
    return result == S_OK ? "none" : "mta";
  }
  return result == RPC_E_CHANGED_MODE ? "sta" : "error";
}

// One step; false when the step is not understood.
bool RunStep(const std::string& name, const std::vector<unsigned long>& a) {
  auto is = [&](const char* candidate, size_t count) { return name == candidate && a.size() == count; };
  int n = a.empty() ? 0 : static_cast<int>(a.back());
  if (is("version", 0)) {
    printf("%s -> %s\n", g_step, KORVAN(TESK_GetDllVersion)());
  } else if (is("init", 1)) {
    Print(KORVAN(TESK_init)(n));
  } else if (is("exit", 1)) {
    KORVAN(TESK_exit)(n);
    printf("%s -> done\n", g_step);
  } else if (is("initir", 1)) {
    printf("%s -> 0x%04x\n", g_step, KORVAN(TESK_initIRDev)(n));
  } else if (is("drvinfo", 1)) {
    Buffer reply(20);
    Print(KORVAN(TESK_GetDrvInfo)(reply.data(), n), reply.data(), 20);
  } else if (is("readofdm", 2) || is("readlink", 2)) {
    Buffer reply(4);
    auto read = name == "readofdm" ? KORVAN(TESK_ReadOFDMReg) : KORVAN(TESK_ReadLinkReg);
    Print(read(a[0], reply.data(), n), reply.data(), 4);
  } else if (is("writeofdm", 3) || is("writelink", 3)) {
    auto write = name == "writeofdm" ? KORVAN(TESK_WriteOFDMReg) : KORVAN(TESK_WriteLinkReg);
    Print(write(a[0], a[1], n));
  } else if (is("readslave", 3)) {
    Buffer reply(4);
    Print(KORVAN(TESK_ReadSlaveReg)(a[0], a[1], reply.data(), n), reply.data(), 4);
  } else if (is("writeslave", 4)) {
    Print(KORVAN(TESK_WriteSlaveReg)(a[0], a[1], a[2], n));
  } else if (is("rawir", 1)) {
    RawRemoteCode code;
    memset(&code, 0xEE, sizeof code);
    Print(KORVAN(TESK_ReadRawIR)(&code, n), code.abyData, sizeof code);
  } else if (is("tamoir", 1)) {
    KeyboardReport report;
    memset(&report, 0xEE, sizeof report);
    Print(KORVAN(TESK_ReadTamoIR)(&report, n), report.abyData, sizeof report);
  } else if (is("readreg", 2)) {
    Buffer value(1);
    Print(KORVAN(TESK_ReadReg)(static_cast<uint16_t>(a[0]), value.data(), n), value.data(), 1);
  } else if (is("writereg", 3)) {
    Print(KORVAN(TESK_WriteReg)(static_cast<uint16_t>(a[0]), static_cast<uint8_t>(a[1]), n));
  } else if (is("readeeprom", 2)) {
    Buffer value(1);
    Print(KORVAN(TESK_ReadEEPROM)(static_cast<uint8_t>(a[0]), value.data(), n), value.data(), 1);
  } else if (is("writeeeprom", 3)) {
    Print(KORVAN(TESK_WriteEEPROM)(static_cast<uint8_t>(a[0]), static_cast<uint8_t>(a[1]), n));
  } else if (is("apartment", 0)) {
    printf("%s -> %s\n", g_step, Apartment());
  } else if (is("sleep", 1)) {
    Sleep(a[0]);
    printf("%s -> done\n", g_step);
  } else {
    return false;
  }
  return true;
}

bool ParseStep(const std::string& step, std::string* name, std::vector<unsigned long>* arguments) {
  size_t start = step.find(':');
  *name = step.substr(0, start);
  while (start != std::string::npos) {
    size_t end = step.find(':', start + 1);
    std::string part = step.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    char* stop = nullptr;
    // Negative device numbers are steps too: they wrap to the same 32-bit pattern.
    unsigned long value = part[0] == '-' ? static_cast<unsigned long>(strtol(part.c_str(), &stop, 0))
                                         : strtoul(part.c_str(), &stop, 0);
    if (part.empty() || *stop != 0) return false;
    arguments->push_back(value);
    start = end;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: korvan_wine_test <Korvan.dll> <step>...\n");
    return 2;
  }
  g_library = LoadLibraryA(argv[1]);
  if (g_library == nullptr) {
    printf("cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    g_step = argv[i];
    std::string name;
    std::vector<unsigned long> arguments;
    if (!ParseStep(argv[i], &name, &arguments) || !RunStep(name, arguments)) {
      printf("%s -> not a step\n", g_step);
      return 2;
    }
    fflush(stdout);
  }
  FreeLibrary(g_library);
  return 0;
}
