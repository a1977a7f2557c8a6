#include "RequestLog.h"

#include <cstdio>

namespace sim {
namespace {

void AppendBytes(std::string* line, const char* field, const uint8_t* bytes, uint32_t length) {
  *line += field;
  *line += std::to_string(length);
  *line += ':';
  static const char kDigits[] = "0123456789abcdef";
  uint32_t shown = length < kLoggedBytesLimit ? length : kLoggedBytesLimit;
  for (uint32_t i = 0; i < shown && bytes != nullptr; ++i) {
    *line += kDigits[bytes[i] >> 4];
    *line += kDigits[bytes[i] & 15];
  }
  if (shown < length) *line += "...";
}

}  // namespace

std::string FormatRequestLine(const LoggedRequest& request) {
  std::string line = request.setName;
  line += " id=" + std::to_string(request.id);
  line += " flags=" + std::to_string(request.flags);
  AppendBytes(&line, " req=", request.request, request.requestLength);
  AppendBytes(&line, " data=", request.data, request.dataLength);
  if (request.reply != nullptr) AppendBytes(&line, " reply=", request.reply, request.replyLength);
  else line += " reply=-";
  char hresult[16];
  std::snprintf(hresult, sizeof hresult, "0x%08X", static_cast<unsigned>(request.hresult));
  line += " hr=";
  line += hresult;
  return line;
}

std::string FormatNoteLine(const std::string& text) { return "# " + text; }

}  // namespace sim
