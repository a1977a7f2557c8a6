#pragma once
// Seam: the four receiver-library functions that the monitor imports (solv_initIRDev,
// solv_ReadRawIR, solv_ReadTamoIR, solv_exit). All of them act on receiver 0.
#include <cstdint>

namespace wendle {

// The one chip that decodes buttons itself: it delivers keyboard reports and needs no key table.
constexpr uint16_t CHIP_DECODES_ITSELF = 0x9015;

class ReceiverLibrary {
 public:
  virtual ~ReceiverLibrary() = default;

  // solv_initIRDev: opens receiver 0 for remote-control use. The low 16 bits of the result are
  // its ChipId; 0 means nothing was opened. The high half carries no meaning for the monitor.
  virtual uint32_t InitIRDev() = 0;

  // solv_ReadRawIR: on 0 the receiver's 4-byte raw code (little-endian) is in code4; any other
  // result means no code, and code4 may be left as it was.
  virtual int32_t ReadRawIR(uint8_t* code4) = 0;

  // solv_ReadTamoIR: on 0 an 8-byte decoded KeyboardReport is in report8; any other result
  // means no report.
  virtual int32_t ReadTamoIR(uint8_t* report8) = 0;

  // solv_exit: closes the receiver and everything the library opened for it.
  virtual void Exit() = 0;
};

}  // namespace wendle
