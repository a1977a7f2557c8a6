#include "Win32ReceiverLibrary.h"

#include "Korvan.h"

// The four imports, through the library's public header; the monitor's seam speaks in plain
// bytes (4 for a raw code, 8 for a keyboard report, both owned by the caller).
static_assert(sizeof(RawRemoteCode) == 4 && sizeof(KeyboardReport) == 8, "record sizes");

namespace wendle {

uint32_t Win32ReceiverLibrary::InitIRDev() { return solv_initIRDev(); }

int32_t Win32ReceiverLibrary::ReadRawIR(uint8_t* code4) {
  return solv_ReadRawIR(reinterpret_cast<RawRemoteCode*>(code4));
}

int32_t Win32ReceiverLibrary::ReadTamoIR(uint8_t* report8) {
  return solv_ReadTamoIR(reinterpret_cast<KeyboardReport*>(report8));
}

void Win32ReceiverLibrary::Exit() { solv_exit(); }

}  // namespace wendle
