// Files, shell, registry, scripting object and processes on real Win32.
#include <windows.h>
#include <exdisp.h>
#include <objbase.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include <vector>

#include "platform/Wildcard.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Wide.h"

namespace platform::win32 {

// The table of codes agrees with the system's headers.
static_assert(int(Answer::Ok) == IDOK && int(Answer::Cancel) == IDCANCEL &&
              int(Answer::Retry) == IDRETRY && int(Answer::Yes) == IDYES &&
              int(Answer::No) == IDNO);
static_assert(int(ShowCommand::Normal) == SW_SHOWNORMAL &&
              int(ShowCommand::Minimized) == SW_SHOWMINIMIZED);
static_assert(unsigned(MessageBoxStyle::Information) == MB_ICONINFORMATION &&
              unsigned(MessageBoxStyle::OkCancelSecondDefault) == (MB_OKCANCEL | MB_DEFBUTTON2) &&
              unsigned(MessageBoxStyle::RetryCancelWarning) == (MB_RETRYCANCEL | MB_ICONWARNING));
static_assert(unsigned(BrowseStyle::FoldersOnly) == BIF_RETURNONLYFSDIRS &&
              unsigned(BrowseStyle::EditBoxNewDialog) == (BIF_EDITBOX | BIF_NEWDIALOGSTYLE));
static_assert(int(Csidl::Desktop) == CSIDL_DESKTOP && int(Csidl::Programs) == CSIDL_PROGRAMS &&
              int(Csidl::CommonPrograms) == CSIDL_COMMON_PROGRAMS &&
              int(Csidl::CommonDesktopDirectory) == CSIDL_COMMON_DESKTOPDIRECTORY &&
              int(Csidl::ProgramFiles) == CSIDL_PROGRAM_FILES);
static_assert(kAttributeReadOnly == FILE_ATTRIBUTE_READONLY &&
              kAttributeHidden == FILE_ATTRIBUTE_HIDDEN &&
              kAttributeSystem == FILE_ATTRIBUTE_SYSTEM &&
              kAttributeFolder == FILE_ATTRIBUTE_DIRECTORY &&
              kAttributeNormal == FILE_ATTRIBUTE_NORMAL);

// ---------------------------------------------------------------- files

bool Win32Files::MakeFolder(const std::string& path) {
  return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
}

namespace {

void removeTemporary(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only source's copy
  DeleteFileW(path.c_str());
}

}  // namespace

// A copy stopped halfway (the disk full) would leave a truncated file under the real name,
// which a program would then start or load: the bytes go to a temporary file beside the
// destination, on the same volume, and a rename puts it in place, the old file with it
// gone in the same step. A destination held open or read-only refuses the rename and
// stays as it was.
bool Win32Files::Copy(const std::string& from, const std::string& to) {
  std::wstring target = Wide(to);
  std::size_t slash = target.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
  wchar_t temporary[MAX_PATH + 1] = {};
  if (!GetTempFileNameW(folder.c_str(), L"qel", 0, temporary)) return false;
  if (!CopyFileW(Wide(from).c_str(), temporary, FALSE) ||
      !MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    removeTemporary(temporary);
    return false;
  }
  return true;
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

int Win32Files::DeleteFiles(const std::string& pattern) {
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

bool Win32Files::RemoveFolder(const std::string& path) {
  return RemoveDirectoryW(Wide(path).c_str()) != 0;
}

std::optional<std::uint32_t> Win32Files::Attributes(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

// A junction or a symbolic link is a reparse point whose tag names another place. Wine
// shows a Unix symbolic link as a reparse point with no tag at all: a link too. A reparse
// point that cannot be read is taken for a link.
bool Win32Files::IsLink(const std::string& folder) {
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

// ---------------------------------------------------------------- COM

// The welcome page needs no COM, so the program starts without it and initialises it
// for its one thread on the first call here. Windows makes no COM object for a thread
// that has not initialised COM, and the folder browser's new-style dialog needs OLE.
bool EnsureComInitialised() {
  static const bool initialised = SUCCEEDED(OleInitialize(nullptr));
  return initialised;
}

// ---------------------------------------------------------------- the scripting object

namespace {

// An automation object driven by member names, released when it goes.
class Dispatch {
 public:
  explicit Dispatch(IDispatch* object = nullptr) : object_(object) {}
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  ~Dispatch() {
    if (object_) object_->Release();
  }

  static Dispatch Create(const wchar_t* progId) {
    CLSID clsid;
    IDispatch* object = nullptr;
    if (EnsureComInitialised() && SUCCEEDED(CLSIDFromProgID(progId, &clsid)))
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                       __uuidof(IDispatch), reinterpret_cast<void**>(&object));
    return Dispatch(object);
  }

  explicit operator bool() const { return object_ != nullptr; }

  // A method call or a property write; `result` may be null.
  bool Invoke(const wchar_t* member, WORD kind, VARIANT* args, UINT count, VARIANT* result) {
    if (!object_) return false;
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    const IID none{};  // IID_NULL, without linking the library of every interface id
    if (FAILED(object_->GetIDsOfNames(none, &name, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, kind == DISPATCH_PROPERTYPUT ? &named : nullptr, count,
                      kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
    return SUCCEEDED(
        object_->Invoke(id, none, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr));
  }

  bool Put(const wchar_t* member, VARIANT value) {
    return Invoke(member, DISPATCH_PROPERTYPUT, &value, 1, nullptr);
  }

 private:
  IDispatch* object_;
};

// A text as an owned VARIANT of type BSTR.
class Text {
 public:
  explicit Text(const std::string& text) {
    VariantInit(&v_);
    std::wstring w = Wide(text);
    v_.vt = VT_BSTR;
    v_.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { VariantClear(&v_); }
  VARIANT* get() { return &v_; }

 private:
  VARIANT v_;
};

}  // namespace

std::optional<RegistryValue> Win32Shell::RegRead(const std::string& valuePath) {
  Dispatch shell = Dispatch::Create(L"WScript.shell");
  Text path(valuePath);
  VARIANT result;
  VariantInit(&result);
  if (!shell.Invoke(L"RegRead", DISPATCH_METHOD, path.get(), 1, &result)) return std::nullopt;
  RegistryValue value;
  if (result.vt == VT_BSTR) {
    value.kind = RegistryValue::Kind::Text;
    value.text = result.bstrVal
                     ? Utf8(result.bstrVal, static_cast<int>(SysStringLen(result.bstrVal)))
                     : std::string();
  } else if (result.vt == VT_I4 || result.vt == VT_UI4) {
    value.kind = RegistryValue::Kind::Number;
    value.number = result.lVal;
  }
  VariantClear(&result);
  return value;
}

std::optional<std::int16_t> Win32Shell::TextToInt16(const std::string& text) {
  std::wstring w = Wide(text);
  SHORT number = 0;
  if (FAILED(VarI2FromStr(w.data(), LOCALE_USER_DEFAULT, 0, &number))) return std::nullopt;
  return number;
}

bool Win32Shell::WriteShortcut(const std::string& link, const std::string& target,
                               ShowCommand windowStyle, const std::string& description) {
  Dispatch shell = Dispatch::Create(L"WScript.Shell");
  Text linkText(link);
  VARIANT made;
  VariantInit(&made);
  if (!shell.Invoke(L"CreateShortcut", DISPATCH_METHOD, linkText.get(), 1, &made)) return false;
  if (made.vt != VT_DISPATCH || !made.pdispVal) {
    VariantClear(&made);
    return false;
  }
  Dispatch shortcut(made.pdispVal);  // takes over the reference
  Text targetText(target), descriptionText(description);
  VARIANT style;
  VariantInit(&style);
  style.vt = VT_I2;
  style.iVal = static_cast<SHORT>(windowStyle);
  return shortcut.Put(L"TargetPath", *targetText.get()) && shortcut.Put(L"WindowStyle", style) &&
         shortcut.Put(L"Description", *descriptionText.get()) &&
         shortcut.Invoke(L"Save", DISPATCH_METHOD, nullptr, 0, nullptr);
}

// ---------------------------------------------------------------- shell and registry

std::string Win32Shell::SpecialFolder(Csidl csidl, bool create) {
  wchar_t buffer[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(csidl), create);
  buffer[MAX_PATH - 1] = L'\0';
  return Utf8(buffer);
}

std::string Win32Shell::SystemDirectory(unsigned bufferSize) {
  std::vector<wchar_t> buffer(bufferSize + 1, L'\0');
  UINT n = GetSystemDirectoryW(buffer.data(), bufferSize);
  if (n >= bufferSize) n = 0;  // did not fit: the call wrote nothing
  return Utf8(buffer.data(), static_cast<int>(n));
}

std::optional<std::string> Win32Shell::BrowseForFolder(Handle owner, const std::string& title,
                                                       BrowseStyle style) {
  std::wstring wideTitle = Wide(title);
  BROWSEINFOW request{};
  request.hwndOwner = reinterpret_cast<HWND>(owner);
  request.lpszTitle = wideTitle.c_str();
  request.ulFlags = static_cast<UINT>(style);
  EnsureComInitialised();
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&request);
  if (!item) return std::nullopt;
  wchar_t path[512] = {};
  BOOL ok = SHGetPathFromIDListW(item, path);
  CoTaskMemFree(item);
  if (!ok) return std::nullopt;
  path[511] = L'\0';
  return Utf8(path);
}

// The key goes with its subkeys and values: a plain RegDeleteKey refuses a key that has
// subkeys. Only the named key is touched, never its parent.
bool Win32Shell::DeleteMachineKey(const std::string& subkey) {
  if (subkey.empty()) return false;
  return RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(subkey).c_str()) == ERROR_SUCCESS;
}

// ---------------------------------------------------------------- processes

namespace {

// CreateProcess of exactly that file, in the working folder when one is given; nothing
// is waited for.
bool Launch(const std::wstring& application, std::wstring commandLine, const std::wstring& folder,
            ShowCommand showCommand) {
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

// A COM interface pointer, released when it goes.
template <class T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** put() { return &p_; }
  void** putVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

bool Elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                  elevation.TokenIsElevated;
  CloseHandle(token);
  return elevated;
}

// The desktop's shell runs with the signed-in user's own rights: its window's view hands
// out the shell's automation object, whose ShellExecute starts the program from there.
// False when any piece of the way is missing (no desktop shell, another shell).
bool StartThroughDesktop(const std::wstring& program, const std::wstring& folder,
                         ShowCommand showCommand) {
  Com<IShellWindows> windows;
  if (!EnsureComInitialised() ||
      FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              __uuidof(IShellWindows), windows.putVoid())))
    return false;
  VARIANT desktop, none;
  VariantInit(&desktop);
  VariantInit(&none);
  desktop.vt = VT_I4;
  desktop.lVal = static_cast<LONG>(Csidl::Desktop);
  long window = 0;
  Com<IDispatch> found;
  if (windows->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            found.put()) != S_OK ||
      !found)
    return false;
  Com<IServiceProvider> services;
  Com<IShellBrowser> browser;
  Com<IShellView> view;
  Com<IDispatch> background;
  Com<IShellFolderViewDual> folderView;
  Com<IDispatch> application;
  Com<IShellDispatch2> shell;
  if (FAILED(found->QueryInterface(__uuidof(IServiceProvider), services.putVoid())) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, __uuidof(IShellBrowser),
                                    browser.putVoid())) ||
      FAILED(browser->QueryActiveShellView(view.put())) || !view ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.putVoid())) ||
      FAILED(background->QueryInterface(__uuidof(IShellFolderViewDual), folderView.putVoid())) ||
      FAILED(folderView->get_Application(application.put())) || !application ||
      FAILED(application->QueryInterface(__uuidof(IShellDispatch2), shell.putVoid())))
    return false;
  BSTR file = SysAllocStringLen(program.data(), static_cast<UINT>(program.size()));
  VARIANT arguments, where, verb, show;
  VariantInit(&arguments);
  VariantInit(&where);
  VariantInit(&verb);
  VariantInit(&show);
  where.vt = VT_BSTR;
  where.bstrVal = SysAllocStringLen(folder.data(), static_cast<UINT>(folder.size()));
  verb.vt = VT_BSTR;
  verb.bstrVal = SysAllocString(L"open");
  show.vt = VT_I4;
  show.lVal = static_cast<LONG>(showCommand);
  bool started = file && where.bstrVal && verb.bstrVal &&
                 SUCCEEDED(shell->ShellExecute(file, arguments, where, verb, show));
  SysFreeString(file);
  VariantClear(&where);
  VariantClear(&verb);
  return started;
}

}  // namespace

bool Win32Processes::Start(const std::string& application, const std::string& commandLine,
                           ShowCommand showCommand) {
  return Launch(Wide(application), Wide(commandLine), L"", showCommand);
}

// Run elevated, the program would inherit administrator rights from this process: the
// user's own desktop shell starts it instead. Not elevated, or where that shell cannot be
// reached, the program is started directly.
bool Win32Processes::StartAsUser(const std::string& program, const std::string& folder,
                                 ShowCommand showCommand) {
  std::wstring app = Wide(program), cwd = Wide(folder);
  if (Elevated() && StartThroughDesktop(app, cwd, showCommand)) return true;
  return Launch(app, L"\"" + app + L"\"", cwd, showCommand);
}

std::string Win32Processes::OwnFolder() {
  std::vector<wchar_t> buffer(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring path(buffer.data(), n);
  std::size_t slash = path.find_last_of(L'\\');
  return Utf8(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
}

void Win32Processes::Pause(unsigned milliseconds) { Sleep(milliseconds); }

// ---------------------------------------------------------------- the whole

void Install() {
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
  static Platform platform{files, shell, processes, windows};
  platform::Install(&platform);
}

}  // namespace platform::win32
