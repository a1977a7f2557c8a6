// Finding the n-th receiver filter of a category by its display name.
#include "LibraryTest.h"

namespace {

using korvan::ReceiverDevice;

const char16_t kId1[] = u"{9b365890-165f-11d0-a195-0020afd156e4}";
const char16_t kId7[] = u"{a38de571-030d-4880-a3b5-9170020f77ea}";

std::string Lowered(const std::u16string& name) {
  std::string s = text::Narrow(name.c_str());
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct SearchCase {
  const char* name;
  std::vector<std::u16string> devices;
  int index;
  int boundDevice;  // which device the search binds, -1 for none
};

class TunerSearchTest : public LibraryTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(TunerSearchTest, BindsTheSelectedMatchAndTracesEveryNameBeforeIt) {
  const SearchCase& c = GetParam();
  for (const auto& name : c.devices) AddTuner(name);
  ReceiverDevice device;
  EXPECT_EQ(korvan::FindTunerFilter(device, c.index), c.boundDevice >= 0);
  EXPECT_EQ(device.m_pFilter != nullptr, c.boundDevice >= 0);

  size_t traced = c.boundDevice >= 0 ? static_cast<size_t>(c.boundDevice) + 1 : c.devices.size();
  Texts expected;
  for (size_t i = 0; i < traced; ++i) expected.push_back("DisplayName: " + Lowered(c.devices[i]));
  EXPECT_EQ(system.traces, expected);
  if (c.boundDevice >= 0) {
    EXPECT_EQ(system.events.back(), "Bind " + text::Narrow(c.devices[c.boundDevice].c_str()));
  }
}

const std::u16string kFirst = ReceiverName(kId1, u"a");
const std::u16string kSecond = ReceiverName(u"{cacacefd-1b5f-49f4-af24-0ce559cc1e6e}", u"b");
const std::u16string kNoBus = u"@device:pnp:\\\\?\\pci#ven_0000#{9b365890-165f-11d0-a195-0020afd156e4}";
const std::u16string kNoId = u"@device:pnp:\\\\?\\usb#vid_0000#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}\\{00000000-0000-0000-0000-000000000000}";
const std::u16string kUpper = u"@DEVICE:PNP:\\\\?\\USB#VID_0000#{92FB1E43-609E-4E54-8F22-77ACEDF89BDD}";

INSTANTIATE_TEST_SUITE_P(
    Cases, TunerSearchTest,
    ::testing::Values(SearchCase{"EmptyCategory", {}, 0, -1},
                      SearchCase{"UpperCaseNameMatches", {kUpper}, 0, 0},
                      SearchCase{"NoBusMarkerIsNotCounted", {kNoBus, kFirst}, 0, 1},
                      SearchCase{"NoIdentifierIsNotCounted", {kNoId, kFirst}, 0, 1},
                      SearchCase{"FirstOfTwo", {kFirst, kSecond}, 0, 0},
                      SearchCase{"SecondOfTwo", {kFirst, kNoBus, kSecond}, 1, 2},
                      SearchCase{"ThirdOfTwo", {kFirst, kSecond}, 2, -1},
                      SearchCase{"NegativeIndex", {kFirst, kSecond}, -1, -1},
                      SearchCase{"CaptureIdentifierCountsInTheTunerCategory",
                                 {ReceiverName(kId7)}, 0, 0}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

TEST_F(LibraryTest, AFailingBindEndsTheSearch) {
  fakes::FakeDevice broken{kFirst};
  broken.bindResult = korvan::kE_FAIL;
  system.Category(fakes::kTunerCategory) = {broken, {kSecond}};
  ReceiverDevice device;
  EXPECT_FALSE(korvan::FindTunerFilter(device, 0));
  EXPECT_EQ(system.traces.size(), 1u);
  EXPECT_EQ(std::count_if(system.events.begin(), system.events.end(),
                          [](const std::string& e) { return e.rfind("Bind ", 0) == 0; }),
            1);
}

TEST_F(LibraryTest, ANameThatCannotBeReadIsNeitherTracedNorCounted) {
  fakes::FakeDevice unnamed{kFirst};
  unnamed.nameResult = korvan::kE_FAIL;
  system.Category(fakes::kTunerCategory) = {unnamed, {kSecond}};
  ReceiverDevice device;
  EXPECT_TRUE(korvan::FindTunerFilter(device, 0));
  EXPECT_EQ(system.traces, (Texts{"DisplayName: " + Lowered(kSecond)}));
}

TEST_F(LibraryTest, TheCaptureSearchKnowsOnlyTheSeventhIdentifier) {
  AddCapture(kFirst);
  AddCapture(ReceiverName(kId7, u"c"));
  ReceiverDevice device;
  EXPECT_TRUE(korvan::FindCaptureFilter(device));
  EXPECT_EQ(system.traces.size(), 2u);
  EXPECT_EQ(system.events.back(), "Bind " + text::Narrow(ReceiverName(kId7, u"c").c_str()));

  system.Category(fakes::kCaptureCategory) = {{kFirst}};
  ReceiverDevice other;
  EXPECT_FALSE(korvan::FindCaptureFilter(other));
}

TEST_F(LibraryTest, EnumeratorFailuresGiveFalseAndReleaseEverything) {
  AddTuner(kFirst);
  ReceiverDevice device;
  system.createEnumeratorResult = korvan::kE_FAIL;
  EXPECT_FALSE(korvan::FindTunerFilter(device, 0));
  system.createEnumeratorResult = korvan::kS_OK;
  system.classEnumeratorResult = korvan::kE_FAIL;
  EXPECT_FALSE(korvan::FindTunerFilter(device, 0));
  EXPECT_TRUE(system.traces.empty());
}

TEST_F(LibraryTest, ControlInterfaceComesFromTheBoundFilter) {
  AddTuner(kFirst);
  ReceiverDevice device;
  EXPECT_FALSE(korvan::GetKsControl(device));  // nothing bound yet
  ASSERT_TRUE(korvan::FindTunerFilter(device, 0));
  EXPECT_TRUE(korvan::GetKsControl(device));
  EXPECT_NE(device.m_pKsControl, nullptr);
}

}  // namespace
