// Talks to a simulated receiver the way a client does (device enumerator, moniker, bind,
// IKsControl) and prints every answer, so that the simulator can be tested on its own.
//
//   simprobe <tuner|capture> <index> <step>...
//     <SET>:<id>:set:<hex bytes>     a set request with these data bytes
//     <SET>:<id>:get:<length>        a get request with a zeroed buffer of that length
//     <SET>:<id>:get:<hex bytes>:    a get request whose buffer holds these bytes on entry
//     sleep:<ms>
//   SET is CONTROL, PIDMAP or CHANNEL. One output line per step:
//     <step> hr=0x........ returned=<n> reply=<hex of the returned bytes>
#include <windows.h>
#include <objbase.h>
#include <strmif.h>
#include <uuids.h>
#include <ks.h>
#include <ksproxy.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const GUID kIidKsControl = {0x28f54685, 0x06fd, 0x11d2, {0xb2, 0x7a, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
const GUID kCategoryTuner = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
const GUID kCategoryCapture = {0x65e8773d, 0x8f56, 0x11d0, {0xa3, 0xb9, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
const GUID kSetControl = {0xc6efe5eb, 0x855a, 0x4f1b, {0xb7, 0xaa, 0x87, 0xb5, 0xe1, 0xdc, 0x41, 0x13}};
const GUID kSetPidMap = {0xd0a67d65, 0x08df, 0x4fec, {0x85, 0x33, 0xe5, 0xb5, 0x50, 0x41, 0x0b, 0x85}};
const GUID kSetChannel = {0xf23fac2d, 0xe1af, 0x48e0, {0x8b, 0xbe, 0xa1, 0x40, 0x29, 0xc9, 0x2f, 0x11}};

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  void Reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }
  T** out() {
    Reset();
    return &p_;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool ParseHex(const std::string& text, std::vector<uint8_t>* bytes) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    char pair[3] = {text[i], text[i + 1], 0};
    char* end = nullptr;
    unsigned long value = strtoul(pair, &end, 16);
    if (*end != 0) return false;
    bytes->push_back(static_cast<uint8_t>(value));
  }
  return true;
}

std::string Hex(const uint8_t* bytes, size_t length) {
  std::string text;
  char pair[3];
  for (size_t i = 0; i < length; ++i) {
    snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

bool Bind(const GUID& category, int index, ComRef<IBaseFilter>* filter) {
  ComRef<ICreateDevEnum> devices;
  HRESULT result = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                    devices.outVoid());
  if (FAILED(result)) return printf("no device enumerator hr=0x%08lX\n", result), false;
  ComRef<IEnumMoniker> monikers;
  result = devices->CreateClassEnumerator(category, monikers.out(), 0x40);
  if (monikers.get() == nullptr) return printf("category empty hr=0x%08lX\n", result), false;
  for (int i = 0;; ++i) {
    ComRef<IMoniker> moniker;
    if (monikers->Next(1, moniker.out(), nullptr) != S_OK) break;
    if (i != index) continue;
    result = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(filter->out()));
    printf("bind hr=0x%08lX\n", result);
    return SUCCEEDED(result);
  }
  printf("no moniker %d\n", index);
  return false;
}

bool RunStep(IKsControl* control, const std::string& step) {
  std::vector<std::string> parts = Split(step, ':');
  if (parts.size() == 2 && parts[0] == "sleep") {
    Sleep(static_cast<DWORD>(atoi(parts[1].c_str())));
    printf("%s\n", step.c_str());
    return true;
  }
  if (parts.size() < 4 || parts.size() > 5) return false;
  KSPROPERTY property = {};
  if (parts[0] == "CONTROL") property.Set = kSetControl;
  else if (parts[0] == "PIDMAP") property.Set = kSetPidMap;
  else if (parts[0] == "CHANNEL") property.Set = kSetChannel;
  else return false;
  property.Id = static_cast<ULONG>(strtoul(parts[1].c_str(), nullptr, 0));
  std::vector<uint8_t> data;
  if (parts[2] == "set") {
    property.Flags = KSPROPERTY_TYPE_SET;
    if (!ParseHex(parts[3], &data)) return false;
  } else if (parts[2] == "get") {
    property.Flags = KSPROPERTY_TYPE_GET;
    if (parts.size() == 5) {
      if (!ParseHex(parts[3], &data)) return false;
    } else {
      data.assign(strtoul(parts[3].c_str(), nullptr, 0), 0);
    }
  } else {
    return false;
  }
  ULONG returned = 0;
  HRESULT result = control->KsProperty(&property, sizeof property, data.empty() ? nullptr : data.data(),
                                       static_cast<ULONG>(data.size()), &returned);
  size_t shown = property.Flags == KSPROPERTY_TYPE_GET && SUCCEEDED(result) ? returned : 0;
  if (shown > data.size()) shown = data.size();
  printf("%s hr=0x%08lX returned=%lu reply=%s\n", step.c_str(), result, returned, Hex(data.data(), shown).c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (strcmp(argv[1], "tuner") != 0 && strcmp(argv[1], "capture") != 0)) {
    fprintf(stderr, "usage: simprobe <tuner|capture> <index> <step>...\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 0;
  {
    ComRef<IBaseFilter> filter;
    ComRef<IKsControl> control;
    if (!Bind(strcmp(argv[1], "tuner") == 0 ? kCategoryTuner : kCategoryCapture, atoi(argv[2]), &filter)) {
      status = 1;
    } else {
      CLSID clsid = {};
      filter->GetClassID(&clsid);
      wchar_t text[40];
      StringFromGUID2(clsid, text, 40);
      printf("class %ls\n", text);
      HRESULT result = filter->QueryInterface(kIidKsControl, control.outVoid());
      printf("kscontrol hr=0x%08lX\n", result);
      for (int i = 3; i < argc && control.get() != nullptr; ++i) {
        if (!RunStep(control.get(), argv[i])) {
          fprintf(stderr, "simprobe: bad step '%s'\n", argv[i]);
          status = 2;
          break;
        }
      }
    }
  }
  fflush(stdout);
  CoUninitialize();
  return status;
}
