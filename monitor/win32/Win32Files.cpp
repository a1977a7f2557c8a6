#include "Win32Files.h"

#include <windows.h>

namespace wendle {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts pass to the wide calls as they are");
static_assert(sizeof(FileHandle) == sizeof(HANDLE), "a file handle travels as a pointer-sized integer");

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

FileHandle Win32Files::Open(const char16_t* path, FileAccess access) {
  bool bRead = access == FileAccess::ReadExisting;
  HANDLE hFile = CreateFileW(reinterpret_cast<const wchar_t*>(path), bRead ? GENERIC_READ : GENERIC_WRITE,
                             FILE_SHARE_READ, nullptr, bRead ? OPEN_EXISTING : CREATE_ALWAYS, 0, nullptr);
  return reinterpret_cast<FileHandle>(hFile);
}

uint32_t Win32Files::GetSize(FileHandle file) { return GetFileSize(ToHandle(file), nullptr); }

bool Win32Files::Read(FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) {
  DWORD dwRead = 0;
  BOOL bOk = ReadFile(ToHandle(file), buffer, byteCount, &dwRead, nullptr);
  *bytesRead = dwRead;
  return bOk != FALSE;
}

bool Win32Files::Write(FileHandle file, const void* data, uint32_t byteCount, uint32_t* bytesWritten) {
  DWORD dwWritten = 0;
  BOOL bOk = WriteFile(ToHandle(file), data, byteCount, &dwWritten, nullptr);
  *bytesWritten = dwWritten;
  return bOk != FALSE;
}

void Win32Files::Close(FileHandle file) { CloseHandle(ToHandle(file)); }

uint32_t Win32Files::LastError() { return GetLastError(); }

}  // namespace wendle
