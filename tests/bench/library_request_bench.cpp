// One raw-code read and one keyboard-report read through the library's whole request path
// (export, slot lookup, command building, lock, property interface, result mapping), against
// the recording fakes with recording switched off. The monitor makes one of these every 100 ms.
#include <benchmark/benchmark.h>

#include <cstring>

#include "Connection.h"
#include "Korvan.h"
#include "LibraryFakes.h"

namespace {

// Slot 0 open on one receiver whose driver answers every get with the given bytes.
class OpenReceiver {
 public:
  explicit OpenReceiver(korvan::HResult answer = 0) {
    system.Install();
    system.Category(fakes::kTunerCategory)
        .push_back({u"@device:pnp:\\\\?\\usb#vid_0000&pid_0001#0001#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\"
                    u"{9b365890-165f-11d0-a195-0020afd156e4}"});
    m_bOpen = TESK_init(0);
    system.recording = false;
    system.driver = [answer](const korvan::DriverRequest& request, uint32_t, uint8_t* data, uint32_t length) {
      static const uint8_t kReply[8] = {0x01, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x00};
      if (answer >= 0 && request.Flags == korvan::KSPROPERTY_TYPE_GET)
        std::memcpy(data, kReply, length < sizeof kReply ? length : sizeof kReply);
      return answer;
    };
  }
  ~OpenReceiver() { TESK_exit(0); }
  bool IsOpen() const { return m_bOpen; }

  fakes::FakeSystem system;

 private:
  bool m_bOpen = false;
};

void BM_ReadRawIR(benchmark::State& state) {
  OpenReceiver receiver;
  if (!receiver.IsOpen()) state.SkipWithError("receiver did not open");
  RawRemoteCode code;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TESK_ReadRawIR(&code, 0));
    benchmark::DoNotOptimize(code);
  }
}
BENCHMARK(BM_ReadRawIR);

// The common case of a poll: no button, the command step fails quietly.
void BM_ReadRawIR_NoCode(benchmark::State& state) {
  OpenReceiver receiver(static_cast<korvan::HResult>(0x8007001F));
  if (!receiver.IsOpen()) state.SkipWithError("receiver did not open");
  RawRemoteCode code;
  for (auto _ : state) benchmark::DoNotOptimize(TESK_ReadRawIR(&code, 0));
}
BENCHMARK(BM_ReadRawIR_NoCode);

void BM_ReadTamoIR(benchmark::State& state) {
  OpenReceiver receiver;
  if (!receiver.IsOpen()) state.SkipWithError("receiver did not open");
  KeyboardReport report;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TESK_ReadTamoIR(&report, 0));
    benchmark::DoNotOptimize(report);
  }
}
BENCHMARK(BM_ReadTamoIR);

}  // namespace

BENCHMARK_MAIN();
