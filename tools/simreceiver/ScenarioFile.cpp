#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "Scenario.h"

namespace sim {
namespace {

using Tokens = std::vector<std::string>;

bool ParseNumber(const std::string& token, uint64_t limit, uint64_t* value) {
  if (token.empty() || token[0] == '-' || token[0] == '+') return false;
  const char* text = token.c_str();
  char* end = nullptr;
  int base = 10;
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    text += 2;
    base = 16;
  }
  if (!std::isxdigit(static_cast<unsigned char>(*text))) return false;
  unsigned long long parsed = std::strtoull(text, &end, base);
  if (*end != '\0' || parsed > limit) return false;
  *value = parsed;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Hex bytes as pairs of digits, in one token or spread over several.
bool ParseHexBytes(const Tokens& tokens, size_t first, size_t last, std::vector<uint8_t>* bytes) {
  bytes->clear();
  for (size_t i = first; i < last; ++i) {
    const std::string& token = tokens[i];
    if (token.size() % 2 != 0) return false;
    for (size_t k = 0; k < token.size(); k += 2) {
      int high = HexDigit(token[k]);
      int low = HexDigit(token[k + 1]);
      if (high < 0 || low < 0) return false;
      bytes->push_back(static_cast<uint8_t>(high * 16 + low));
    }
  }
  return true;
}

class LineParser {
 public:
  LineParser(Scenario* scenario, std::string* error) : scenario_(scenario), error_(error) {}

  void Parse(const Tokens& t) {
    const std::string& word = t[0];
    if (word == "chip") ParseChip(t);
    else if (word == "drvinfo") ParseDriverInfo(t);
    else if (word == "page") ParsePage(t);
    else if (word == "reg") ParseRegister(t);
    else if (word == "eeprom") ParseEeprom(t);
    else if (word == "ofdm") ParseWideAddressed(t, &scenario_->ofdm);
    else if (word == "link") ParseWideAddressed(t, &scenario_->link);
    else if (word == "slave") ParseSlave(t);
    else if (word == "i2c") ParseI2c(t);
    else if (word == "control") ParseControl(t);
    else if (word == "code") ParseTimed(t, 4, &scenario_->codes);
    else if (word == "report") ParseTimed(t, 8, &scenario_->reports);
    else if (word == "fail") ParseFailure(t);
    else if (word == "kscontrol") ParseKsControl(t);
    else if (word == "bind") ParseBind(t);
    else Fail("unknown keyword '" + word + "'");
  }

 private:
  void Fail(const std::string& what) { *error_ = what; }

  bool Count(const Tokens& t, size_t expected) {
    if (t.size() == expected) return true;
    Fail("'" + t[0] + "' takes " + std::to_string(expected - 1) + " values");
    return false;
  }

  bool Number(const std::string& token, uint64_t limit, uint64_t* value) {
    if (ParseNumber(token, limit, value)) return true;
    Fail("'" + token + "' is not a number up to " + std::to_string(limit));
    return false;
  }

  void ParseChip(const Tokens& t) {
    uint64_t chip;
    if (Count(t, 2) && Number(t[1], 0xFFFF, &chip)) scenario_->chipId = static_cast<uint16_t>(chip);
  }

  void ParseDriverInfo(const Tokens& t) {
    std::vector<uint8_t> bytes;
    if (!ParseHexBytes(t, 1, t.size(), &bytes) || bytes.size() != scenario_->driverInfo.size()) {
      Fail("'drvinfo' takes 20 hex bytes");
      return;
    }
    std::copy(bytes.begin(), bytes.end(), scenario_->driverInfo.begin());
  }

  void ParsePage(const Tokens& t) {
    uint64_t page;
    if (Count(t, 2) && Number(t[1], 0xFF, &page)) scenario_->registerPage = static_cast<uint8_t>(page);
  }

  void ParseRegister(const Tokens& t) {
    uint64_t address, value;
    if (Count(t, 3) && Number(t[1], 0xFFFF, &address) && Number(t[2], 0xFF, &value))
      scenario_->registers[static_cast<uint16_t>(address)] = static_cast<uint8_t>(value);
  }

  void ParseEeprom(const Tokens& t) {
    uint64_t address, value;
    if (Count(t, 3) && Number(t[1], 0xFF, &address) && Number(t[2], 0xFF, &value))
      scenario_->eeprom[address] = static_cast<uint8_t>(value);
  }

  void ParseWideAddressed(const Tokens& t, std::map<uint32_t, uint8_t>* space) {
    uint64_t address, value;
    if (Count(t, 3) && Number(t[1], 0xFFFFFFFF, &address) && Number(t[2], 0xFF, &value))
      (*space)[static_cast<uint32_t>(address)] = static_cast<uint8_t>(value);
  }

  void ParseSlave(const Tokens& t) {
    uint64_t device, address, value;
    if (Count(t, 4) && Number(t[1], 0xFF, &device) && Number(t[2], 0xFFFFFFFF, &address) &&
        Number(t[3], 0xFF, &value)) {
      scenario_->slave[{static_cast<uint8_t>(device), static_cast<uint32_t>(address)}] =
          static_cast<uint8_t>(value);
    }
  }

  void ParseI2c(const Tokens& t) {
    if (!ParseHexBytes(t, 1, t.size(), &scenario_->i2c)) Fail("'i2c' takes hex bytes");
  }

  void ParseControl(const Tokens& t) {
    uint64_t id;
    if (t.size() < 3) {
      Fail("'control' takes an id and hex bytes");
      return;
    }
    if (!Number(t[1], 16, &id)) return;
    if (id == 10 || id == 13 || id == 14) {
      Fail("control id " + t[1] + " is preloaded with 'reg', 'eeprom' or 'report'");
      return;
    }
    std::vector<uint8_t> bytes;
    if (!ParseHexBytes(t, 2, t.size(), &bytes) || bytes.empty()) {
      Fail("'control' takes hex bytes after the id");
      return;
    }
    uint32_t size = ControlValueSize(static_cast<uint32_t>(id));
    if (size != 0 && bytes.size() != size) {
      Fail("control id " + t[1] + " holds " + std::to_string(size) + " bytes");
      return;
    }
    scenario_->control[static_cast<uint32_t>(id)] = bytes;
  }

  void ParseTimed(const Tokens& t, size_t size, std::vector<TimedItem>* queue) {
    TimedItem item;
    size_t end = t.size();
    if (end >= 2 && t[end - 2] == "repeat") {
      uint64_t repeat;
      if (!Number(t[end - 1], 0xFFFFFFFF, &repeat)) return;
      if (repeat == 0) {
        Fail("'repeat' needs at least 1");
        return;
      }
      item.repeat = static_cast<uint32_t>(repeat);
      end -= 2;
    }
    if (end < 3) {
      Fail("'" + t[0] + "' takes a time in ms and " + std::to_string(size) + " bytes");
      return;
    }
    if (!Number(t[1], 0xFFFFFFFFull * 1000, &item.atMs)) return;
    uint64_t value;
    if (size == 4 && end == 3 && t[2].size() > 2 && t[2][0] == '0' && (t[2][1] == 'x' || t[2][1] == 'X')) {
      // A raw code written as one number is the code's 32-bit little-endian value.
      if (!Number(t[2], 0xFFFFFFFF, &value)) return;
      for (int i = 0; i < 4; ++i) item.bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    } else if (!ParseHexBytes(t, 2, end, &item.bytes) || item.bytes.size() != size) {
      Fail("'" + t[0] + "' takes " + std::to_string(size) + " hex bytes");
      return;
    }
    queue->push_back(item);
  }

  void ParseFailure(const Tokens& t) {
    FailureRule rule;
    if (t.size() < 5 || (t.size() - 5) % 2 != 0) {
      Fail("'fail' takes: set id get|set|any hresult [cmd N] [after MS] [times N]");
      return;
    }
    if (!ParseSetName(t[1].c_str(), &rule.set)) {
      Fail("unknown property set '" + t[1] + "' (CONTROL, PIDMAP, CHANNEL)");
      return;
    }
    uint64_t value;
    if (!Number(t[2], 0xFFFFFFFF, &value)) return;
    rule.id = static_cast<uint32_t>(value);
    if (t[3] == "get") rule.direction = Direction::Get;
    else if (t[3] == "set") rule.direction = Direction::Set;
    else if (t[3] == "any") rule.direction = Direction::Any;
    else {
      Fail("direction must be get, set or any");
      return;
    }
    if (!Number(t[4], 0xFFFFFFFF, &value)) return;
    rule.hresult = static_cast<uint32_t>(value);
    for (size_t i = 5; i < t.size(); i += 2) {
      if (!Number(t[i + 1], 0xFFFFFFFF, &value)) return;
      if (t[i] == "cmd") {
        rule.hasCommand = true;
        rule.command = static_cast<uint32_t>(value);
      } else if (t[i] == "after") {
        rule.afterMs = value;
      } else if (t[i] == "times") {
        if (value == 0) {
          Fail("'times' needs at least 1");
          return;
        }
        rule.times = static_cast<uint32_t>(value);
      } else {
        Fail("unknown qualifier '" + t[i] + "' (cmd, after, times)");
        return;
      }
    }
    if (rule.hasCommand && rule.set != PropertySet::Channel) {
      Fail("'cmd' narrows CHANNEL rules only");
      return;
    }
    scenario_->failures.push_back(rule);
  }

  void ParseKsControl(const Tokens& t) {
    if (!Count(t, 2)) return;
    if (t[1] == "on") scenario_->offersKsControl = true;
    else if (t[1] == "off") scenario_->offersKsControl = false;
    else Fail("'kscontrol' takes on or off");
  }

  void ParseBind(const Tokens& t) {
    uint64_t hresult;
    if (Count(t, 2) && Number(t[1], 0xFFFFFFFF, &hresult)) scenario_->loadResult = static_cast<uint32_t>(hresult);
  }

  Scenario* scenario_;
  std::string* error_;
};

}  // namespace

ParsedScenario ParseScenario(const std::string& text) {
  ParsedScenario parsed;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    Tokens tokens;
    for (std::string word; words >> word;) tokens.push_back(word);
    if (tokens.empty()) continue;
    std::string error;
    LineParser(&parsed.scenario, &error).Parse(tokens);
    if (!error.empty()) parsed.errors.push_back("line " + std::to_string(number) + ": " + error);
  }
  auto byTime = [](const TimedItem& a, const TimedItem& b) { return a.atMs < b.atMs; };
  std::stable_sort(parsed.scenario.codes.begin(), parsed.scenario.codes.end(), byTime);
  std::stable_sort(parsed.scenario.reports.begin(), parsed.scenario.reports.end(), byTime);
  return parsed;
}

}  // namespace sim
