// Faults and hostile surroundings, one row each, every row in a prefix of its own: files
// that cannot be replaced, system parts that are missing, unusual folders and registry
// values, programs and DLLs planted where a careless search would find them, links, and
// an uninstaller copied elsewhere.
#include <algorithm>

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

const std::string kOld = "vecchio contenuto";
const char kAlreadyGone[] =
    "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
const char kWarning[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";

std::string package, folder = "C:\\Program Files\\QelPictura";
Program setup;
HWND result = nullptr;
std::vector<HANDLE> held;

bool Visible(HWND h) { return h && IsWindowVisible(h); }

std::vector<std::string> Lines(const std::string& start) {
  std::vector<std::string> out;
  for (const std::string& line : RecordLines("C:\\record.txt"))
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

// The Unix name of a file of the prefix, quoted, for the machine's own commands.
std::string Unix(const std::string& path) {
  auto name = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  return "\"" + std::string(name(W(path).c_str())) + "\"";
}

HANDLE Open(const std::string& path, DWORD share) {
  return CreateFileW(W(path).c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Old content marked read-only, as a user does; Wine keeps that mark in Unix mode bits,
// which bind no one when the tests run as root, so the file is made immutable too.
bool ReadOnly(const std::string& path) {
  if (!WriteFile(path, kOld) || !SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_READONLY))
    return false;
  Run("Z:\\usr\\bin\\chattr +i " + Unix(path));
  return WaitFor([&] {
    HANDLE file = Open(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return file == INVALID_HANDLE_VALUE || !CloseHandle(file);
  });
}

// Setup's run from the package to its result page, which lists that error or none.
bool Installed(const std::string& error) {
  setup = Start(package + "\\Setup.exe", package);
  result = Install(setup);
  std::vector<HWND> lists = result ? Children(result, "ListBox") : std::vector<HWND>{};
  wchar_t line[256] = {};
  if (lists.size() != 1) return false;
  SendMessageW(lists[0], LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
  return SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == !error.empty() && U(line) == error &&
         Visible(lists[0]) == !error.empty() &&
         Visible(Child(result, "Static",
                       error.empty() ? "Installazione eseguita correttamente"
                                     : "L'installazione non è stata completata "
                                       "correttamente\r\nErrori:")) &&
         Visible(Child(result, "Static", "Il programma verrà subito avviato, buon lavoro!")) ==
             error.empty();
}

// "N started" or "N nothing": once N registrations are recorded, "Chiudi"; Setup ends,
// having started the installed program in its folder itself (the stand-in type library
// has put the desktop shell out of its reach), or nothing.
bool Closed(const std::string& what) {
  std::size_t registrations = std::strtoul(what.c_str(), nullptr, 10);
  if (!WaitFor([&] { return Lines("regsvr32|").size() == registrations; })) return false;
  Press(Child(result, "Button", "&Chiudi"));
  std::vector<std::string> starts;
  if (what.find("started") != std::string::npos)
    starts = {Expand("started|<D>\\QelPictura.exe|\"<D>\\QelPictura.exe\""),
              "cartella|" + folder + "|" + std::to_string(setup.info.dwProcessId)};
  return setup.Exited() && WaitFor([&] {
           std::vector<std::string> seen = Lines("started|"), where = Lines("cartella|");
           seen.insert(seen.end(), where.begin(), where.end());
           return seen == starts;
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

// One row: on the sample package, with the recording registration program in the system
// folder, its steps in order, "verb argument" each, with the places of Expand:
//   folder X                 the installation folder is X (else Program Files')
//   mkdir X, rmdir X, delete X, copy X>Y, env NAME=VALUE, run COMMAND (that succeeds)
//   ln X>Y                   Y becomes a symbolic link to the folder X, made from Unix
//   write X, readonly X, hold X   X with old content; read-only; held open until "release"
//   install ERROR, close N started|nothing, uninstall, told X   (above)
//   same X, kept X, there X, gone X   X as the package's file of its name, with the old
//                            content, there, not there
//   holds X>TEXT, lacks X>TEXT        the file X holds TEXT, in UTF-8 or UTF-16, or not
// A failed check is reported and the row goes on; any other failed step ends it.
bool Sweep(const std::vector<std::string>& steps) {
  package = LayOutPackage();
  if (CHECK(CopyFileW(W(Fixture("regsvr32.exe")).c_str(),
                      W(SystemFolder() + "\\regsvr32.exe").c_str(), FALSE)))
    return false;
  for (const std::string& step : steps) {
    std::string verb = step.substr(0, step.find(' '));
    std::string arg = Expand(step.size() > verb.size() ? step.substr(verb.size() + 1) : "");
    std::string from = arg.substr(0, arg.find('>')), to = arg.substr(arg.find('>') + 1);
    std::wstring text = W(to);
    std::string content = ReadFile(from),
                wide(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    bool checks = verb == "same" || verb == "kept" || verb == "there" || verb == "gone" ||
                  verb == "holds" || verb == "lacks";
    bool ok = verb == "folder"   ? !(folder = arg).empty()
              : verb == "mkdir"  ? CreateDirectoryW(W(arg).c_str(), nullptr)
              : verb == "rmdir"  ? RemoveDirectoryW(W(arg).c_str())
              : verb == "delete" ? DeleteFileW(W(arg).c_str())
              : verb == "copy"   ? CopyFileW(W(from).c_str(), W(to).c_str(), FALSE)
              : verb == "env"    ? SetEnvironmentVariableW(W(arg.substr(0, arg.find('='))).c_str(),
                                                           W(arg.substr(arg.find('=') + 1)).c_str())
              : verb == "run"    ? Run(arg) == 0
              : verb == "ln"
                  ? (Run("Z:\\usr\\bin\\ln -s " + Unix(from) + " " + Unix(to)), WaitFor([&] {
                       return IsFolder(to) &&
                              (GetFileAttributesW(W(to).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
                     }))
              : verb == "write"    ? WriteFile(arg, kOld)
              : verb == "readonly" ? ReadOnly(arg)
                                   : verb == "hold"
                  ? held.push_back(Open(arg, 0)),
         held.back() != INVALID_HANDLE_VALUE
        : verb == "release" ? std::all_of(held.begin(), held.end(), CloseHandle)
      : verb == "install"   ? Installed(arg)
      : verb == "close"     ? Closed(arg)
      : verb == "uninstall" ? Uninstall(folder)
      : verb == "told"      ? Told(arg)
      : verb == "same"  ? IsFile(arg) && content == ReadFile(package + arg.substr(arg.rfind('\\')))
      : verb == "kept"  ? content == kOld
      : verb == "there" ? IsFile(arg) || IsFolder(arg)
      : verb == "gone"  ? !IsFile(arg) && !IsFolder(arg)
      : verb == "holds" || verb == "lacks"
          ? (content.find(to) != std::string::npos || content.find(wide) != std::string::npos) ==
                (verb == "holds")
          : false;
    if (CHECK(ok)) std::printf("  at %s\n", step.c_str());
    if (!ok && !checks) return false;
  }
  return true;
}

}  // namespace

// A read-only help page in an earlier installation and a read-only runtime file stay as
// they were, silently; the rest arrives, and the file that stayed is registered all the same.
SCENARIO(read_only_files_stay_and_the_rest_installs) {
  Sweep({"mkdir <D>", "readonly <D>\\help.htm", "readonly <S>\\asycfilt.dll", "install",
         "close 6 started", "kept <D>\\help.htm", "kept <S>\\asycfilt.dll",
         "same <D>\\QelPictura.exe", "same <D>\\temi\\happysmile.qelpictura",
         "same <D>\\Uninstall.exe", "same <S>\\msvbvm60.dll", "there <K>\\QelPictura.lnk"});
}

// The installed program and the essential runtime file held open: neither is replaced, no
// error is listed since both are there, and the old file is no program to start.
SCENARIO(files_held_open_stay_and_the_rest_installs) {
  Sweep({"mkdir <D>", "write <D>\\QelPictura.exe", "write <S>\\msvbvm60.dll",
         "hold <D>\\QelPictura.exe", "hold <S>\\msvbvm60.dll", "install", "close 6 nothing",
         "release", "kept <D>\\QelPictura.exe", "kept <S>\\msvbvm60.dll", "gone <D>\\msvbvm60.dll",
         "same <D>\\help.htm", "same <D>\\Uninstall.exe", "same <S>\\asycfilt.dll"});
}

// Without "WScript.Shell" the version check says nothing although the registry names a
// newer version (its warning would hold the licence page back), and the shortcuts fail.
SCENARIO(without_the_scripting_object_shortcuts_fail_and_nothing_else) {
  Sweep({"run reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /d 2 /f",
         "run reg delete HKLM\\Software\\Classes\\WScript.Shell /f",
         "run reg delete HKLM\\Software\\Classes\\WScript.Shell.1 /f",
         "run reg delete HKLM\\Software\\Classes\\CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8} /f",
         "install Problemi nella creazione dei collegamenti", "close 6 started", "there <M>",
         "gone <M>\\QelPictura.lnk", "gone <M>\\Rimuovi QelPictura dal computer.lnk",
         "gone <K>\\QelPictura.lnk", "same <D>\\help.htm", "same <D>\\temi\\happysmile.qelpictura",
         "same <D>\\Uninstall.exe"});
}

// A folder in the way of the desktop shortcut: that one alone fails, and is reported.
SCENARIO(a_desktop_shortcut_that_fails_alone_is_reported) {
  Sweep({"mkdir <K>\\QelPictura.lnk", "install Problemi nella creazione dei collegamenti",
         "close 6 started", "there <M>\\QelPictura.lnk",
         "there <M>\\Rimuovi QelPictura dal computer.lnk"});
}

// No registration program in the system folder (and Wine told not to run its own build in
// its place), one planted beside Setup: nothing is registered, the rest is complete.
SCENARIO(without_a_registration_program_nothing_is_registered) {
  Sweep({"run reg add HKCU\\Software\\Wine\\DllOverrides /v regsvr32.exe /d native /f",
         "delete <S>\\regsvr32.exe", "copy <F>regsvr32.exe><P>\\REGSVR32.EXE", "install",
         "close 0 started", "lacks C:\\record.txt>registered|", "same <S>\\msvbvm60.dll",
         "same <S>\\oleaut32.dll", "same <S>\\olepro32.dll", "same <S>\\asycfilt.dll",
         "same <S>\\stdole2.tlb", "same <S>\\comcat.dll"});
}

// Without the all-users desktop and programs folders the user's own, missing too, are made
// and used, and the uninstaller finds the shortcuts there.
SCENARIO(without_the_all_users_folders_the_user_folders_are_made_and_used) {
  const std::string shell = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  std::vector<std::string> steps;
  for (std::string key : {shell + "User Shell Folders\" /f /t REG_EXPAND_SZ /v ",
                          shell + "Shell Folders\" /f /t REG_EXPAND_SZ /v "})
    for (std::string value :
         {"\"HKLM" + key + "\"Common Desktop\" /d C:\\Mancante\\Scrivania",
          "\"HKLM" + key + "\"Common Programs\" /d C:\\Mancante\\Programmi",
          "\"HKCU" + key + "Desktop /d \"%USERPROFILE%\\Scrivania di prova\"",
          "\"HKCU" + key + "Programs /d \"%USERPROFILE%\\Menu di prova\\Programmi\""})
      steps.push_back("run reg add " + value);
  steps.insert(
      steps.end(),
      {"install", "close 6 started", "there <K>\\QelPictura.lnk", "there <M>\\QelPictura.lnk",
       "there <M>\\Rimuovi QelPictura dal computer.lnk", "uninstall", "gone <K>\\QelPictura.lnk",
       "gone <M>", "there <K>", "gone C:\\Mancante"});
  Sweep(steps);
}

// A Program Files folder with spaces and letters of no western code page: proposed,
// installed into, linked (in the item list Windows starts from; Wine's path text loses
// those letters), started in its folder, removed from, and named once the product is gone.
SCENARIO(program_files_outside_every_western_code_page) {
  Sweep({"folder C:\\Программы 程序 files\\QelPictura", "mkdir C:\\Программы 程序 files",
         "run reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v ProgramFilesDir /d "
         "\"C:\\Программы 程序 files\" /f",
         "install", "close 6 started", "holds <K>\\QelPictura.lnk>Программы 程序 files",
         "holds <M>\\QelPictura.lnk>Программы 程序 files",
         "holds <M>\\Rimuovi QelPictura dal computer.lnk>Программы 程序 files", "uninstall",
         "gone <D>\\QelPictura.exe", "gone <D>\\temi", "gone <K>\\QelPictura.lnk", "gone <M>",
         "told <D>"});
}

// Programs and DLLs planted in the package, in the installation folder and at the root of
// the drive: neither Setup, nor Uninstall, nor what Setup starts runs or loads one. The
// DLL records each process it is loaded into; the control, a program of the package whose
// search is not restricted, loads the plants, so the check can fail.
SCENARIO(planted_programs_and_dlls_never_run_or_load) {
  std::vector<std::string> steps = {"mkdir <D>", "env QEL_RECORD_LOADS=C:\\caricamenti.txt",
                                    "copy <F>regsvr32.exe><P>\\REGSVR32.EXE",
                                    "copy <F>QelPictura.exe>C:\\Program.exe"};
  for (std::string dll : {"comctl32.dll", "uxtheme.dll", "version.dll", "dwmapi.dll"})
    steps.insert(steps.end(),
                 {"copy <F>runtime.dll><P>\\" + dll, "copy <F>runtime.dll><D>\\" + dll});
  steps.insert(steps.end(),
               {"install", "close 6 started", "uninstall", "lacks C:\\caricamenti.txt><P>\\",
                "lacks C:\\caricamenti.txt><D>\\",
                "run <P>\\regsvr32.exe comctl32.dll uxtheme.dll version.dll dwmapi.dll",
                "holds C:\\caricamenti.txt>loaded|<P>\\"});
  Sweep(steps);
}

// A package without the product files: reported, nothing is started, and an earlier
// installation's uninstaller is replaced all the same.
SCENARIO(a_package_without_product_files_is_reported) {
  Sweep({"delete <P>\\QelPictura.exe", "delete <P>\\help.htm", "delete <P>\\happysmile.qelpictura",
         "mkdir <D>", "write <D>\\Uninstall.exe",
         "install Non è stato possibile copiare il file principale dell'applicazione",
         "close 6 nothing", "same <D>\\Uninstall.exe", "gone <D>\\help.htm"});
}

// A file where the menu folder would go: no shortcut at all, not even the desktop's.
SCENARIO(a_menu_folder_in_the_way_gives_no_shortcut) {
  Sweep({"write <M>", "install Impossibile creare dei collegamenti nel menu avvio",
         "close 6 started", "gone <K>\\QelPictura.lnk"});
}

// A file of another kind in the menu folder keeps the folder; the shortcuts go.
SCENARIO(a_text_file_keeps_the_menu_folder) {
  Sweep({"install", "close 6 started", "write <M>\\appunti.txt", "uninstall",
         "kept <M>\\appunti.txt", "gone <M>\\QelPictura.lnk",
         "gone <M>\\Rimuovi QelPictura dal computer.lnk", "gone <D>\\QelPictura.exe"});
}

// "temi", the menu folder and the desktop made symbolic links to folders of the user's
// files: the removal deletes nothing through them, and the rest as usual.
SCENARIO(removal_never_deletes_through_a_link) {
  Sweep({"install",
         "close 6 started",
         "mkdir C:\\Temi",
         "mkdir C:\\Menu",
         "mkdir C:\\Scrivania",
         "write C:\\Temi\\happysmile.qelpictura",
         "write C:\\Temi\\foto.jpg",
         "write C:\\Menu\\QelPictura.lnk",
         "write C:\\Menu\\mio.lnk",
         "write C:\\Menu\\nota.txt",
         "write C:\\Scrivania\\QelPictura.lnk",
         "delete <D>\\temi\\happysmile.qelpictura",
         "rmdir <D>\\temi",
         "ln C:\\Temi><D>\\temi",
         "delete <M>\\QelPictura.lnk",
         "delete <M>\\Rimuovi QelPictura dal computer.lnk",
         "rmdir <M>",
         "ln C:\\Menu><M>",
         "delete <K>\\QelPictura.lnk",
         "rmdir C:\\users\\Public\\Desktop",
         "ln C:\\Scrivania>C:\\users\\Public\\Desktop",
         "uninstall",
         "gone <D>\\QelPictura.exe",
         "kept C:\\Temi\\happysmile.qelpictura",
         "kept C:\\Temi\\foto.jpg",
         "kept C:\\Menu\\QelPictura.lnk",
         "kept C:\\Menu\\mio.lnk",
         "kept C:\\Menu\\nota.txt",
         "kept C:\\Scrivania\\QelPictura.lnk"});
}

// A copy of the uninstaller in a folder of other files removes exactly what its names and
// patterns say; a copy in a folder without the product removes nothing.
SCENARIO(uninstall_elsewhere_removes_only_what_its_patterns_name) {
  const char* const removed[] = {"QelPictura.exe", "help.htm", "temi\\a.txt",
                                 "temi\\tema.qelpictura", "temi\\senza estensione"};
  const char* const kept[] = {"QelPictura.exe.bak",
                              "QelPictura.ex",
                              "help.html",
                              "help.htm.txt",
                              "leggimi.txt",
                              "temi.txt",
                              "temi\\sottocartella\\tema.qelpictura",
                              "C:\\help.htm",
                              "C:\\QelPictura.exe",
                              "C:\\altrove\\help.htm",
                              "C:\\altrove\\temi\\t.tema"};
  std::vector<std::string> steps = {"folder C:\\Altra cartella",
                                    "mkdir <D>",
                                    "mkdir <D>\\temi",
                                    "mkdir <D>\\temi\\sottocartella",
                                    "mkdir C:\\altrove",
                                    "mkdir C:\\altrove\\temi",
                                    "copy <P>\\Uninstall.exe><D>\\Uninstall.exe",
                                    "copy <P>\\Uninstall.exe>C:\\altrove\\Uninstall.exe"},
                           checks = {"uninstall", "told C:\\altrove", "same <D>\\Uninstall.exe"};
  for (std::string name : removed)
    steps.push_back("write <D>\\" + name), checks.push_back("gone <D>\\" + name);
  for (std::string name : kept) {
    std::string path = name.find(':') == std::string::npos ? "<D>\\" + name : name;
    steps.push_back("write " + path), checks.push_back("kept " + path);
  }
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
  setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup);
  std::vector<HWND> box = page ? Children(page, "Edit") : std::vector<HWND>{};
  REQUIRE(box.size() == 1 && Text(box[0]) == folder &&
          RemoveDirectoryW(L"C:\\Mancante\\Programmi"));
  Press(Child(page, "Button", "&Conferma"));
  HWND message =
      WaitWindowWith(setup, kTitolo, "Static",
                     "\r\nNon riesco a creare la cartella\r\n" + folder +
                         "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'");
  REQUIRE(message != nullptr);
  Press(Child(message, "Button", "&OK"));
  CHECK(WaitFor([&] { return !IsWindow(message) && IsWindowEnabled(page); }) &&
        Text(box[0]) == folder && !IsFolder("C:\\Mancante\\Programmi"));
  REQUIRE(CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr));
  CHECK(ConfirmAndWaitForResult(setup, page) && IsFile(folder + "\\QelPictura.exe"));
}

// The installed version as every kind of registry value and as hostile texts: Setup never
// falls over, and warns exactly when the value reads as a number above 1; the warning is
// modal, left-aligned, with its one button, and the licence page follows it.
SCENARIO(version_values_of_every_kind_and_hostile_texts) {
  struct Value {
    DWORD type;
    std::wstring text;
    unsigned long long number;
    bool warns;
  } const values[] = {
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
  REQUIRE(Sweep({}));
  for (const Value& v : values) {
    std::wstring text = v.text + std::wstring(v.type == REG_MULTI_SZ ? 2 : 1, L'\0');
    bool textual = v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ;
    HKEY key = nullptr;
    REQUIRE(v.type == REG_NONE
                ? Run("reg delete HKLM\\SOFTWARE\\Qel\\Pictura /f") == 0
                : RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qel\\Pictura", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr) == 0 &&
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
    auto pages = [&] {
      for (HWND h : Windows(setup, kTitolo)) {
        if (Child(h, "Static", kWarning)) warning = h;
        if (!Children(h, "Edit").empty()) licence = h;
      }
      return warning || licence;
    };
    bool right = welcome && WaitFor(pages) && (warning != nullptr) == v.warns;
    if (warning) {
      right =
          right && !licence && !Visible(Child(warning, "Button", "&Si")) &&
          !Visible(Child(warning, "Button", "&No")) &&
          (GetWindowLongW(Child(warning, "Static", kWarning), GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
      Press(Child(warning, "Button", "&OK"));
      right = right && WaitFor([&] { return pages() && licence; });
    }
    if (CHECK(right && WaitFor([&] { return Windows(setup, kTitolo).size() == 1; }) &&
              !setup.Exited(0)))
      std::printf("  value %d\n", static_cast<int>(&v - values));
    setup.Kill();
    setup.Exited();
  }
}
