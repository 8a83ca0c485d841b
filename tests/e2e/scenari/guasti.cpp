// Faults and hostile surroundings, on the real programs: files that cannot be replaced,
// system parts that are missing, unusual folders and registry values, programs and DLLs
// planted where a careless search would find them, and an uninstaller copied elsewhere.
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "../Driver.h"

using namespace e2e;

namespace {

const char kCartella[] = "C:\\Program Files\\QelPictura";
const char kRecord[] = "C:\\record.txt";
const char kCaricamenti[] = "C:\\caricamenti.txt";
const char kVecchio[] = "vecchio contenuto\r\n";
const char kAvviso[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";
const char* const kRuntime[] = {"msvbvm60.dll", "oleaut32.dll", "olepro32.dll",
                                "asycfilt.dll", "stdole2.tlb",  "comcat.dll"};

std::string Environment(const char* name) {
  wchar_t buffer[MAX_PATH] = {};
  GetEnvironmentVariableW(W(name).c_str(), buffer, MAX_PATH);
  return U(buffer);
}

// Sets a variable in the driver's own environment, which the programs it starts inherit
// (an entry added by Start would come after the inherited one of the same name).
void SetEnvironment(const char* name, const std::string& value) {
  SetEnvironmentVariableW(W(name).c_str(), W(value).c_str());
}

// Wine runs the system's registration program from its own build unless its DLL
// overrides say to take the file that lies in the system directory. They are read from
// the prefix's registry by every new process; a WINEDLLOVERRIDES given to a started
// program does not reach it, as Wine puts back the value it was itself started with.
bool UseTheRegistrationProgramFile() {
  return Run("reg add HKCU\\Software\\Wine\\DllOverrides /v regsvr32.exe /d native /f") == 0;
}

bool CopyTo(const std::string& from, const std::string& to) {
  return CopyFileW(W(from).c_str(), W(to).c_str(), FALSE) != 0;
}

std::vector<std::string> Filter(const std::vector<std::string>& lines, const std::string& start) {
  std::vector<std::string> out;
  for (const auto& line : lines)
    if (line.compare(0, start.size(), start) == 0) out.push_back(line);
  return out;
}

void Print(const char* title, const std::vector<std::string>& lines) {
  std::printf("  %s:\n", title);
  for (const auto& line : lines) std::printf("    %s\n", line.c_str());
}

// The Unix name of a file of the prefix, through Wine's own export.
std::string UnixName(const std::string& path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = convert ? convert(W(path).c_str()) : nullptr;
  std::string name = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return name;
}

// Starts a Unix program of the machine on Unix paths, waiting for its end.
void RunUnix(const std::string& commandLine) {
  std::wstring line = W(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &info))
    return;
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

bool Writable(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// A read-only file, as a user makes it. Wine keeps the read-only mark in the Unix mode
// bits, which bind no one when the tests run as root, so the file is also made immutable
// for as long as the object lives: then it refuses to be replaced as on Windows.
class ReadOnly {
 public:
  explicit ReadOnly(const std::string& path) : path_(path), unix_(UnixName(path)) {
    marked_ = SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
    if (!unix_.empty()) RunUnix("Z:\\usr\\bin\\chattr +i \"" + unix_ + "\"");
    locked_ = WaitFor([this] { return !Writable(path_); }, 5000);
  }
  ~ReadOnly() {
    if (!unix_.empty()) RunUnix("Z:\\usr\\bin\\chattr -i \"" + unix_ + "\"");
    WaitFor([this] { return Writable(path_); }, 5000);
  }
  ReadOnly(const ReadOnly&) = delete;
  ReadOnly& operator=(const ReadOnly&) = delete;
  bool ok() const { return marked_ && locked_; }

 private:
  std::string path_, unix_;
  bool marked_ = false, locked_ = false;
};

// A file held open by the driver without any sharing, so no one else may open it.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path)
      : file_(CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          0, nullptr)) {}
  ~HeldOpen() { Release(); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool ok() const { return file_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (ok()) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE file_;
};

// The lines of a list box of another process.
std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    items.push_back(U(text.c_str()));
  }
  return items;
}

HWND ErrorList(HWND result) {
  std::vector<HWND> lists = Children(result, "ListBox");
  return lists.empty() ? nullptr : lists.front();
}

bool Visible(HWND h) { return h && IsWindowVisible(h); }

// The text of a message box: its static control other than the icon.
std::string MessageText(HWND box) {
  for (HWND h : Children(box, "Static"))
    if (!Text(h).empty()) return Text(h);
  return {};
}

// Welcome, licence and destination pages, then "Conferma": the result page.
HWND Install(const Program& setup) {
  HWND destination = GoToDestinationPage(setup);
  return destination ? ConfirmAndWaitForResult(setup, destination) : nullptr;
}

bool CloseResult(const Program& setup, HWND result) {
  Press(Child(result, "Button", "&Chiudi"));
  return setup.Exited();
}

// The whole removal run of the uninstaller that lies in `folder`, confirmed with OK.
// `whileOpen` sees the program once its window is up.
bool Uninstall(const std::string& folder,
               const std::function<void(const Program&)>& whileOpen = {}) {
  Program uninstall = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(uninstall, kTitoloRimozione, "Button", "&Rimuovi");
  if (!window) return uninstall.Kill(), false;
  if (whileOpen) whileOpen(uninstall);
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = MessageBoxOf(uninstall, kTitoloRimozione);
  if (!box) return uninstall.Kill(), false;
  Press(GetDlgItem(box, IDOK));
  HWND close = nullptr;
  if (!WaitFor([&] { return Visible(close = Child(window, "Button", "Chiudi")); }, 30000))
    return uninstall.Kill(), false;
  Press(close);
  return uninstall.Exited();
}

// The target and description of a shortcut file, read back through the shell.
struct Shortcut {
  std::string target, description;
  std::string item;  // the path of the target's item identifier list
};

Shortcut ReadShortcut(const std::string& path) {
  Shortcut link;
  CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(W(path).c_str(), STGM_READ))) {
        wchar_t text[1024] = {};
        if (SUCCEEDED(shell->GetPath(text, 1024, nullptr, SLGP_RAWPATH))) link.target = U(text);
        text[0] = L'\0';
        if (SUCCEEDED(shell->GetDescription(text, 1024))) link.description = U(text);
        PIDLIST_ABSOLUTE item = nullptr;
        text[0] = L'\0';
        if (SUCCEEDED(shell->GetIDList(&item)) && item && SHGetPathFromIDListW(item, text))
          link.item = U(text);
        CoTaskMemFree(item);
      }
      file->Release();
    }
    shell->Release();
  }
  return link;
}

bool SetValue(const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD size) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(key).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = RegSetValueExW(k, W(name).c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
            ERROR_SUCCESS;
  RegCloseKey(k);
  return ok;
}

bool SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text,
             DWORD type = REG_SZ) {
  std::wstring w = W(text);
  HKEY k = nullptr;
  if (RegCreateKeyExW(root, W(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                      &k, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = RegSetValueExW(k, W(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(w.c_str()),
                           static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(k);
  return ok;
}

// The full paths of the modules mapped into a running program.
std::vector<std::string> Modules(const Program& p) {
  std::vector<std::string> paths;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, p.info.dwProcessId);
  if (snapshot == INVALID_HANDLE_VALUE) return paths;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
    paths.push_back(U(module.szExePath));
  CloseHandle(snapshot);
  return paths;
}

bool InFolder(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
         CompareStringOrdinal(W(path.substr(0, folder.size())).c_str(), -1, W(folder).c_str(), -1,
                              TRUE) == CSTR_EQUAL;
}

}  // namespace

// A read-only help page in an existing installation folder and a read-only runtime file
// in the system directory: both stay as they were, silently, and everything else
// arrives; the registration of the runtime file that stayed is still started.
SCENARIO(read_only_files_stay_and_the_rest_installs) {
  std::string package = LayOutPackage();
  std::string system = SystemFolder();
  REQUIRE(CopyTo(Fixture("regsvr32.exe"), system + "\\regsvr32.exe"));
  REQUIRE(UseTheRegistrationProgramFile());
  CreateDirectoryW(W(kCartella).c_str(), nullptr);
  std::string help = std::string(kCartella) + "\\help.htm";
  std::string runtime = system + "\\asycfilt.dll";
  REQUIRE(WriteFile(help, kVecchio) && WriteFile(runtime, kVecchio));
  ReadOnly helpLocked(help), runtimeLocked(runtime);
  REQUIRE(helpLocked.ok() && runtimeLocked.ok());
  REQUIRE(!CopyTo(package + "\\help.htm", help));  // the lock holds

  Program setup = Start(package + "\\Setup.exe", package, {std::string("QEL_RECORD=") + kRecord});
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  CHECK(!Visible(ErrorList(result)));
  CHECK(ReadFile(help) == kVecchio);
  CHECK(ReadFile(runtime) == kVecchio);
  std::string program = ReadFile(package + "\\QelPictura.exe");
  CHECK(!program.empty() && ReadFile(std::string(kCartella) + "\\QelPictura.exe") == program);
  CHECK(ReadFile(std::string(kCartella) + "\\temi\\happysmile.qelpictura") ==
        ReadFile(package + "\\happysmile.qelpictura"));
  CHECK(IsFile(std::string(kCartella) + "\\Uninstall.exe"));
  CHECK(ReadFile(system + "\\msvbvm60.dll") == ReadFile(package + "\\msvbvm60.dll"));
  CHECK(IsFile(std::string(Environment("PUBLIC")) + "\\Desktop\\QelPictura.lnk"));
  // Six registrations, the one of the file that stayed among them.
  std::vector<std::string> started;
  if (CHECK(WaitFor(
          [&] { return (started = Filter(RecordLines(kRecord), "regsvr32|")).size() == 6; })))
    Print("record", RecordLines(kRecord));
  CHECK(std::count(started.begin(), started.end(),
                   "regsvr32|REGSVR32.EXE /s " + system + "\\asycfilt.dll") == 1);
  CHECK(CloseResult(setup, result));
  CHECK(WaitFor([&] { return Filter(RecordLines(kRecord), "started|").size() == 1; }));
}

// The installed program held open without sharing, and the essential runtime file held
// the same way in the system directory: neither is replaced, no error is recorded since
// both files are there, and the rest of the installation arrives.
SCENARIO(files_held_open_stay_and_the_rest_installs) {
  std::string package = LayOutPackage();
  std::string system = SystemFolder();
  REQUIRE(CopyTo(Fixture("regsvr32.exe"), system + "\\regsvr32.exe"));
  REQUIRE(UseTheRegistrationProgramFile());
  CreateDirectoryW(W(kCartella).c_str(), nullptr);
  std::string program = std::string(kCartella) + "\\QelPictura.exe";
  std::string essential = system + "\\msvbvm60.dll";
  REQUIRE(WriteFile(program, kVecchio) && WriteFile(essential, kVecchio));
  HeldOpen programHeld(program), essentialHeld(essential);
  REQUIRE(programHeld.ok() && essentialHeld.ok());

  Program setup = Start(package + "\\Setup.exe", package, {std::string("QEL_RECORD=") + kRecord});
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  CHECK(!Visible(ErrorList(result)));
  CHECK(Items(ErrorList(result)).empty());
  programHeld.Release();
  essentialHeld.Release();
  CHECK(ReadFile(program) == kVecchio);
  CHECK(ReadFile(essential) == kVecchio);
  CHECK(!IsFile(std::string(kCartella) + "\\msvbvm60.dll"));
  CHECK(ReadFile(std::string(kCartella) + "\\help.htm") == ReadFile(package + "\\help.htm"));
  CHECK(IsFile(std::string(kCartella) + "\\Uninstall.exe"));
  CHECK(ReadFile(system + "\\asycfilt.dll") == ReadFile(package + "\\asycfilt.dll"));
  std::vector<std::string> started;
  if (CHECK(WaitFor(
          [&] { return (started = Filter(RecordLines(kRecord), "regsvr32|")).size() == 6; })))
    Print("record", RecordLines(kRecord));
  CHECK(!started.empty() && started.front() == "regsvr32|REGSVR32.EXE /s " + essential);
  // The old file is no program: closing the page starts nothing, and Setup ends.
  CHECK(CloseResult(setup, result));
  CHECK(setup.ExitCode() == 0);
}

// Without the scripting object: the version check says nothing although the registry
// names a newer version, the three shortcuts fail, the result page says so, and the
// installed program is still started when the page closes.
SCENARIO(without_the_scripting_object_shortcuts_fail_and_nothing_else) {
  std::string package = LayOutPackage();
  REQUIRE(Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /t REG_SZ /d 2 /f") == 0);
  for (const char* key :
       {"WScript.Shell", "WScript.Shell.1", "CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8}"}) {
    CHECK(Run(std::string("reg delete HKLM\\Software\\Classes\\") + key + " /f") == 0);
    Run(std::string("reg delete HKLM\\Software\\Classes\\Wow6432Node\\") + key + " /f");
  }
  CHECK(Run("reg query HKCR\\WScript.Shell") != 0);

  Program setup = Start(package + "\\Setup.exe", package, {std::string("QEL_RECORD=") + kRecord});
  // A warning would hold the licence page back until it was answered.
  HWND destination = GoToDestinationPage(setup);
  REQUIRE(destination != nullptr);
  HWND result = ConfirmAndWaitForResult(setup, destination);
  REQUIRE(result != nullptr);
  CHECK(Visible(
      Child(result, "Static", "L'installazione non è stata completata correttamente\r\nErrori:")));
  HWND errors = ErrorList(result);
  CHECK(Visible(errors));
  CHECK(Items(errors) == std::vector<std::string>{"Problemi nella creazione dei collegamenti"});
  CHECK(!Visible(Child(result, "Static", "Il programma verrà subito avviato, buon lavoro!")));
  std::string menu =
      Environment("ProgramData") + "\\Microsoft\\Windows\\Start Menu\\Programs\\" + "QelPictura";
  CHECK(IsFolder(menu));
  CHECK(!IsFile(menu + "\\QelPictura.lnk") &&
        !IsFile(menu + "\\Rimuovi QelPictura dal computer.lnk"));
  CHECK(!IsFile(Environment("PUBLIC") + "\\Desktop\\QelPictura.lnk"));
  CHECK(IsFile(std::string(kCartella) + "\\QelPictura.exe") &&
        IsFile(std::string(kCartella) + "\\help.htm") &&
        IsFile(std::string(kCartella) + "\\Uninstall.exe") &&
        IsFile(std::string(kCartella) + "\\temi\\happysmile.qelpictura"));
  CHECK(CloseResult(setup, result));
  CHECK(WaitFor([&] {
    return Filter(RecordLines(kRecord), "started|") ==
           std::vector<std::string>{"started|" + std::string(kCartella) + "\\QelPictura.exe|\"" +
                                    kCartella + "\\QelPictura.exe\""};
  }));
}

// No registration program in the system directory, and one planted in the package
// folder: nothing is registered, the planted one never runs, and the installation is
// complete all the same.
SCENARIO(without_a_registration_program_nothing_is_registered) {
  std::string package = LayOutPackage();
  std::string system = SystemFolder();
  REQUIRE(DeleteFileW(W(system + "\\regsvr32.exe").c_str()));
  REQUIRE(UseTheRegistrationProgramFile());
  // Wine would otherwise run its own build in place of the missing file.
  Program missing = Start(system + "\\regsvr32.exe");
  REQUIRE(missing.info.hProcess == nullptr);
  REQUIRE(CopyTo(Fixture("regsvr32.exe"), package + "\\REGSVR32.EXE"));

  Program setup = Start(package + "\\Setup.exe", package, {std::string("QEL_RECORD=") + kRecord});
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  CHECK(!Visible(ErrorList(result)));
  for (const char* name : kRuntime)
    CHECK(ReadFile(system + "\\" + name) == ReadFile(package + "\\" + name));
  CHECK(IsFile(std::string(kCartella) + "\\QelPictura.exe"));
  CHECK(CloseResult(setup, result));
  CHECK(WaitFor([&] { return Filter(RecordLines(kRecord), "started|").size() == 1; }));
  std::vector<std::string> lines = RecordLines(kRecord);
  CHECK(Filter(lines, "regsvr32|").empty() && Filter(lines, "registered|").empty());
  if (lines.size() != 1) Print("record", lines);
}

// The all-users desktop and programs folders cannot be found: the shortcuts go to the
// current user's folders, which are made for them, and the uninstaller finds them there.
SCENARIO(without_the_all_users_folders_the_user_folders_are_made_and_used) {
  std::string package = LayOutPackage();
  const std::string machine = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  for (const char* folders : {"User Shell Folders", "Shell Folders"}) {
    REQUIRE(SetText(HKEY_LOCAL_MACHINE, machine + folders, "Common Desktop",
                    "C:\\Mancante\\Scrivania", REG_EXPAND_SZ));
    REQUIRE(SetText(HKEY_LOCAL_MACHINE, machine + folders, "Common Programs",
                    "C:\\Mancante\\Programmi", REG_EXPAND_SZ));
  }
  // The user's own folders are new ones (the prefix's desktop is a link into the home
  // folder of the machine).
  std::string profile = Environment("USERPROFILE");
  std::string desktop = profile + "\\Scrivania di prova";
  std::string programs = profile + "\\Menu di prova\\Programmi";
  for (const char* folders : {"User Shell Folders", "Shell Folders"}) {
    REQUIRE(SetText(HKEY_CURRENT_USER, machine + folders, "Desktop", desktop, REG_EXPAND_SZ));
    REQUIRE(SetText(HKEY_CURRENT_USER, machine + folders, "Programs", programs, REG_EXPAND_SZ));
  }
  REQUIRE(!IsFolder(desktop) && !IsFolder(programs));

  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  std::string target = std::string(kCartella) + "\\QelPictura.exe";
  CHECK(ReadShortcut(desktop + "\\QelPictura.lnk").target == target);
  CHECK(ReadShortcut(programs + "\\QelPictura\\QelPictura.lnk").target == target);
  CHECK(ReadShortcut(programs + "\\QelPictura\\Rimuovi QelPictura dal computer.lnk").target ==
        std::string(kCartella) + "\\Uninstall.exe");
  CHECK(!IsFolder("C:\\Mancante"));
  CHECK(!IsFile(Environment("PUBLIC") + "\\Desktop\\QelPictura.lnk"));
  CHECK(CloseResult(setup, result));

  REQUIRE(Uninstall(kCartella));
  CHECK(!IsFile(desktop + "\\QelPictura.lnk"));
  CHECK(!IsFolder(programs + "\\QelPictura"));
  CHECK(IsFolder(desktop) && IsFolder(programs));
  CHECK(!IsFolder("C:\\Mancante"));
}

// A Program Files folder named with spaces and with letters of no Western code page: it
// is proposed, installed into, linked, started and uninstalled from, every text intact.
SCENARIO(program_files_outside_every_western_code_page) {
  const std::string programFiles = "C:\\Программы 程序 files";
  const std::string D = programFiles + "\\QelPictura";
  REQUIRE(CreateDirectoryW(W(programFiles).c_str(), nullptr));
  REQUIRE(SetText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                  "ProgramFilesDir", programFiles));
  std::string package = LayOutPackage();

  Program setup = Start(package + "\\Setup.exe", package, {std::string("QEL_RECORD=") + kRecord});
  HWND destination = GoToDestinationPage(setup);
  REQUIRE(destination != nullptr);
  std::vector<HWND> edits = Children(destination, "Edit");
  REQUIRE(edits.size() == 1);
  CHECK(Text(edits.front()) == D);
  // The status line names each file on its way, path and all.
  HWND status =
      Child(destination, "Static", "Clicca sul pulsante 'Conferma' per installare QelPictura");
  REQUIRE(status != nullptr);
  Press(Child(destination, "Button", "&Conferma"));
  // Read without a message, which would wait for the run's next pump: the run holds
  // each of these texts for one or two of its pauses.
  auto caption = [](HWND h) {
    wchar_t text[1024] = {};
    GetWindowTextW(h, text, 1024);
    return U(text);
  };
  std::vector<std::string> seen;
  WaitFor(
      [&] {
        std::string now = caption(status);
        if (!now.empty() && (seen.empty() || seen.back() != now)) seen.push_back(now);
        return !IsWindow(destination);
      },
      60000);
  HWND result = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi");
  REQUIRE(result != nullptr);
  for (const char* name :
       {"\\QelPictura.exe", "\\help.htm", "\\temi\\happysmile.qelpictura", "\\Uninstall.exe"})
    CHECK(std::count(seen.begin(), seen.end(), "Copia dei files in corso...\r\n" + D + name) == 1);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  CHECK(ReadFile(D + "\\QelPictura.exe") == ReadFile(package + "\\QelPictura.exe"));
  CHECK(IsFile(D + "\\help.htm") && IsFile(D + "\\Uninstall.exe") &&
        IsFile(D + "\\temi\\happysmile.qelpictura"));
  std::string menu =
      Environment("ProgramData") + "\\Microsoft\\Windows\\Start Menu\\Programs\\" + "QelPictura";
  // A shortcut holds its target twice: as an item identifier list, from which Windows
  // starts it, and as a path text, which Wine writes in the system code page only (and
  // from which Wine's own shell then fails to start it).
  std::string desktopLink = Environment("PUBLIC") + "\\Desktop\\QelPictura.lnk";
  Shortcut link = ReadShortcut(desktopLink);
  CHECK(link.item == D + "\\QelPictura.exe");
  CHECK(link.description == "Cattura le immagini dal desktop con QelPictura");
  CHECK(ReadShortcut(menu + "\\QelPictura.lnk").item == D + "\\QelPictura.exe");
  CHECK(ReadShortcut(menu + "\\Rimuovi QelPictura dal computer.lnk").item == D + "\\Uninstall.exe");
  if (link.target != D + "\\QelPictura.exe")
    std::printf("  the link's path text: %s\n", link.target.c_str());
  CHECK(CloseResult(setup, result));
  std::string started = "started|" + D + "\\QelPictura.exe|\"" + D + "\\QelPictura.exe\"";
  CHECK(WaitFor([&] { return Filter(RecordLines(kRecord), "started|") == std::vector{started}; }));
  // The stand-in runtime has replaced the system's OLE type library, so the desktop shell's
  // objects cannot be reached: Setup starts the program itself, in its folder.
  std::string where = "cartella|" + D + "|" + std::to_string(setup.info.dwProcessId);
  CHECK(WaitFor([&] { return Filter(RecordLines(kRecord), "cartella|") == std::vector{where}; }));

  REQUIRE(Uninstall(D));
  CHECK(!IsFile(D + "\\QelPictura.exe") && !IsFile(D + "\\help.htm") && !IsFolder(D + "\\temi"));
  CHECK(IsFile(D + "\\Uninstall.exe"));
  CHECK(!IsFile(Environment("PUBLIC") + "\\Desktop\\QelPictura.lnk") && !IsFolder(menu));
  // Started again, it names the folder left to remove by hand.
  Program again = Start(D + "\\Uninstall.exe", D);
  HWND box = MessageBoxOf(again, "QelSoftware");
  REQUIRE(box != nullptr);
  CHECK(MessageText(box) ==
        "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n" + D);
  Press(GetDlgItem(box, IDOK));
  CHECK(again.Exited());
}

// The installed version as every kind of registry value and as hostile texts: Setup
// never falls over, and warns exactly when the value reads as a number above 1.
SCENARIO(version_values_of_every_kind_and_hostile_texts) {
  struct Case {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    bool warns;
  };
  auto text = [](const std::wstring& s) {
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(s.data()),
                            reinterpret_cast<const BYTE*>(s.data() + s.size()));
    bytes.push_back(0), bytes.push_back(0);
    return bytes;
  };
  auto number = [](std::uint64_t n, std::size_t size) {
    std::vector<BYTE> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(n >> (8 * i));
    return bytes;
  };
  const std::vector<Case> cases = {
      {"text 2", REG_SZ, text(L"2"), true},
      {"no key", REG_NONE, {}, false},
      {"text 1", REG_SZ, text(L"1"), false},
      {"text 2.5", REG_SZ, text(L"2.5"), true},
      {"text 1.4", REG_SZ, text(L"1.4"), false},
      {"text -3", REG_SZ, text(L"-3"), false},
      {"text 40000", REG_SZ, text(L"40000"), false},
      {"letters", REG_SZ, text(L"abc"), false},
      {"32-bit 1", REG_DWORD, number(1, 4), false},
      {"expandable text 2", REG_EXPAND_SZ, text(L"2"), true},
      {"32-bit 2", REG_DWORD, number(2, 4), true},
      {"32-bit -2", REG_DWORD, number(0xFFFFFFFEu, 4), false},
      {"32-bit 40000", REG_DWORD, number(40000, 4), false},
      {"64-bit 2", REG_QWORD, number(2, 8), false},
      {"64-bit above 32 bits", REG_QWORD, number(0x100000002ull, 8), false},
      {"bytes 02", REG_BINARY, {2}, false},
      {"list of texts 2", REG_MULTI_SZ, {'2', 0, 0, 0, 0, 0}, false},
      {"only spaces", REG_SZ, text(std::wstring(40, L' ')), false},
      {"very long letters", REG_SZ, text(std::wstring(100000, L'A')), false},
      {"very long digits", REG_SZ, text(std::wstring(5000, L'9')), false},
      {"2 among many spaces", REG_SZ,
       text(std::wstring(5000, L' ') + L"2" + std::wstring(5000, L' ')), true},
      {"hex &H10", REG_SZ, text(L"&H10"), true},
      {"hex &H1", REG_SZ, text(L"&H1"), false},
      {"exponent 2E0", REG_SZ, text(L"2E0"), true},
      {"exponent 2E5", REG_SZ, text(L"2E5"), false},
      {"exponent 1E0", REG_SZ, text(L"1E0"), false},
      {"NUL before the digit", REG_SZ, text({L'\0', L'2'}), false},
      // Wine's RegRead gives back the text up to the NUL.
      {"NUL inside", REG_SZ, text({L'2', L'\0', L'9', L'9', L'9', L'9'}), true},
  };
  std::string package = LayOutPackage();
  for (const Case& c : cases) {
    REQUIRE(c.type == REG_NONE ? Run("reg delete HKLM\\SOFTWARE\\Qel\\Pictura /f") == 0
                               : SetValue("SOFTWARE\\Qel\\Pictura", "Version", c.type,
                                          c.data.data(), static_cast<DWORD>(c.data.size())));
    Program setup = Start(package + "\\Setup.exe", package);
    HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
    if (CHECK(welcome != nullptr)) {
      std::printf("  case: %s\n", c.name);
      setup.Kill();
      continue;
    }
    Press(Child(welcome, "Button", "&Continua"));
    HWND warning = nullptr, licence = nullptr;
    WaitFor([&] {
      for (HWND h : Windows(setup, kTitolo)) {
        if (Visible(Child(h, "Button", "&OK"))) warning = h;
        if (Child(h, "Button", kAccetto)) licence = h;
      }
      return warning || licence;
    });
    bool right = (warning != nullptr) == c.warns && (warning || licence);
    if (warning) {
      // Modal, left-aligned, with its one button: the licence page only after the answer.
      HWND avviso = Child(warning, "Static", kAvviso);
      right = right && !licence && avviso && !Visible(Child(warning, "Button", "&Si")) &&
              !Visible(Child(warning, "Button", "&No")) &&
              (GetWindowLongW(avviso, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
      Press(Child(warning, "Button", "&OK"));
      right = right && WaitWindowWith(setup, kTitolo, "Button", kAccetto) != nullptr;
    }
    right = right && WaitFor([&] { return Windows(setup, kTitolo).size() == 1; });
    if (CHECK(right && !setup.Exited(0)))
      std::printf("  case: %s (warning %s)\n", c.name, warning ? "shown" : "not shown");
    setup.Kill();
    setup.Exited();
  }
}

// Programs and DLLs planted in the package folder, in the installation folder and at the
// root of the drive: neither Setup, nor Uninstall, nor what Setup starts ever runs one of
// them. Two witnesses: a planted DLL records every process it is loaded into, and the
// DLLs the programs load once they run (the common controls and what these load) are
// mapped from the system, not from the plants' folders. A program that does not restrict
// its DLL search loads the plants, so both checks can fail.
SCENARIO(planted_programs_and_dlls_never_run_or_load) {
  const char* const plants[] = {"comctl32.dll", "uxtheme.dll", "version.dll", "dwmapi.dll"};
  // Wine maps version.dll while it resolves the program's own imports, before the program
  // runs, and looks for it in the program's folder first (it runs its built-in code all
  // the same). No call of the program can reach that moment, so only the others count
  // for where they were mapped from.
  const char* const loadedLater[] = {"comctl32.dll", "uxtheme.dll", "dwmapi.dll"};
  std::string package = LayOutPackage();
  std::string system = SystemFolder();
  REQUIRE(CreateDirectoryW(W(kCartella).c_str(), nullptr));
  for (const char* plant : plants)
    REQUIRE(CopyTo(Fixture("runtime.dll"), package + "\\" + plant) &&
            CopyTo(Fixture("runtime.dll"), std::string(kCartella) + "\\" + plant));
  // The planted programs are the recording stand-in of the product, so a run of one of
  // them shows as "started|<its path>".
  REQUIRE(CopyTo(Fixture("QelPictura.exe"), package + "\\REGSVR32.EXE"));
  REQUIRE(CopyTo(Fixture("QelPictura.exe"), "C:\\Program.exe"));
  REQUIRE(CopyTo(Fixture("regsvr32.exe"), system + "\\regsvr32.exe"));
  REQUIRE(UseTheRegistrationProgramFile());
  SetEnvironment("QEL_RECORD", kRecord);
  SetEnvironment("QEL_RECORD_LOADS", kCaricamenti);
  auto planted = [&](const std::string& path) {
    return InFolder(path, package) || InFolder(path, kCartella);
  };
  auto mappedFromPlants = [&](const Program& p) {
    std::vector<std::string> wrong;
    for (const std::string& path : Modules(p))
      for (const char* name : loadedLater)
        if (planted(path) && path.size() > std::strlen(name) &&
            lstrcmpiW(W(path.substr(path.size() - std::strlen(name))).c_str(), W(name).c_str()) ==
                0)
          wrong.push_back(path);
    return wrong;
  };

  // The control: the standard search takes the plants from the program's own folder,
  // unless the program restricts it as Setup and Uninstall do. (Wine keeps its own
  // build of a system DLL that is loaded already, so only some plants come in.)
  REQUIRE(CopyTo(Fixture("loadlib.exe"), package + "\\loadlib.exe"));
  std::string names = " comctl32.dll uxtheme.dll version.dll dwmapi.dll";
  CHECK(Run(package + "\\loadlib.exe" + names) == 0);
  std::vector<std::string> control = Filter(RecordLines(kCaricamenti), "loaded|" + package);
  CHECK(!control.empty());
  DeleteFileW(W(kCaricamenti).c_str());
  CHECK(Run(package + "\\loadlib.exe /system32" + names) == 0);
  CHECK(Filter(RecordLines(kCaricamenti), "loaded|" + package).empty());
  DeleteFileW(W(kCaricamenti).c_str());

  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  CHECK(Visible(Child(result, "Static", "Installazione eseguita correttamente")));
  std::vector<std::string> setupModules = Modules(setup);
  CHECK(!setupModules.empty());
  std::vector<std::string> wrong = mappedFromPlants(setup);
  if (CHECK(wrong.empty())) Print("Setup mapped", wrong);
  CHECK(CloseResult(setup, result));
  std::string program = std::string(kCartella) + "\\QelPictura.exe";
  CHECK(WaitFor([&] {
    return Filter(RecordLines(kRecord), "started|") ==
           std::vector<std::string>{"started|" + program + "|\"" + program + "\""};
  }));
  CHECK(WaitFor([&] { return Filter(RecordLines(kRecord), "regsvr32|").size() == 6; }));
  REQUIRE(Uninstall(kCartella, [&](const Program& uninstall) {
    std::vector<std::string> wrong = mappedFromPlants(uninstall);
    if (CHECK(wrong.empty())) Print("Uninstall mapped", wrong);
  }));
  CHECK(!IsFile(program));

  std::vector<std::string> loads = RecordLines(kCaricamenti);
  bool ran = false;
  for (const auto& line : loads)
    ran |= line.find("|" + package + "\\") != std::string::npos ||
           line.find("|" + std::string(kCartella) + "\\") != std::string::npos;
  if (CHECK(!ran)) Print("loads", loads);
  CHECK(Filter(RecordLines(kRecord), "started|").size() == 1);
}

// "temi", the menu folder and the desktop as symbolic links to folders of the user's own
// files, made from Unix (Wine shows them as reparse points): the removal deletes nothing
// through them, and the rest goes as usual.
SCENARIO(removal_never_deletes_through_a_link) {
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = Install(setup);
  REQUIRE(result != nullptr);
  REQUIRE(CloseResult(setup, result));
  struct Legame {
    std::string link, target;
    std::vector<const char*> files;
  } legami[] = {
      {std::string(kCartella) + "\\temi",
       "C:\\Documenti\\Temi",
       {"happysmile.qelpictura", "foto.jpg"}},
      {Menu(), "C:\\Documenti\\Menu", {"QelPictura.lnk", "mio.lnk", "nota.txt"}},
      {Desktop(), "C:\\Documenti\\Scrivania", {"QelPictura.lnk"}},
  };
  REQUIRE(CreateDirectoryW(L"C:\\Documenti", nullptr));
  for (const auto& l : legami) {
    REQUIRE(CreateDirectoryW(W(l.target).c_str(), nullptr));
    for (const char* f : l.files) REQUIRE(WriteFile(l.target + "\\" + f, "dell'utente"));
    WIN32_FIND_DATAW found;  // the folder goes, with the files Setup put there
    HANDLE search = FindFirstFileW(W(l.link + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
      DeleteFileW(W(l.link + "\\" + U(found.cFileName)).c_str());
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    REQUIRE(RemoveDirectoryW(W(l.link).c_str()));
    RunUnix("Z:\\usr\\bin\\ln -s \"" + UnixName(l.target) + "\" \"" + UnixName(l.link) + "\"");
    REQUIRE(WaitFor([&] {
      DWORD attributes = GetFileAttributesW(W(l.link).c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }));
  }
  REQUIRE(Uninstall(kCartella));
  for (const auto& l : legami)
    for (const char* f : l.files) CHECK(IsFile(l.target + "\\" + f));
  CHECK(!IsFile(std::string(kCartella) + "\\QelPictura.exe"));
}

// An uninstaller copied into a folder that holds files of the product's names among
// others: it removes exactly what its names and patterns say, and nothing else there.
SCENARIO(uninstall_elsewhere_removes_only_what_its_patterns_name) {
  const std::string folder = "C:\\Altra cartella";
  std::string package = LayOutPackage();
  REQUIRE(CreateDirectoryW(W(folder).c_str(), nullptr));
  REQUIRE(CopyTo(package + "\\Uninstall.exe", folder + "\\Uninstall.exe"));
  const char* const removed[] = {"QelPictura.exe", "help.htm", "temi\\a.txt",
                                 "temi\\tema.qelpictura", "temi\\senza estensione"};
  const char* const kept[] = {"QelPictura.exe.bak",
                              "QelPictura.ex",
                              "help.html",
                              "help.htm.txt",
                              "leggimi.txt",
                              "temi.txt",
                              "temi\\sottocartella\\tema.qelpictura",
                              "Uninstall.exe"};
  CreateDirectoryW(W(folder + "\\temi").c_str(), nullptr);
  CreateDirectoryW(W(folder + "\\temi\\sottocartella").c_str(), nullptr);
  for (const char* name : removed) REQUIRE(WriteFile(folder + "\\" + name, "non del prodotto"));
  for (const char* name : kept)
    if (std::string(name) != "Uninstall.exe")
      REQUIRE(WriteFile(folder + "\\" + name, "non del prodotto"));
  REQUIRE(WriteFile("C:\\help.htm", "fuori") && WriteFile("C:\\QelPictura.exe", "fuori"));

  REQUIRE(Uninstall(folder));
  for (const char* name : removed) CHECK(!IsFile(folder + "\\" + name));
  for (const char* name : kept) CHECK(IsFile(folder + "\\" + name));
  CHECK(IsFolder(folder + "\\temi"));  // its subfolder keeps it
  CHECK(IsFile("C:\\help.htm") && IsFile("C:\\QelPictura.exe"));
}
