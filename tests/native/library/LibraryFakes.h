#pragma once
// Recording fakes of the library's platform: a system with categories of named devices, driver
// filters whose property interface answers from a script, a lock, a COM apartment, a debug
// output, device notification and the system folder's files. Every call is recorded, every
// object handed out is reference-counted so leaks and double releases show.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "DriverRequest.h"
#include "LibraryPlatform.h"

namespace fakes {

using korvan::Guid;
using korvan::HResult;

// KSCATEGORY_BDA_NETWORK_TUNER and KSCATEGORY_CAPTURE, as the fakes list them.
extern const Guid kTunerCategory;
extern const Guid kCaptureCategory;

// One property request as the driver saw it.
struct Request {
  std::vector<uint8_t> header;    // the request bytes (24 or 32)
  std::vector<uint8_t> dataSent;  // the data buffer when the request arrived
  std::vector<uint8_t> dataReply; // the data buffer when the driver returned
  HResult result = 0;

  uint32_t Id() const;
  uint32_t Flags() const;
  Guid Set() const;
  uint32_t Word(size_t offset) const;  // a little-endian word of the request
};

// The driver behind a fake filter: answer() may fill data for a get and decides the HRESULT.
using DriverScript =
    std::function<HResult(const korvan::DriverRequest& request, uint32_t requestLength,
                          uint8_t* data, uint32_t dataLength)>;

struct FakeDevice {
  std::u16string displayName;
  HResult nameResult = korvan::kS_OK;
  HResult bindResult = korvan::kS_OK;
  HResult queryResult = korvan::kS_OK;  // QueryInterface for the property interface
  bool hasPropertyPort = true;
};

class FakeSystem {
 public:
  FakeSystem();
  ~FakeSystem();

  // Installs this system as the library's platform.
  void Install();

  // Devices of a category, in enumeration order.
  std::vector<FakeDevice>& Category(const Guid& category);

  HResult createEnumeratorResult = korvan::kS_OK;
  HResult classEnumeratorResult = korvan::kS_OK;
  HResult comInitializeResult = korvan::kS_OK;
  bool lockCreationFails = false;
  DriverScript driver;  // default: every request succeeds, gets leave the data as it is
  // Off: events, traces and requests are not kept (benchmarks run millions of requests).
  bool recording = true;

  // What happened, in order: "CoInitializeEx", "CoUninitialize", "CreateMutex", "Wait",
  // "ReleaseMutex", "CloseHandle", "Bind <name>", "KsProperty", "Register", "Unregister".
  std::vector<std::string> events;
  std::vector<std::string> traces;  // debug output, as 8-bit text
  std::vector<Request> requests;

  int liveObjects = 0;      // objects handed out and not yet released
  int doubleReleases = 0;   // releases of objects already released
  int liveNames = 0;        // display names not yet freed
  int liveLocks = 0;        // mutexes created and not closed
  int apartmentDepth = 0;   // CoInitializeEx successes minus CoUninitialize calls

  // Device notification.
  bool registrationRefused = false;
  std::vector<std::vector<uint8_t>> registeredFilters;
  std::vector<korvan::WindowHandle> registeredWindows;
  std::vector<korvan::NotifyHandle> registrations;  // handles handed out
  std::vector<korvan::NotifyHandle> unregistered;   // handles given back, in order

  // The system folder (GetSystemDirectoryA) and the files in it, by full path.
  std::string systemDirectory = "C:\\windows\\system32";
  std::map<std::string, std::vector<uint8_t>> files;
  int openFiles = 0;

  // The number of requests of a set and id.
  size_t CountRequests(const Guid& set, uint32_t id) const;

  struct Impl;
  Impl* impl;
};

// Helpers for expectations.
std::vector<uint8_t> Bytes(std::initializer_list<int> values);
bool SameGuid(const Guid& a, const Guid& b);
std::string Hex(const std::vector<uint8_t>& bytes);

}  // namespace fakes
