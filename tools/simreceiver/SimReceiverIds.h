#pragma once
// Identifiers shared by the simulated receiver and its registration tool.
#include <windows.h>

namespace sim {

// Class of the simulated receiver's filter object.
// {48ac0e35-410e-4529-af71-1dd5f00caeab}
constexpr GUID kClsidSimReceiver = {0x48ac0e35, 0x410e, 0x4529, {0xaf, 0x71, 0x1d, 0xd5, 0xf0, 0x0c, 0xae, 0xab}};
constexpr wchar_t kClsidSimReceiverText[] = L"{48AC0E35-410E-4529-AF71-1DD5F00CAEAB}";

// IKsControl, defined here because the installed headers declare it without a definition.
constexpr GUID kIidKsControl = {0x28f54685, 0x06fd, 0x11d2, {0xb2, 0x7a, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};

// The two device categories a receiver is listed in.
constexpr GUID kCategoryBdaNetworkTuner = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
constexpr GUID kCategoryCapture = {0x65e8773d, 0x8f56, 0x11d0, {0xa3, 0xb9, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};

// Where scenario files and request logs live unless SIMRECEIVER_DIR names another folder.
constexpr wchar_t kDefaultSimFolder[] = L"C:\\sim";
constexpr wchar_t kSimFolderVariable[] = L"SIMRECEIVER_DIR";

// Scenario name of a filter object that was created without a property bag.
constexpr wchar_t kDefaultScenarioName[] = L"default";

}  // namespace sim
