// Korvan.dll's boundary as a client program sees it: every name of the export list found with
// GetProcAddress, and calls through those names against the simulated receiver.
//
//   exports_wine_test <Korvan.dll> <Korvan.def> <part>...
//
// Parts, run in the order given, in one process:
//   exports     the DLL's own export directory holds exactly the list's names; every name resolves,
//               a "name = routine" line reaches the routine's address, and the names lead to 47
//               TESK_ entry points and 54 alias routines
//   aliases     one call (or more) through a name of every alias routine, and the two decorated
//               names; ends with the count of alias routines called
//   roundtrips  register, EEPROM, demodulator and I2C writes read back through TESK_ names
// Output: one line per call, "<call> -> <result>[ <hex bytes>]"; buffers start filled with 0xEE.
// Exit code 0, or 1 when a part found a fault (the line says which).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Korvan.h"

namespace {

HMODULE g_library = nullptr;
int g_faults = 0;
std::set<std::string> g_calledNames;

struct ExportLine {
  std::string name;
  std::string routine;
};
std::vector<ExportLine> g_list;

bool ReadExportList(const char* path) {
  std::ifstream file(path);
  if (!file) return false;
  bool inside = false;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string text = line.substr(0, line.find(';'));
    std::istringstream words(text);
    std::string first, equals, routine;
    if (!(words >> first)) continue;
    if (text[0] != ' ' && text[0] != '\t') {
      inside = first == "EXPORTS";
      continue;
    }
    if (!inside) continue;
    if (words >> equals >> routine)
      g_list.push_back({first, routine});
    else
      g_list.push_back({first, first});
  }
  return !g_list.empty();
}

void Fault(const std::string& text) {
  printf("FAULT: %s\n", text.c_str());
  ++g_faults;
}

FARPROC Address(const std::string& name) { return GetProcAddress(g_library, name.c_str()); }

template <typename Function>
Function Export(const char* name) {
  g_calledNames.insert(name);
  FARPROC address = Address(name);
  if (!address) {
    Fault(std::string("missing export ") + name);
    fflush(stdout);
    ExitProcess(1);
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

// Calls through the exported name, with the header's prototype of that name.
#define CALL(name) Export<decltype(&name)>(#name)

std::string Hex(const void* data, size_t length) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  std::string text;
  char pair[3];
  for (size_t i = 0; i < length; ++i) {
    snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

void Show(const char* call, long result) { printf("%s -> %ld\n", call, result); }
void Show(const char* call, long result, const void* bytes, size_t length) {
  printf("%s -> %ld %s\n", call, result, Hex(bytes, length).c_str());
}
void ShowDone(const char* call) { printf("%s -> done\n", call); }

struct Buffer {
  explicit Buffer(size_t size) : bytes(size, 0xEE) {}
  uint8_t* data() { return bytes.data(); }
  std::vector<uint8_t> bytes;
};

// The names in the DLL's export directory, as the loader sees them.
std::vector<std::string> ExportDirectoryNames() {
  const uint8_t* base = reinterpret_cast<const uint8_t*>(g_library);
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  std::vector<std::string> names;
  if (entry.VirtualAddress == 0) return names;
  const IMAGE_EXPORT_DIRECTORY* directory =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  const DWORD* nameRvas = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
  for (DWORD i = 0; i < directory->NumberOfNames; ++i)
    names.push_back(reinterpret_cast<const char*>(base + nameRvas[i]));
  return names;
}

bool IsMainFamily(const std::string& name) { return name.rfind("TESK_", 0) == 0 || name.rfind("?TESK_", 0) == 0; }

void CheckExports() {
  const std::vector<std::string> exported = ExportDirectoryNames();
  std::set<std::string> listed;
  for (const ExportLine& line : g_list) listed.insert(line.name);
  const std::set<std::string> inDirectory(exported.begin(), exported.end());
  for (const std::string& name : exported)
    if (!listed.count(name)) Fault("exported but not listed: " + name);
  for (const std::string& name : listed)
    if (!inDirectory.count(name)) Fault("listed but not exported: " + name);

  std::set<FARPROC> mainEntries, aliasRoutines;
  for (const ExportLine& line : g_list) {
    FARPROC address = Address(line.name);
    if (!address) {
      Fault("GetProcAddress finds no " + line.name);
      continue;
    }
    if (address != Address(line.routine)) Fault(line.name + " does not reach " + line.routine);
    (IsMainFamily(line.name) ? mainEntries : aliasRoutines).insert(address);
  }
  printf("exports -> %u names, %u listed, %u TESK_ entry points, %u alias routines\n",
         static_cast<unsigned>(exported.size()), static_cast<unsigned>(listed.size()),
         static_cast<unsigned>(mainEntries.size()), static_cast<unsigned>(aliasRoutines.size()));
}

// A window that may receive device-change messages.
HWND CreateRecipient() {
  return CreateWindowExW(0, L"STATIC", L"exports_wine_test", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void CallAliases() {
  Show("ruvo_init()", CALL(ruvo_init)());
  CALL(solv_exit)();
  ShowDone("solv_exit()");
  printf("solv_initIRDev() -> 0x%04x\n", CALL(solv_initIRDev)());
  printf("ruvo_GetDllVersion() -> %s\n", CALL(ruvo_GetDllVersion)());

  {
    Buffer value(1);
    Show("ruvo_GetSnapShot()", CALL(ruvo_GetSnapShot)(value.data()), value.data(), 1);
  }
  {
    Buffer strength(1);
    Show("solv_GetSignalStrength()", CALL(solv_GetSignalStrength)(strength.data()), strength.data(), 1);
  }
  {
    Buffer info(6);
    Show("ruvo_GetDeviceInfo()", CALL(ruvo_GetDeviceInfo)(info.data()), info.data(), 6);
  }
  {
    Buffer info(12);
    Show("tamo_GetDriverInfo()", CALL(tamo_GetDriverInfo)(info.data()), info.data(), 12);
  }
  {
    Buffer info(20);
    Show("solv_GetDrvInfo()", CALL(solv_GetDrvInfo)(info.data()), info.data(), 20);
  }
  {
    RuvoDriverInfo info;
    memset(&info, 0xEE, sizeof info);
    Show("ruvo_GetDriverInfo()", CALL(ruvo_GetDriverInfo)(&info), &info, sizeof info);
  }
  {
    Buffer counters(12);
    Show("solv_GetVitBER()", CALL(solv_GetVitBER)(counters.data()), counters.data(), 12);
  }
  {
    uint32_t value = 0xEEEEEEEE;
    Show("ruvo_GetMacroVision()", CALL(ruvo_GetMacroVision)(&value), &value, 4);
  }

  Show("ruvo_SetBandWidth(7000)", CALL(ruvo_SetBandWidth)(7000));
  uint32_t word = 0xEEEEEEEE;
  Show("ruvo_GetBandWidth()", CALL(ruvo_GetBandWidth)(&word), &word, 4);
  Show("ruvo_SetFreq(650000)", CALL(ruvo_SetFreq)(650000));
  word = 0xEEEEEEEE;
  Show("ruvo_GetFreq()", CALL(ruvo_GetFreq)(&word), &word, 4);
  Show("ruvo_SetRecLen(188)", CALL(ruvo_SetRecLen)(188));
  word = 0xEEEEEEEE;
  Show("ruvo_GetRecLen()", CALL(ruvo_GetRecLen)(&word), &word, 4);
  Show("ruvo_SetPidFilter(0x101)", CALL(ruvo_SetPidFilter)(0x101));
  const uint16_t pids[2] = {0x0100, 0x1FFF};
  Show("ruvo_SetPidMap(2)", CALL(ruvo_SetPidMap)(2, pids));
  Show("ruvo_SetPidMap(33)", CALL(ruvo_SetPidMap)(33, pids));
  Show("ruvo_SetActiveFilter(3)", CALL(ruvo_SetActiveFilter)(3));
  {
    Buffer stream(4);
    Show("ruvo_GetTsData(4)", CALL(ruvo_GetTsData)(stream.data(), 4), stream.data(), 4);
  }
  Show("ruvo_ResetUsb(1)", CALL(ruvo_ResetUsb)(1));
  Show("solv_PowerCtl(0x100)", CALL(solv_PowerCtl)(0x100));
  Show("solv_SaveIso(9)", CALL(solv_SaveIso)(9));

  {
    uint8_t data[4] = {0xA1, 0xA2, 0xA3, 0xA4};
    uint32_t returned = 0;
    Show("ruvo_WriteBulkData(4)", CALL(ruvo_WriteBulkData)(data, 4, &returned), &returned, 4);
    Buffer back(4);
    returned = 0;
    Show("ruvo_ReadBulkData(4)", CALL(ruvo_ReadBulkData)(back.data(), 4, &returned), back.data(), 4);
    uint8_t more[2] = {0xB1, 0xB2};
    returned = 0;
    Show("ruvo_WriteBulkDataNb(2)", CALL(ruvo_WriteBulkDataNb)(more, 2, &returned), &returned, 4);
    Buffer backNb(2);
    Show("ruvo_ReadBulkDataNb(2)", CALL(ruvo_ReadBulkDataNb)(backNb.data(), 2, &returned), backNb.data(), 2);
  }

  Show("ruvo_WriteReg(0x9a60, 0x21)", CALL(ruvo_WriteReg)(0x9A60, 0x21));
  {
    Buffer value(1);
    Show("ruvo_ReadReg(0x9a60)", CALL(ruvo_ReadReg)(0x9A60, value.data()), value.data(), 1);
  }
  auto writeLLReg = Export<decltype(&TESK_WriteReg)>(KORVAN_WRITELLREG_EXPORT);
  Show("?TESK_WriteLLReg(0x9a61, 0x22, 0)", writeLLReg(0x9A61, 0x22, 0));
  {
    auto readLLReg = Export<decltype(&TESK_ReadReg)>(KORVAN_READLLREG_EXPORT);
    Buffer value(1);
    Show("?TESK_ReadLLReg(0x9a61, 0)", readLLReg(0x9A61, value.data(), 0), value.data(), 1);
  }
  Show("ruvo_WriteEEPROM(0x31, 0x88)", CALL(ruvo_WriteEEPROM)(0x31, 0x88));
  {
    Buffer value(1);
    Show("ruvo_ReadEEPROM(0x31)", CALL(ruvo_ReadEEPROM)(0x31, value.data()), value.data(), 1);
    Buffer again(1);
    Show("solv_ReadEEPROM(0x30)", CALL(solv_ReadEEPROM)(0x30, again.data()), again.data(), 1);
  }

  {
    Buffer reply(4);
    Show("ruvo_ReadOFDMReg(50)", CALL(ruvo_ReadOFDMReg)(50, reply.data()), reply.data(), 4);
    Show("ruvo_WriteOFDMReg(0x60, 0x1cd)", CALL(ruvo_WriteOFDMReg)(0x60, 0x1CD));
    Show("solv_WriteOFDMReg(0x61, 0x1ce)", CALL(solv_WriteOFDMReg)(0x61, 0x1CE));
    Buffer back(4);
    Show("solv_ReadOFDMReg(0x60)", CALL(solv_ReadOFDMReg)(0x60, back.data()), back.data(), 4);
  }
  {
    Buffer reply(4);
    Show("ruvo_ReadLLReg(0x11234)", CALL(ruvo_ReadLLReg)(0x11234, reply.data()), reply.data(), 4);
    Show("ruvo_WriteLLReg(0x11235, 0x1ab)", CALL(ruvo_WriteLLReg)(0x11235, 0x1AB));
    Show("solv_WriteLinkReg(0x1236, 0x1ac)", CALL(solv_WriteLinkReg)(0x1236, 0x1AC));
    Buffer back(4);
    Show("solv_ReadLinkReg(0x1235)", CALL(solv_ReadLinkReg)(0x1235, back.data()), back.data(), 4);
  }
  {
    Show("solv_WriteSlaveReg(0x1c0, 8, 0x55)", CALL(solv_WriteSlaveReg)(0x1C0, 8, 0x55));
    Buffer reply(4);
    Show("solv_ReadSlaveReg(0xc0, 8)", CALL(solv_ReadSlaveReg)(0xC0, 8, reply.data()), reply.data(), 4);
  }
  {
    const uint8_t data[3] = {0xC1, 0xC2, 0xC3};
    Show("solv_WriteI2CData(0xa0, 0x01, 3)", CALL(solv_WriteI2CData)(0xA0, 0x01, data, 3));
    Buffer reply(5);
    Show("solv_ReadI2CData(5)", CALL(solv_ReadI2CData)(reply.data(), 5), reply.data(), 5);
  }
  {
    double rate = -1;
    long result = CALL(ruvo_GetBer)(&rate);
    printf("ruvo_GetBer() -> %ld %.6f\n", result, rate);
  }

  {
    RawRemoteCode code;
    memset(&code, 0xEE, sizeof code);
    Show("solv_ReadRawIR()", CALL(solv_ReadRawIR)(&code), &code, 4);
    KeyboardReport report;
    memset(&report, 0xEE, sizeof report);
    Show("tamo_GetIR()", CALL(tamo_GetIR)(&report), &report, 8);
    memset(&report, 0xEE, sizeof report);
    Show("ruvo_GetIR()", CALL(ruvo_GetIR)(&report), &report, 8);
    memset(&report, 0xEE, sizeof report);
    Show("solv_ReadTamoIR()", CALL(solv_ReadTamoIR)(&report), &report, 8);
  }

  Show("ruvo_LoadIrTable()", CALL(ruvo_LoadIrTable)());

  HWND window = CreateRecipient();
  Show("ruvo_set_notify(not a window)", CALL(ruvo_set_notify)(reinterpret_cast<void*>(0x1234)));
  Show("ruvo_set_notify(window)", CALL(ruvo_set_notify)(window));
  CALL(ruvo_unregister_notify)();
  ShowDone("ruvo_unregister_notify()");
  if (window) DestroyWindow(window);

  CALL(ruvo_exit)();
  ShowDone("ruvo_exit()");

  // Through the names the three families share, once the receiver is closed again.
  Show("tamo_init()", CALL(tamo_init)());
  CALL(tamo_exit)();
  ShowDone("tamo_exit()");
  printf("tamo_GetDllVersion() -> %s\n", CALL(tamo_GetDllVersion)());

  std::set<std::string> routines, called;
  for (const ExportLine& line : g_list) {
    if (IsMainFamily(line.name)) continue;
    routines.insert(line.routine);
    if (g_calledNames.count(line.name)) called.insert(line.routine);
  }
  for (const std::string& routine : routines)
    if (!called.count(routine)) Fault("no call reached " + routine);
  printf("aliases -> %u of %u alias routines called\n", static_cast<unsigned>(called.size()),
         static_cast<unsigned>(routines.size()));
}

void RoundTrips() {
  printf("TESK_initIRDev(0) -> 0x%04x\n", CALL(TESK_initIRDev)(0));
  Show("TESK_WriteReg(0x9a56, 0x11, 0)", CALL(TESK_WriteReg)(0x9A56, 0x11, 0));
  {
    Buffer value(1);
    Show("TESK_ReadReg(0x9a56, 0)", CALL(TESK_ReadReg)(0x9A56, value.data(), 0), value.data(), 1);
  }
  Show("TESK_WriteEEPROM(0x40, 0x5c, 0)", CALL(TESK_WriteEEPROM)(0x40, 0x5C, 0));
  {
    Buffer value(1);
    Show("TESK_ReadEEPROM(0x40, 0)", CALL(TESK_ReadEEPROM)(0x40, value.data(), 0), value.data(), 1);
  }
  Show("TESK_WriteOFDMReg(0x10, 0x1ff, 0)", CALL(TESK_WriteOFDMReg)(0x10, 0x1FF, 0));
  {
    Buffer reply(4);
    Show("TESK_ReadOFDMReg(0x10, 0)", CALL(TESK_ReadOFDMReg)(0x10, reply.data(), 0), reply.data(), 4);
  }
  {
    const uint8_t data[4] = {0xD1, 0xD2, 0xD3, 0xD4};
    Show("TESK_WriteI2CData(0xa0, 0x02, 4, 0)", CALL(TESK_WriteI2CData)(0xA0, 0x02, data, 4, 0));
    std::vector<uint8_t> tooLong(501, 0x77);
    Show("TESK_WriteI2CData(0xa0, 0x02, 501, 0)", CALL(TESK_WriteI2CData)(0xA0, 0x02, tooLong.data(), 501, 0));
    Buffer reply(6);
    Show("TESK_ReadI2CData(6, 0)", CALL(TESK_ReadI2CData)(reply.data(), 6, 0), reply.data(), 6);
  }
  {
    Buffer value(1);
    Show("TESK_ReadReg(0x9a56, 3)", CALL(TESK_ReadReg)(0x9A56, value.data(), 3), value.data(), 1);
    Show("TESK_WriteReg(0x9a56, 0x11, 10)", CALL(TESK_WriteReg)(0x9A56, 0x11, 10));
  }
  CALL(TESK_exit)(0);
  ShowDone("TESK_exit(0)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: exports_wine_test <Korvan.dll> <Korvan.def> <exports|aliases|roundtrips>...\n");
    return 2;
  }
  g_library = LoadLibraryA(argv[1]);
  if (!g_library) {
    printf("cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  if (!ReadExportList(argv[2])) {
    printf("cannot read the export list %s\n", argv[2]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const std::string part = argv[i];
    if (part == "exports")
      CheckExports();
    else if (part == "aliases")
      CallAliases();
    else if (part == "roundtrips")
      RoundTrips();
    else {
      printf("%s -> not a part\n", argv[i]);
      return 2;
    }
    fflush(stdout);
  }
  FreeLibrary(g_library);
  return g_faults ? 1 : 0;
}
