// What only Setup does on real Win32: files copied, the system directory, the folder browser,
// the scripting object, programs started.
#include <windows.h>
#include <exdisp.h>
#include <objbase.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include <vector>

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
static_assert(kAttributeFolder == FILE_ATTRIBUTE_DIRECTORY &&
              kAttributeNormal == FILE_ATTRIBUTE_NORMAL);

// ---------------------------------------------------------------- files

bool Win32Installation::MakeFolder(const std::string& path) {
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
bool Win32Installation::Copy(const std::string& from, const std::string& to) {
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

std::optional<RegistryValue> Win32Installation::RegRead(const std::string& valuePath) {
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

std::optional<std::int16_t> Win32Installation::TextToInt16(const std::string& text) {
  std::wstring w = Wide(text);
  SHORT number = 0;
  if (FAILED(VarI2FromStr(w.data(), LOCALE_USER_DEFAULT, 0, &number))) return std::nullopt;
  return number;
}

bool Win32Installation::WriteShortcut(const std::string& link, const std::string& target,
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

std::string Win32Installation::SystemDirectory(unsigned bufferSize) {
  std::vector<wchar_t> buffer(bufferSize + 1, L'\0');
  UINT n = GetSystemDirectoryW(buffer.data(), bufferSize);
  if (n >= bufferSize) n = 0;  // did not fit: the call wrote nothing
  return Utf8(buffer.data(), static_cast<int>(n));
}

std::optional<std::string> Win32Installation::BrowseForFolder(Handle owner,
                                                              const std::string& title,
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

bool Win32Installation::Start(const std::string& application, const std::string& commandLine,
                              ShowCommand showCommand) {
  return Launch(Wide(application), Wide(commandLine), L"", showCommand);
}

// Run elevated, the program would inherit administrator rights from this process: the
// user's own desktop shell starts it instead. Not elevated, or where that shell cannot be
// reached, the program is started directly.
bool Win32Installation::StartAsUser(const std::string& program, const std::string& folder,
                                    ShowCommand showCommand) {
  std::wstring app = Wide(program), cwd = Wide(folder);
  if (Elevated() && StartThroughDesktop(app, cwd, showCommand)) return true;
  return Launch(app, L"\"" + app + L"\"", cwd, showCommand);
}

}  // namespace platform::win32
