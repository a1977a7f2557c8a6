#pragma once
// Seam: what the key table tool asks of the system. The native and Windows programs each give
// one implementation; the tests give one that keeps files in memory and records the output.
#include <cstdint>
#include <string>
#include <vector>

#include "KeyTable.h"

namespace keytable {

// The receiver as Korvan.dll offers it to a program: receiver 0, opened for remote-control use.
class RemoteReceiver {
 public:
  virtual ~RemoteReceiver() = default;
  // Opens receiver 0; its chip identifier, 0 when it cannot be opened.
  virtual uint16_t Open() = 0;
  // One raw code into *pCode; false when there is none this time.
  virtual bool ReadRawCode(uint32_t* pCode) = 0;
  // One keyboard report decoded by the receiver itself; false when there is none this time.
  virtual bool ReadReport(uint8_t (&report)[8]) = 0;
  virtual void Close() = 0;
};

class ToolEnvironment {
 public:
  virtual ~ToolEnvironment() = default;

  // Reads a whole file, or as much as shows it is larger than maxBytes (then bytes holds more
  // than maxBytes). False with the system's reason in *pError when it cannot be read.
  virtual bool ReadFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes,
                        std::string* pError) = 0;

  // Writes bytes to a new temporary file beside path (one no other file has the name of) and
  // renames it over path, so path holds either its old content or all of bytes. False with the
  // reason in *pError, and no temporary file left.
  virtual bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                                  std::string* pError) = 0;

  // Whether both names lead to one existing file (however they are written).
  virtual bool SameFile(const std::string& first, const std::string& second) = 0;

  virtual void Out(const std::string& text) = 0;    // standard output
  virtual void Error(const std::string& text) = 0;  // standard error

  // The receiver library, or null with the reason in *pWhyNot (the native build has none; on
  // Windows the library may be missing).
  virtual RemoteReceiver* Receiver(std::string* pWhyNot) = 0;

  // Loads the table the monitor would use, with the monitor's own loader, into *pTable; *pWhere
  // names the file. False (with *pWhere saying why) when there is none to load.
  virtual bool LoadSystemKeyTable(wendle::KeyTable* pTable, std::string* pWhere) = 0;

  // Waits for the next poll; false once the user asked to stop (Ctrl+C).
  virtual bool WaitForPoll(uint32_t milliseconds) = 0;
};

}  // namespace keytable
