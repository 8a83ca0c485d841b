// Faults and hostile surroundings, one row each in a prefix of its own: files that cannot
// be replaced, missing system parts, unusual folders and registry values, planted
// programs and DLLs, links, and an uninstaller copied elsewhere.
#include <algorithm>
#include <tuple>

#include "../Driver.h"

using namespace e2e;

#ifndef E2E_HAS_JOURNEY_HELPERS
namespace e2e {
HWND Install(const Program& setup) {
  HWND destination = GoToDestinationPage(setup);
  return destination ? ConfirmAndWaitForResult(setup, destination) : nullptr;
}
bool Uninstall(const std::string& folder) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi"), box = nullptr,
       close = nullptr;
  if (window) Press(Child(window, "Button", "&Rimuovi"));
  if (window && (box = MessageBoxOf(u, kTitoloRimozione))) Press(GetDlgItem(box, IDOK));
  if (box && WaitFor([&] { return (close = Child(window, "Button", "Chiudi")); }, 30000))
    Press(close);
  return close && u.Exited();
}
}  // namespace e2e
#endif

namespace {

const std::string kOld = "vecchio contenuto",
                  kRemovalLink = "<M>\\Rimuovi QelPictura dal computer.lnk";
const std::string kShortcutsFailed = "Problemi nella creazione dei collegamenti";
const char kSuccess[] = "Installazione eseguita correttamente";
const char kFailure[] = "L'installazione non è stata completata correttamente\r\nErrori:";
const char kStarting[] = "Il programma verrà subito avviato, buon lavoro!";
const char kAlreadyGone[] =
    "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
const char kWarning[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";

std::string package, folder = "C:\\Program Files\\QelPictura";
std::vector<HANDLE> held;

// The record's lines that start with one of these.
std::vector<std::string> Lines(const std::vector<std::string>& starts) {
  std::vector<std::string> out;
  for (const std::string& line : RecordLines("C:\\record.txt"))
    for (const std::string& start : starts)
      if (line.rfind(start, 0) == 0) out.push_back(line);
  return out;
}

// The places of this prefix in a text: <D> the installation folder, <S> the system
// folder, <P> the package, <F> the fixtures, <K> the desktop, <M> the menu folder.
std::string Expand(std::string text) {
  const std::pair<std::string, std::string> places[] = {{"<D>", folder},    {"<S>", SystemFolder()},
                                                        {"<P>", package},   {"<F>", Fixture("")},
                                                        {"<K>", Desktop()}, {"<M>", Menu()}};
  for (const auto& [token, place] : places)
    for (std::size_t at; (at = text.find(token)) != std::string::npos;)
      text.replace(at, token.size(), place);
  return text;
}

// Runs a program of the machine on the Unix names of files of the prefix.
void RunUnix(const std::string& program, const std::vector<std::string>& paths) {
  auto unix = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  std::string line = "Z:" + program;
  for (const std::string& path : paths) line += " \"" + std::string(unix(W(path).c_str())) + "\"";
  Run(line);
}

HANDLE Open(const std::string& path, DWORD share) {
  return CreateFileW(W(path).c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Old content marked read-only, as a user does; Wine keeps that mark in Unix mode bits,
// which bind no one when the tests run as root, so the file is made immutable too.
bool ReadOnly(const std::string& path) {
  if (!WriteFile(path, kOld) || !SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_READONLY))
    return false;
  RunUnix("/usr/bin/chattr +i", {path});
  return WaitFor([&] {
    HANDLE file = Open(path, FILE_SHARE_READ);
    return file == INVALID_HANDLE_VALUE || !CloseHandle(file);
  });
}

// "N started|nothing [ERROR]": Setup's run; the result page lists ERROR, or shows success;
// once N registrations are recorded, "Chiudi": Setup ends, having started the installed
// program in its folder itself (the stand-in type library puts the desktop shell out of
// its reach), or nothing.
bool Installed(const std::string& what) {
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = Install(setup);
  HWND list = result ? FindWindowExW(result, nullptr, L"ListBox", nullptr) : nullptr;
  std::string error = what.substr(std::min<std::size_t>(10, what.size()));
  wchar_t line[256] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
  bool right = list && SendMessageW(list, LB_GETCOUNT, 0, 0) == !error.empty() &&
               U(line) == error && !IsWindowVisible(list) == error.empty() &&
               IsWindowVisible(Child(result, "Static", error.empty() ? kSuccess : kFailure)) &&
               !IsWindowVisible(Child(result, "Static", kStarting)) == !error.empty() &&
               WaitFor([&] { return Lines({"regsvr32|"}).size() == std::size_t(what[0] - '0'); });
  Press(Child(result, "Button", "&Chiudi"));
  std::vector<std::string> starts = {
      Expand("started|<D>\\QelPictura.exe|\"<D>\\QelPictura.exe\""),
      Expand("cartella|<D>|") + std::to_string(setup.info.dwProcessId)};
  if (what.compare(2, 7, "nothing") == 0) starts.clear();
  return setup.Exited() && right && WaitFor([&] {
           return Lines({"started|", "cartella|"}) == starts;
         });
}

// The uninstaller in that folder finds no product there: it names the folder and ends.
bool Told(const std::string& where) {
  Program u = Start(where + "\\Uninstall.exe", where);
  HWND box = MessageBoxOf(u, "QelSoftware");
  if (!box || !Child(box, "Static", kAlreadyGone + where)) return false;
  Press(GetDlgItem(box, IDOK));
  return u.Exited();
}

// A row: the sample package, the recording registration program in the system folder,
// then the row's steps, "verb argument" each with the places of Expand. A failed check
// (same, kept, there, gone, holds, lacks) is reported and the row goes on; any other
// failed step ends it.
bool Sweep(const std::vector<std::string>& row) {
  package = LayOutPackage();
  std::vector<std::string> steps = {"copy <F>regsvr32.exe><S>\\regsvr32.exe"};
  steps.insert(steps.end(), row.begin(), row.end());
  for (const std::string& step : steps) {
    std::size_t space = std::min(step.find(' '), step.size());
    std::string verb = step.substr(0, space),
                arg = Expand(step.substr(space + (space < step.size())));
    std::string from = arg.substr(0, arg.find('>')), to = arg.substr(arg.find('>') + 1);
    std::string content = ReadFile(from);
    std::wstring text = W(to);
    bool found = content.find(to) != std::string::npos ||
                 content.find(std::string(reinterpret_cast<const char*>(text.data()),
                                          text.size() * 2)) != std::string::npos;
    bool ok = verb == "folder"     ? !(folder = arg).empty()  // the installation folder
              : verb == "mkdir"    ? CreateDirectoryW(W(arg).c_str(), nullptr)
              : verb == "rmdir"    ? RemoveDirectoryW(W(arg).c_str())
              : verb == "delete"   ? DeleteFileW(W(arg).c_str())
              : verb == "copy"     ? CopyFileW(W(from).c_str(), W(to).c_str(), FALSE)  // FROM>TO
              : verb == "run"      ? Run(arg) == 0
              : verb == "ln"       ? (RunUnix("/usr/bin/ln -s", {from, to}),  // FOLDER>LINK
                                WaitFor([&] { return IsFolder(to); }))
              : verb == "write"    ? WriteFile(arg, kOld)
              : verb == "readonly" ? ReadOnly(arg)
              : verb == "hold" ? (held.push_back(Open(arg, 0)), held.back() != INVALID_HANDLE_VALUE)
              : verb == "release"   ? std::all_of(held.begin(), held.end(), CloseHandle)
              : verb == "install"   ? Installed(arg)
              : verb == "uninstall" ? Uninstall(folder)
              : verb == "told"      ? Told(arg)
              : verb == "same"
                  ? IsFile(arg) && content == ReadFile(package + arg.substr(arg.rfind('\\')))
              : verb == "kept"  ? content == kOld
              : verb == "there" ? IsFile(arg) || IsFolder(arg)
              : verb == "gone"  ? !IsFile(arg) && !IsFolder(arg)
              : verb == "holds" ? found  // FILE>TEXT, in UTF-8 or UTF-16
                                : verb == "lacks" && !found;
    if (CHECK(ok)) std::printf("  at %s\n", step.c_str());
    if (!ok && std::string("same kept there gone holds lacks").find(verb) == std::string::npos)
      return false;
  }
  return true;
}

}  // namespace

// Files read-only or held open stay as they were, silently; the rest arrives, a runtime
// file that stayed is still registered, and the old program that stayed is not started.
SCENARIO(files_that_cannot_be_replaced_stay_and_the_rest_installs) {
  Sweep({"mkdir <D>", "readonly <D>\\help.htm", "readonly <S>\\asycfilt.dll",
         "write <D>\\QelPictura.exe", "write <S>\\msvbvm60.dll", "hold <D>\\QelPictura.exe",
         "hold <S>\\msvbvm60.dll", "install 6 nothing", "release", "kept <D>\\help.htm",
         "kept <S>\\asycfilt.dll", "kept <D>\\QelPictura.exe", "kept <S>\\msvbvm60.dll",
         "gone <D>\\msvbvm60.dll", "same <D>\\temi\\happysmile.qelpictura",
         "same <D>\\Uninstall.exe", "same <S>\\comcat.dll", "there <K>\\QelPictura.lnk"});
}

// Without "WScript.Shell" the version check says nothing though the registry names a newer
// version (a warning would hold the licence page back), and the shortcuts fail.
SCENARIO(without_the_scripting_object_shortcuts_fail_and_nothing_else) {
  Sweep({"run reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /d 2 /f",
         "run reg delete HKLM\\Software\\Classes\\WScript.Shell /f",
         "run reg delete HKLM\\Software\\Classes\\WScript.Shell.1 /f",
         "run reg delete HKLM\\Software\\Classes\\CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8} /f",
         "install 6 started " + kShortcutsFailed, "there <M>", "gone <M>\\QelPictura.lnk",
         "gone " + kRemovalLink, "gone <K>\\QelPictura.lnk",
         "same <D>\\temi\\happysmile.qelpictura", "same <D>\\Uninstall.exe"});
}

// A folder in the way of the desktop shortcut: that one alone fails, and is reported.
SCENARIO(a_desktop_shortcut_that_fails_alone_is_reported) {
  Sweep({"mkdir <K>\\QelPictura.lnk", "install 6 started " + kShortcutsFailed,
         "there <M>\\QelPictura.lnk", "there " + kRemovalLink});
}

// No registration program (and Wine told not to run its own build for the missing file),
// one planted beside Setup: nothing is registered, the rest is complete.
SCENARIO(without_a_registration_program_nothing_is_registered) {
  Sweep({"run reg add HKCU\\Software\\Wine\\DllOverrides /v regsvr32.exe /d native /f",
         "delete <S>\\regsvr32.exe", "copy <F>regsvr32.exe><P>\\REGSVR32.EXE", "install 0 started",
         "lacks C:\\record.txt>registered|", "same <S>\\msvbvm60.dll", "same <S>\\oleaut32.dll",
         "same <S>\\olepro32.dll", "same <S>\\asycfilt.dll", "same <S>\\stdole2.tlb",
         "same <S>\\comcat.dll"});
}

// Without the all-users desktop and programs folders the user's own, missing too, are made
// and used; the uninstaller finds the shortcuts there; a text file keeps the menu folder.
SCENARIO(without_the_all_users_folders_the_user_folders_are_made_and_used) {
  std::vector<std::string> steps;
  for (std::string key : {"User Shell Folders", "Shell Folders"})
    for (std::string value : {"HKLM?\"Common Desktop\" /d C:\\Mancante\\Scrivania",
                              "HKLM?\"Common Programs\" /d C:\\Mancante\\Programmi",
                              "HKCU?Desktop /d \"%USERPROFILE%\\Scrivania di prova\"",
                              "HKCU?Programs /d \"%USERPROFILE%\\Menu di prova\\Programmi\""})
      steps.push_back("run reg add \"" +
                      value.replace(4, 1,
                                    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" +
                                        key + "\" /f /t REG_EXPAND_SZ /v "));
  steps.insert(steps.end(),
               {"install 6 started", "there <K>\\QelPictura.lnk", "there <M>\\QelPictura.lnk",
                "there " + kRemovalLink, "write <M>\\appunti.txt", "uninstall",
                "gone <K>\\QelPictura.lnk", "gone <M>\\QelPictura.lnk", "gone " + kRemovalLink,
                "kept <M>\\appunti.txt", "there <K>", "gone C:\\Mancante"});
  Sweep(steps);
}

// A Program Files folder with letters of no western code page: proposed, installed into,
// linked (in UTF-16: Wine's path text loses them), started, removed from, and named.
SCENARIO(program_files_outside_every_western_code_page) {
  const std::string name = "Программы 程序 files";
  Sweep({"folder C:\\" + name + "\\QelPictura", "mkdir C:\\" + name,
         "run reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v ProgramFilesDir /d "
         "\"C:\\" +
             name + "\" /f",
         "install 6 started", "holds <K>\\QelPictura.lnk>" + name,
         "holds <M>\\QelPictura.lnk>" + name, "holds " + kRemovalLink + ">" + name, "uninstall",
         "gone <D>\\QelPictura.exe", "gone <D>\\temi", "gone <K>\\QelPictura.lnk", "gone <M>",
         "told <D>"});
}

// Programs and DLLs planted where a careless search finds them never run or load: the DLL
// records each load; the control, whose search is not restricted, shows that it can.
SCENARIO(planted_programs_and_dlls_never_run_or_load) {
  SetEnvironmentVariableW(L"QEL_RECORD_LOADS", L"C:\\caricamenti.txt");
  std::vector<std::string> steps = {"mkdir <D>", "copy <F>regsvr32.exe><P>\\REGSVR32.EXE",
                                    "copy <F>QelPictura.exe>C:\\Program.exe"};
  for (std::string dll : {"comctl32.dll", "uxtheme.dll", "version.dll", "dwmapi.dll", "shcore.dll"})
    steps.insert(steps.end(),
                 {"copy <F>runtime.dll><P>\\" + dll, "copy <F>runtime.dll><D>\\" + dll});
  steps.insert(steps.end(), {"install 6 started", "uninstall", "lacks C:\\caricamenti.txt><P>\\",
                             "lacks C:\\caricamenti.txt><D>\\",
                             "run <P>\\regsvr32.exe comctl32.dll uxtheme.dll dwmapi.dll",
                             "holds C:\\caricamenti.txt>loaded|<P>\\"});
  Sweep(steps);
}

// A package without the product files: reported, nothing is started, and an earlier
// installation's uninstaller is replaced all the same.
SCENARIO(a_package_without_product_files_is_reported) {
  Sweep({"delete <P>\\QelPictura.exe", "delete <P>\\help.htm", "delete <P>\\happysmile.qelpictura",
         "mkdir <D>", "write <D>\\Uninstall.exe",
         "install 6 nothing Non è stato possibile copiare il file principale dell'applicazione",
         "same <D>\\Uninstall.exe", "gone <D>\\help.htm"});
}

// A file where the menu folder would go: no shortcut at all, not even the desktop's.
SCENARIO(a_menu_folder_in_the_way_gives_no_shortcut) {
  Sweep({"write <M>", "install 6 started Impossibile creare dei collegamenti nel menu avvio",
         "gone <K>\\QelPictura.lnk"});
}

// "temi", the menu folder and the desktop made symbolic links (from Unix; Wine shows them
// as reparse points) to folders of the user's files: the removal deletes nothing there.
SCENARIO(removal_never_deletes_through_a_link) {
  std::vector<std::string> steps = {"install 6 started", "delete " + kRemovalLink},
                           checks = {"uninstall", "gone <D>\\help.htm"};
  for (auto [link, user, name] :
       {std::tuple{Expand("<D>\\temi"), std::string("C:\\Temi"), "\\happysmile.qelpictura"},
        {Menu(), "C:\\Menu", "\\QelPictura.lnk"},
        {Desktop(), "C:\\Scrivania", "\\QelPictura.lnk"}}) {
    steps.insert(steps.end(),
                 {"mkdir " + user, "write " + user + name, "write " + user + "\\mio.lnk",
                  "delete " + link + name, "rmdir " + link, "ln " + user + ">" + link});
    checks.insert(checks.end(), {"kept " + user + name, "kept " + user + "\\mio.lnk"});
  }
  steps.insert(steps.end(), checks.begin(), checks.end());
  Sweep(steps);
}

// A copy of the uninstaller in a folder of other files removes exactly what its names and
// patterns say; a copy in a folder without the product removes nothing.
SCENARIO(uninstall_elsewhere_removes_only_what_its_patterns_name) {
  std::vector<std::string> steps = {"folder C:\\Altra cartella",
                                    "mkdir <D>",
                                    "mkdir <D>\\temi",
                                    "mkdir <D>\\temi\\sotto",
                                    "mkdir C:\\altrove",
                                    "mkdir C:\\altrove\\temi",
                                    "copy <P>\\Uninstall.exe><D>\\Uninstall.exe",
                                    "copy <P>\\Uninstall.exe>C:\\altrove\\Uninstall.exe"},
                           checks = {"uninstall", "told C:\\altrove", "same <D>\\Uninstall.exe"};
  for (std::string name : {"QelPictura.exe", "help.htm", "temi\\a.txt", "temi\\b.qelpictura",
                           "temi\\senza estensione"})
    steps.push_back("write <D>\\" + name), checks.push_back("gone <D>\\" + name);
  for (std::string path :
       {"<D>\\QelPictura.exe.bak", "<D>\\QelPictura.ex", "<D>\\help.html", "<D>\\help.htm.txt",
        "<D>\\leggimi.txt", "<D>\\temi.txt", "<D>\\temi\\sotto\\c.qelpictura", "C:\\help.htm",
        "C:\\QelPictura.exe", "C:\\altrove\\help.htm", "C:\\altrove\\temi\\d.qelpictura"})
    steps.push_back("write " + path), checks.push_back("kept " + path);
  steps.insert(steps.end(), checks.begin(), checks.end());
  Sweep(steps);
}

// The proposed folder's parent goes while the page shows it: "Conferma" says so and the
// page stays as it was; once the parent is back, "Conferma" installs.
SCENARIO(a_missing_destination_parent_keeps_the_page) {
  REQUIRE(Sweep({"folder C:\\Mancante\\Programmi\\QelPictura", "mkdir C:\\Mancante",
                 "mkdir C:\\Mancante\\Programmi",
                 "run reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v "
                 "ProgramFilesDir /d C:\\Mancante\\Programmi /f"}));
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup),
       box = page ? FindWindowExW(page, nullptr, L"Edit", nullptr) : nullptr;
  REQUIRE(box && Text(box) == folder && RemoveDirectoryW(L"C:\\Mancante\\Programmi"));
  Press(Child(page, "Button", "&Conferma"));
  HWND message =
      WaitWindowWith(setup, kTitolo, "Static",
                     "\r\nNon riesco a creare la cartella\r\n" + folder +
                         "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'");
  REQUIRE(message != nullptr);
  Press(Child(message, "Button", "&OK"));
  CHECK(WaitFor([&] { return !IsWindow(message) && IsWindowEnabled(page); }) &&
        Text(box) == folder);
  REQUIRE(!IsFolder("C:\\Mancante\\Programmi") &&
          CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr));
  CHECK(ConfirmAndWaitForResult(setup, page) && IsFile(folder + "\\QelPictura.exe"));
}

// The installed version as every kind of registry value (numbers written as texts) and as
// hostile texts: Setup warns exactly when the value reads as a number above 1.
SCENARIO(version_values_of_every_kind_and_hostile_texts) {
  // Each: '+' where Setup warns, '-' where not; the type (Sz, Expand, Dword, Qword, Binary,
  // Multi, None); the data. Wine's RegRead gives a text up to its first NUL.
  const std::wstring letters = L"SEDQBMN", spaces(5000, L' '), nul(1, L'\0');
  const DWORD types[] = {REG_SZ,     REG_EXPAND_SZ, REG_DWORD, REG_QWORD,
                         REG_BINARY, REG_MULTI_SZ,  REG_NONE};
  std::vector<std::wstring> values = {
      L"+S2", L"-N",     L"-S1",   L"+S2.5",        L"-S1.4",   L"-S-3", L"-S40000",       L"-Sabc",
      L"-D1", L"+E2",    L"+D2",   L"-D0xFFFFFFFE", L"-D40000", L"-Q2",  L"-Q0x100000002", L"-B2",
      L"-M2", L"+S&H10", L"-S&H1", L"+S2E0",        L"-S2E5",   L"-S1E0"};
  values.insert(values.end(), {L"-S" + spaces.substr(0, 40), L"-S" + std::wstring(100000, L'A'),
                               L"-S" + std::wstring(5000, L'9'), L"+S" + spaces + L"2" + spaces,
                               L"-S" + nul + L"2", L"+S2" + nul + L"999"});
  REQUIRE(Sweep({}));
  for (const std::wstring& v : values) {
    DWORD type = types[letters.find(v[1])];
    std::wstring text = v.substr(2) + std::wstring(type == REG_MULTI_SZ ? 2 : 1, L'\0');
    unsigned long long number = std::wcstoull(text.c_str(), nullptr, 0);
    DWORD size = type == REG_QWORD ? 8 : type == REG_DWORD ? 4 : type == REG_BINARY ? 1 : 0;
    REQUIRE(type == REG_NONE
                ? Run("reg delete HKLM\\SOFTWARE\\Qel\\Pictura /f") == 0
                : RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qel\\Pictura", L"Version", type,
                                  size ? static_cast<const void*>(&number) : text.data(),
                                  size ? size : text.size() * 2) == 0);
    Program setup = Start(package + "\\Setup.exe", package);
    HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua"), warning = nullptr,
         licence = nullptr;
    if (welcome) Press(Child(welcome, "Button", "&Continua"));
    auto pages = [&] {
      for (HWND h : Windows(setup, kTitolo)) {
        if (Child(h, "Static", kWarning)) warning = h;
        if (FindWindowExW(h, nullptr, L"Edit", nullptr)) licence = h;
      }
      return warning || licence;
    };
    bool right = welcome && WaitFor(pages) && (warning != nullptr) == (v[0] == L'+');
    if (warning) {  // modal, left-aligned, one button
      right =
          right && !licence && !IsWindowVisible(Child(warning, "Button", "&No")) &&
          (GetWindowLongW(Child(warning, "Static", kWarning), GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
      Press(Child(warning, "Button", "&OK"));
      right = right && WaitFor([&] { return pages() && licence; });
    }
    if (CHECK(right && WaitFor([&] { return Windows(setup, kTitolo).size() == 1; }) &&
              !setup.Exited(0)))
      std::printf("  value %d\n", static_cast<int>(&v - values.data()));
    setup.Kill();
    setup.Exited();
  }
}
