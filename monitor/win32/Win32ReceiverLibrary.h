#pragma once
// The receiver library's four imports, reached through the import table of the program.
#include "ReceiverLibrary.h"

namespace wendle {

class Win32ReceiverLibrary : public ReceiverLibrary {
 public:
  uint32_t InitIRDev() override;
  int32_t ReadRawIR(uint8_t* code4) override;
  int32_t ReadTamoIR(uint8_t* report8) override;
  void Exit() override;
};

}  // namespace wendle
