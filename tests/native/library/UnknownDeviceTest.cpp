// Operations called with a number outside 0 to 9, or on a slot that holds no receiver: no driver
// request, no trace of the operation, and its failure value.
#include <climits>
#include <functional>

#include "OperationsTest.h"

namespace {

struct Operation {
  const char* name;
  std::function<int64_t(DeviceNumber)> call;
  int64_t failure;
};

class UnknownDeviceTest : public OperationsTest {
 protected:
  std::vector<Operation> Operations() {
    return {
        {"ReadReg", [&](DeviceNumber n) { return TESK_ReadReg(1, buffer, n); }, false},
        {"WriteReg", [](DeviceNumber n) { return TESK_WriteReg(1, 1, n); }, false},
        {"ReadEEPROM", [&](DeviceNumber n) { return TESK_ReadEEPROM(1, buffer, n); }, 1},
        {"WriteEEPROM", [](DeviceNumber n) { return TESK_WriteEEPROM(1, 1, n); }, 1},
        {"WriteBulkData", [&](DeviceNumber n) { return TESK_WriteBulkData(buffer, 4, &word, n); }, false},
        {"ReadBulkData", [&](DeviceNumber n) { return TESK_ReadBulkData(buffer, 4, &word, n); }, false},
        {"WriteBulkDataNb", [&](DeviceNumber n) { return TESK_WriteBulkDataNb(buffer, 4, &word, n); }, false},
        {"ReadBulkDataNb", [&](DeviceNumber n) { return TESK_ReadBulkDataNb(buffer, 4, &word, n); }, false},
        {"ReadOFDMReg", [&](DeviceNumber n) { return TESK_ReadOFDMReg(1, buffer, n); }, korvan::CHANNEL_FAILED},
        {"WriteOFDMReg", [](DeviceNumber n) { return TESK_WriteOFDMReg(1, 1, n); }, korvan::CHANNEL_FAILED},
        {"ReadLinkReg", [&](DeviceNumber n) { return TESK_ReadLinkReg(1, buffer, n); }, korvan::CHANNEL_FAILED},
        {"WriteLinkReg", [](DeviceNumber n) { return TESK_WriteLinkReg(1, 1, n); }, korvan::CHANNEL_FAILED},
        {"ReadSlaveReg", [&](DeviceNumber n) { return TESK_ReadSlaveReg(1, 1, buffer, n); }, korvan::CHANNEL_FAILED},
        {"WriteSlaveReg", [](DeviceNumber n) { return TESK_WriteSlaveReg(1, 1, 1, n); }, korvan::CHANNEL_FAILED},
        {"ReadI2CData", [&](DeviceNumber n) { return TESK_ReadI2CData(buffer, 4, n); }, korvan::CHANNEL_FAILED},
        {"WriteI2CData", [&](DeviceNumber n) { return TESK_WriteI2CData(1, 1, buffer, 4, n); }, korvan::CHANNEL_FAILED},
        {"SetPidFilter", [](DeviceNumber n) { return TESK_SetPidFilter(1, n); }, false},
        {"SetBandWidth", [](DeviceNumber n) { return TESK_SetBandWidth(1, n); }, false},
        {"GetBandWidth", [&](DeviceNumber n) { return TESK_GetBandWidth(&word, n); }, false},
        {"GetTamoDrvInfo", [&](DeviceNumber n) { return TESK_GetTamoDrvInfo(buffer, n); }, false},
        {"GetDeviceInfo", [&](DeviceNumber n) { return TESK_GetDeviceInfo(buffer, n); }, false},
        {"GetTsData", [&](DeviceNumber n) { return TESK_GetTsData(buffer, 4, n); }, false},
        {"SetActiveFilter", [](DeviceNumber n) { return TESK_SetActiveFilter(1, n); }, false},
        {"GetOvlCnt", [&](DeviceNumber n) { return TESK_GetOvlCnt(&half, n); }, false},
        {"SetFreq", [](DeviceNumber n) { return TESK_SetFreq(1, n); }, false},
        {"GetFreq", [&](DeviceNumber n) { return TESK_GetFreq(&word, n); }, false},
        {"ResetUsb", [](DeviceNumber n) { return TESK_ResetUsb(1, n); }, false},
        {"GetVitBER", [&](DeviceNumber n) { return TESK_GetVitBER(buffer, n); }, false},
        {"SetRecLen", [](DeviceNumber n) { return TESK_SetRecLen(1, n); }, false},
        {"GetRecLen", [&](DeviceNumber n) { return TESK_GetRecLen(&word, n); }, false},
        {"GetSignalStrength", [&](DeviceNumber n) { return TESK_GetSignalStrength(buffer, n); }, false},
        {"GetMacroVision", [&](DeviceNumber n) { return TESK_GetMacroVision(&word, n); }, false},
        {"SetPidMap", [&](DeviceNumber n) { return TESK_SetPidMap(1, &half, n); }, false},
        {"GetSnapShot", [&](DeviceNumber n) { return TESK_GetSnapShot(buffer, n); }, false},
        {"GetDrvInfo", [&](DeviceNumber n) { return TESK_GetDrvInfo(buffer, n); }, korvan::CHANNEL_FAILED},
        {"PowerCtl", [](DeviceNumber n) { return TESK_PowerCtl(1, n); }, korvan::CHANNEL_FAILED},
        {"SaveIso", [](DeviceNumber n) { return TESK_SaveIso(1, n); }, korvan::CHANNEL_FAILED},
        {"ReadRawIR", [&](DeviceNumber n) { return TESK_ReadRawIR(&code, n); }, korvan::CHANNEL_FAILED},
        {"ReadTamoIR", [&](DeviceNumber n) { return TESK_ReadTamoIR(&report, n); }, 1},
    };
  }
  uint8_t buffer[24] = {};
  uint32_t word = 0;
  uint16_t half = 0;
  RawRemoteCode code = {{0}};
  KeyboardReport report = {{0}};
};

TEST_F(UnknownDeviceTest, NumbersOutsideTheTableAndEmptySlotsReachNoDriver) {
  // Slot 0 is open, so a request would show if any number reached it.
  for (DeviceNumber n : {-1, 10, 3, 9, INT_MIN, INT_MAX}) {
    for (const Operation& op : Operations()) {
      SCOPED_TRACE(std::string(op.name) + " on " + std::to_string(n));
      Forget();
      EXPECT_EQ(op.call(n), op.failure);
      EXPECT_TRUE(system.requests.empty());
      EXPECT_TRUE(system.traces.empty());
      EXPECT_TRUE(std::count(system.events.begin(), system.events.end(), "Wait") == 0);
    }
  }
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](uint8_t b) { return b == 0; }));
}

TEST_F(UnknownDeviceTest, OperationsOnAClosedLibraryFailTheSameWay) {
  TESK_exit(0);
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    Forget();
    EXPECT_EQ(op.call(0), op.failure);
    EXPECT_TRUE(system.requests.empty());
    EXPECT_TRUE(system.events.empty());
  }
  // The operations that always address receiver 0 and the aliases find nothing either.
  double rate = 0;
  EXPECT_FALSE(TESK_GetBer(&rate, 0));
  EXPECT_FALSE(TESK_LoadIrTable(0));
  EXPECT_FALSE(tamo_GetIR(&report));
  EXPECT_FALSE(ruvo_GetIR(&report));
  EXPECT_FALSE(tamo_ReadEEPROM(1, buffer));
  EXPECT_EQ(solv_ReadEEPROM(1, buffer), 1);
  EXPECT_FALSE(ruvo_GetDriverInfo(nullptr));
  EXPECT_EQ(solv_ReadRawIR(&code), korvan::CHANNEL_FAILED);
  EXPECT_EQ(solv_ReadTamoIR(&report), 1);
  EXPECT_TRUE(system.requests.empty());
  EXPECT_TRUE(system.traces.empty());
}

}  // namespace
