// Drives a running Wendle.exe from outside the way the desktop and the user do, and prints what
// it sees, so that the Wine cases can check the program's window, menu and exit.
//
//   wendledriver <step>...
//     window:<ms>                   wait up to ms for the top-level window titled "Wendle"
//     post:<msg>:<wParam>:<lParam>  post a message to it (numbers in C notation)
//     send:<msg>:<wParam>:<lParam>  send a message to it and print the result
//     quit                          post WM_QUIT to the window's thread (not to the window)
//     alive:<ms>                    wait ms, then say whether the window still exists
//     gone:<ms>                     wait up to ms for the window to go away
//     cursor:<x>:<y>                put the mouse cursor there
//     menu:<ms>                     wait up to ms for a pop-up menu and print where it is
//     menukey:<vk>                  press a key in that pop-up menu
//     arrival:<name>, removal:<name>  send WM_DEVICECHANGE for a device interface of that name
//     resources:<file>              the icons, menu and version record of a program or library
//   One output line per step.
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND g_hWendle = nullptr;
HWND g_hMenu = nullptr;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

unsigned long Number(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 0); }

template <typename Test>
bool WaitFor(unsigned long ms, Test test) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (test()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(50);
  }
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

void Window(const std::string& step, unsigned long ms) {
  const bool found = WaitFor(ms, [] {
    g_hWendle = FindWindowW(nullptr, L"Wendle");
    return g_hWendle != nullptr;
  });
  if (!found) {
    std::printf("%s -> none\n", step.c_str());
    return;
  }
  const bool topLevel = GetAncestor(g_hWendle, GA_PARENT) == GetDesktopWindow();
  std::printf("%s -> %s %s\n", step.c_str(), IsWindowVisible(g_hWendle) ? "visible" : "hidden",
              topLevel ? "top-level" : "child");
}

void Alive(const std::string& step, unsigned long ms) {
  Sleep(ms);
  std::printf("%s -> %s\n", step.c_str(), IsWindow(g_hWendle) ? "yes" : "no");
}

void Gone(const std::string& step, unsigned long ms) {
  const bool gone = WaitFor(ms, [] { return !IsWindow(g_hWendle); });
  std::printf("%s -> %s\n", step.c_str(), gone ? "yes" : "no");
}

void Menu(const std::string& step, unsigned long ms) {
  const bool found = WaitFor(ms, [] {
    g_hMenu = FindWindowW(L"#32768", nullptr);
    return g_hMenu != nullptr && IsWindowVisible(g_hMenu);
  });
  if (!found) {
    std::printf("%s -> none\n", step.c_str());
    return;
  }
  RECT rc{};
  GetWindowRect(g_hMenu, &rc);
  std::printf("%s -> right %ld top %ld\n", step.c_str(), rc.right, rc.top);
}

void MenuKey(const std::string& step, unsigned long vk) {
  PostMessageW(g_hMenu, WM_KEYDOWN, vk, 0);
  PostMessageW(g_hMenu, WM_KEYUP, vk, 0xC0000000);
  std::printf("%s -> posted\n", step.c_str());
}

// The system marshals the record to the other process, name included.
void DeviceChange(const std::string& step, WPARAM event, const std::string& name) {
  std::vector<BYTE> record(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * sizeof(wchar_t));
  auto* head = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
  head->dbcc_size = static_cast<DWORD>(record.size());
  head->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  head->dbcc_classguid = {0x71985f48, 0x1ca1, 0x11d3, {0x9c, 0xc8, 0x00, 0xc0, 0x4f, 0x79, 0x71, 0xe0}};
  for (size_t i = 0; i < name.size(); ++i) head->dbcc_name[i] = static_cast<unsigned char>(name[i]);
  const LRESULT result = SendMessageW(g_hWendle, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()));
  std::printf("%s -> %ld\n", step.c_str(), static_cast<long>(result));
}

std::string VersionText(const std::vector<BYTE>& data, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) return "(none)";
  return Narrow(static_cast<const wchar_t*>(value));
}

void Resources(const std::string& step, const std::string& file) {
  std::wstring path(file.begin(), file.end());
  std::printf("%s:\n", step.c_str());
  HMODULE hModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (hModule == nullptr) {
    std::printf("  not loaded\n");
    return;
  }
  for (int id : {215, 216, 217}) {
    for (int size : {16, 32}) {
      HICON hIcon = static_cast<HICON>(LoadImageW(hModule, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
      ICONINFO info{};
      BITMAP bm{};
      if (hIcon != nullptr && GetIconInfo(hIcon, &info)) {
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
      }
      // The icon directory says which image the loader picks for this size.
      HRSRC hGroup = FindResourceW(hModule, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
      int bits = 0;
      if (hGroup != nullptr) {
        const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(hModule, hGroup)));
        const int match = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir), TRUE, size, size, 0);
        const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
        for (WORD i = 0; i < count; ++i) {
          const BYTE* entry = dir + 6 + 14 * i;
          if (*reinterpret_cast<const WORD*>(entry + 12) == match) bits = *reinterpret_cast<const WORD*>(entry + 6);
        }
      }
      std::printf("  icon %d %dx%d -> %s %ldx%ld, %d bits\n", id, size, size, hIcon ? "loaded" : "missing",
                  bm.bmWidth, bm.bmHeight, bits);
      if (hIcon) DestroyIcon(hIcon);
    }
  }
  HMENU hMenu = LoadMenuW(hModule, MAKEINTRESOURCEW(128));
  if (hMenu != nullptr) {
    HMENU hPopup = GetSubMenu(hMenu, 0);
    std::printf("  menu 128 -> %d pop-up(s)", GetMenuItemCount(hMenu));
    const int count = hPopup ? GetMenuItemCount(hPopup) : 0;
    for (int i = 0; i < count; ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(hPopup, i, text, 64, MF_BYPOSITION);
      std::printf(" \"%s\"=%u", Narrow(text).c_str(), GetMenuItemID(hPopup, i));
    }
    std::printf("\n");
    DestroyMenu(hMenu);
  } else {
    std::printf("  menu 128 -> none\n");
  }
  HRSRC hManifest = FindResourceW(hModule, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  if (hManifest != nullptr) {
    const char* text = static_cast<const char*>(LockResource(LoadResource(hModule, hManifest)));
    const std::string manifest(text, SizeofResource(hModule, hManifest));
    const bool controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                                        "processorArchitecture=\"x86\"") != std::string::npos;
    std::printf("  manifest -> %s\n", controls ? "common controls 6.0.0.0 x86" : "without common controls");
  } else {
    std::printf("  manifest -> none\n");
  }
  FreeLibrary(hModule);

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    std::printf("  version -> none\n");
    return;
  }
  std::printf("  version -> file %u.%u.%u.%u product %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
              LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
              HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
              HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
  std::printf("  version text -> file \"%s\" product \"%s\"\n", VersionText(data, L"FileVersion").c_str(),
              VersionText(data, L"ProductVersion").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string step = argv[i];
    const std::vector<std::string> parts = Split(step, ':');
    const std::string& verb = parts[0];
    if (verb == "window" && parts.size() == 2) {
      Window(step, Number(parts[1]));
    } else if ((verb == "post" || verb == "send") && parts.size() == 4) {
      const UINT msg = Number(parts[1]);
      const WPARAM wParam = Number(parts[2]);
      const LPARAM lParam = static_cast<LPARAM>(Number(parts[3]));
      if (verb == "post") {
        std::printf("%s -> %s\n", step.c_str(), PostMessageW(g_hWendle, msg, wParam, lParam) ? "ok" : "failed");
      } else {
        std::printf("%s -> %ld\n", step.c_str(), static_cast<long>(SendMessageW(g_hWendle, msg, wParam, lParam)));
      }
    } else if (verb == "quit" && parts.size() == 1) {
      const DWORD thread = GetWindowThreadProcessId(g_hWendle, nullptr);
      std::printf("%s -> %s\n", step.c_str(), PostThreadMessageW(thread, WM_QUIT, 0, 0) ? "ok" : "failed");
    } else if (verb == "alive" && parts.size() == 2) {
      Alive(step, Number(parts[1]));
    } else if (verb == "gone" && parts.size() == 2) {
      Gone(step, Number(parts[1]));
    } else if (verb == "cursor" && parts.size() == 3) {
      std::printf("%s -> %s\n", step.c_str(),
                  SetCursorPos(static_cast<int>(Number(parts[1])), static_cast<int>(Number(parts[2]))) ? "ok" : "failed");
    } else if (verb == "menu" && parts.size() == 2) {
      Menu(step, Number(parts[1]));
    } else if (verb == "menukey" && parts.size() == 2) {
      MenuKey(step, Number(parts[1]));
    } else if ((verb == "arrival" || verb == "removal") && parts.size() >= 2) {
      DeviceChange(step, verb == "arrival" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                   step.substr(step.find(':') + 1));
    } else if (verb == "resources" && parts.size() >= 2) {
      Resources("resources", step.substr(step.find(':') + 1));
    } else {
      std::printf("%s -> unknown step\n", step.c_str());
      return 2;
    }
    std::fflush(stdout);
  }
  return 0;
}
