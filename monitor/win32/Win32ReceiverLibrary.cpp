#include "Win32ReceiverLibrary.h"

#include <cstdint>

// The imports, as the library exports them (C names, __cdecl). The buffers are plain bytes here:
// 4 for a raw code, 8 for a keyboard report, both owned by the caller.
extern "C" {
uint32_t __cdecl solv_initIRDev(void);  // ChipId in the low 16 bits; the high half is not examined
int32_t __cdecl solv_ReadRawIR(uint8_t* pCode4);
int32_t __cdecl solv_ReadTamoIR(uint8_t* pReport8);
void __cdecl solv_exit(void);
}

namespace wendle {

uint32_t Win32ReceiverLibrary::InitIRDev() { return solv_initIRDev(); }

int32_t Win32ReceiverLibrary::ReadRawIR(uint8_t* code4) { return solv_ReadRawIR(code4); }

int32_t Win32ReceiverLibrary::ReadTamoIR(uint8_t* report8) { return solv_ReadTamoIR(report8); }

void Win32ReceiverLibrary::Exit() { solv_exit(); }

}  // namespace wendle
