#include "KeyTableFile.h"

#include <algorithm>
#include <cstdio>

#include "DiagnosticLog.h"
#include "FileOpening.h"
#include "KeyTable.h"
#include "MonitorGlobals.h"
#include "MonitorPlatform.h"
#include "StatusCodes.h"
#include "WideFormat.h"

namespace wendle {
namespace {

constexpr uint32_t PATH_CAPACITY = 256;
const char16_t kKeyTableSuffix[] = u"\\System32\\tamoirtbl.bin";

void Log(const char* text) { WriteLog(g_hLogFile, text); }

// Builds "<Windows directory>\System32\tamoirtbl.bin" in path. False when the directory cannot
// be read or the whole path would not fit; there is then no file to open.
bool BuildKeyTablePath(char16_t (&path)[PATH_CAPACITY]) {
  uint32_t dwLength = Platform().pWow64->GetWindowsFolder(path, PATH_CAPACITY);
  size_t suffixLength = text::WideLength(kKeyTableSuffix);
  if (dwLength == 0 || dwLength + suffixLength >= PATH_CAPACITY) return false;
  std::copy(kKeyTableSuffix, kKeyTableSuffix + suffixLength + 1, path + dwLength);
  return true;
}

// Record i of the file: a big-endian raw code, two signed bytes widened, and the flags.
KeyTableEntry ConvertRecord(const uint8_t* record) {
  KeyTableEntry entry;
  entry.rawCode = static_cast<uint32_t>(record[0]) << 24 | static_cast<uint32_t>(record[1]) << 16 |
                  static_cast<uint32_t>(record[2]) << 8 | record[3];
  entry.keyUsage = static_cast<int8_t>(record[4]);
  entry.modifierBits = static_cast<int8_t>(record[5]);
  entry.entryFlags = record[6];
  return entry;
}

}  // namespace

int32_t ConvertKeyTableImage(const uint8_t (&image)[KEY_FILE_FULL_SIZE], uint32_t dwSize,
                             uint32_t dwRead, KeyTable& table) {
  const bool bShort = dwSize < KEY_FILE_FULL_SIZE;
  // A short file's records lie inside what was read, and dwRead <= dwSize < 356 for one.
  const int32_t nRecords =
      bShort ? static_cast<int32_t>(std::min(dwRead, dwSize) / KEY_FILE_RECORD_SIZE) : KEY_TABLE_CAPACITY;
  for (int32_t i = 0; i < nRecords; ++i) table.entries[i] = ConvertRecord(image + KEY_FILE_RECORD_SIZE * i);

  if (bShort) {
    table.trailerValue = DEFAULT_TRAILER_VALUE;
    table.prefixTimeout = DEFAULT_PREFIX_TIMEOUT;
    table.repeatThreshold = DEFAULT_REPEAT_THRESHOLD;
    table.entryCount = nRecords;
  } else {
    const uint8_t* trailer = image + KEY_FILE_TRAILER_OFFSET;
    // The second byte counts as signed, so one of 0x80 or more lowers the high byte by one.
    table.trailerValue = static_cast<uint16_t>(trailer[0] * 256 + static_cast<int8_t>(trailer[1]));
    table.entryCount = static_cast<int8_t>(trailer[2]);
    table.prefixTimeout = static_cast<int8_t>(trailer[3]);
    table.repeatThreshold = static_cast<int8_t>(trailer[4]);
  }
  return nRecords;
}

int32_t LoadIRTable() {
  const MonitorPlatform& platform = Platform();
  DebugChannel& debug = *platform.pDebug;
  char16_t szTrace[PATH_CAPACITY];
  char16_t szPath[PATH_CAPACITY] = {};
  bool bHavePath = BuildKeyTablePath(szPath);
  if (bHavePath) debug.Output(szPath);

  KeyTable& table = g_keyTable;
  table.entryCount = 0;

  FileHandle hFile = INVALID_FILE_HANDLE;
  int32_t result = OpenFileNoRedirection(OPEN_FOR_READ, bHavePath ? szPath : nullptr, hFile);
  if (hFile == INVALID_FILE_HANDLE) {
    std::snprintf(g_szLogText, LOG_TEXT_CAPACITY, "LoadIRTable failed: 0x%x\n",
                  static_cast<uint32_t>(result));
    Log(g_szLogText);
    return RESULT_E_HANDLE;
  }

  FileApi& files = *platform.pFiles;
  ScopedFile file(files, hFile);  // closed after the last trace or log line, whatever the path
  uint32_t dwSize = files.GetSize(hFile);
  bool bShort = dwSize < KEY_FILE_FULL_SIZE;
  if (bShort) {
    std::snprintf(g_szLogText, LOG_TEXT_CAPACITY, "LoadIRTable: File Size is small than 356: %d\n",
                  static_cast<int>(dwSize));
    Log(g_szLogText);
  }

  // The table needs the first 356 bytes only, so a file of any size is read into this; bytes a
  // short or failed read leaves unfilled read as zero.
  uint8_t abyFile[KEY_FILE_FULL_SIZE] = {};
  uint32_t dwRead = 0;
  bool bReadOk = files.Read(hFile, abyFile, std::min(dwSize, KEY_FILE_FULL_SIZE), &dwRead);
  if (!bReadOk || dwRead > dwSize) {
    HandleWriteFailure();
    if (dwRead > dwSize) {
      Log("LoadIRTable: File Size readed is over!\n");
      return RESULT_E_FAIL;
    }
  }

  int32_t nRecords = ConvertKeyTableImage(abyFile, dwSize, dwRead, table);
  debug.Output(u"Load IR Table");
  for (int32_t i = 0; i < nRecords; ++i) {
    const KeyTableEntry& entry = table.entries[i];
    const uint32_t dwCode = entry.rawCode;
    text::FormatWide(szTrace, PATH_CAPACITY, u"%02X %02X %02X %02X %02X %02X %02X", dwCode >> 24,
                     dwCode >> 16 & 0xFF, dwCode >> 8 & 0xFF, dwCode & 0xFF,
                     static_cast<uint32_t>(entry.keyUsage), static_cast<uint32_t>(entry.modifierBits),
                     uint32_t{entry.entryFlags});
    debug.Output(szTrace);
  }
  text::FormatWide(szTrace, PATH_CAPACITY, u"%04X %02X %02X %02X", uint32_t{table.trailerValue},
                   static_cast<uint32_t>(table.entryCount),
                   static_cast<uint32_t>(table.prefixTimeout),
                   static_cast<uint32_t>(table.repeatThreshold));
  debug.Output(szTrace);
  return result;
}

}  // namespace wendle
