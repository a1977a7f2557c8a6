#include "LibraryFakes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "WideFormat.h"

namespace fakes {

const Guid kTunerCategory = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
const Guid kCaptureCategory = {0x65e8773d, 0x8f56, 0x11d0, {0xa3, 0xb9, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};

bool SameGuid(const Guid& a, const Guid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

uint32_t Request::Word(size_t offset) const {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && offset + i < header.size(); ++i) v |= uint32_t(header[offset + i]) << (8 * i);
  return v;
}
uint32_t Request::Id() const { return Word(16); }
uint32_t Request::Flags() const { return Word(20); }
Guid Request::Set() const {
  Guid g{};
  if (header.size() >= 16) std::memcpy(&g, header.data(), 16);
  return g;
}

namespace {

// Base of every fake COM-style object: one reference at creation, counted by the system.
class Counted {
 public:
  explicit Counted(FakeSystem& system) : m_system(system) { ++m_system.liveObjects; }
  virtual ~Counted() = default;

 protected:
  void DropReference() {
    if (m_released) {
      ++m_system.doubleReleases;
      return;
    }
    m_released = true;
    --m_system.liveObjects;
  }
  FakeSystem& m_system;

 private:
  bool m_released = false;
};

}  // namespace

struct FakeSystem::Impl final : korvan::ComApartment,
                          korvan::DeviceDiscovery,
                          korvan::LockApi,
                          korvan::DebugOutput,
                          korvan::DeviceNotifyApi,
                          korvan::SystemFiles {
  explicit Impl(FakeSystem& system) : system(system) {}
  FakeSystem& system;
  std::mutex recordMutex;  // the lock test drives the fakes from two threads
  std::map<korvan::LockHandle, std::unique_ptr<std::mutex>> mutexes;

  void Event(const std::string& what) {
    if (!system.recording) return;
    std::lock_guard<std::mutex> guard(recordMutex);
    system.events.push_back(what);
  }
  std::vector<std::pair<Guid, std::vector<FakeDevice>>> categories;
  // Objects are kept until the system goes so that a double release is seen, not a crash.
  std::vector<std::unique_ptr<Counted>> graveyard;
  int nextLock = 1;
  int nextNotify = 1;
  struct OpenFile {
    std::vector<uint8_t> bytes;
    size_t position = 0;
  };
  std::vector<std::unique_ptr<OpenFile>> fileHandles;

  template <typename T, typename... Args>
  T* Make(Args&&... args) {
    T* object = new T(system, std::forward<Args>(args)...);
    graveyard.emplace_back(object);
    return object;
  }

  // ComApartment
  HResult Initialize() override {
    Event("CoInitializeEx");
    if (korvan::Succeeded(system.comInitializeResult)) ++system.apartmentDepth;
    return system.comInitializeResult;
  }
  void Uninitialize() override {
    Event("CoUninitialize");
    --system.apartmentDepth;
  }

  // DeviceDiscovery
  HResult CreateDeviceEnumerator(korvan::DeviceEnumerator** enumerator) override;
  void FreeDisplayName(char16_t* name) override {
    --system.liveNames;
    delete[] name;
  }

  // LockApi
  // A real mutex behind each handle, so that the lock can be seen to keep threads apart.
  korvan::LockHandle Create() override {
    Event("CreateMutex");
    if (system.lockCreationFails) return nullptr;
    ++system.liveLocks;
    auto handle = reinterpret_cast<korvan::LockHandle>(static_cast<uintptr_t>(nextLock++));
    mutexes[handle].reset(new std::mutex);
    return handle;
  }
  void Wait(korvan::LockHandle lock) override {
    auto it = mutexes.find(lock);
    if (it != mutexes.end()) it->second->lock();
    Event("Wait");
  }
  void Release(korvan::LockHandle lock) override {
    Event("ReleaseMutex");
    auto it = mutexes.find(lock);
    if (it != mutexes.end()) it->second->unlock();
  }
  void Close(korvan::LockHandle lock) override {
    Event("CloseHandle");
    mutexes.erase(lock);
    --system.liveLocks;
  }

  // DebugOutput
  void Write(const char16_t* text) override {
    if (!system.recording) return;
    std::lock_guard<std::mutex> guard(recordMutex);
    system.traces.push_back(text::Narrow(text));
  }

  // DeviceNotifyApi
  korvan::NotifyHandle Register(korvan::WindowHandle window, const uint8_t (&filter)[32]) override {
    Event("Register");
    system.registeredFilters.emplace_back(filter, filter + 32);
    system.registeredWindows.push_back(window);
    if (system.registrationRefused) return nullptr;
    auto handle = reinterpret_cast<korvan::NotifyHandle>(static_cast<uintptr_t>(0x100 + nextNotify++));
    system.registrations.push_back(handle);
    return handle;
  }
  void Unregister(korvan::NotifyHandle handle) override {
    Event("Unregister");
    system.unregistered.push_back(handle);
  }

  // SystemFiles
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    const std::string& dir = system.systemDirectory;
    if (dir.size() + 1 > size) return static_cast<uint32_t>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<uint32_t>(dir.size());
  }
  korvan::FileHandle OpenForReading(const char* path) override {
    auto it = system.files.find(path);
    if (it == system.files.end()) return nullptr;
    fileHandles.emplace_back(new OpenFile{it->second, 0});
    ++system.openFiles;
    return fileHandles.back().get();
  }
  int64_t FileSize(korvan::FileHandle file) override {
    return static_cast<int64_t>(static_cast<OpenFile*>(file)->bytes.size());
  }
  size_t ReadFile(korvan::FileHandle file, void* buffer, size_t length) override {
    OpenFile& f = *static_cast<OpenFile*>(file);
    size_t n = std::min(length, f.bytes.size() - f.position);
    std::memcpy(buffer, f.bytes.data() + f.position, n);
    f.position += n;
    return n;
  }
  void CloseFile(korvan::FileHandle) override { --system.openFiles; }
};

namespace {

class FakePort : public korvan::PropertyPort, public Counted {
 public:
  FakePort(FakeSystem& system, FakeSystem::Impl& impl) : Counted(system), m_impl(impl) {}
  void Release() override { DropReference(); }
  HResult KsProperty(const void* request, uint32_t requestLength, void* data, uint32_t dataLength,
                     uint32_t* bytesReturned) override {
    m_impl.Event("KsProperty");
    uint8_t* bytes = static_cast<uint8_t*>(data);
    korvan::DriverRequest copy{};
    std::memcpy(&copy, request, std::min<size_t>(requestLength, sizeof copy));
    if (!m_system.recording) {
      if (bytesReturned) *bytesReturned = dataLength;
      return m_system.driver ? m_system.driver(copy, requestLength, bytes, dataLength) : 0;
    }
    Request recorded;
    const uint8_t* header = static_cast<const uint8_t*>(request);
    recorded.header.assign(header, header + requestLength);
    if (bytes) recorded.dataSent.assign(bytes, bytes + dataLength);
    HResult hr = m_system.driver ? m_system.driver(copy, requestLength, bytes, dataLength) : 0;
    if (bytes) recorded.dataReply.assign(bytes, bytes + dataLength);
    if (bytesReturned) *bytesReturned = dataLength;
    recorded.result = hr;
    std::lock_guard<std::mutex> guard(m_impl.recordMutex);
    m_system.requests.push_back(recorded);
    return hr;
  }

 private:
  FakeSystem::Impl& m_impl;
};

class FakeFilter : public korvan::FilterObject, public Counted {
 public:
  FakeFilter(FakeSystem& system, const FakeDevice& device, FakeSystem::Impl& impl)
      : Counted(system), m_device(device), m_impl(impl) {}
  void Release() override { DropReference(); }
  HResult QueryPropertyPort(korvan::PropertyPort** port) override {
    *port = nullptr;
    if (!korvan::Succeeded(m_device.queryResult)) return m_device.queryResult;
    if (m_device.hasPropertyPort) *port = m_impl.Make<FakePort>(m_impl);
    return m_device.queryResult;
  }

 private:
  FakeDevice m_device;
  FakeSystem::Impl& m_impl;
};

class FakeMoniker : public korvan::DeviceMoniker, public Counted {
 public:
  FakeMoniker(FakeSystem& system, const FakeDevice& device, FakeSystem::Impl& impl)
      : Counted(system), m_device(device), m_impl(impl) {}
  void Release() override { DropReference(); }
  HResult GetDisplayName(char16_t** name) override {
    *name = nullptr;
    if (!korvan::Succeeded(m_device.nameResult)) return m_device.nameResult;
    *name = new char16_t[m_device.displayName.size() + 1];
    std::copy(m_device.displayName.begin(), m_device.displayName.end(), *name);
    (*name)[m_device.displayName.size()] = 0;
    ++m_system.liveNames;
    return korvan::kS_OK;
  }
  HResult BindToFilter(korvan::FilterObject** filter) override {
    m_impl.Event("Bind " + text::Narrow(m_device.displayName.c_str()));
    *filter = nullptr;
    if (!korvan::Succeeded(m_device.bindResult)) return m_device.bindResult;
    *filter = m_impl.Make<FakeFilter>(m_device, m_impl);
    return m_device.bindResult;
  }

 private:
  FakeDevice m_device;
  FakeSystem::Impl& m_impl;
};

class FakeMonikerEnumerator : public korvan::MonikerEnumerator, public Counted {
 public:
  FakeMonikerEnumerator(FakeSystem& system, std::vector<FakeDevice> devices, FakeSystem::Impl& impl)
      : Counted(system), m_devices(std::move(devices)), m_impl(impl) {}
  void Release() override { DropReference(); }
  HResult Next(korvan::DeviceMoniker** moniker) override {
    *moniker = nullptr;
    if (m_next >= m_devices.size()) return korvan::kS_FALSE;
    *moniker = m_impl.Make<FakeMoniker>(m_devices[m_next++], m_impl);
    return korvan::kS_OK;
  }

 private:
  std::vector<FakeDevice> m_devices;
  size_t m_next = 0;
  FakeSystem::Impl& m_impl;
};

class FakeDeviceEnumerator : public korvan::DeviceEnumerator, public Counted {
 public:
  FakeDeviceEnumerator(FakeSystem& system, FakeSystem::Impl& impl) : Counted(system), m_impl(impl) {}
  void Release() override { DropReference(); }
  HResult CreateClassEnumerator(const Guid& category, korvan::MonikerEnumerator** enumerator,
                                uint32_t flags) override {
    *enumerator = nullptr;
    m_impl.Event(flags == 0x40 ? "CreateClassEnumerator" : "CreateClassEnumerator(bad flags)");
    if (!korvan::Succeeded(m_system.classEnumeratorResult)) return m_system.classEnumeratorResult;
    std::vector<FakeDevice>& devices = m_system.Category(category);
    if (devices.empty()) return korvan::kS_FALSE;  // an empty category has no enumerator
    *enumerator = m_impl.Make<FakeMonikerEnumerator>(devices, m_impl);
    return korvan::kS_OK;
  }

 private:
  FakeSystem::Impl& m_impl;
};

}  // namespace

HResult FakeSystem::Impl::CreateDeviceEnumerator(korvan::DeviceEnumerator** enumerator) {
  *enumerator = nullptr;
  if (!korvan::Succeeded(system.createEnumeratorResult)) return system.createEnumeratorResult;
  *enumerator = Make<FakeDeviceEnumerator>(*this);
  return korvan::kS_OK;
}

FakeSystem::FakeSystem() : impl(new Impl(*this)) {}
FakeSystem::~FakeSystem() { delete impl; }

void FakeSystem::Install() {
  korvan::SetLibraryPlatform({impl, impl, impl, impl, impl, impl});
}

std::vector<FakeDevice>& FakeSystem::Category(const Guid& category) {
  for (auto& entry : impl->categories)
    if (SameGuid(entry.first, category)) return entry.second;
  impl->categories.emplace_back(category, std::vector<FakeDevice>{});
  return impl->categories.back().second;
}

size_t FakeSystem::CountRequests(const Guid& set, uint32_t id) const {
  size_t n = 0;
  for (const Request& r : requests)
    if (SameGuid(r.Set(), set) && r.Id() == id) ++n;
  return n;
}

}  // namespace fakes
