#pragma once
// An in-memory stand-in for the key table tool's system: files in a map, output in strings, and
// a receiver that plays a list of codes or reports.
#include <deque>
#include <map>

#include "KeyTableTool.h"
#include "ToolEnvironment.h"

namespace keytable {

class FakeReceiver : public RemoteReceiver {
 public:
  uint16_t chip = 0x9035;
  std::deque<uint32_t> codes;                 // one per poll; 0xDEADBEEF stands for "no code"
  std::deque<std::vector<uint8_t>> reports;   // an empty one stands for "no report"
  int opens = 0, closes = 0;

  uint16_t Open() override {
    ++opens;
    return chip;
  }
  bool ReadRawCode(uint32_t* pCode) override {
    if (codes.empty()) return false;
    uint32_t code = codes.front();
    codes.pop_front();
    if (code == 0xDEADBEEF) return false;
    *pCode = code;
    return true;
  }
  bool ReadReport(uint8_t (&report)[8]) override {
    if (reports.empty()) return false;
    std::vector<uint8_t> next = reports.front();
    reports.pop_front();
    if (next.empty()) return false;
    std::copy(next.begin(), next.end(), report);
    return true;
  }
  void Close() override { ++closes; }
};

class FakeToolEnvironment : public ToolEnvironment {
 public:
  std::map<std::string, std::vector<uint8_t>> files;
  std::string out, err;
  int writes = 0;
  bool bFailWrites = false;
  FakeReceiver receiver;
  bool bHaveReceiver = true;
  bool bHaveSystemTable = false;
  wendle::KeyTable systemTable{};
  uint32_t polls = 0;

  void Put(const std::string& path, const std::string& text) { files[path].assign(text.begin(), text.end()); }
  std::string Text(const std::string& path) {
    const std::vector<uint8_t>& bytes = files.at(path);
    return std::string(bytes.begin(), bytes.end());
  }
  int Run(const std::vector<std::string>& args) { return RunKeyTableTool(args, *this); }

  bool ReadFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes, std::string* pError) override {
    auto it = files.find(path);
    if (it == files.end()) {
      *pError = "No such file or directory";
      return false;
    }
    pBytes->assign(it->second.begin(), it->second.begin() + std::min(it->second.size(), maxBytes + 1));
    return true;
  }
  bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes, std::string* pError) override {
    ++writes;
    if (bFailWrites) {
      *pError = "Permission denied";
      return false;
    }
    files[path] = bytes;
    return true;
  }
  bool SameFile(const std::string& first, const std::string& second) override {
    return first == "./" + second || second == "./" + first;
  }
  void Out(const std::string& text) override { out += text; }
  void Error(const std::string& text) override { err += text; }
  RemoteReceiver* Receiver(std::string* pWhyNot) override {
    if (bHaveReceiver) return &receiver;
    *pWhyNot = "Korvan.dll cannot be loaded: The specified module could not be found (error 126)";
    return nullptr;
  }
  bool LoadSystemKeyTable(wendle::KeyTable* pTable, std::string* pWhere) override {
    *pWhere = "C:\\windows\\System32\\tamoirtbl.bin";
    if (!bHaveSystemTable) return false;
    *pTable = systemTable;
    return true;
  }
  bool WaitForPoll(uint32_t) override {
    ++polls;
    return !receiver.codes.empty() || !receiver.reports.empty();
  }
};

}  // namespace keytable
