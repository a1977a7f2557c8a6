#include "SimDevice.h"

#include <map>
#include <memory>
#include <vector>

#include "PropertySets.h"
#include "RequestLog.h"
#include "Scenario.h"
#include "SimReceiverIds.h"

namespace sim {
namespace {

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION* section) : section_(section) { EnterCriticalSection(section_); }
  ~Lock() { LeaveCriticalSection(section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION* section_;
};

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
  return result;
}

bool ReadWholeFile(const std::wstring& path, std::string* text) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  text->clear();
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) text->append(chunk, got);
  return true;
}

std::wstring SimFolder() {
  wchar_t folder[MAX_PATH];
  DWORD length = GetEnvironmentVariableW(kSimFolderVariable, folder, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return folder;
  return kDefaultSimFolder;
}

// A friendly name becomes a file name: characters that no file name may hold become '_'.
std::wstring ScenarioName(const std::wstring& friendlyName) {
  std::wstring name;
  for (wchar_t c : friendlyName) {
    bool bad = c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr;
    name += bad ? L'_' : c;
  }
  return name.empty() ? std::wstring(kDefaultScenarioName) : name;
}

}  // namespace

SimDevice::SimDevice(const std::wstring& name, const std::wstring& folder)
    : name_(name), logPath_(folder + L"\\" + name + L".log"), startTick_(GetTickCount64()), model_(nullptr) {
  InitializeCriticalSection(&lock_);
  CreateDirectoryW(folder.c_str(), nullptr);  // so that the log has a place even without a scenario
  std::wstring scenarioPath = folder + L"\\" + name + L".txt";
  std::string text;
  ParsedScenario parsed;
  if (ReadWholeFile(scenarioPath, &text)) {
    parsed = ParseScenario(text);
    AppendLog(FormatNoteLine("scenario " + Utf8(name) + " from " + Utf8(scenarioPath)));
  } else {
    AppendLog(FormatNoteLine("scenario " + Utf8(name) + ": no file " + Utf8(scenarioPath) + ", defaults"));
  }
  for (const std::string& error : parsed.errors) AppendLog(FormatNoteLine("scenario error " + error));
  // Scenario times count from here; measurements set them against other processes' tick counts.
  AppendLog(FormatNoteLine("clock starts at tick " + std::to_string(startTick_)));
  model_ = new ReceiverModel(parsed.scenario);
}

SimDevice::~SimDevice() {
  delete model_;
  DeleteCriticalSection(&lock_);
}

bool SimDevice::OffersKsControl() {
  Lock lock(&lock_);
  return model_->OffersKsControl();
}

HRESULT SimDevice::LoadResult() {
  Lock lock(&lock_);
  return static_cast<HRESULT>(model_->LoadResult());
}

HRESULT SimDevice::KsProperty(const void* request, ULONG requestLength, void* data, ULONG dataLength,
                              ULONG* bytesReturned) {
  Lock lock(&lock_);
  const uint8_t* header = static_cast<const uint8_t*>(request);
  uint8_t* buffer = static_cast<uint8_t*>(data);
  LoggedRequest logged;
  logged.request = header;
  logged.requestLength = header != nullptr ? requestLength : 0;
  logged.dataLength = dataLength;
  std::vector<uint8_t> arrived;
  if (buffer != nullptr) {
    arrived.assign(buffer, buffer + dataLength);
    logged.data = arrived.data();
  } else {
    logged.dataLength = 0;
  }
  Answer answer;
  if (header == nullptr || requestLength < kPropertyHeaderSize) {
    logged.setName = "INVALID";
    answer.hresult = kResultInvalidArgument;
  } else {
    PropertySet set = IdentifySet(header);
    uint32_t id, flags;
    memcpy(&id, header + 16, 4);
    memcpy(&flags, header + 20, 4);
    logged.setName = SetName(set);
    logged.id = id;
    logged.flags = flags;
    answer = model_->Handle(set, id, flags, buffer, buffer != nullptr ? dataLength : 0,
                            GetTickCount64() - startTick_);
    if (answer.hresult == kResultOk && flags == kFlagGet) {
      logged.reply = buffer;
      logged.replyLength = answer.bytesReturned < dataLength ? answer.bytesReturned : dataLength;
    }
  }
  logged.hresult = answer.hresult;
  if (bytesReturned != nullptr) *bytesReturned = answer.bytesReturned;
  AppendLog(FormatRequestLine(logged));
  return static_cast<HRESULT>(answer.hresult);
}

void SimDevice::AppendLog(const std::string& line) {
  // Opened per line: the log stays complete however the client process ends.
  FileHandle file(CreateFileW(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return;
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

SimDevice* FindDevice(const std::wstring& friendlyName) {
  static CRITICAL_SECTION* tableLock = [] {
    // The devices must outlive every COM unload of this module, so the module stays loaded.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&FindDevice), &self);
    auto* section = new CRITICAL_SECTION;
    InitializeCriticalSection(section);
    return section;
  }();
  static auto* devices = new std::map<std::wstring, std::unique_ptr<SimDevice>>;
  std::wstring name = ScenarioName(friendlyName);
  Lock lock(tableLock);
  std::unique_ptr<SimDevice>& device = (*devices)[name];
  if (!device) device.reset(new SimDevice(name, SimFolder()));
  return device.get();
}

}  // namespace sim
