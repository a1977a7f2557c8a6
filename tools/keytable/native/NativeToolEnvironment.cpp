#include "NativeToolEnvironment.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace keytable {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool NativeToolEnvironment::ReadFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes,
                                     std::string* pError) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *pError = std::strerror(errno);
    return false;
  }
  // Reads no more than shows the file is over the limit, whatever its size.
  pBytes->clear();
  uint8_t chunk[4096];
  while (pBytes->size() <= maxBytes) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
    pBytes->insert(pBytes->end(), chunk, chunk + n);
    if (n < sizeof chunk) break;
  }
  if (std::ferror(file.get())) {
    *pError = std::strerror(errno);
    return false;
  }
  return true;
}

bool NativeToolEnvironment::WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                                               std::string* pError) {
  // A name of this process's own, created only if no file has it ("x"), so nothing else is
  // written over, not even a file named like the output.
  std::string temporary;
  FilePtr file;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    temporary = path + ".keytable-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    file.reset(std::fopen(temporary.c_str(), "wbx"));
    if (!file && errno != EEXIST) break;
  }
  if (!file) {
    *pError = std::strerror(errno);
    return false;
  }
  bool bOk = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  bOk = std::fclose(file.release()) == 0 && bOk;
  if (bOk) bOk = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!bOk) {
    *pError = std::strerror(errno);
    std::remove(temporary.c_str());
  }
  return bOk;
}

bool NativeToolEnvironment::SameFile(const std::string& first, const std::string& second) {
  struct stat a {}, b {};
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void NativeToolEnvironment::Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void NativeToolEnvironment::Error(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

RemoteReceiver* NativeToolEnvironment::Receiver(std::string* pWhyNot) {
  *pWhyNot = "the receiver is read through Korvan.dll, which only the Windows build of this tool can load";
  return nullptr;
}

bool NativeToolEnvironment::LoadSystemKeyTable(wendle::KeyTable*, std::string* pWhere) {
  *pWhere = "there is no Windows System32 folder here";
  return false;
}

bool NativeToolEnvironment::WaitForPoll(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return true;
}

}  // namespace keytable
