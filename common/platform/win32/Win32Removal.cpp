// What only Uninstall does on real Win32: files, folders and the registry key taken away,
// and the folder it runs from.
#include <windows.h>

#include <vector>

#include "platform/Wildcard.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Wide.h"

namespace platform::win32 {

int Win32Removal::DeleteFiles(const std::string& pattern) {
  std::wstring wide = Wide(pattern);
  std::size_t slash = wide.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? L"" : wide.substr(0, slash + 1);
  std::string namePattern = Utf8(wide.substr(folder.size()));
  WIN32_FIND_DATAW found;
  HANDLE find =
      FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return 0;
  // The search also matches short 8.3 aliases ("*.lnk" finds "a.lnkx"): only long names
  // that match the pattern themselves are deleted.
  std::vector<std::wstring> names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        Matches(Utf8(found.cFileName), namePattern))
      names.push_back(found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  int deleted = 0;
  for (const auto& name : names) deleted += DeleteFileW((folder + name).c_str()) ? 1 : 0;
  return deleted;
}

bool Win32Removal::RemoveFolder(const std::string& path) {
  return RemoveDirectoryW(Wide(path).c_str()) != 0;
}

// A junction or a symbolic link is a reparse point whose tag names another place. Wine
// shows a Unix symbolic link as a reparse point with no tag at all: a link too. A reparse
// point that cannot be read is taken for a link.
bool Win32Removal::IsLink(const std::string& folder) {
  std::wstring path = Wide(folder);
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(path.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return true;
  FindClose(find);
  DWORD tag = found.dwReserved0;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

// The key goes with its subkeys and values: a plain RegDeleteKey refuses a key that has
// subkeys. Only the named key is touched, never its parent.
bool Win32Removal::DeleteMachineKey(const std::string& subkey) {
  if (subkey.empty()) return false;
  return RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(subkey).c_str()) == ERROR_SUCCESS;
}

std::string Win32Removal::OwnFolder() {
  std::vector<wchar_t> buffer(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring path(buffer.data(), n);
  std::size_t slash = path.find_last_of(L'\\');
  return Utf8(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
}

}  // namespace platform::win32
