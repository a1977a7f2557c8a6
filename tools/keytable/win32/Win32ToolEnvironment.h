#pragma once
// The key table tool on Windows: files through the wide-character API (paths arrive as UTF-8),
// the receiver through Korvan.dll when it can be loaded, the system's key table through the
// monitor's loader, and Ctrl+C to end a watch.
#include <windows.h>

#include "Korvan.h"
#include "ToolEnvironment.h"

namespace keytable {

// Korvan.dll, looked up at run time so that the tool's other commands work without it.
class KorvanReceiver : public RemoteReceiver {
 public:
  KorvanReceiver() = default;
  ~KorvanReceiver() override;
  KorvanReceiver(const KorvanReceiver&) = delete;
  KorvanReceiver& operator=(const KorvanReceiver&) = delete;

  // Loads the library and finds its four remote-control functions; false leaves nothing loaded.
  bool Load();

  uint16_t Open() override;
  bool ReadRawCode(uint32_t* pCode) override;
  bool ReadReport(uint8_t (&report)[8]) override;
  void Close() override;

 private:
  HMODULE m_hModule = nullptr;
  decltype(&solv_initIRDev) m_pfnInit = nullptr;
  decltype(&solv_ReadRawIR) m_pfnReadRaw = nullptr;
  decltype(&solv_ReadTamoIR) m_pfnReadReport = nullptr;
  decltype(&solv_exit) m_pfnExit = nullptr;
};

class Win32ToolEnvironment : public ToolEnvironment {
 public:
  Win32ToolEnvironment();
  ~Win32ToolEnvironment() override;

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

 private:
  UINT m_uOldOutputCodePage;  // 0 without a console
  KorvanReceiver m_receiver;
};

std::string Utf8FromWide(const wchar_t* text);

}  // namespace keytable
