// What both programs ask of real Win32: a path's attributes, the special folders, pauses,
// COM on first use, and the platform itself.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/Win32.h"
#include "platform/win32/Wide.h"

namespace platform::win32 {

std::optional<std::uint32_t> Win32Files::Attributes(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

// Windows refuses to open an image that a process has mapped for writing, whatever the
// sharing asked, and so does Wine; a file held without sharing gives the same answer. A
// missing, read-only or otherwise refused file is not in use.
bool Win32Files::InUse(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return CloseHandle(file), false;
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// The welcome page needs no COM, so the program starts without it and initialises it
// for its one thread on the first call here. Windows makes no COM object for a thread
// that has not initialised COM, and the folder browser's new-style dialog needs OLE.
bool EnsureComInitialised() {
  static const bool initialised = SUCCEEDED(OleInitialize(nullptr));
  return initialised;
}

std::string Win32Shell::SpecialFolder(Csidl csidl, bool create) {
  wchar_t buffer[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(csidl), create);
  buffer[MAX_PATH - 1] = L'\0';
  return Utf8(buffer);
}

void Win32Processes::Pause(unsigned milliseconds) { Sleep(milliseconds); }

void Install(Installation* installation, Removal* removal) {
  // DLLs are looked for in the system directory only, never in the folder the program
  // was started from (often a downloads folder where anything may lie). Windows 7 has
  // SetDefaultDllDirectories only with its DLL-search update, so it is looked up here;
  // without it the current directory at least leaves the search.
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  auto setDirectories = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDirectories || !setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
  static Win32Files files;
  static Win32Shell shell;
  static Win32Processes processes;
  static Win32Windows windows;
  static Platform platform{files, shell, processes, windows, installation, removal};
  platform::Install(&platform);
}

}  // namespace platform::win32
