#pragma once
// The library's seam implemented on the real system.
#include "LibraryPlatform.h"

class Win32Apartment final : public korvan::ComApartment {
 public:
  korvan::HResult Initialize() override;
  void Uninitialize() override;
};

class Win32Discovery final : public korvan::DeviceDiscovery {
 public:
  korvan::HResult CreateDeviceEnumerator(korvan::DeviceEnumerator** enumerator) override;
  void FreeDisplayName(char16_t* name) override;
};

class Win32Locks final : public korvan::LockApi {
 public:
  korvan::LockHandle Create() override;
  void Wait(korvan::LockHandle lock) override;
  void Release(korvan::LockHandle lock) override;
  void Close(korvan::LockHandle lock) override;
};

class Win32DebugOutput final : public korvan::DebugOutput {
 public:
  void Write(const char16_t* text) override;
};

class Win32DeviceNotify final : public korvan::DeviceNotifyApi {
 public:
  korvan::NotifyHandle Register(korvan::WindowHandle window, const uint8_t (&filter)[32]) override;
  void Unregister(korvan::NotifyHandle handle) override;
};

class Win32SystemFiles final : public korvan::SystemFiles {
 public:
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override;
  korvan::FileHandle OpenForReading(const char* path) override;
  int64_t FileSize(korvan::FileHandle file) override;
  size_t ReadFile(korvan::FileHandle file, void* buffer, size_t length) override;
  void CloseFile(korvan::FileHandle file) override;
};
