#pragma once
// The library's seam to the platform. The core holds every decision (matching, counting,
// tracing, releasing); each interface below is the narrowest thing the core needs of the
// system, named for its role. library/win32 implements them with COM, DirectShow's system
// device enumerator, kernel-streaming IKsControl, mutexes and OutputDebugStringW; the native
// tests implement them with recording fakes.
#include <cstddef>
#include <cstdint>

namespace korvan {

using HResult = int32_t;
constexpr HResult kS_OK = 0;
constexpr HResult kS_FALSE = 1;
constexpr HResult kE_POINTER = static_cast<HResult>(0x80004003);
constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005);

inline bool Succeeded(HResult hr) { return hr >= 0; }

// A GUID in its standard memory layout (16 bytes, first three fields little-endian).
struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
static_assert(sizeof(Guid) == 16, "GUID layout");

// Objects handed out by the seam carry one reference each; the core calls Release exactly
// once per object it received, on every path.
class RefCounted {
 public:
  virtual void Release() = 0;

 protected:
  ~RefCounted() = default;
};

// The driver filter's property interface (IKsControl::KsProperty).
class PropertyPort : public RefCounted {
 public:
  // Sends one property request. For a get the driver's answer lands in data. bytesReturned
  // receives the driver's count of returned bytes.
  virtual HResult KsProperty(const void* request, uint32_t requestLength, void* data,
                             uint32_t dataLength, uint32_t* bytesReturned) = 0;
};

// A bound driver filter (IBaseFilter).
class FilterObject : public RefCounted {
 public:
  // QueryInterface for the property interface; *port holds one reference on success.
  virtual HResult QueryPropertyPort(PropertyPort** port) = 0;
};

// One device of a category (IMoniker).
class DeviceMoniker : public RefCounted {
 public:
  // The display name; the caller frees it with DeviceDiscovery::FreeDisplayName.
  virtual HResult GetDisplayName(char16_t** name) = 0;
  // BindToObject for IBaseFilter; *filter holds one reference on success.
  virtual HResult BindToFilter(FilterObject** filter) = 0;
};

// The devices of one category (IEnumMoniker).
class MonikerEnumerator : public RefCounted {
 public:
  // Fetches one moniker. Only kS_OK means that *moniker holds one.
  virtual HResult Next(DeviceMoniker** moniker) = 0;
};

// The system device enumerator (ICreateDevEnum).
class DeviceEnumerator : public RefCounted {
 public:
  // A non-negative result with *enumerator null means the category is empty.
  virtual HResult CreateClassEnumerator(const Guid& category, MonikerEnumerator** enumerator,
                                        uint32_t flags) = 0;
};

class DeviceDiscovery {
 public:
  // CoCreateInstance of the system device enumerator (class context 0x17).
  virtual HResult CreateDeviceEnumerator(DeviceEnumerator** enumerator) = 0;
  // CoTaskMemFree of a display name.
  virtual void FreeDisplayName(char16_t* name) = 0;

 protected:
  ~DeviceDiscovery() = default;
};

class ComApartment {
 public:
  // CoInitializeEx(NULL, COINIT_APARTMENTTHREADED): S_FALSE when already initialised.
  virtual HResult Initialize() = 0;
  virtual void Uninitialize() = 0;

 protected:
  ~ComApartment() = default;
};

using LockHandle = void*;

class LockApi {
 public:
  // An unnamed mutex, not owned; null when it cannot be created.
  virtual LockHandle Create() = 0;
  // Waits without a time limit; the outcome is not examined by the core.
  virtual void Wait(LockHandle lock) = 0;
  virtual void Release(LockHandle lock) = 0;
  virtual void Close(LockHandle lock) = 0;

 protected:
  ~LockApi() = default;
};

class DebugOutput {
 public:
  // One whole trace text (OutputDebugStringW); no line end is added.
  virtual void Write(const char16_t* text) = 0;

 protected:
  ~DebugOutput() = default;
};

using WindowHandle = void*;
using NotifyHandle = void*;

class DeviceNotifyApi {
 public:
  // RegisterDeviceNotificationW(window, filter, DEVICE_NOTIFY_WINDOW_HANDLE); null when refused.
  virtual NotifyHandle Register(WindowHandle window, const uint8_t (&filter)[32]) = 0;
  virtual void Unregister(NotifyHandle handle) = 0;

 protected:
  ~DeviceNotifyApi() = default;
};

using FileHandle = void*;

class SystemFiles {
 public:
  // GetSystemDirectoryA: the length copied (without terminator), 0 on failure, or the
  // size needed when the buffer is too small.
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  // Opens a file for reading in byte mode ("rb"); null when it cannot be opened.
  virtual FileHandle OpenForReading(const char* path) = 0;
  // The file's size (seek to the end, read the position, seek back); negative on failure.
  virtual int64_t FileSize(FileHandle file) = 0;
  // Reads up to length bytes; returns the number read.
  virtual size_t ReadFile(FileHandle file, void* buffer, size_t length) = 0;
  virtual void CloseFile(FileHandle file) = 0;

 protected:
  ~SystemFiles() = default;
};

struct LibraryPlatform {
  ComApartment* com;
  DeviceDiscovery* discovery;
  LockApi* locks;
  DebugOutput* debug;
  DeviceNotifyApi* notify;
  SystemFiles* files;
};

// The platform the library runs on. The Win32 side installs its own at load time; tests
// install fakes. The record is copied.
void SetLibraryPlatform(const LibraryPlatform& platform);
const LibraryPlatform& Platform();

}  // namespace korvan
