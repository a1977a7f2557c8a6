// Apartment, lock, debug output, device notification and system files on the real system,
// installed as the library's platform when the DLL's globals are constructed (the DLL entry
// point itself does nothing).
#include "Win32Platform.h"

#include <windows.h>
#include <cstdio>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

korvan::HResult Win32Apartment::Initialize() { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
void Win32Apartment::Uninitialize() { CoUninitialize(); }

korvan::LockHandle Win32Locks::Create() { return CreateMutexW(nullptr, FALSE, nullptr); }
void Win32Locks::Wait(korvan::LockHandle lock) { WaitForSingleObject(lock, INFINITE); }
void Win32Locks::Release(korvan::LockHandle lock) { ReleaseMutex(lock); }
void Win32Locks::Close(korvan::LockHandle lock) { CloseHandle(lock); }

void Win32DebugOutput::Write(const char16_t* text) {
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(text));
}

korvan::NotifyHandle Win32DeviceNotify::Register(korvan::WindowHandle window, const uint8_t (&filter)[32]) {
  return RegisterDeviceNotificationW(static_cast<HANDLE>(window), const_cast<uint8_t*>(filter),
                                     DEVICE_NOTIFY_WINDOW_HANDLE);
}
void Win32DeviceNotify::Unregister(korvan::NotifyHandle handle) { UnregisterDeviceNotification(handle); }

uint32_t Win32SystemFiles::GetSystemDirectoryA(char* buffer, uint32_t size) {
  return ::GetSystemDirectoryA(buffer, size);
}
korvan::FileHandle Win32SystemFiles::OpenForReading(const char* path) { return std::fopen(path, "rb"); }
int64_t Win32SystemFiles::FileSize(korvan::FileHandle file) {
  FILE* f = static_cast<FILE*>(file);
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  long size = std::ftell(f);
  if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
  return size;
}
size_t Win32SystemFiles::ReadFile(korvan::FileHandle file, void* buffer, size_t length) {
  return std::fread(buffer, 1, length, static_cast<FILE*>(file));
}
void Win32SystemFiles::CloseFile(korvan::FileHandle file) { std::fclose(static_cast<FILE*>(file)); }

namespace {

Win32Apartment g_apartment;
Win32Discovery g_discovery;
Win32Locks g_locks;
Win32DebugOutput g_debugOutput;
Win32DeviceNotify g_deviceNotify;
Win32SystemFiles g_systemFiles;

struct InstallPlatform {
  InstallPlatform() {
    korvan::SetLibraryPlatform(
        {&g_apartment, &g_discovery, &g_locks, &g_debugOutput, &g_deviceNotify, &g_systemFiles});
  }
} g_installPlatform;

}  // namespace
