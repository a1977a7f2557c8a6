#include <windows.h>

// Loading and unloading open and close nothing: receivers are opened by the exports.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
