// The tamo_, ruvo_ and solv_ routines: each reaches its operation on receiver 0, with the
// family's argument narrowing and bool results. A routine that carries several names is called
// here by the name it is defined under (the export list binds the others to it).
#include <cstring>
#include <functional>

#include "OperationsTest.h"

namespace {

using korvan::HResult;

struct AliasCase {
  const char* names;
  std::function<int64_t()> call;
  int64_t result;
  const char* firstRequest;
  size_t requests;
};

class AliasRoutinesTest : public OperationsTest {
 protected:
  void SetUp() override {
    OperationsTest::SetUp();
    system.files["C:\\windows\\system32\\tamoirtbl.bin"] = fakes::Bytes({0xA1, 0xA2});
  }
  void TearDown() override {
    TESK_unregister_notify();
    OperationsTest::TearDown();
  }
  uint8_t buffer[32] = {};
  uint32_t word = 0;
  uint16_t pids[2] = {0x100, 0x101};
  double rate = 0;
  KeyboardReport report = {{0}};
  RawRemoteCode code = {{0}};
  RuvoDriverInfo info = {};
};

TEST_F(AliasRoutinesTest, EveryRoutineReachesItsOperationOnReceiverZero) {
  const std::vector<AliasCase> cases = {
      {"tamo_/ruvo_/solv_GetSignalStrength", [&] { return tamo_GetSignalStrength(buffer); }, true,
       "control 15 get 24: 00", 1},
      {"tamo_/ruvo_GetBandWidth", [&] { return tamo_GetBandWidth(&word); }, true, "control 3 get 24: 00 00 00 00", 1},
      {"tamo_/ruvo_GetDeviceInfo", [&] { return tamo_GetDeviceInfo(buffer); }, true,
       "control 5 get 24: 00 00 00 00 00 00", 1},
      {"tamo_/ruvo_GetFreq", [&] { return tamo_GetFreq(&word); }, true, "control 8 get 24: 00 00 00 00", 1},
      {"tamo_/ruvo_GetRecLen", [&] { return tamo_GetRecLen(&word); }, true, "control 12 get 24: 00 00 00 00", 1},
      {"tamo_/ruvo_GetTsData", [&] { return tamo_GetTsData(buffer, 3); }, true, "control 6 get 24: 00 00 00", 1},
      {"tamo_/ruvo_LoadIrTable", [] { return tamo_LoadIrTable(); }, true, "control 10 set 24: 56 9A A1", 2},
      {"tamo_/ruvo_ReadBulkData", [&] { return tamo_ReadBulkData(buffer, 2, &word); }, true, "control 0 get 24: 00 00", 1},
      {"tamo_/ruvo_ReadBulkDataNb", [&] { return tamo_ReadBulkDataNb(buffer, 2, &word); }, true,
       "control 1 get 24: 00 00", 1},
      {"tamo_/ruvo_ReadEEPROM", [&] { return tamo_ReadEEPROM(0x18, buffer); }, true, "control 13 set 24: 18", 2},
      {"tamo_/ruvo_ReadReg", [&] { return tamo_ReadReg(0x1234, buffer); }, true, "control 10 get 24: 34", 1},
      {"tamo_/ruvo_ResetUsb", [] { return tamo_ResetUsb(3); }, true, "control 9 set 32: 03 00 00 00", 1},
      {"tamo_/ruvo_SetActiveFilter", [] { return tamo_SetActiveFilter(4); }, true, "control 6 set 24: 04 00 00 00", 1},
      {"tamo_/ruvo_SetBandWidth", [] { return tamo_SetBandWidth(8); }, true, "control 3 set 32: 08 00 00 00", 1},
      {"tamo_/ruvo_SetFreq", [] { return tamo_SetFreq(0x10203); }, true, "control 8 set 32: 03 02 01 00", 1},
      {"tamo_/ruvo_SetPidFilter", [] { return tamo_SetPidFilter(0x301); }, true, "control 2 set 32: 01 00 00 00", 1},
      {"tamo_/ruvo_SetPidMap", [&] { return tamo_SetPidMap(1, pids); }, true,
       "pidmap 0 set 32: 00 00 00 00 01 00 00 00 00 01 00 00", 1},
      {"tamo_/ruvo_SetRecLen", [] { return tamo_SetRecLen(188); }, true, "control 12 set 24: BC 00 00 00", 1},
      {"tamo_/ruvo_WriteBulkData", [&] { return tamo_WriteBulkData(buffer, 1, &word); }, true, "control 0 set 24: 00", 1},
      {"tamo_/ruvo_WriteBulkDataNb", [&] { return tamo_WriteBulkDataNb(buffer, 1, &word); }, true,
       "control 1 set 24: 00", 1},
      {"tamo_/ruvo_WriteEEPROM", [] { return tamo_WriteEEPROM(0x20, 0x21); }, true, "control 13 set 24: 20 21", 1},
      {"tamo_/ruvo_WriteReg", [] { return tamo_WriteReg(0x9A56, 0x11); }, true, "control 10 set 24: 56 9A 11", 1},
      {"tamo_GetDriverInfo", [&] { return tamo_GetDriverInfo(buffer); }, true,
       "control 4 get 24: 00 00 00 00 00 00 00 00 00 00 00 00", 1},
      {"tamo_GetIR", [&] { return tamo_GetIR(&report); }, true, "control 14 get 24: 00 00 00 00 00 00 00 00", 1},
      {"ruvo_GetBer", [&] { return ruvo_GetBer(&rate); }, true, "channel 1 set 24: 00 00 00 00 32 00 00 00 00 00 00 00",
       14},
      {"ruvo_GetDriverInfo", [&] { return ruvo_GetDriverInfo(&info); }, true,
       "channel 0 set 24: 01 00 00 00 00 00 00 00 00 00 00 00", 2},
      {"ruvo_GetIR", [&] { return ruvo_GetIR(&report); }, true, "control 14 get 24: 00 00 00 00 00 00 00 00", 1},
      {"ruvo_GetMacroVision", [&] { return ruvo_GetMacroVision(&word); }, true, "control 16 get 24: 00 00 00 00", 1},
      {"ruvo_GetSnapShot", [&] { return ruvo_GetSnapShot(buffer); }, true, "control 10 get 24: DE", 1},
      {"ruvo_ReadLLReg", [&] { return ruvo_ReadLLReg(0x12345, buffer); }, true,
       "channel 1 set 24: 02 00 00 00 45 23 00 00 00 00 00 00", 2},
      {"ruvo_ReadOFDMReg", [&] { return ruvo_ReadOFDMReg(0x12345, buffer); }, true,
       "channel 1 set 24: 00 00 00 00 45 23 01 00 00 00 00 00", 2},
      {"ruvo_WriteLLReg", [] { return ruvo_WriteLLReg(0x12345, 0x1AB); }, true,
       "channel 1 set 24: 03 00 00 00 45 23 00 00 AB 00 00 00", 1},
      {"ruvo_WriteOFDMReg", [] { return ruvo_WriteOFDMReg(0x12345, 0x1AB); }, true,
       "channel 1 set 24: 01 00 00 00 45 23 01 00 AB 00 00 00", 1},
      {"solv_GetDrvInfo", [&] { return solv_GetDrvInfo(buffer); }, 0,
       "channel 0 set 24: 01 00 00 00 00 00 00 00 00 00 00 00", 2},
      {"solv_GetVitBER", [&] { return solv_GetVitBER(buffer); }, true,
       "control 11 get 24: 00 00 00 00 00 00 00 00 00 00 00 00", 1},
      {"solv_PowerCtl", [] { return solv_PowerCtl(1); }, 0, "channel 1 set 24: 04 00 00 00 01 00 00 00 00 00 00 00", 1},
      {"solv_ReadEEPROM", [&] { return solv_ReadEEPROM(0x18, buffer); }, 0, "control 13 set 24: 18", 2},
      {"solv_ReadI2CData", [&] { return solv_ReadI2CData(buffer, 2); }, 0,
       "channel 1 set 24: 64 00 00 00 02 00 00 00 00 00 00 00", 2},
      {"solv_ReadLinkReg", [&] { return solv_ReadLinkReg(0x12345, buffer); }, 0,
       "channel 1 set 24: 02 00 00 00 45 23 01 00 00 00 00 00", 2},
      {"solv_ReadOFDMReg", [&] { return solv_ReadOFDMReg(0x12345, buffer); }, 0,
       "channel 1 set 24: 00 00 00 00 45 23 01 00 00 00 00 00", 2},
      {"solv_ReadRawIR", [&] { return solv_ReadRawIR(&code); }, 0,
       "channel 1 set 24: 07 00 00 00 00 00 00 00 00 00 00 00", 2},
      {"solv_ReadSlaveReg", [&] { return solv_ReadSlaveReg(0x1C0, 7, buffer); }, 0,
       "channel 1 set 24: 05 00 00 00 C0 00 00 00 07 00 00 00 00 00 00 00", 2},
      {"solv_ReadTamoIR", [&] { return solv_ReadTamoIR(&report); }, 0, "control 14 get 24: 00 00 00 00 00 00 00 00", 1},
      {"solv_SaveIso", [] { return solv_SaveIso(9); }, 0, "channel 1 set 24: 66 00 00 00 09 00 00 00", 1},
      {"solv_WriteI2CData", [&] { return solv_WriteI2CData(1, 2, buffer, 1); }, 0,
       "channel 1 set 24: 65 00 00 00 01 00 00 00 01 02 00 00 00", 1},
      {"solv_WriteLinkReg", [] { return solv_WriteLinkReg(0x12345, 0x1AB); }, 0,
       "channel 1 set 24: 03 00 00 00 45 23 01 00 AB 00 00 00", 1},
      {"solv_WriteOFDMReg", [] { return solv_WriteOFDMReg(0x12345, 0x1AB); }, 0,
       "channel 1 set 24: 01 00 00 00 45 23 01 00 AB 00 00 00", 1},
      {"solv_WriteSlaveReg", [] { return solv_WriteSlaveReg(0x1C0, 7, 0x1AB); }, 0,
       "channel 1 set 24: 06 00 00 00 C0 00 00 00 07 00 00 00 AB 00 00 00", 1},
  };
  for (const AliasCase& c : cases) {
    SCOPED_TRACE(c.names);
    std::fill(std::begin(buffer), std::end(buffer), 0);
    report = {{0}};
    word = 0;
    Forget();
    EXPECT_EQ(c.call(), c.result);
    ASSERT_FALSE(system.requests.empty());
    EXPECT_EQ(Describe(system.requests[0]), c.firstRequest);
    EXPECT_EQ(system.requests.size(), c.requests);
  }
}

TEST_F(AliasRoutinesTest, LifeCycleAndVersionRoutines) {
  EXPECT_STREQ(tamo_GetDllVersion(), "20100730.1");
  tamo_exit();
  EXPECT_TRUE(IsClosed());
  EXPECT_TRUE(tamo_init());
  EXPECT_NE(korvan::g_pDevices[0], nullptr);
  tamo_exit();
  Answer({0}, fakes::Bytes({0, 0, 0x35, 0x91}));
  EXPECT_EQ(solv_initIRDev(), 0x9135);
  EXPECT_NE(korvan::g_pDevices[0], nullptr);
  tamo_exit();
  EXPECT_TRUE(IsClosed());
}

TEST_F(AliasRoutinesTest, TheSameOutcomeReadsDifferentlyByFamily) {
  struct Case {
    const char* name;
    std::vector<HResult> answers;
    int64_t tesk, solv, tamo;
    std::function<int64_t()> teskCall, solvCall, tamoCall;
  };
  const std::vector<Case> cases = {
      {"EEPROMReadSucceeds", {0}, 0, 0, true, [&] { return TESK_ReadEEPROM(1, buffer, 0); },
       [&] { return solv_ReadEEPROM(1, buffer); }, [&] { return tamo_ReadEEPROM(1, buffer); }},
      {"EEPROMReadFails", {kGenFailure}, 1, 1, false, [&] { return TESK_ReadEEPROM(1, buffer, 0); },
       [&] { return solv_ReadEEPROM(1, buffer); }, [&] { return tamo_ReadEEPROM(1, buffer); }},
      {"EEPROMWriteSucceeds", {0}, 0, 0, true, [] { return TESK_WriteEEPROM(1, 2, 0); },
       [] { return TESK_WriteEEPROM(1, 2, 0); }, [] { return tamo_WriteEEPROM(1, 2); }},
      {"EEPROMWriteFails", {kGenFailure}, 1, 1, false, [] { return TESK_WriteEEPROM(1, 2, 0); },
       [] { return TESK_WriteEEPROM(1, 2, 0); }, [] { return tamo_WriteEEPROM(1, 2); }},
      {"ReportRead", {0}, 0, 0, true, [&] { return TESK_ReadTamoIR(&report, 0); },
       [&] { return solv_ReadTamoIR(&report); }, [&] { return ruvo_GetIR(&report); }},
      {"ReportReadDirect", {0}, 0, 0, true, [&] { return TESK_ReadTamoIR(&report, 0); },
       [&] { return solv_ReadTamoIR(&report); }, [&] { return tamo_GetIR(&report); }},
      {"ReportReadFails", {kGenFailure}, 1, 1, false, [&] { return TESK_ReadTamoIR(&report, 0); },
       [&] { return solv_ReadTamoIR(&report); }, [&] { return ruvo_GetIR(&report); }},
      {"ReportReadDirectFails", {kGenFailure}, 1, 1, false, [&] { return TESK_ReadTamoIR(&report, 0); },
       [&] { return solv_ReadTamoIR(&report); }, [&] { return tamo_GetIR(&report); }},
      {"OFDMChannelMissing", {kNotImplemented}, 2, 2, false, [&] { return TESK_ReadOFDMReg(1, buffer, 0); },
       [&] { return solv_ReadOFDMReg(1, buffer); }, [&] { return ruvo_ReadOFDMReg(1, buffer); }},
      {"OFDMWriteFails", {kGenFailure}, 1, 1, false, [] { return TESK_WriteOFDMReg(1, 2, 0); },
       [] { return solv_WriteOFDMReg(1, 2); }, [] { return ruvo_WriteOFDMReg(1, 2); }},
      {"LinkReadOk", {0}, 0, 0, true, [&] { return TESK_ReadLinkReg(1, buffer, 0); },
       [&] { return solv_ReadLinkReg(1, buffer); }, [&] { return ruvo_ReadLLReg(1, buffer); }},
      {"LinkWriteMissing", {kNotImplemented}, 2, 2, false, [] { return TESK_WriteLinkReg(1, 2, 0); },
       [] { return solv_WriteLinkReg(1, 2); }, [] { return ruvo_WriteLLReg(1, 2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Answer(c.answers);
    EXPECT_EQ(c.teskCall(), c.tesk);
    EXPECT_EQ(c.solvCall(), c.solv);
    EXPECT_EQ(c.tamoCall(), c.tamo);
  }
}

TEST_F(AliasRoutinesTest, BothReportReadsTraceAndFillTheReport) {
  Answer({0}, fakes::Bytes({0x01, 0, 0x1E, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(tamo_GetIR(&report));
  EXPECT_EQ(fakes::Hex({report.abyData, report.abyData + 8}), "01 00 1E 00 00 00 00 00");
  report = {{0}};
  ASSERT_TRUE(ruvo_GetIR(&report));
  EXPECT_EQ(fakes::Hex({report.abyData, report.abyData + 8}), "01 00 1E 00 00 00 00 00");
  EXPECT_EQ(system.traces, (Texts{"DVB_PellorGetIR(PBYTE pData)", "DVB_PellorGetIR(PBYTE pData)"}));
}

TEST_F(AliasRoutinesTest, LinkAndOFDMAliasesNarrowTheirArguments) {
  struct Case {
    const char* name;
    std::function<int64_t()> call;
    const char* command;
  };
  const std::vector<Case> cases = {
      {"ruvo_WriteLLReg", [] { return ruvo_WriteLLReg(0xABCD1234, 0x7FFF01CD); },
       "channel 1 set 24: 03 00 00 00 34 12 00 00 CD 00 00 00"},
      {"solv_WriteLinkReg", [] { return solv_WriteLinkReg(0xABCD1234, 0x7FFF01CD); },
       "channel 1 set 24: 03 00 00 00 34 12 CD AB CD 00 00 00"},
      {"ruvo_ReadLLReg", [&] { return ruvo_ReadLLReg(0xABCD1234, buffer); },
       "channel 1 set 24: 02 00 00 00 34 12 00 00 00 00 00 00"},
      {"solv_ReadLinkReg", [&] { return solv_ReadLinkReg(0xABCD1234, buffer); },
       "channel 1 set 24: 02 00 00 00 34 12 CD AB 00 00 00 00"},
      {"ruvo_WriteOFDMReg", [] { return ruvo_WriteOFDMReg(0xABCD1234, 0x7FFF01CD); },
       "channel 1 set 24: 01 00 00 00 34 12 CD AB CD 00 00 00"},
      {"ruvo_ReadOFDMReg", [&] { return ruvo_ReadOFDMReg(0xABCD1234, buffer); },
       "channel 1 set 24: 00 00 00 00 34 12 CD AB 00 00 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    c.call();
    ASSERT_FALSE(system.requests.empty());
    EXPECT_EQ(Describe(system.requests[0]), c.command);
  }
}

TEST_F(AliasRoutinesTest, RuvoDriverInfoPassesOnThreeFieldsOfTheReply) {
  std::vector<uint8_t> reply(20);
  for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(i + 1);
  Answer({0}, reply);
  ASSERT_TRUE(ruvo_GetDriverInfo(&info));
  EXPECT_EQ(info.infoWord1, 0x08070605u);
  EXPECT_EQ(info.infoWord2, 0x100F0E0Du);
  EXPECT_EQ(info.infoByte, 0x11);
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(&info);
  EXPECT_EQ(fakes::Hex({raw, raw + sizeof info}), "05 06 07 08 0D 0E 0F 10 11");
}

TEST_F(AliasRoutinesTest, RuvoDriverInfoLeavesTheRecordAloneOnFailure) {
  for (HResult hr : {kGenFailure, kNotImplemented}) {
    struct {
      RuvoDriverInfo info;
      uint8_t guard;
    } record;
    std::memset(&record, 0xCC, sizeof record);
    Forget();
    Answer({0, hr});
    EXPECT_FALSE(ruvo_GetDriverInfo(&record.info));
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&record);
    EXPECT_TRUE(std::all_of(raw, raw + sizeof record, [](uint8_t b) { return b == 0xCC; }));
  }
}

TEST_F(AliasRoutinesTest, NotificationRoutinesForwardWithoutADevice) {
  TESK_exit(0);
  Forget();
  int window = 0;
  EXPECT_TRUE(tamo_set_notify(&window));
  EXPECT_EQ(system.registeredWindows, std::vector<korvan::WindowHandle>{&window});
  tamo_unregister_notify();
  EXPECT_EQ(system.events, (Texts{"Register", "Unregister"}));
  EXPECT_EQ(system.traces, Texts{"unregister_notify ok"});
}

}  // namespace
