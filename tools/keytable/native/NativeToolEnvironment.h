#pragma once
// The key table tool on a system without the receiver library: real files, no receiver.
#include "ToolEnvironment.h"

namespace keytable {

class NativeToolEnvironment : public ToolEnvironment {
 public:
  bool ReadFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes,
                std::string* pError) override;
  bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                          std::string* pError) override;
  bool SameFile(const std::string& first, const std::string& second) override;
  void Out(const std::string& text) override;
  void Error(const std::string& text) override;
  RemoteReceiver* Receiver(std::string* pWhyNot) override;
  bool LoadSystemKeyTable(wendle::KeyTable* pTable, std::string* pWhere) override;
  bool WaitForPoll(uint32_t milliseconds) override;
};

}  // namespace keytable
