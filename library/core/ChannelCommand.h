#pragma once
// The command sent in the set step of a channel exchange: a 32-bit command code followed by its
// operands, all little-endian. The driver ignores the bytes a command does not use; they are
// sent as zeros so that nothing of the stack travels to the driver.
#include <cstddef>
#include <cstdint>

namespace korvan {

// Channel command codes.
enum : uint32_t {
  kCmdReadOFDMReg = 0,
  kCmdWriteOFDMReg = 1,
  kCmdReadLinkReg = 2,
  kCmdWriteLinkReg = 3,
  kCmdPowerCtl = 4,
  kCmdReadSlaveReg = 5,
  kCmdWriteSlaveReg = 6,
  kCmdReadRawIR = 7,
  kCmdReadI2CData = 100,
  kCmdWriteI2CData = 101,
  kCmdSaveIso = 102,
  kCmdGetDrvInfo = 1,  // on the DRV channel
};

template <size_t Size>
struct ChannelCommand {
  uint8_t abyData[Size] = {};

  explicit ChannelCommand(uint32_t dwCode) { PutWord(0, dwCode); }

  void PutWord(size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) abyData[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  void PutByte(size_t offset, uint32_t value) { abyData[offset] = static_cast<uint8_t>(value); }
};

}  // namespace korvan
