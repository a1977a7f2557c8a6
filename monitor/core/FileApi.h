#pragma once
// Seam: the files the monitor opens (its log and the key table file) and the thread's last
// error code. The Win32 side maps each method onto one kernel call; the tests hold files in memory.
#include <cstdint>

#include "PlatformTypes.h"

namespace wendle {

enum class FileAccess {
  ReadExisting,   // GENERIC_READ, OPEN_EXISTING
  WriteTruncate,  // GENERIC_WRITE, CREATE_ALWAYS (created, or emptied if it exists)
};

class FileApi {
 public:
  virtual ~FileApi() = default;

  // Opens path (NUL-terminated UTF-16, never null) with share mode FILE_SHARE_READ, no security
  // attributes, flags and attributes 0. Returns INVALID_FILE_HANDLE on failure, with the reason
  // left for LastError().
  virtual FileHandle Open(const char16_t* path, FileAccess access) = 0;

  // Size of an open file, low 32 bits only (the high half is not asked for). 0xFFFFFFFF when the
  // size cannot be read.
  virtual uint32_t GetSize(FileHandle file) = 0;

  // One read call of up to byteCount bytes into buffer. *bytesRead receives what the call
  // reports; the core does not trust it to be <= byteCount. False on failure (LastError() says why).
  virtual bool Read(FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) = 0;

  // One write call. *bytesWritten receives what the call reports. False on failure.
  virtual bool Write(FileHandle file, const void* data, uint32_t byteCount,
                     uint32_t* bytesWritten) = 0;

  // Closes a handle returned by Open. Never called with INVALID_FILE_HANDLE.
  virtual void Close(FileHandle file) = 0;

  // The calling thread's last error code, as left by the latest platform call of any role
  // (GetLastError). Read immediately after the call that failed.
  virtual uint32_t LastError() = 0;
};

// Closes a file of the FileApi role when it goes out of scope, on every return path.
class ScopedFile {
 public:
  ScopedFile(FileApi& files, FileHandle handle) : m_files(files), m_handle(handle) {}
  ~ScopedFile() {
    if (m_handle != INVALID_FILE_HANDLE) m_files.Close(m_handle);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  FileHandle Get() const { return m_handle; }

 private:
  FileApi& m_files;
  FileHandle m_handle;
};

}  // namespace wendle
