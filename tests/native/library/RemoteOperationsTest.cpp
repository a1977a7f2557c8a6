// The infra-red side: the remote-control open and its ChipId, raw codes, decoded reports and the
// upload of the receiver's key table.
#include "OperationsTest.h"

namespace {

using korvan::HResult;

std::vector<uint8_t> DriverInfo(uint8_t low, uint8_t high) {
  std::vector<uint8_t> info(20, 0x5A);
  info[2] = low;
  info[3] = high;
  return info;
}

// Starts Closed; each test attaches what it needs.
class InfraRedOpenTest : public OperationsTest {
 protected:
  void SetUp() override { LibraryTest::SetUp(); }
};

TEST_F(InfraRedOpenTest, ReportsTheChipFromTheDriverInformation) {
  AddTuner(ReceiverName());
  Answer({0}, DriverInfo(0x35, 0x91));
  EXPECT_EQ(TESK_initIRDev(0), 0x9135);
  EXPECT_EQ(system.events, (Texts{"CoInitializeEx", "CreateMutex", "CreateClassEnumerator",
                                  "Bind " + text::Narrow(ReceiverName().c_str()), "KsProperty", "KsProperty", "Wait",
                                  "KsProperty", "KsProperty", "ReleaseMutex"}));
  EXPECT_EQ(Requests(), (Texts{"control 13 set 24: 18", "control 13 get 24: 00",
                               "channel 0 set 24: 01 00 00 00 00 00 00 00 00 00 00 00",
                               "channel 0 get 24: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"}));
  ASSERT_EQ(system.traces.size(), 2u);
  EXPECT_EQ(system.traces[1], "<Korvan> PellorReadEEPROM");
  EXPECT_NE(korvan::g_pDevices[0], nullptr);
  EXPECT_NE(korvan::g_hMutex, nullptr);
  EXPECT_TRUE(korvan::g_bComInitialized);

  TESK_exit(0);
  EXPECT_TRUE(IsClosed());
}

TEST_F(InfraRedOpenTest, TheChipFollowsTheDriverInformationResult) {
  struct Case {
    const char* name;
    std::vector<HResult> answers;  // EEPROM set, EEPROM get, DRV command, DRV reply
    std::vector<uint8_t> info;
    ChipId chip;
    Texts traces;  // after the DisplayName trace
  } cases[] = {
      {"NoChannels", {0, 0, kNotImplemented}, DriverInfo(0x35, 0x91), 0x9015,
       {"<Korvan> PellorReadEEPROM", "<Korvan> DVB_SetDRVData: Not Implemented!"}},
      {"CommandFails", {0, 0, kGenFailure}, DriverInfo(0x35, 0x91), 0x9015,
       {"<Korvan> PellorReadEEPROM", "<Korvan> DVB_SetDRVData: Failed!"}},
      {"ReplyFails", {0, 0, 0, kGenFailure}, DriverInfo(0x35, 0x91), 0x9015,
       {"<Korvan> PellorReadEEPROM", "<Korvan> DVB_GetDRVData: Failed!"}},
      {"EEPROMFails", {kGenFailure, 0}, DriverInfo(0x00, 0x91), 0x9100,
       {"<Korvan> PellorReadEEPROM", "<Korvan> PellorWriteEEPROM fail! 0x8007001F"}},
      {"ZeroChip", {0}, DriverInfo(0, 0), 0, {"<Korvan> PellorReadEEPROM"}},
  };
  AddTuner(ReceiverName());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    Answer(c.answers, c.info);
    EXPECT_EQ(TESK_initIRDev(0), c.chip);
    EXPECT_EQ(Texts(system.traces.begin() + 1, system.traces.end()), c.traces);
    // The open stands, also when the chip reads as 0.
    EXPECT_NE(korvan::g_pDevices[0], nullptr);
    EXPECT_NE(korvan::g_hMutex, nullptr);
    TESK_exit(0);
  }
}

TEST_F(InfraRedOpenTest, FailuresEndClosedWithTheirTraces) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    Texts traces;  // without DisplayName traces
    bool searched;
  };
  const std::vector<Case> cases = {
      {"NoReceiver", [] {}, {"<Korvan> Could not find TESK Device: 1!"}, true},
      {"CaptureOnly",
       [&] { AddCapture(ReceiverName(u"{a38de571-030d-4880-a3b5-9170020f77ea}")); },
       {"<Korvan> Could not find TESK Device: 1!"}, true},
      {"ComRefused", [&] { AddTuner(ReceiverName()); system.comInitializeResult = static_cast<HResult>(0x80010106); },
       {}, false},
      {"LockRefused", [&] { AddTuner(ReceiverName()); system.lockCreationFails = true; },
       {"<Korvan> CreateMutex error!"}, false},
      {"NoControlInterface",
       [&] {
         fakes::FakeDevice receiver{ReceiverName()};
         receiver.hasPropertyPort = false;
         system.Category(fakes::kTunerCategory).push_back(receiver);
       },
       {"<Korvan> Fail to get KS Control!"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    system.Category(fakes::kTunerCategory).clear();
    system.Category(fakes::kCaptureCategory).clear();
    system.comInitializeResult = 0;
    system.lockCreationFails = false;
    c.arrange();
    Forget();
    EXPECT_EQ(TESK_initIRDev(0), 0);
    Texts traces;
    for (const std::string& t : system.traces)
      if (t.rfind("DisplayName: ", 0) != 0) traces.push_back(t);
    EXPECT_EQ(traces, c.traces);
    EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "CreateClassEnumerator"), c.searched ? 1 : 0);
    EXPECT_TRUE(system.requests.empty());
    EXPECT_TRUE(IsClosed());
    EXPECT_EQ(system.liveLocks, 0);
    EXPECT_EQ(system.apartmentDepth, 0);
  }
}

TEST_F(InfraRedOpenTest, AfterAFailedOpenTheNextStartsFromScratch) {
  EXPECT_EQ(TESK_initIRDev(0), 0);
  AddTuner(ReceiverName());
  Answer({0}, DriverInfo(0x35, 0x91));
  EXPECT_EQ(TESK_initIRDev(0), 0x9135);
  EXPECT_EQ(system.liveLocks, 1);
  EXPECT_EQ(system.apartmentDepth, 1);
}

TEST_F(InfraRedOpenTest, ASecondOpenReleasesWhatTheFirstHeld) {
  AddTuner(ReceiverName());
  Answer({0}, DriverInfo(0x35, 0x91));
  ASSERT_EQ(TESK_initIRDev(0), 0x9135);
  Forget();
  ASSERT_EQ(TESK_initIRDev(0), 0x9135);
  EXPECT_EQ(system.events[0], "CloseHandle");
  EXPECT_EQ(system.events[1], "CoUninitialize");
  EXPECT_EQ(system.liveLocks, 1);
  EXPECT_EQ(system.apartmentDepth, 1);
  EXPECT_EQ(system.liveObjects, 2);  // one filter, one property interface

  // Also after an open of the other kind.
  Forget();
  ASSERT_TRUE(TESK_init(0));
  ASSERT_EQ(TESK_initIRDev(0), 0x9135);
  EXPECT_EQ(system.liveLocks, 1);
  EXPECT_EQ(system.liveObjects, 2);
  TESK_exit(0);
  EXPECT_TRUE(IsClosed());
  EXPECT_EQ(system.liveObjects, 0);
}

TEST_F(InfraRedOpenTest, AlwaysBindsTheFirstReceiverAndReadsTheSlotItOpened) {
  AddTuner(ReceiverName());
  AddTuner(ReceiverName(u"{92fb1e43-609e-4e54-8f22-77acedf89bdc}", u"second"));
  Answer({0}, DriverInfo(0x35, 0x91));
  EXPECT_EQ(TESK_initIRDev(1), 0x9135);
  EXPECT_EQ(korvan::g_pDevices[0], nullptr);
  ASSERT_NE(korvan::g_pDevices[1], nullptr);
  EXPECT_EQ(std::count(system.events.begin(), system.events.end(), "Bind " + text::Narrow(ReceiverName().c_str())), 1);
  EXPECT_EQ(system.requests.size(), 4u);
  TESK_exit(1);
  EXPECT_TRUE(IsClosed());
}

TEST_F(InfraRedOpenTest, NumbersOutsideTheTableOpenNothing) {
  AddTuner(ReceiverName());
  for (DeviceNumber n : {10, -1, static_cast<DeviceNumber>(0x80000000)}) {
    Forget();
    EXPECT_EQ(TESK_initIRDev(n), 0) << n;
    EXPECT_TRUE(system.requests.empty());
    EXPECT_TRUE(system.traces.empty());
    EXPECT_TRUE(IsClosed());
  }
}

class RawCodeTest : public OperationsTest {
 protected:
  RawRemoteCode code = {{0xEE, 0xEE, 0xEE, 0xEE}};
};

TEST_F(RawCodeTest, ReadsFourBytesAfterCommandSeven) {
  Answer({0}, fakes::Bytes({0x12, 0x34, 0x56, 0x78, 0x9A}));
  EXPECT_EQ(TESK_ReadRawIR(&code, 0), korvan::CHANNEL_OK);
  EXPECT_EQ(fakes::Hex({code.abyData, code.abyData + 4}), "12 34 56 78");
  EXPECT_EQ(Requests(), (Texts{"channel 1 set 24: 07 00 00 00 00 00 00 00 00 00 00 00", "channel 1 get 24: EE EE EE EE"}));
  EXPECT_EQ(system.events, (Texts{"Wait", "KsProperty", "KsProperty", "ReleaseMutex"}));
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(RawCodeTest, ADriverWithoutTheChannelAnswersTwoEveryTime) {
  Answer({kNotImplemented});
  for (int i = 0; i < 3; ++i) {
    Forget();
    EXPECT_EQ(TESK_ReadRawIR(&code, 0), korvan::CHANNEL_NOT_IMPLEMENTED);
    EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDEVData: Not Implemented!"}));
    EXPECT_EQ(system.requests.size(), 1u);
  }
  EXPECT_EQ(fakes::Hex({code.abyData, code.abyData + 4}), "EE EE EE EE");
}

TEST_F(RawCodeTest, FailuresStayQuietAndOtherOperationsTraceAgainAfterwards) {
  bool silencedDuringRead = false;
  system.driver = [&](const korvan::DriverRequest&, uint32_t, uint8_t*, uint32_t) {
    silencedDuringRead = !korvan::g_bShowChannelFailure;
    return kGenFailure;
  };
  EXPECT_EQ(TESK_ReadRawIR(&code, 0), korvan::CHANNEL_FAILED);
  EXPECT_TRUE(silencedDuringRead);
  EXPECT_TRUE(system.traces.empty());
  EXPECT_EQ(system.requests.size(), 1u);
  EXPECT_EQ(fakes::Hex({code.abyData, code.abyData + 4}), "EE EE EE EE");
  EXPECT_TRUE(korvan::g_bShowChannelFailure);

  uint8_t reply[4];
  EXPECT_EQ(TESK_ReadOFDMReg(1, reply, 0), korvan::CHANNEL_FAILED);
  EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_SetDEVData: Failed!"}));

  // A failing reply step is just as quiet, except for a missing channel.
  Forget();
  Answer({0, kGenFailure});
  EXPECT_EQ(TESK_ReadRawIR(&code, 0), korvan::CHANNEL_FAILED);
  EXPECT_TRUE(system.traces.empty());
  Forget();
  Answer({0, kNotImplemented});
  EXPECT_EQ(TESK_ReadRawIR(&code, 0), korvan::CHANNEL_NOT_IMPLEMENTED);
  EXPECT_EQ(system.traces, (Texts{"<Korvan> DVB_GetDEVData: Not Implemented!"}));
}

TEST_F(OperationsTest, ReportReadsTraceEveryCallAndAnswerZeroOrOne) {
  KeyboardReport report = {{0}};
  Answer({0}, fakes::Bytes({0x02, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(TESK_ReadTamoIR(&report, 0), 0);
  EXPECT_EQ(fakes::Hex({report.abyData, report.abyData + 8}), "02 00 04 00 00 00 00 00");
  EXPECT_EQ(Requests(), Texts{"control 14 get 24: 00 00 00 00 00 00 00 00"});
  EXPECT_EQ(system.traces, Texts{"DVB_PellorGetIR(PBYTE pData)"});
  EXPECT_EQ(system.events, Texts{"KsProperty"});

  Forget();
  Answer({kGenFailure});
  EXPECT_EQ(TESK_ReadTamoIR(&report, 0), 1);
  EXPECT_EQ(system.traces, Texts{"DVB_PellorGetIR(PBYTE pData)"});
}

const char kKeyTablePath[] = "C:\\windows\\system32\\tamoirtbl.bin";

class KeyTableUploadTest : public OperationsTest {
 protected:
  void File(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    system.files[kKeyTablePath] = bytes;
  }
  // The register and value of each register write, in order.
  std::vector<std::pair<uint32_t, uint8_t>> Writes() const {
    std::vector<std::pair<uint32_t, uint8_t>> writes;
    for (const fakes::Request& r : system.requests) {
      EXPECT_EQ(Describe(r).substr(0, 19), "control 10 set 24: ");
      if (r.dataSent.size() == 3) writes.emplace_back(r.dataSent[0] | r.dataSent[1] << 8, r.dataSent[2]);
    }
    return writes;
  }
};

TEST_F(KeyTableUploadTest, WritesEveryFileByteToConsecutiveRegisters) {
  File(356);
  EXPECT_TRUE(TESK_LoadIrTable(0));
  const auto writes = Writes();
  ASSERT_EQ(writes.size(), 356u);
  for (size_t i = 0; i < writes.size(); ++i) {
    EXPECT_EQ(writes[i].first, 0x9A56 + i);
    EXPECT_EQ(writes[i].second, static_cast<uint8_t>(i * 7 + 3));
  }
  EXPECT_EQ(writes.back().first, 0x9BB9u);
  EXPECT_EQ(system.traces, Texts{"LoadIrTable()"});
}

TEST_F(KeyTableUploadTest, AFailingWriteDoesNotStopTheUpload) {
  File(356);
  auto count = std::make_shared<int>(0);
  system.driver = [count](const korvan::DriverRequest&, uint32_t, uint8_t*, uint32_t) {
    return ++*count == 11 ? kGenFailure : 0;
  };
  EXPECT_TRUE(TESK_LoadIrTable(0));
  EXPECT_EQ(Writes().size(), 356u);
  EXPECT_EQ(system.traces, (Texts{"LoadIrTable()", "<Brenlo> PellorWriteReg fail!"}));
}

TEST_F(KeyTableUploadTest, GoesToReceiverZeroWhicheverNumberIsGiven) {
  File(4);
  EXPECT_TRUE(TESK_LoadIrTable(3));
  EXPECT_EQ(Writes().size(), 4u);
  Forget();
  EXPECT_TRUE(TESK_LoadIrTable(-5));
  EXPECT_EQ(Writes().size(), 4u);
}

TEST_F(KeyTableUploadTest, AFullBufferIsUploadedAndAnythingItCannotHoldIsRefused) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    size_t writes;
  };
  const std::vector<Case> cases = {
      {"FullBuffer", [&] { File(500); }, 500},
      {"OneByte", [&] { File(1); }, 1},
      {"TooLong", [&] { File(501); }, 0},
      {"Empty", [&] { File(0); }, 0},
      {"Missing", [] {}, 0},
      {"SystemFolderTooLong",
       [&] {
         File(356);
         system.systemDirectory = "C:\\" + std::string(239, 'd');  // 242 + "\\tamoirtbl.bin" + NUL > 256
         system.files[system.systemDirectory + "\\tamoirtbl.bin"] = system.files[kKeyTablePath];
       },
       0},
      {"SystemFolderJustFits",
       [&] {
         File(2);
         system.systemDirectory = "C:\\" + std::string(238, 'd');  // exactly 256 with the NUL
         system.files[system.systemDirectory + "\\tamoirtbl.bin"] = system.files[kKeyTablePath];
       },
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    system.files.clear();
    system.systemDirectory = "C:\\windows\\system32";
    c.arrange();
    Forget();
    EXPECT_EQ(TESK_LoadIrTable(0), c.writes > 0);
    EXPECT_EQ(Writes().size(), c.writes);
    EXPECT_EQ(system.traces, c.writes ? Texts{"LoadIrTable()"} : (Texts{"LoadIrTable()", "<Brenlo> LoadIrTable fail!"}));
    EXPECT_EQ(system.openFiles, 0);
  }
}

TEST_F(KeyTableUploadTest, NothingIsReadWithoutReceiverZero) {
  File(356);
  TESK_exit(0);
  Forget();
  EXPECT_FALSE(TESK_LoadIrTable(0));
  EXPECT_TRUE(system.requests.empty());
  EXPECT_TRUE(system.traces.empty());
}

}  // namespace
