// The tool's commands as a user meets them, and its two platform-free sides: the watch loop with
// a played receiver, and the native files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <dirent.h>
#include <set>
#include <unistd.h>

#include "KeyMapCompiler.h"
#include "KeyMapText.h"
#include "KeyTableCheck.h"
#include "NativeToolEnvironment.h"
#include "ToolFakes.h"

namespace keytable {
namespace {

TEST(ToolCommandLine, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {}, {"frobnicate"}, {"compile"}, {"compile", "a.txt", "-o"}, {"compile", "a.txt", "b.txt"},
      {"compile", "t.bin"}, {"check", "a.txt", "-o", "x"}, {"watch", "--codes", "0"}, {"watch", "--polls", "x"},
      {"decompile", "--what"}, {"compile", "a.txt", "-o", "a.txt"}, {"compile", "a.txt", "-o", "./a.txt"}};
  for (const std::vector<std::string>& args : bad) {
    FakeToolEnvironment env;
    env.Put("a.txt", "0x1 A\n");
    EXPECT_EQ(env.Run(args), EXIT_FAILED) << (args.empty() ? "" : args[0]);
    EXPECT_NE(env.err.find("usage: keytable compile"), std::string::npos);
    EXPECT_EQ(env.writes, 0);
  }
  FakeToolEnvironment env;
  EXPECT_EQ(env.Run({"--help"}), EXIT_OK);
  EXPECT_EQ(env.out.substr(0, 23), "usage: keytable compile");
}

TEST(ToolCommands, CompileToTheDefaultNameAndDecompileToAFile) {
  FakeToolEnvironment env;
  env.Put("map.txt", "0x00FF30CF 1 alt LShift+1\n0x00FFA25D prefix\n");
  EXPECT_EQ(env.Run({"compile", "map.txt"}), EXIT_OK);
  ASSERT_EQ(env.files.at("tamoirtbl.bin").size(), 356u);
  EXPECT_EQ(env.Run({"decompile", "tamoirtbl.bin", "-o", "back.txt"}), EXIT_OK);
  EXPECT_EQ(env.Text("back.txt"),
            "# Key map of tamoirtbl.bin (356 bytes): keytable compile turns it back into the same bytes.\n"
            "prefix-timeout 1240 ms\nrepeat-threshold 500 ms\n\n"
            "# code      key              flags\n"
            "0x00FF30CF  1                alt LShift+1\n"
            "0x00FFA25D  prefix\n");
  EXPECT_EQ(env.err, "");
}

TEST(ToolCommands, AFailedWriteIsReported) {
  FakeToolEnvironment env;
  env.Put("map.txt", "0x1 A\n");
  env.bFailWrites = true;
  EXPECT_EQ(env.Run({"compile", "map.txt", "-o", "x.bin"}), EXIT_FAILED);
  EXPECT_EQ(env.err, "keytable: cannot write x.bin: Permission denied\n");
  EXPECT_EQ(env.out, "");
}

TEST(ToolCommands, DecompileWarnsOfUnusualFilesOnStandardErrorToo) {
  FakeToolEnvironment env;
  env.files["t.bin"] = std::vector<uint8_t>(7, 0);
  EXPECT_EQ(env.Run({"decompile", "t.bin"}), EXIT_OK);
  EXPECT_NE(env.out.find("# warning: the file has 7 bytes, fewer than 356"), std::string::npos);
  EXPECT_NE(env.err.find("t.bin: warning: the file has 7 bytes, fewer than 356"), std::string::npos);
}

wendle::KeyTable TableOf(const std::string& map) {
  KeyMapSource source;
  std::vector<Diagnostic> errors, warnings;
  CompiledKeyTable compiled;
  EXPECT_TRUE(ParseKeyMap(map, &source, &errors, &warnings) && CompileKeyMap(source, &compiled, &errors));
  return LoadTableImage(compiled.bytes).table;
}

TEST(Watch, EachCodeWithWhatTheSystemTableMakesOfIt) {
  FakeToolEnvironment env;
  env.bHaveSystemTable = true;
  env.systemTable = TableOf("0x00FF30CF 1 alt LShift+1\n0x00FFA25D prefix\n");
  env.receiver.codes = {0xDEADBEEF, 0x00FF30CF, 0x00FFA25D, 0xDEADBEEF, 0x12345678};
  EXPECT_EQ(env.Run({"watch"}), EXIT_OK);
  EXPECT_EQ(env.out,
            "Key table C:\\windows\\System32\\tamoirtbl.bin: 1 key (1 with an alternate), 1 prefix key; prefix "
            "time-out 1240 ms, repeat threshold 500 ms\n"
            "Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them\n"
            "0x00FF30CF  1 (slot 1; after the prefix key: LShift+1)\n"
            "0x00FFA25D  prefix key (slot 3)\n"
            "0x12345678  not in the table\n");
  EXPECT_EQ(env.receiver.opens, 1);
  EXPECT_EQ(env.receiver.closes, 1);
}

TEST(Watch, LimitsATableFileAndNoTable) {
  FakeToolEnvironment env;
  env.Put("m.txt", "0x5 Enter\n");
  env.receiver.codes = {0x5, 0x6, 0x7};
  EXPECT_EQ(env.Run({"watch", "--table", "m.txt", "--codes", "2"}), EXIT_OK);
  EXPECT_EQ(env.out,
            "Key table m.txt: 1 key (0 with an alternate), 0 prefix keys; prefix time-out 1240 ms, repeat "
            "threshold 500 ms\n"
            "Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them\n"
            "0x00000005  Enter (slot 1)\n0x00000006  not in the table\n");

  env.out.clear();
  env.receiver.codes = {0xDEADBEEF, 0xDEADBEEF, 0x9};
  EXPECT_EQ(env.Run({"watch", "--polls", "2"}), EXIT_OK);
  EXPECT_EQ(env.out,
            "No key table (C:\\windows\\System32\\tamoirtbl.bin): every code shows as not in the table\n"
            "Receiver 0 open, chip 9035: showing raw codes and what the key table makes of them\n");
  EXPECT_EQ(env.receiver.codes.size(), 1u);  // two polls, no third
}

TEST(Watch, AReceiverThatDecodesItselfShowsItsReports) {
  FakeToolEnvironment env;
  env.receiver.chip = 0x9015;
  env.receiver.reports = {{}, {0x02, 0, 0x1E, 0, 0, 0, 0, 0}, {0, 0, 0x28, 0, 0, 0, 0, 0}};
  EXPECT_EQ(env.Run({"watch"}), EXIT_OK);
  EXPECT_NE(env.out.find("Receiver 0 open, chip 9015: it decodes buttons itself, so its reports are shown; the key "
                         "table is not used\n"
                         "report 02 00 1E 00 00 00 00 00  LShift+1\n"
                         "report 00 00 28 00 00 00 00 00  Enter\n"),
            std::string::npos)
      << env.out;
}

TEST(Watch, NoReceiverOrNoLibrary) {
  FakeToolEnvironment env;
  env.receiver.chip = 0;
  EXPECT_EQ(env.Run({"watch"}), EXIT_FAILED);
  EXPECT_EQ(env.err, "keytable: watch: no receiver could be opened (is it plugged in and its driver installed?)\n");
  EXPECT_EQ(env.receiver.closes, 0);

  FakeToolEnvironment noLibrary;
  noLibrary.bHaveReceiver = false;
  EXPECT_EQ(noLibrary.Run({"watch"}), EXIT_FAILED);
  EXPECT_EQ(noLibrary.err,
            "keytable: watch: Korvan.dll cannot be loaded: The specified module could not be found (error 126)\n");

  NativeToolEnvironment native;
  std::string whyNot;
  EXPECT_EQ(native.Receiver(&whyNot), nullptr);
  EXPECT_EQ(whyNot, "the receiver is read through Korvan.dll, which only the Windows build of this tool can load");
}

TEST(SampleMap, CompilesCleanAndComesBackTheSame) {
  NativeToolEnvironment files;
  std::vector<uint8_t> text;
  std::string error;
  ASSERT_TRUE(files.ReadFile(KEYTABLE_SAMPLE_MAP, MAX_FILE_SIZE, &text, &error)) << error;
  FakeToolEnvironment env;
  env.files["sample.txt"] = text;
  EXPECT_EQ(env.Run({"check", "sample.txt"}), EXIT_OK);
  EXPECT_EQ(env.out,
            "sample.txt: 29 keys (11 with an alternate), 1 prefix key; prefix time-out 1240 ms, repeat threshold "
            "500 ms; no problems found\n");
  ASSERT_EQ(env.Run({"compile", "sample.txt", "-o", "t.bin"}), EXIT_OK);
  ASSERT_EQ(env.Run({"decompile", "t.bin", "-o", "back.txt"}), EXIT_OK);
  ASSERT_EQ(env.Run({"compile", "back.txt", "-o", "back.bin"}), EXIT_OK);
  EXPECT_EQ(env.files.at("back.bin"), env.files.at("t.bin"));
  EXPECT_EQ(env.err, "");
}

// The native side writes through a temporary file of its own and a rename, so a failure leaves
// the old file whole, no temporary stays behind, and no other file is written over.
class NativeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/keytable-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    for (const std::string& name : Names()) std::remove((m_dir + "/" + name).c_str());
    rmdir(m_dir.c_str());
  }
  std::set<std::string> Names() {
    std::set<std::string> names;
    if (DIR* dir = opendir(m_dir.c_str())) {
      while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') names.insert(entry->d_name);
      closedir(dir);
    }
    return names;
  }
  std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string m_dir;
  NativeToolEnvironment m_env;
};

TEST_F(NativeFiles, ReplaceWholeOrNotAtAll) {
  const std::string path = m_dir + "/t.bin";
  std::string error;
  ASSERT_TRUE(m_env.WriteFileReplacing(path, {'o', 'l', 'd'}, &error)) << error;
  ASSERT_TRUE(m_env.WriteFileReplacing(path, {'n', 'e', 'w', '!'}, &error)) << error;
  EXPECT_EQ(Slurp(path), "new!");
  EXPECT_EQ(Names(), std::set<std::string>{"t.bin"});

  EXPECT_FALSE(m_env.WriteFileReplacing(m_dir + "/missing/t.bin", {'x'}, &error));
  EXPECT_EQ(error, "No such file or directory");

  // A map with an error leaves the earlier output as it was.
  std::ofstream(m_dir + "/m.txt") << "0x1 Nope\n";
  EXPECT_EQ(RunKeyTableTool({"compile", m_dir + "/m.txt", "-o", path}, m_env), EXIT_FAILED);
  EXPECT_EQ(Slurp(path), "new!");
  EXPECT_EQ(Names(), (std::set<std::string>{"m.txt", "t.bin"}));
}

TEST_F(NativeFiles, NoOtherFileIsTouched) {
  // A map named like a temporary file of an earlier scheme survives a compile beside it.
  const std::string map = m_dir + "/t.bin.new";
  std::ofstream(map) << "0x1 A\n";
  EXPECT_EQ(RunKeyTableTool({"compile", map, "-o", m_dir + "/t.bin"}, m_env), EXIT_OK);
  EXPECT_EQ(Slurp(map), "0x1 A\n");
  EXPECT_EQ(Slurp(m_dir + "/t.bin").size(), 356u);
  EXPECT_EQ(Names(), (std::set<std::string>{"t.bin", "t.bin.new"}));

  // The same file under another name is the same file.
  EXPECT_TRUE(m_env.SameFile(map, m_dir + "/./t.bin.new"));
  EXPECT_FALSE(m_env.SameFile(map, m_dir + "/t.bin"));
  EXPECT_FALSE(m_env.SameFile(map, m_dir + "/none"));
  EXPECT_EQ(RunKeyTableTool({"compile", map, "-o", m_dir + "/../" + m_dir.substr(5) + "/t.bin.new"}, m_env),
            EXIT_FAILED);
  EXPECT_EQ(Slurp(map), "0x1 A\n");
}

TEST_F(NativeFiles, ReadingStopsSoonAfterTheLimit) {
  const std::string path = m_dir + "/t.bin";
  std::string error;
  ASSERT_TRUE(m_env.WriteFileReplacing(path, std::vector<uint8_t>(100000, 7), &error));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(m_env.ReadFile(path, 10, &bytes, &error));
  EXPECT_GT(bytes.size(), 10u);
  EXPECT_LE(bytes.size(), 4096u);
  ASSERT_TRUE(m_env.ReadFile(path, 200000, &bytes, &error));
  EXPECT_EQ(bytes.size(), 100000u);
  EXPECT_FALSE(m_env.ReadFile(m_dir + "/none.bin", 10, &bytes, &error));
  EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
}  // namespace keytable
