// The export list (library/win32/Korvan.def) against the library's boundary: 133 names in four
// families, 47 TESK_ entry points, 54 alias routines, and which names share a routine. The
// Win32 build checks the built DLL against the same list (tests/wine/check-exports.sh).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ExportLine {
  std::string name;
  std::string routine;  // the name itself for a plain line
};

std::string ExportListPath() {
  const std::string self = __FILE__;
  const std::string here = "tests/native/library/";
  return self.substr(0, self.rfind(here)) + "library/win32/Korvan.def";
}

std::vector<ExportLine> ReadExportList() {
  std::ifstream file(ExportListPath());
  EXPECT_TRUE(file.is_open()) << ExportListPath();
  std::vector<ExportLine> lines;
  bool inside = false;
  std::string line;
  while (std::getline(file, line)) {
    const std::string text = line.substr(0, line.find(';'));
    std::istringstream words(text);
    std::string first, equals, routine;
    if (!(words >> first)) continue;
    if (text[0] != ' ' && text[0] != '\t') {
      inside = first == "EXPORTS";
      continue;
    }
    if (!inside) continue;
    if (words >> equals >> routine) {
      EXPECT_EQ(equals, "=") << line;
      lines.push_back({first, routine});
    } else {
      lines.push_back({first, first});
    }
  }
  return lines;
}

std::string Family(const std::string& name) {
  if (name.rfind("?TESK_", 0) == 0) return "TESK_";
  return name.substr(0, 5);
}

class ExportListTest : public ::testing::Test {
 protected:
  std::vector<ExportLine> lines = ReadExportList();
};

TEST_F(ExportListTest, HoldsOneHundredAndThirtyThreeNamesInFourFamilies) {
  std::set<std::string> names;
  std::map<std::string, int> families;
  for (const ExportLine& line : lines) {
    EXPECT_TRUE(names.insert(line.name).second) << "twice: " << line.name;
    ++families[Family(line.name)];
  }
  EXPECT_EQ(names.size(), 133u);
  EXPECT_EQ(families, (std::map<std::string, int>{{"TESK_", 49}, {"tamo_", 29}, {"ruvo_", 36}, {"solv_", 19}}));
}

TEST_F(ExportListTest, SecondNamesLeadToRoutinesThatAreExportedThemselves) {
  std::set<std::string> routines;
  for (const ExportLine& line : lines)
    if (line.name == line.routine) routines.insert(line.name);
  for (const ExportLine& line : lines) {
    EXPECT_TRUE(routines.count(line.routine)) << line.name << " = " << line.routine;
    EXPECT_EQ(Family(line.name) == "TESK_", Family(line.routine) == "TESK_") << line.name;
  }
  std::set<std::string> tesk, aliases;
  for (const std::string& routine : routines) (Family(routine) == "TESK_" ? tesk : aliases).insert(routine);
  EXPECT_EQ(tesk.size(), 47u);
  EXPECT_EQ(aliases.size(), 54u);
}

TEST_F(ExportListTest, OnlyTheLinkRegisterNamesOfTheMainFamilyAreDecorated) {
  std::map<std::string, std::string> decorated;
  for (const ExportLine& line : lines)
    if (line.name.find_first_of("?@") != std::string::npos) decorated[line.name] = line.routine;
  EXPECT_EQ(decorated, (std::map<std::string, std::string>{{"?TESK_ReadLLReg@@YA_NGPAEH@Z", "TESK_ReadReg"},
                                                           {"?TESK_WriteLLReg@@YA_NGEH@Z", "TESK_WriteReg"}}));
}

TEST_F(ExportListTest, FamiliesShareARoutineWhereTheyOfferTheSameForm) {
  // Operation -> the families whose names it carries; each group is one routine.
  std::map<std::string, std::set<std::string>> groups;
  for (const ExportLine& line : lines) {
    const std::string family = Family(line.name);
    if (family == "TESK_") continue;
    EXPECT_EQ(line.routine.substr(5), line.name.substr(5)) << line.name << " = " << line.routine;
    groups[line.routine].insert(family);
  }
  const std::set<std::string> all = {"tamo_", "ruvo_", "solv_"}, pair = {"tamo_", "ruvo_"};
  const std::map<std::string, std::set<std::string>> expected = {
      {"tamo_exit", all}, {"tamo_GetSignalStrength", all}, {"tamo_init", all},
      {"tamo_GetBandWidth", pair}, {"tamo_GetDeviceInfo", pair}, {"tamo_GetDllVersion", pair},
      {"tamo_GetFreq", pair}, {"tamo_GetRecLen", pair}, {"tamo_GetTsData", pair},
      {"tamo_LoadIrTable", pair}, {"tamo_ReadBulkData", pair}, {"tamo_ReadBulkDataNb", pair},
      {"tamo_ReadEEPROM", pair}, {"tamo_ReadReg", pair}, {"tamo_ResetUsb", pair},
      {"tamo_set_notify", pair}, {"tamo_SetActiveFilter", pair}, {"tamo_SetBandWidth", pair},
      {"tamo_SetFreq", pair}, {"tamo_SetPidFilter", pair}, {"tamo_SetPidMap", pair},
      {"tamo_SetRecLen", pair}, {"tamo_unregister_notify", pair}, {"tamo_WriteBulkData", pair},
      {"tamo_WriteBulkDataNb", pair}, {"tamo_WriteEEPROM", pair}, {"tamo_WriteReg", pair},
      {"tamo_GetDriverInfo", {"tamo_"}}, {"tamo_GetIR", {"tamo_"}},
      {"ruvo_GetBer", {"ruvo_"}}, {"ruvo_GetDriverInfo", {"ruvo_"}}, {"ruvo_GetIR", {"ruvo_"}},
      {"ruvo_GetMacroVision", {"ruvo_"}}, {"ruvo_GetSnapShot", {"ruvo_"}}, {"ruvo_ReadLLReg", {"ruvo_"}},
      {"ruvo_ReadOFDMReg", {"ruvo_"}}, {"ruvo_WriteLLReg", {"ruvo_"}}, {"ruvo_WriteOFDMReg", {"ruvo_"}},
      {"solv_GetDrvInfo", {"solv_"}}, {"solv_GetVitBER", {"solv_"}}, {"solv_initIRDev", {"solv_"}},
      {"solv_PowerCtl", {"solv_"}}, {"solv_ReadEEPROM", {"solv_"}}, {"solv_ReadI2CData", {"solv_"}},
      {"solv_ReadLinkReg", {"solv_"}}, {"solv_ReadOFDMReg", {"solv_"}}, {"solv_ReadRawIR", {"solv_"}},
      {"solv_ReadSlaveReg", {"solv_"}}, {"solv_ReadTamoIR", {"solv_"}}, {"solv_SaveIso", {"solv_"}},
      {"solv_WriteI2CData", {"solv_"}}, {"solv_WriteLinkReg", {"solv_"}}, {"solv_WriteOFDMReg", {"solv_"}},
      {"solv_WriteSlaveReg", {"solv_"}},
  };
  EXPECT_EQ(groups, expected);
}

TEST_F(ExportListTest, TheMonitorsFourImportsAreThere) {
  std::set<std::string> names;
  for (const ExportLine& line : lines) names.insert(line.name);
  for (const char* import : {"solv_initIRDev", "solv_ReadRawIR", "solv_ReadTamoIR", "solv_exit"})
    EXPECT_TRUE(names.count(import)) << import;
}

}  // namespace
