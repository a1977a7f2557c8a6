#pragma once
// The monitor's files through the kernel's file calls.
#include "FileApi.h"

namespace wendle {

class Win32Files : public FileApi {
 public:
  FileHandle Open(const char16_t* path, FileAccess access) override;
  uint32_t GetSize(FileHandle file) override;
  bool Read(FileHandle file, void* buffer, uint32_t byteCount, uint32_t* bytesRead) override;
  bool Write(FileHandle file, const void* data, uint32_t byteCount, uint32_t* bytesWritten) override;
  void Close(FileHandle file) override;
  uint32_t LastError() override;
};

}  // namespace wendle
