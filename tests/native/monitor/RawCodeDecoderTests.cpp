// The raw code decoder: elapsed units, prefix key, repeat suppression, alternates, table bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "RawCodeDecoder.h"

namespace wendle {
namespace {

using fakes::FakePlatform;

constexpr uint32_t kA = 0xA1A1A1A1;
constexpr uint32_t kB = 0xB2B2B2B2;
constexpr uint32_t kPrefix = 0x0F0F0F0F;
constexpr uint32_t kUnknown = 0x12121212;

KeyTableEntry Entry(uint32_t code, int32_t usage, int32_t modifiers, uint8_t flags = 0) {
  return KeyTableEntry{code, usage, modifiers, flags};
}

class DecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_keyTable.prefixTimeout = 62;
    g_keyTable.repeatThreshold = 25;
  }
  void SetTable(std::vector<KeyTableEntry> entries) {
    for (size_t i = 0; i < entries.size(); ++i) g_keyTable.entries[i] = entries[i];
    g_keyTable.entryCount = static_cast<int32_t>(entries.size());
  }
  // One poll: the given time passes, the receiver has the code (or none), the decoder runs.
  int Poll(uint32_t ms, std::optional<uint32_t> code) {
    platform.ticks.Advance(ms);
    if (code)
      platform.receiver.PushCode(*code);
    else
      platform.receiver.PushNoCode();
    report = KeyboardReport{};
    return GetIRRawData(state, report);
  }
  int PollUnits(uint32_t units, std::optional<uint32_t> code) { return Poll(units * 20, code); }
  // The prefix key, A with an alternate (served by slot 2), B without.
  void SetPrefixTable() {
    SetTable({Entry(kPrefix, 0, 0, KEY_FLAG_PREFIX), Entry(kA, 0x1E, 0x00, KEY_FLAG_ALTERNATE),
              Entry(0x77777777, 0x3A, 0x02), Entry(kB, 0x1F, 0x00, 0)});
  }

  FakePlatform platform;
  DecoderState state{};
  KeyboardReport report{};
};

// ---- elapsed units --------------------------------------------------------------------------

struct UnitsCase {
  const char* name;
  uint32_t dwPrevious;
  uint32_t dwNow;
  uint8_t byUnits;  // what a repeated code adds to m_byRepeatElapsed
};

class DecoderUnitsTest : public DecoderTest, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(DecoderUnitsTest, CountsWhole20msUnitsIn8Bits) {
  const UnitsCase& c = GetParam();
  g_keyTable.repeatThreshold = 1000;  // keep everything suppressed, only counting
  SetTable({Entry(kA, 4, 0)});
  state.m_dwLastCode = kA;
  g_dwPollTick = c.dwPrevious;
  platform.ticks.dwNow = c.dwNow;
  platform.receiver.PushCode(kA);

  EXPECT_EQ(GetIRRawData(state, report), 0);

  EXPECT_EQ(state.m_byRepeatElapsed, c.byUnits);
  EXPECT_EQ(g_dwPollTick, c.dwNow);
}

INSTANTIATE_TEST_SUITE_P(
    Units, DecoderUnitsTest,
    ::testing::Values(UnitsCase{"NoTime", 1000, 1000, 0},
                      UnitsCase{"Below20ms", 1000, 1019, 0},
                      UnitsCase{"Exactly20ms", 1000, 1020, 1},
                      UnitsCase{"OnePoll", 1000, 1100, 5},
                      UnitsCase{"PollAfterKeystroke", 1000, 1400, 20},
                      UnitsCase{"Largest8Bit", 0, 255 * 20 + 19, 255},
                      UnitsCase{"Wraps8Bit", 0, 256 * 20, 0},
                      UnitsCase{"Wraps8BitPlusOne", 0, 257 * 20, 1},
                      UnitsCase{"TickCounterWraps", 0xFFFFFFF0u, 0x00000054u, 5}),
    [](const ::testing::TestParamInfo<UnitsCase>& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, EveryCallRenewsThePollTickEvenWithoutCode) {
  g_dwPollTick = 500;  // set when the poll timer started
  platform.ticks.dwNow = 500;
  SetTable({Entry(kA, 4, 0)});
  state.m_dwLastCode = kA;
  g_keyTable.repeatThreshold = 1000;

  EXPECT_EQ(Poll(100, std::nullopt), 0);
  EXPECT_EQ(g_dwPollTick, 600u);
  EXPECT_EQ(Poll(100, kA), 0);
  EXPECT_EQ(state.m_byRepeatElapsed, 5) << "measured from the previous call, not the timer start";
}

// ---- reading and tracing --------------------------------------------------------------------

TEST_F(DecoderTest, NoCodeEndsTheCallSilently) {
  SetTable({Entry(kA, 4, 0)});
  state = DecoderState{0, 0, 7, kA};

  EXPECT_EQ(Poll(100, std::nullopt), 0);

  EXPECT_TRUE(platform.debug.texts.empty());
  EXPECT_EQ(state.m_byRepeatElapsed, 7);
  EXPECT_EQ(state.m_dwLastCode, kA);
}

TEST_F(DecoderTest, NonZeroReadResultMeansNoCodeEvenIfBytesCame) {
  SetTable({Entry(kA, 4, 0)});
  platform.receiver.rawReads.push_back({5, kA});
  EXPECT_EQ(GetIRRawData(state, report), 0);
  EXPECT_TRUE(platform.debug.texts.empty());
}

struct TraceCase {
  const char* name;
  uint32_t code;
  const char* trace;
};

class DecoderTraceTest : public DecoderTest, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(DecoderTraceTest, TracesEveryCodeReadAsLittleEndianValue) {
  SetTable({Entry(GetParam().code, 0x1E, 0)});
  EXPECT_EQ(Poll(100, GetParam().code), 1);
  EXPECT_EQ(platform.debug.Narrowed(), std::vector<std::string>{GetParam().trace});
}

INSTANTIATE_TEST_SUITE_P(
    Traces, DecoderTraceTest,
    ::testing::Values(TraceCase{"FullWidth", 0x12345678, "GetIRRawData:12345678"},
                      TraceCase{"LeadingZeros", 0x0000ABCD, "GetIRRawData:0000ABCD"},
                      TraceCase{"HighBit", 0xFE01807F, "GetIRRawData:FE01807F"}),
    [](const ::testing::TestParamInfo<TraceCase>& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, ReceiverBytesFormTheCodeLeastSignificantFirst) {
  // The receiver delivers 78 56 34 12; the table holds the code as 0x12345678.
  SetTable({Entry(0x12345678, 0x1E, 0)});
  platform.receiver.PushCode(0x12345678);
  EXPECT_EQ(GetIRRawData(state, report), 1);
  EXPECT_EQ(report.abyData[2], 0x1E);
}

struct EmptyTableCase {
  const char* name;
  int32_t entryCount;
};

class DecoderEmptyTableTest : public DecoderTest,
                              public ::testing::WithParamInterface<EmptyTableCase> {};

TEST_P(DecoderEmptyTableTest, TracesAndIgnoresEveryCode) {
  SetTable({Entry(kA, 4, 0)});
  g_keyTable.entryCount = GetParam().entryCount;

  EXPECT_EQ(Poll(100, kA), 0);

  EXPECT_EQ(platform.debug.Narrowed(), std::vector<std::string>{"GetIRRawData:A1A1A1A1"});
  EXPECT_EQ(state.m_dwLastCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Counts, DecoderEmptyTableTest,
                         ::testing::Values(EmptyTableCase{"Zero", 0}, EmptyTableCase{"MinusOne", -1},
                                           EmptyTableCase{"Minus128", -128}),
                         [](const ::testing::TestParamInfo<EmptyTableCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- report bytes --------------------------------------------------------------------------

TEST_F(DecoderTest, WritesOnlyBytesZeroAndTwo) {
  SetTable({Entry(kA, 0x1E, 0x03)});
  platform.receiver.PushCode(kA);
  std::memset(report.abyData, 0xEE, sizeof report.abyData);

  EXPECT_EQ(GetIRRawData(state, report), 1);

  const uint8_t expected[8] = {0x03, 0xEE, 0x1E, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(0, std::memcmp(report.abyData, expected, 8));
}

TEST_F(DecoderTest, UsesLowEightBitsOfWidenedValues) {
  SetTable({Entry(kA, -128, -1)});
  EXPECT_EQ(Poll(100, kA), 1);
  EXPECT_EQ(report.abyData[0], 0xFF);
  EXPECT_EQ(report.abyData[2], 0x80);
}

TEST_F(DecoderTest, CallerZeroBytesStayZeroOnSuccess) {
  SetTable({Entry(kA, 0x1E, 0x02)});
  EXPECT_EQ(Poll(100, kA), 1);
  for (int i : {1, 3, 4, 5, 6, 7}) EXPECT_EQ(report.abyData[i], 0) << "byte " << i;
}

// ---- repeat suppression ----------------------------------------------------------------------

struct RepeatCase {
  const char* name;
  int32_t threshold;
  uint8_t byElapsedBefore;
  uint32_t units;
  int result;
  uint8_t byElapsedAfter;
};

class DecoderRepeatTest : public DecoderTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(DecoderRepeatTest, SuppressesRepeatBelowThreshold) {
  const RepeatCase& c = GetParam();
  g_keyTable.repeatThreshold = c.threshold;
  SetTable({Entry(kA, 0x1E, 0)});
  state.m_dwLastCode = kA;
  state.m_byRepeatElapsed = c.byElapsedBefore;

  EXPECT_EQ(PollUnits(c.units, kA), c.result);

  EXPECT_EQ(state.m_byRepeatElapsed, c.byElapsedAfter);
  EXPECT_EQ(state.m_dwLastCode, kA);
}

INSTANTIATE_TEST_SUITE_P(
    Repeats, DecoderRepeatTest,
    ::testing::Values(RepeatCase{"ReachesThreshold", 25, 20, 5, 1, 0},
                      RepeatCase{"OneBelowThreshold", 25, 20, 4, 0, 24},
                      RepeatCase{"ThresholdZeroNeverSuppresses", 0, 0, 0, 1, 0},
                      RepeatCase{"NegativeThresholdNeverSuppresses", -1, 0, 0, 1, 0},
                      RepeatCase{"Threshold0x80NeverSuppresses", -128, 0, 0, 1, 0},
                      RepeatCase{"CounterWrapsBelowThreshold", 25, 250, 10, 0, 4},
                      RepeatCase{"Threshold127", 127, 120, 7, 1, 0}),
    [](const ::testing::TestParamInfo<RepeatCase>& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, HeldButtonPassesAtTheFifthRepeatedPoll) {
  SetTable({Entry(kA, 0x1E, 0)});
  std::vector<int> results;
  for (int poll = 0; poll < 11; ++poll) results.push_back(Poll(100, kA));
  // First press, four suppressed repeats, let through at the fifth (0.5 s later), and again.
  EXPECT_EQ(results, (std::vector<int>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST_F(DecoderTest, KeystrokePauseBringsMoreUnits) {
  SetTable({Entry(kA, 0x1E, 0)});
  EXPECT_EQ(Poll(100, kA), 1);
  EXPECT_EQ(Poll(400, kA), 0);  // 20 units: the poll that injected paused 300 ms
  EXPECT_EQ(Poll(100, kA), 1);  // 25
}

TEST_F(DecoderTest, CodeZeroMeetsTheRepeatCheckAtOnce) {
  SetTable({Entry(0, 0x1E, 0)});
  EXPECT_EQ(Poll(100, 0u), 0) << "m_dwLastCode starts at 0";
  EXPECT_EQ(state.m_byRepeatElapsed, 5);
  EXPECT_EQ(Poll(400, 0u), 1);
}

TEST_F(DecoderTest, UnknownCodeBetweenCountsAsRepeat) {
  SetTable({Entry(kA, 0x1E, 0), Entry(kB, 0x1F, 0)});
  EXPECT_EQ(Poll(100, kA), 1);
  EXPECT_EQ(Poll(100, kUnknown), 0);
  EXPECT_EQ(state.m_dwLastCode, kA);
  EXPECT_EQ(Poll(100, kA), 0) << "A, X, A is A repeated";
  EXPECT_EQ(state.m_byRepeatElapsed, 5) << "the unknown code's poll did not count";
  EXPECT_EQ(Poll(100, kB), 1) << "another key passes at once";
}

TEST_F(DecoderTest, FirstOfTwoSlotsWithOneCodeDecides) {
  SetTable({Entry(kA, 0x1E, 0x01), Entry(kA, 0x1F, 0x02)});
  for (int poll = 0; poll < 3; ++poll) {
    Poll(600, kA);
    EXPECT_EQ(report.abyData[2], 0x1E);
    EXPECT_EQ(report.abyData[0], 0x01);
  }
}

// ---- prefix key -----------------------------------------------------------------------------

struct PrefixBoundaryCase {
  const char* name;
  int32_t timeout;
  uint8_t byElapsedBefore;
  uint32_t units;
  bool bAlternate;
};

class DecoderPrefixBoundaryTest : public DecoderTest,
                                  public ::testing::WithParamInterface<PrefixBoundaryCase> {};

TEST_P(DecoderPrefixBoundaryTest, EndsPrefixWhenElapsedExceedsTimeout) {
  const PrefixBoundaryCase& c = GetParam();
  SetPrefixTable();
  g_keyTable.prefixTimeout = c.timeout;
  state.m_bPrefixActive = 1;
  state.m_byPrefixElapsed = c.byElapsedBefore;

  EXPECT_EQ(PollUnits(c.units, kA), 1);

  EXPECT_EQ(report.abyData[2], c.bAlternate ? 0x3A : 0x1E);
  EXPECT_EQ(report.abyData[0], c.bAlternate ? 0x02 : 0x00);
  EXPECT_EQ(state.m_bPrefixActive, c.bAlternate ? 1 : 0);
  EXPECT_EQ(state.m_byPrefixElapsed, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DecoderPrefixBoundaryTest,
    ::testing::Values(PrefixBoundaryCase{"SumOf62Keeps", 62, 60, 2, true},
                      PrefixBoundaryCase{"SumOf63Ends", 62, 60, 3, false},
                      PrefixBoundaryCase{"ZeroTimeoutKeepsWithinSameTick", 0, 0, 0, true},
                      PrefixBoundaryCase{"ZeroTimeoutEndsAfterAUnit", 0, 0, 1, false},
                      PrefixBoundaryCase{"NegativeTimeoutEndsAtNextCall", -16, 0, 0, false},
                      PrefixBoundaryCase{"Timeout127", 127, 120, 7, true},
                      // 8-bit wrap: 250 + 10 counts as 4, which is inside the time-out.
                      PrefixBoundaryCase{"ElapsedWraps", 62, 250, 10, true}),
    [](const ::testing::TestParamInfo<PrefixBoundaryCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(DecoderTest, PrefixTimeoutRunsEvenWhenNoCodeIsRead) {
  SetPrefixTable();
  state.m_bPrefixActive = 1;
  state.m_byPrefixElapsed = 60;
  EXPECT_EQ(PollUnits(3, std::nullopt), 0);
  EXPECT_EQ(state.m_bPrefixActive, 0);
  EXPECT_EQ(state.m_byPrefixElapsed, 0);
}

TEST_F(DecoderTest, InactivePrefixCountsNothing) {
  SetPrefixTable();
  EXPECT_EQ(PollUnits(5, std::nullopt), 0);
  EXPECT_EQ(state.m_byPrefixElapsed, 0);
}

TEST_F(DecoderTest, AlternateFlagWithoutPrefixGivesOwnPair) {
  SetPrefixTable();
  EXPECT_EQ(Poll(100, kA), 1);
  EXPECT_EQ(report.abyData[2], 0x1E);
  EXPECT_EQ(report.abyData[0], 0x00);
}

// A sequence of polls and what each yields: 0 = nothing, else the key usage reported.
struct Step {
  uint32_t units;
  std::optional<uint32_t> code;
  int usage;
  int32_t bPrefixActiveAfter;
};

struct SequenceCase {
  const char* name;
  std::vector<Step> steps;
};

class DecoderSequenceTest : public DecoderTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(DecoderSequenceTest, FollowsThePrefixStates) {
  SetPrefixTable();
  size_t i = 0;
  for (const Step& step : GetParam().steps) {
    int result = PollUnits(step.units, step.code);
    EXPECT_EQ(result ? report.abyData[2] : 0, step.usage) << "step " << i;
    EXPECT_EQ(result, step.usage != 0 ? 1 : 0) << "step " << i;
    EXPECT_EQ(state.m_bPrefixActive, step.bPrefixActiveAfter) << "step " << i;
    ++i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, DecoderSequenceTest,
    ::testing::Values(
        SequenceCase{"PrefixThenAlternate", {{5, kPrefix, 0, 1}, {5, kA, 0x3A, 1}}},
        SequenceCase{"DecodedKeyKeepsPrefix",
                     {{5, kPrefix, 0, 1}, {5, kA, 0x3A, 1}, {30, kB, 0x1F, 1}, {30, kA, 0x3A, 1}}},
        SequenceCase{"KeysRestartTheTimeout",
                     {{5, kPrefix, 0, 1}, {60, kB, 0x1F, 1}, {60, kB, 0x1F, 1}, {60, kA, 0x3A, 1}}},
        SequenceCase{"TimeoutEndsPrefix",
                     {{5, kPrefix, 0, 1}, {40, std::nullopt, 0, 1}, {23, std::nullopt, 0, 0},
                      {5, kA, 0x1E, 0}}},
        // The repeat check applies to the prefix key too: a quick second press is suppressed
        // and does not restart the time-out.
        SequenceCase{"RepeatedPrefixSuppressed",
                     {{5, kPrefix, 0, 1}, {10, kPrefix, 0, 1}, {40, std::nullopt, 0, 1},
                      {13, std::nullopt, 0, 0}}},
        SequenceCase{"PrefixAgainRestartsTimeout",
                     {{5, kPrefix, 0, 1}, {50, kPrefix, 0, 1}, {50, std::nullopt, 0, 1},
                      {12, std::nullopt, 0, 1}, {1, std::nullopt, 0, 0}}}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, SlotWithBothFlagsIsAPrefixKey) {
  SetTable({Entry(kPrefix, 0x1E, 0, KEY_FLAG_PREFIX | KEY_FLAG_ALTERNATE), Entry(kA, 0x1F, 0)});
  EXPECT_EQ(Poll(100, kPrefix), 0);
  EXPECT_EQ(state.m_bPrefixActive, 1);
  EXPECT_EQ(state.m_dwLastCode, kPrefix);
}

TEST_F(DecoderTest, AlternateMayComeFromBeyondTheCount) {
  SetPrefixTable();
  g_keyTable.entryCount = 2;  // slot 2 takes no part in matching but still serves slot 1
  state.m_bPrefixActive = 1;
  EXPECT_EQ(Poll(100, kA), 1);
  EXPECT_EQ(report.abyData[2], 0x3A);
  EXPECT_EQ(Poll(600, 0x77777777u), 0) << "slot 2 itself is not matched";
}

struct SameCodeCase {
  const char* name;
  int32_t threshold;
  uint32_t units;
  int result;
};

class DecoderPrefixSameCodeTest : public DecoderTest,
                                  public ::testing::WithParamInterface<SameCodeCase> {};

TEST_P(DecoderPrefixSameCodeTest, LaterSlotMeetsRepeatCheckAfterPrefix) {
  // A prefix slot and a key slot with one code: the key slot is reached with m_dwLastCode just
  // set and m_byRepeatElapsed at 0, so it needs the call's own units to reach the threshold.
  g_keyTable.repeatThreshold = GetParam().threshold;
  SetTable({Entry(kA, 0, 0, KEY_FLAG_PREFIX), Entry(kA, 0x1E, 0)});

  EXPECT_EQ(PollUnits(GetParam().units, kA), GetParam().result);

  EXPECT_EQ(state.m_bPrefixActive, 1);
  EXPECT_EQ(state.m_byRepeatElapsed, GetParam().result ? 0 : GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(SameCode, DecoderPrefixSameCodeTest,
                         ::testing::Values(SameCodeCase{"UnitsBelowThreshold", 25, 5, 0},
                                           SameCodeCase{"UnitsReachThreshold", 5, 5, 1},
                                           SameCodeCase{"NoThreshold", 0, 5, 1}),
                         [](const ::testing::TestParamInfo<SameCodeCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- table bounds -----------------------------------------------------------------------------

struct CountCase {
  const char* name;
  int32_t entryCount;
};

class DecoderOversizedCountTest : public DecoderTest,
                                  public ::testing::WithParamInterface<CountCase> {};

TEST_P(DecoderOversizedCountTest, ScanStaysWithinTheFiftySlots) {
  for (int i = 0; i < KEY_TABLE_CAPACITY; ++i)
    g_keyTable.entries[i] = Entry(0x100u + i, 4 + i % 50, 0);
  g_keyTable.entryCount = GetParam().entryCount;

  EXPECT_EQ(Poll(100, 0x100u + 49), 1) << "the last slot is still matched";
  EXPECT_EQ(report.abyData[2], 4 + 49);
  // A code equal to whatever lies behind the table (here the count itself) matches nothing.
  EXPECT_EQ(Poll(600, static_cast<uint32_t>(GetParam().entryCount)), 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, DecoderOversizedCountTest,
                         ::testing::Values(CountCase{"Count50", 50}, CountCase{"Count51", 51},
                                           CountCase{"Count100", 100}, CountCase{"Count127", 127}),
                         [](const ::testing::TestParamInfo<CountCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DecoderTest, LastSlotAlternateIsItsOwnPair) {
  for (int i = 0; i < KEY_TABLE_CAPACITY; ++i) g_keyTable.entries[i] = Entry(0x100u + i, 4, 0);
  g_keyTable.entries[0] = Entry(kPrefix, 0, 0, KEY_FLAG_PREFIX);
  g_keyTable.entries[49] = Entry(kA, 0x1E, 0x01, KEY_FLAG_ALTERNATE);
  g_keyTable.entryCount = 50;
  state.m_bPrefixActive = 1;

  EXPECT_EQ(Poll(100, kA), 1);

  EXPECT_EQ(report.abyData[2], 0x1E);
  EXPECT_EQ(report.abyData[0], 0x01);
}

}  // namespace
}  // namespace wendle
