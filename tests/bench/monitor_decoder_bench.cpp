// One raw code decoder call against a full 50-slot key table, as every 100 ms poll makes it.
#include <benchmark/benchmark.h>

#include "MonitorFakes.h"
#include "MonitorGlobals.h"
#include "RawCodeDecoder.h"

namespace wendle {
namespace {

// A receiver that always has the same code, and a debug channel nobody listens to: the
// recording fakes would keep every call, which over millions of iterations measures the fakes.
class SteadyReceiver : public ReceiverLibrary {
 public:
  explicit SteadyReceiver(uint32_t code) : m_code(code) {}
  uint32_t InitIRDev() override { return 0x9035; }
  int32_t ReadRawIR(uint8_t* code4) override {
    for (int i = 0; i < 4; ++i) code4[i] = static_cast<uint8_t>(m_code >> (8 * i));
    return 0;
  }
  int32_t ReadTamoIR(uint8_t*) override { return 1; }
  void Exit() override {}

 private:
  uint32_t m_code;
};

class SilentDebugChannel : public DebugChannel {
 public:
  void Output(const char16_t* text) override { benchmark::DoNotOptimize(text); }
};

// Each read is one poll later: the ticks move by 100 ms at every call.
class PollTicks : public TickSource {
 public:
  uint32_t TickCount() override { return m_dwNow += 100; }

 private:
  uint32_t m_dwNow = 0;
};

void FillTable() {
  for (int i = 0; i < KEY_TABLE_CAPACITY; ++i)
    g_keyTable.entries[i] = KeyTableEntry{0x00FF0000u + static_cast<uint32_t>(i), 4 + i, 0,
                                          static_cast<uint8_t>(i % 3 == 1 ? KEY_FLAG_ALTERNATE : 0)};
  g_keyTable.entryCount = KEY_TABLE_CAPACITY;
  g_keyTable.prefixTimeout = 62;
}

// code: what the receiver reads; threshold: the table's repeat threshold.
void RunDecoder(benchmark::State& state, uint32_t code, int32_t threshold) {
  fakes::FakePlatform fakes;
  SteadyReceiver receiver(code);
  SilentDebugChannel debug;
  PollTicks ticks;
  MonitorPlatform platform = Platform();
  platform.pReceiver = &receiver;
  platform.pDebug = &debug;
  platform.pTicks = &ticks;
  SetMonitorPlatform(platform);
  FillTable();
  g_keyTable.repeatThreshold = threshold;

  DecoderState decoder{};
  int64_t keys = 0;
  for (auto _ : state) {
    KeyboardReport report{};
    keys += GetIRRawData(decoder, report);
    benchmark::DoNotOptimize(report);
  }
  state.counters["keys"] = static_cast<double>(keys);
}

// The code of the last slot, let through at every call: the longest scan that yields a key.
void BM_DecodeLastSlotKey(benchmark::State& state) { RunDecoder(state, 0x00FF0031u, 0); }
// A held button: the last slot's code, suppressed by the repeat check most of the time.
void BM_DecodeLastSlotHeld(benchmark::State& state) { RunDecoder(state, 0x00FF0031u, 25); }
// A code that is in no slot: all 50 slots compared, nothing found.
void BM_DecodeUnknownCode(benchmark::State& state) { RunDecoder(state, 0xDEADBEEFu, 25); }

BENCHMARK(BM_DecodeLastSlotKey);
BENCHMARK(BM_DecodeLastSlotHeld);
BENCHMARK(BM_DecodeUnknownCode);

}  // namespace
}  // namespace wendle

BENCHMARK_MAIN();
