// Faults and hostile surroundings, one row each, every row in a prefix of its own: files
// that cannot be replaced, system parts that are missing, unusual folders and registry
// values, programs and DLLs planted where a careless search would find them, links, and
// an uninstaller copied elsewhere.
#include <shlobj.h>

#include "../Driver.h"

using namespace e2e;

#ifndef E2E_HAS_JOURNEY_HELPERS
namespace e2e {
// Welcome, licence and destination pages, then "Conferma": the result page.
HWND Install(const Program& setup) {
  HWND destination = GoToDestinationPage(setup);
  return destination ? ConfirmAndWaitForResult(setup, destination) : nullptr;
}
// The removal run of the uninstaller in that folder, confirmed, to its end.
bool Uninstall(const std::string& folder) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi"), box = nullptr;
  if (window) Press(Child(window, "Button", "&Rimuovi"));
  if (window && (box = MessageBoxOf(u, kTitoloRimozione))) Press(GetDlgItem(box, IDOK));
  HWND close = nullptr;
  if (!box || !WaitFor([&] { return (close = Child(window, "Button", "Chiudi")); }, 30000))
    return false;
  Press(close);
  return u.Exited();
}
}  // namespace e2e
#endif

namespace {

const std::string kRecord = "C:\\record.txt", kLoads = "C:\\caricamenti.txt";
const std::string kOld = "vecchio contenuto";
const char kShortcutsFailed[] = "Problemi nella creazione dei collegamenti";
const char kAvviso[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";
const char kAlreadyGone[] =
    "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
const std::vector<std::string> kStarted = {"started|<D>\\QelPictura.exe|\"<D>\\QelPictura.exe\"",
                                           "cartella|<D>|<setup>"};

std::string package, folder = "C:\\Program Files\\QelPictura";
DWORD setupId = 0;
std::vector<HANDLE> held;

// A text with the places of this prefix: <D> the installation folder, <S> the system
// folder, <P> the package, <K> the desktop, <M> the menu folder, <setup> Setup's process id.
std::string Expand(std::string text) {
  const std::pair<std::string, std::string> places[] = {
      {"<D>", folder},    {"<S>", SystemFolder()}, {"<P>", package},
      {"<K>", Desktop()}, {"<M>", Menu()},         {"<setup>", std::to_string(setupId)}};
  for (const auto& [token, place] : places)
    for (std::size_t at; (at = text.find(token)) != std::string::npos;)
      text.replace(at, token.size(), place);
  return text;
}

std::vector<std::string> Lines(const std::string& start) {
  std::vector<std::string> out;
  for (const std::string& line : RecordLines(kRecord))
    if (line.rfind(start, 0) == 0) out.push_back(line);
  return out;
}

bool Visible(HWND h) { return h && IsWindowVisible(h); }

bool Copy(const std::string& from, const std::string& to) {
  return CopyFileW(W(from).c_str(), W(to).c_str(), FALSE) != 0;
}

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(U(text));
  }
  return items;
}

// The Unix name of a file of the prefix, quoted, for the machine's own commands.
std::string Unix(const std::string& path) {
  auto name = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  return "\"" + std::string(name(W(path).c_str())) + "\"";
}

// Old content, marked read-only as a user does; Wine keeps that mark in Unix mode bits,
// which bind no one when the tests run as root, so the file is made immutable too.
bool ReadOnly(const std::string& path) {
  if (!WriteFile(path, kOld) || !SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_READONLY))
    return false;
  Run("Z:\\usr\\bin\\chattr +i " + Unix(path));
  return WaitFor([&] { return !WriteFile(path, kOld); }, 5000);
}

// Old content, held open without sharing until the row's files are checked.
bool Held(const std::string& path) {
  held.push_back(WriteFile(path, kOld) ? CreateFileW(W(path).c_str(), GENERIC_READ, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr)
                                       : INVALID_HANDLE_VALUE);
  return held.back() != INVALID_HANDLE_VALUE;
}

// The path a shortcut's item identifier list names, through the shell's link reader.
std::string LinkItem(const std::string& path) {
  wchar_t text[MAX_PATH] = {};
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  PIDLIST_ABSOLUTE item = nullptr;
  CoInitialize(nullptr);
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(W(path).c_str(), STGM_READ)) && SUCCEEDED(link->GetIDList(&item)))
    SHGetPathFromIDListW(item, text);
  CoTaskMemFree(item);
  if (file) file->Release();
  if (link) link->Release();
  return U(text);
}

struct Row {
  std::function<bool()> prepare = [] { return true; };
  bool installs = true;
  std::vector<std::string> errors = {};        // the result page's list, shown when not empty
  int registrations = 6;                       // "regsvr32|" lines the run leaves
  std::vector<std::string> starts = kStarted;  // what closing the result page starts
  std::function<void()> then = [] {};
  // Then: '=' as in the package, 'o' the old content, '+' there, '-' gone.
  std::vector<std::string> files = {};
};

// The package laid out, the recording registration program in the system folder; the
// row's preparation, its installation, what follows it, and its files.
void Sweep(const Row& row) {
  package = LayOutPackage();
  REQUIRE(Copy(Fixture("regsvr32.exe"), SystemFolder() + "\\regsvr32.exe"));
  REQUIRE(row.prepare());
  if (row.installs) {
    Program setup = Start(package + "\\Setup.exe", package);
    setupId = setup.info.dwProcessId;
    HWND result = Install(setup);
    REQUIRE(result != nullptr);
    std::vector<HWND> lists = Children(result, "ListBox");
    REQUIRE(lists.size() == 1);
    CHECK(Visible(lists[0]) == !row.errors.empty() && Items(lists[0]) == row.errors);
    CHECK(Visible(Child(result, "Static",
                        row.errors.empty()
                            ? "Installazione eseguita correttamente"
                            : "L'installazione non è stata completata correttamente\r\nErrori:")));
    CHECK(Visible(Child(result, "Static", "Il programma verrà subito avviato, buon lavoro!")) ==
          row.errors.empty());
    CHECK(WaitFor([&] { return Lines("regsvr32|").size() == std::size_t(row.registrations); }));
    Press(Child(result, "Button", "&Chiudi"));
    CHECK(setup.Exited());
    std::vector<std::string> starts;
    for (const std::string& line : row.starts) starts.push_back(Expand(line));
    CHECK(WaitFor([&] {
      std::vector<std::string> seen = Lines("started|"), where = Lines("cartella|");
      seen.insert(seen.end(), where.begin(), where.end());
      return seen == starts;
    }));
  }
  row.then();
  for (HANDLE h : held) CloseHandle(h);
  for (const std::string& f : row.files) {
    std::string path = Expand(f.substr(1)), name = path.substr(path.rfind('\\'));
    bool there = IsFile(path) || IsFolder(path);
    if (CHECK(f[0] == '='   ? there && ReadFile(path) == ReadFile(package + name)
              : f[0] == 'o' ? ReadFile(path) == kOld
                            : there == (f[0] == '+')))
      std::printf("  %s [%s]\n", f.c_str(), ReadFile(path).substr(0, 40).c_str());
  }
}

}  // namespace

// A read-only help page in an existing installation and a read-only runtime file stay as
// they were, silently; the rest arrives, and the registration of the file that stayed is
// still started.
SCENARIO(read_only_files_stay_and_the_rest_installs) {
  Sweep({.prepare =
             [] {
               return CreateDirectoryW(W(folder).c_str(), nullptr) &&
                      ReadOnly(folder + "\\help.htm") &&
                      ReadOnly(SystemFolder() + "\\asycfilt.dll");
             },
         .files = {"o<D>\\help.htm", "o<S>\\asycfilt.dll", "=<D>\\QelPictura.exe",
                   "=<D>\\temi\\happysmile.qelpictura", "=<D>\\Uninstall.exe", "=<S>\\msvbvm60.dll",
                   "+<K>\\QelPictura.lnk"}});
}

// The installed program and the essential runtime file held open: neither is replaced,
// no error is listed since both are there, the old file is no program to start.
SCENARIO(files_held_open_stay_and_the_rest_installs) {
  Sweep({.prepare =
             [] {
               return CreateDirectoryW(W(folder).c_str(), nullptr) &&
                      Held(folder + "\\QelPictura.exe") && Held(SystemFolder() + "\\msvbvm60.dll");
             },
         .starts = {},
         .files = {"o<D>\\QelPictura.exe", "o<S>\\msvbvm60.dll", "-<D>\\msvbvm60.dll",
                   "=<D>\\help.htm", "=<D>\\Uninstall.exe", "=<S>\\asycfilt.dll"}});
}

// Without "WScript.Shell" the version check says nothing although the registry names a
// newer version (its warning would hold the licence page back), and the shortcuts fail.
SCENARIO(without_the_scripting_object_shortcuts_fail_and_nothing_else) {
  Sweep({.prepare =
             [] {
               Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /d 2 /f");
               for (std::string node : {"", "Wow6432Node\\"})
                 for (std::string key : {"WScript.Shell", "WScript.Shell.1",
                                         "CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8}"})
                   Run("reg delete HKLM\\Software\\Classes\\" + node + key + " /f");
               return Run("reg query HKCR\\WScript.Shell") != 0;
             },
         .errors = {kShortcutsFailed},
         .files = {"+<M>", "-<M>\\QelPictura.lnk", "-<M>\\Rimuovi QelPictura dal computer.lnk",
                   "-<K>\\QelPictura.lnk", "=<D>\\QelPictura.exe", "=<D>\\help.htm",
                   "=<D>\\temi\\happysmile.qelpictura", "=<D>\\Uninstall.exe"}});
}

// A folder in the way of the desktop shortcut: it alone fails, and that is reported.
SCENARIO(a_desktop_shortcut_that_fails_alone_is_reported) {
  Sweep(
      {.prepare =
           [] { return CreateDirectoryW(W(Desktop() + "\\QelPictura.lnk").c_str(), nullptr) != 0; },
       .errors = {kShortcutsFailed},
       .files = {"+<M>\\QelPictura.lnk", "+<M>\\Rimuovi QelPictura dal computer.lnk"}});
}

// No registration program in the system folder, one planted beside Setup: nothing is
// registered, and the installation is complete all the same.
SCENARIO(without_a_registration_program_nothing_is_registered) {
  Sweep({.prepare =
             [] {
               // Wine would otherwise run its own build in place of the missing file.
               Run("reg add HKCU\\Software\\Wine\\DllOverrides /v regsvr32.exe /d native /f");
               return DeleteFileW(W(SystemFolder() + "\\regsvr32.exe").c_str()) &&
                      !Start(SystemFolder() + "\\regsvr32.exe").info.hProcess &&
                      Copy(Fixture("regsvr32.exe"), package + "\\REGSVR32.EXE");
             },
         .registrations = 0,
         .then = [] { CHECK(Lines("registered|").empty()); },
         .files = {"=<S>\\msvbvm60.dll", "=<S>\\oleaut32.dll", "=<S>\\olepro32.dll",
                   "=<S>\\asycfilt.dll", "=<S>\\stdole2.tlb", "=<S>\\comcat.dll"}});
}

// Without the all-users desktop and programs folders the user's own are made and used, and
// the uninstaller finds the shortcuts there.
SCENARIO(without_the_all_users_folders_the_user_folders_are_made_and_used) {
  Sweep({.prepare =
             [] {
               for (std::string folders : {"User Shell Folders", "Shell Folders"}) {
                 std::string key = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" +
                                   folders + "\" /t REG_EXPAND_SZ /f /v ";
                 Run("reg add \"HKLM" + key + "\"Common Desktop\" /d C:\\Mancante\\Scrivania");
                 Run("reg add \"HKLM" + key + "\"Common Programs\" /d C:\\Mancante\\Programmi");
                 Run("reg add \"HKCU" + key + "Desktop /d \"%USERPROFILE%\\Scrivania di prova\"");
                 Run("reg add \"HKCU" + key +
                     "Programs /d \"%USERPROFILE%\\Menu di prova\\Programmi\"");
               }
               std::printf("desktop %s menu %s\n", Desktop().c_str(), Menu().c_str());
           return Desktop().find("\\Scrivania di prova") != std::string::npos &&
                      !IsFolder(Desktop()) &&
                      Menu().find("\\Menu di prova\\Programmi\\") != std::string::npos;
             },
         .then =
             [] {
               CHECK(IsFile(Expand("<K>\\QelPictura.lnk")) &&
                     IsFile(Expand("<M>\\QelPictura.lnk")) &&
                     IsFile(Expand("<M>\\Rimuovi QelPictura dal computer.lnk")));
               REQUIRE(Uninstall(folder));
             },
         .files = {"-<K>\\QelPictura.lnk", "-<M>", "+<K>", "-C:\\Mancante"}});
}

// A Program Files folder with spaces and letters of no western code page: proposed,
// installed into, linked (the item list Windows starts from; Wine's path text loses those
// letters), started in its folder, removed from, and named once the product is gone.
SCENARIO(program_files_outside_every_western_code_page) {
  Sweep({.prepare =
             [] {
               folder = "C:\\Программы 程序 files\\QelPictura";
               return CreateDirectoryW(W(folder.substr(0, folder.rfind('\\'))).c_str(), nullptr) &&
                      Run("reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v "
                          "ProgramFilesDir /d \"" +
                          folder.substr(0, folder.rfind('\\')) + "\" /f") == 0;
             },
         .then =
             [] {
               for (auto [link, target] :
                    {std::pair{"<K>\\QelPictura.lnk", "<D>\\QelPictura.exe"},
                     {"<M>\\QelPictura.lnk", "<D>\\QelPictura.exe"},
                     {"<M>\\Rimuovi QelPictura dal computer.lnk", "<D>\\Uninstall.exe"}})
                 CHECK(LinkItem(Expand(link)) == Expand(target));
               REQUIRE(Uninstall(folder));
               Program again = Start(folder + "\\Uninstall.exe", folder);
               HWND box = MessageBoxOf(again, "QelSoftware");
               REQUIRE(box && Child(box, "Static", kAlreadyGone + folder));
               Press(GetDlgItem(box, IDOK));
               CHECK(again.Exited());
             },
         .files = {"-<D>\\QelPictura.exe", "-<D>\\help.htm", "-<D>\\temi", "+<D>\\Uninstall.exe",
                   "-<K>\\QelPictura.lnk", "-<M>"}});
}

// The installed version as every kind of registry value and as hostile texts: Setup
// never falls over, and warns exactly when the value reads as a number above 1; the
// warning is modal, left-aligned, with its one button, and the licence page follows it.
SCENARIO(version_values_of_every_kind_and_hostile_texts) {
  struct Value {
    DWORD type;
    std::wstring text;
    unsigned long long number;
    bool warns;
  };
  static const Value values[] = {
      {REG_SZ, L"2", 0, true},
      {REG_NONE, L"", 0, false},
      {REG_SZ, L"1", 0, false},
      {REG_SZ, L"2.5", 0, true},
      {REG_SZ, L"1.4", 0, false},
      {REG_SZ, L"-3", 0, false},
      {REG_SZ, L"40000", 0, false},
      {REG_SZ, L"abc", 0, false},
      {REG_DWORD, L"", 1, false},
      {REG_EXPAND_SZ, L"2", 0, true},
      {REG_DWORD, L"", 2, true},
      {REG_DWORD, L"", 0xFFFFFFFE, false},
      {REG_DWORD, L"", 40000, false},
      {REG_QWORD, L"", 2, false},
      {REG_QWORD, L"", 0x100000002, false},
      {REG_BINARY, L"", 2, false},
      {REG_MULTI_SZ, L"2", 0, false},
      {REG_SZ, std::wstring(40, L' '), 0, false},
      {REG_SZ, std::wstring(100000, L'A'), 0, false},
      {REG_SZ, std::wstring(5000, L'9'), 0, false},
      {REG_SZ, std::wstring(5000, L' ') + L"2" + std::wstring(5000, L' '), 0, true},
      {REG_SZ, L"&H10", 0, true},
      {REG_SZ, L"&H1", 0, false},
      {REG_SZ, L"2E0", 0, true},
      {REG_SZ, L"2E5", 0, false},
      {REG_SZ, L"1E0", 0, false},
      {REG_SZ, {L'\0', L'2'}, 0, false},
      {REG_SZ, {L'2', L'\0', L'9', L'9', L'9'}, 0, true}};  // Wine's RegRead stops at the NUL
  Sweep(
      {.installs = false, .then = [] {
         for (const Value& v : values) {
           std::wstring text = v.text + std::wstring(v.type == REG_MULTI_SZ ? 2 : 1, L'\0');
           bool textual = v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ;
           HKEY key = nullptr;
           REQUIRE(v.type == REG_NONE
                       ? Run("reg delete HKLM\\SOFTWARE\\Qel\\Pictura /f") == 0
                       : RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qel\\Pictura", 0, nullptr,
                                         0, KEY_SET_VALUE, nullptr, &key, nullptr) == 0 &&
                             RegSetValueExW(key, L"Version", 0, v.type,
                                            textual ? reinterpret_cast<const BYTE*>(text.data())
                                                    : reinterpret_cast<const BYTE*>(&v.number),
                                            textual               ? DWORD(text.size() * 2)
                                            : v.type == REG_QWORD ? 8
                                            : v.type == REG_DWORD ? 4
                                                                  : 1) == 0);
           RegCloseKey(key);
           Program setup = Start(package + "\\Setup.exe", package);
           HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua"), warning = nullptr,
                licence = nullptr;
           if (welcome) Press(Child(welcome, "Button", "&Continua"));
           WaitFor([&] {
             for (HWND h : Windows(setup, kTitolo)) {
               if (Child(h, "Static", kAvviso)) warning = h;
               if (!Children(h, "Edit").empty()) licence = h;
             }
             return warning || licence;
           });
           bool right = welcome && (warning != nullptr) == v.warns && (warning || licence);
           if (warning) {
             right = right && !licence && !Visible(Child(warning, "Button", "&Si")) &&
                     !Visible(Child(warning, "Button", "&No")) &&
                     (GetWindowLongW(Child(warning, "Static", kAvviso), GWL_STYLE) & SS_TYPEMASK) ==
                         SS_LEFT;
             Press(Child(warning, "Button", "&OK"));
             right = right && WaitFor([&] {
                       return Windows(setup, kTitolo).size() == 1 &&
                              !Children(Windows(setup, kTitolo)[0], "Edit").empty();
                     });
           }
           if (CHECK(right && WaitFor([&] { return Windows(setup, kTitolo).size() == 1; }) &&
                     !setup.Exited(0)))
             std::printf("  value %d of type %lu\n", int(&v - values), v.type);
           setup.Kill();
           setup.Exited();
         }
       }});
}

// Programs and DLLs planted in the package, in the installation folder and at the root of
// the drive: neither Setup, nor Uninstall, nor what Setup starts runs or loads one. A
// planted DLL records every process it is loaded into; the control, a program of the
// package that does not restrict its search, loads them, so the check can fail.
SCENARIO(planted_programs_and_dlls_never_run_or_load) {
  Sweep(
      {.prepare =
           [] {
             bool planted = CreateDirectoryW(W(folder).c_str(), nullptr) &&
                            SetEnvironmentVariableW(L"QEL_RECORD_LOADS", W(kLoads).c_str());
             for (const std::string& where : {package, folder})
               for (const char* dll : {"comctl32.dll", "uxtheme.dll", "version.dll", "dwmapi.dll"})
                 planted = planted && Copy(Fixture("runtime.dll"), where + "\\" + dll);
             return planted && Copy(Fixture("regsvr32.exe"), package + "\\REGSVR32.EXE") &&
                    Copy(Fixture("QelPictura.exe"), "C:\\Program.exe");
           },
       .then =
           [] {
             REQUIRE(Uninstall(folder));
             std::string loads = ReadFile(kLoads);
             if (CHECK(loads.find(package + "\\") == std::string::npos &&
                       loads.find(folder + "\\") == std::string::npos))
               std::printf("%s", loads.c_str());
             Run(package + "\\regsvr32.exe comctl32.dll uxtheme.dll version.dll dwmapi.dll");
             CHECK(ReadFile(kLoads).find("loaded|" + package + "\\") != std::string::npos);
           },
       .files = {"-<D>\\QelPictura.exe"}});
}

// A package without the product files: reported, and nothing is started; an earlier
// installation's uninstaller is replaced all the same.
SCENARIO(a_package_without_product_files_is_reported) {
  Sweep({.prepare =
             [] {
               for (const char* name : {"QelPictura.exe", "help.htm", "happysmile.qelpictura"})
                 DeleteFileW(W(package + "\\" + name).c_str());
               return CreateDirectoryW(W(folder).c_str(), nullptr) &&
                      WriteFile(folder + "\\Uninstall.exe", kOld);
             },
         .errors = {"Non è stato possibile copiare il file principale dell'applicazione"},
         .starts = {},
         .files = {"=<D>\\Uninstall.exe", "-<D>\\QelPictura.exe", "-<D>\\help.htm"}});
}

// A file where the menu folder would go: no shortcut at all, not even the desktop's.
SCENARIO(a_menu_folder_in_the_way_gives_no_shortcut) {
  Sweep({.prepare = [] { return WriteFile(Menu(), "a file where the folder would go"); },
         .errors = {"Impossibile creare dei collegamenti nel menu avvio"},
         .files = {"-<K>\\QelPictura.lnk", "=<D>\\QelPictura.exe"}});
}

// The proposed folder's parent goes while the page shows it: "Conferma" says so and the
// page stays as it was; once the parent is back, "Conferma" installs.
SCENARIO(a_missing_destination_parent_keeps_the_page) {
  Sweep({.prepare =
             [] {
               folder = "C:\\Mancante\\Programmi\\QelPictura";
               return CreateDirectoryW(L"C:\\Mancante", nullptr) &&
                      CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr) &&
                      Run("reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v "
                          "ProgramFilesDir /d C:\\Mancante\\Programmi /f") == 0;
             },
         .installs = false,
         .then =
             [] {
               Program setup = Start(package + "\\Setup.exe", package);
               HWND page = GoToDestinationPage(setup);
               std::vector<HWND> box = page ? Children(page, "Edit") : std::vector<HWND>{};
               REQUIRE(box.size() == 1 && Text(box[0]) == folder &&
                       RemoveDirectoryW(L"C:\\Mancante\\Programmi"));
               Press(Child(page, "Button", "&Conferma"));
               HWND message = WaitWindowWith(
                   setup, kTitolo, "Static",
                   "\r\nNon riesco a creare la cartella\r\n" + folder +
                       "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'");
               REQUIRE(message != nullptr);
               Press(Child(message, "Button", "&OK"));
               CHECK(WaitFor([&] { return !IsWindow(message) && IsWindowEnabled(page); }) &&
                     Text(box[0]) == folder && !IsFolder("C:\\Mancante\\Programmi"));
               REQUIRE(CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr));
               CHECK(ConfirmAndWaitForResult(setup, page) != nullptr);
             },
         .files = {"=<D>\\QelPictura.exe"}});
}

// A file of another kind in the menu folder keeps the folder; the shortcuts go.
SCENARIO(a_text_file_keeps_the_menu_folder) {
  Sweep({.then = [] { REQUIRE(WriteFile(Menu() + "\\appunti.txt", "miei") && Uninstall(folder)); },
         .files = {"+<M>\\appunti.txt", "-<M>\\QelPictura.lnk",
                   "-<M>\\Rimuovi QelPictura dal computer.lnk", "-<D>\\QelPictura.exe"}});
}

// "temi", the menu folder and the desktop made symbolic links (from Unix; Wine shows them
// as reparse points) to folders of the user's files: the removal deletes nothing there.
SCENARIO(removal_never_deletes_through_a_link) {
  Sweep({.then =
             [] {
               const char* const names[] = {"QelPictura.lnk", "Rimuovi QelPictura dal computer.lnk",
                                            "happysmile.qelpictura", "foto.jpg"};
               const std::pair<std::string, std::string> links[] = {{folder + "\\temi", "C:\\Temi"},
                                                                    {Menu(), "C:\\Menu"},
                                                                    {Desktop(), "C:\\Scrivania"}};
               for (const auto& [link, target] : links) {
                 REQUIRE(CreateDirectoryW(W(target).c_str(), nullptr));
                 for (const char* name : names) {
                   DeleteFileW(W(link + "\\" + name).c_str());
                   REQUIRE(WriteFile(target + "\\" + name, "dell'utente"));
                 }
                 REQUIRE(RemoveDirectoryW(W(link).c_str()));
                 Run("Z:\\usr\\bin\\ln -s " + Unix(target) + " " + Unix(link));
                 REQUIRE(WaitFor([&] {
                   return IsFolder(link) &&
                          (GetFileAttributesW(W(link).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
                 }));
               }
               REQUIRE(Uninstall(folder));
               for (const auto& [link, target] : links)
                 for (const char* name : names) CHECK(IsFile(target + "\\" + name));
             },
         .files = {"-<D>\\QelPictura.exe", "-<D>\\help.htm"}});
}

// A copy of the uninstaller in a folder of other files removes exactly what its names and
// patterns say; a copy in a folder without the product removes nothing.
SCENARIO(uninstall_elsewhere_removes_only_what_its_patterns_name) {
  static const std::vector<std::string> files = {"-<D>\\QelPictura.exe",
                                                 "-<D>\\help.htm",
                                                 "-<D>\\temi\\a.txt",
                                                 "-<D>\\temi\\tema.qelpictura",
                                                 "-<D>\\temi\\senza estensione",
                                                 "+<D>\\QelPictura.exe.bak",
                                                 "+<D>\\QelPictura.ex",
                                                 "+<D>\\help.html",
                                                 "+<D>\\help.htm.txt",
                                                 "+<D>\\leggimi.txt",
                                                 "+<D>\\temi.txt",
                                                 "+<D>\\temi\\sottocartella\\tema.qelpictura",
                                                 "+<D>\\Uninstall.exe",
                                                 "+C:\\help.htm",
                                                 "+C:\\QelPictura.exe",
                                                 "+C:\\altrove\\help.htm",
                                                 "+C:\\altrove\\temi\\t.tema"};
  Sweep({.prepare =
             [] {
               folder = "C:\\Altra cartella";
               bool made = true;
               for (const std::string& f :
                    {folder, folder + "\\temi", folder + "\\temi\\sottocartella",
                     std::string("C:\\altrove"), std::string("C:\\altrove\\temi")})
                 made = made && CreateDirectoryW(W(f).c_str(), nullptr);
               for (const std::string& f : files)
                 made = made && WriteFile(Expand(f.substr(1)), "non del prodotto");
               return made && Copy(package + "\\Uninstall.exe", folder + "\\Uninstall.exe") &&
                      Copy(package + "\\Uninstall.exe", "C:\\altrove\\Uninstall.exe");
             },
         .installs = false,
         .then =
             [] {
               REQUIRE(Uninstall(folder));
               Program stray = Start("C:\\altrove\\Uninstall.exe", "C:\\altrove");
               HWND box = MessageBoxOf(stray, "QelSoftware");
               REQUIRE(box && Child(box, "Static", kAlreadyGone + std::string("C:\\altrove")));
               Press(GetDlgItem(box, IDOK));
               CHECK(stray.Exited());
             },
         .files = files});
}
