#include "KeyTableTool.h"

#include <algorithm>
#include <cctype>

#include "CodeWatch.h"
#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyTableCheck.h"
#include "KeyTableDecompiler.h"
#include "MapWords.h"

namespace keytable {
namespace {

const char kUsage[] =
    "usage: keytable compile MAP.txt [-o tamoirtbl.bin]\n"
    "       keytable decompile tamoirtbl.bin [-o MAP.txt]\n"
    "       keytable check MAP.txt|tamoirtbl.bin\n"
    "       keytable watch [--table MAP.txt|tamoirtbl.bin] [--codes N] [--polls N]\n"
    "A file whose name ends in .bin is a key table file; any other is a key map.\n";

// A key map describes at most MAX_FILE_SIZE bytes, in about three characters a byte, besides its
// comments; this leaves room for those.
constexpr size_t MAX_MAP_TEXT = 16 * MAX_FILE_SIZE;

bool IsBinaryName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
  return end == ".bin";
}

// A key table file or a key map, as the bytes of a key table file and, for a map, the line of
// each record.
struct TableInput {
  std::vector<uint8_t> bytes;
  std::vector<int> slotLines;
  std::vector<Diagnostic> warnings;  // the map's own (rounded times)
};

class Tool {
 public:
  Tool(const std::vector<std::string>& args, ToolEnvironment& env) : m_args(args), m_env(env) {}

  int Run() {
    if (m_args.empty()) return Usage("no command given");
    if (m_args[0] == "help" || m_args[0] == "--help" || m_args[0] == "-h") {
      m_env.Out(kUsage);
      return EXIT_OK;
    }
    const std::string& command = m_args[0];
    if (command == "compile") return Compile();
    if (command == "decompile") return Decompile();
    if (command == "check") return Check();
    if (command == "watch") return Watch();
    return Usage("unknown command '" + command + "'");
  }

 private:
  int Usage(const std::string& problem) {
    m_env.Error("keytable: " + problem + "\n" + kUsage);
    return EXIT_FAILED;
  }

  void Fail(const std::string& text) { m_env.Error("keytable: " + text + "\n"); }

  // "COMMAND INPUT [-o OUTPUT]": false after reporting a bad command line.
  bool InputAndOutput(std::string* pInput, std::string* pOutput) {
    for (size_t i = 1; i < m_args.size(); ++i) {
      if (m_args[i] == "-o") {
        if (i + 1 >= m_args.size() || !pOutput->empty()) return Usage("-o needs one file name after it"), false;
        *pOutput = m_args[++i];
      } else if (pInput->empty() && !(m_args[i].size() > 1 && m_args[i][0] == '-')) {
        *pInput = m_args[i];
      } else {
        return Usage("unexpected '" + m_args[i] + "'"), false;
      }
    }
    if (pInput->empty()) return Usage(m_args[0] + " needs a file to read"), false;
    // The input is read whole before anything is written, but a map written over its own file
    // (or a file over its map) would still be lost to the user.
    if (*pOutput == *pInput || (!pOutput->empty() && m_env.SameFile(*pInput, *pOutput)))
      return Usage("the output would replace the input " + *pInput), false;
    return true;
  }

  bool Read(const std::string& path, size_t maxBytes, std::vector<uint8_t>* pBytes) {
    std::string error;
    if (!m_env.ReadFile(path, maxBytes, pBytes, &error)) {
      Fail(path + ": cannot read it: " + error);
      return false;
    }
    if (pBytes->size() > maxBytes) {
      Fail(path + ": the file has more than " + std::to_string(maxBytes) +
           " bytes, more than this tool reads (a key table file has 356)");
      return false;
    }
    return true;
  }

  void Report(const std::string& path, const std::vector<Diagnostic>& diagnostics, const char* kind) {
    for (const Diagnostic& diagnostic : diagnostics) m_env.Error(FormatDiagnostic(path, diagnostic, kind) + "\n");
  }

  // Reads a key table file, or compiles a key map; false after reporting why it cannot be had.
  bool LoadInput(const std::string& path, TableInput* pInput) {
    if (IsBinaryName(path)) return Read(path, MAX_FILE_SIZE, &pInput->bytes);
    std::vector<uint8_t> text;
    if (!Read(path, MAX_MAP_TEXT, &text)) return false;
    KeyMapSource source;
    std::vector<Diagnostic> errors;
    bool bOk = ParseKeyMap(std::string(text.begin(), text.end()), &source, &errors, &pInput->warnings);
    CompiledKeyTable compiled;
    if (bOk) bOk = CompileKeyMap(source, &compiled, &errors);
    if (!bOk) {
      Report(path, errors, "error");
      Fail(path + ": " + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors"));
      return false;
    }
    pInput->bytes = std::move(compiled.bytes);
    pInput->slotLines = std::move(compiled.slotLines);
    return true;
  }

  // What the monitor makes of the input, as diagnostics placed on the map's lines.
  std::vector<Diagnostic> Findings(const TableInput& input, const LoadedTable& loaded) {
    std::vector<Diagnostic> diagnostics = input.warnings;
    std::vector<Finding> findings = CheckFile(loaded);
    std::vector<Finding> slotFindings = CheckSlots(loaded);
    findings.insert(findings.end(), slotFindings.begin(), slotFindings.end());
    for (const Finding& finding : findings) {
      int line = finding.slot >= 0 && static_cast<size_t>(finding.slot) < input.slotLines.size()
                     ? input.slotLines[finding.slot]
                     : 0;
      diagnostics.push_back(Diagnostic{line, 0, finding.text});
    }
    return diagnostics;
  }

  int Compile() {
    std::string mapPath, output;
    if (!InputAndOutput(&mapPath, &output)) return EXIT_FAILED;
    if (output.empty()) output = "tamoirtbl.bin";
    if (IsBinaryName(mapPath)) return Usage("compile reads a key map, not the key table file " + mapPath);
    TableInput input;
    if (!LoadInput(mapPath, &input)) {
      Fail("nothing written to " + output);
      return EXIT_FAILED;
    }
    const LoadedTable loaded = LoadTableImage(input.bytes);
    Report(mapPath, Findings(input, loaded), "warning");
    std::string error;
    if (!m_env.WriteFileReplacing(output, input.bytes, &error)) {
      Fail("cannot write " + output + ": " + error);
      return EXIT_FAILED;
    }
    m_env.Out("wrote " + output + " (" + std::to_string(input.bytes.size()) + " bytes): " +
              SummariseTable(loaded) + "\n");
    return EXIT_OK;
  }

  int Decompile() {
    std::string tablePath, output;
    if (!InputAndOutput(&tablePath, &output)) return EXIT_FAILED;
    std::vector<uint8_t> bytes;
    if (!Read(tablePath, MAX_FILE_SIZE, &bytes)) return EXIT_FAILED;
    std::vector<std::string> warnings;
    const std::string text = DecompileKeyTable(bytes, tablePath, &warnings);
    for (const std::string& warning : warnings) m_env.Error(tablePath + ": warning: " + warning + "\n");
    if (output.empty()) {
      m_env.Out(text);
      return EXIT_OK;
    }
    std::string error;
    if (!m_env.WriteFileReplacing(output, std::vector<uint8_t>(text.begin(), text.end()), &error)) {
      Fail("cannot write " + output + ": " + error);
      return EXIT_FAILED;
    }
    return EXIT_OK;
  }

  int Check() {
    std::string path, output;
    if (!InputAndOutput(&path, &output)) return EXIT_FAILED;
    if (!output.empty()) return Usage("check writes no file");
    TableInput input;
    if (!LoadInput(path, &input)) return EXIT_FAILED;
    const LoadedTable loaded = LoadTableImage(input.bytes);
    const std::vector<Diagnostic> findings = Findings(input, loaded);
    for (const Diagnostic& finding : findings) m_env.Out(FormatDiagnostic(path, finding, "warning") + "\n");
    const std::string verdict = findings.empty() ? "no problems found"
                                                 : std::to_string(findings.size()) +
                                                       (findings.size() == 1 ? " warning" : " warnings");
    m_env.Out(path + ": " + SummariseTable(loaded) + "; " + verdict + "\n");
    return findings.empty() ? EXIT_OK : EXIT_WARNINGS;
  }

  bool Count(size_t& i, uint32_t* pValue) {
    int64_t value = 0;
    if (i + 1 >= m_args.size() || !ParseNumber(m_args[i + 1], 1, UINT32_MAX, &value)) {
      Usage(m_args[i] + " needs a whole number from 1 up");
      return false;
    }
    *pValue = static_cast<uint32_t>(value);
    ++i;
    return true;
  }

  int Watch() {
    std::string tablePath;
    WatchLimits limits;
    for (size_t i = 1; i < m_args.size(); ++i) {
      if (m_args[i] == "--table" && i + 1 < m_args.size() && tablePath.empty()) {
        tablePath = m_args[++i];
      } else if (m_args[i] == "--codes") {
        if (!Count(i, &limits.maxCodes)) return EXIT_FAILED;
      } else if (m_args[i] == "--polls") {
        if (!Count(i, &limits.maxPolls)) return EXIT_FAILED;
      } else {
        return Usage("unexpected '" + m_args[i] + "'");
      }
    }
    wendle::KeyTable table{};
    std::string where = tablePath;
    if (!tablePath.empty()) {
      TableInput input;
      if (!LoadInput(tablePath, &input)) return EXIT_FAILED;
      const LoadedTable loaded = LoadTableImage(input.bytes);
      table = loaded.table;
      m_env.Out("Key table " + where + ": " + SummariseTable(loaded) + "\n");
    } else if (m_env.LoadSystemKeyTable(&table, &where)) {
      LoadedTable loaded;
      loaded.table = table;
      m_env.Out("Key table " + where + ": " + SummariseTable(loaded) + "\n");
    } else {
      m_env.Out("No key table (" + where + "): every code shows as not in the table\n");
    }
    std::string whyNot;
    RemoteReceiver* pReceiver = m_env.Receiver(&whyNot);
    if (pReceiver == nullptr) {
      Fail("watch: " + whyNot);
      return EXIT_FAILED;
    }
    return WatchCodes(m_env, *pReceiver, table, limits);
  }

  const std::vector<std::string>& m_args;
  ToolEnvironment& m_env;
};

}  // namespace

int RunKeyTableTool(const std::vector<std::string>& args, ToolEnvironment& env) { return Tool(args, env).Run(); }

}  // namespace keytable
