// Faults and hostile surroundings, one row each in a prefix of its own.
#include <map>

#include "../Driver.h"

using namespace e2e;

namespace {

const std::string kOld = "vecchio contenuto";

std::string folder = Destinazione(), path;  // path: a step's item
std::vector<std::string> part;              // the item's pieces either side of '>'
std::vector<HANDLE> held;
int footprints = 0;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> out(1);
  for (char c : text)
    if (c != separator)
      out.back() += c;
    else if (!out.back().empty())
      out.emplace_back();
  return out;
}

// The places of this prefix in a text, as Luoghi names them.
std::string Expand(std::string text) {
  for (const auto& [name, place] : Luoghi(folder)) text = Sostituito(text, name, place);
  return text;
}

using Verbs = std::map<std::string, std::function<bool()>>;
// Steps that prepare, act or look: a failed one ends the row.
const Verbs kActions = {
    {"folder", [] { return !(folder = path).empty(); }},  // the installation folder
    {"mkdir", [] { return CreateDirectoryW(W(path).c_str(), nullptr); }},
    {"rmdir", [] { return RemoveDirectoryW(W(path).c_str()); }},
    {"delete", [] { return DeleteFileW(W(path).c_str()); }},
    {"write", [] { return WriteFile(path, kOld); }},
    {"readonly", [] { return SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_READONLY); }},
    {"hold",
     [] {
       auto file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0);
       return held.emplace_back(file) != INVALID_HANDLE_VALUE;
     }},
    {"release", [] { return std::all_of(held.begin(), held.end(), CloseHandle); }},
    {"copy", [] { return CopyFileW(W(part[0]).c_str(), W(part[1]).c_str(), FALSE); }},  // FROM>TO
    {"run", [] { return Run(path) == 0; }},
    // COMMAND>PATH...: a shell command on the paths' Unix names, which its {}s stand for.
    {"unix", [] { return Unix(part[0], std::vector(part.begin() + 1, part.end())); }},
    {"install", [] { return Installed(path.empty() ? "installata" : path); }},  // its record
    {"uninstall", [] { return Uninstall(folder); }},
    {"told", [] { return Told(path, scenario); }},
    // PLACE>...: what the row has left so far, in the installation's places and these, as
    // approved.
    {"left", [] {
       std::vector<std::string> more;
       for (const std::string& p : part)
         if (!p.empty()) more.push_back(p);
       return Lasciato(scenario + (footprints++ ? "-" + std::to_string(footprints) : ""), folder,
                       more);
     }}};

// A row: the sample package and the recording registration program in the system folder,
// then steps "verb item;item...", each item with the places of Expand.
bool Sweep(std::vector<std::string> steps) {
  package = LayOutPackage();
  for (const std::string& step : steps) {
    std::string verb = step.substr(0, step.find(' '));
    for (std::string item :
         Split(Expand(step.substr(std::min(step.size(), verb.size() + 1))), ';')) {
      part = Split(path = item, '>');
      if (CHECK(kActions.at(verb)()))
        return std::printf("  at %s %s\n", verb.c_str(), item.c_str()), false;
    }
  }
  return true;
}

}  // namespace

// Read-only (immutable too: tests run as root) or held files stay silently, with no temporary
// copy beside them; the rest arrives. (A held QelPictura.exe is one in use: mani.cpp.)
SCENARIO(files_that_cannot_be_replaced_stay_and_the_rest_installs) {
  const std::string locked = "<D>\\help.htm;<S>\\asycfilt.dll",
                    held = "<D>\\Uninstall.exe;<S>\\msvbvm60.dll";
  Sweep({"mkdir <D>", "write " + locked + ";" + held, "readonly " + locked,
         "unix chattr +i {} {}><D>\\help.htm><S>\\asycfilt.dll", "hold " + held, "install",
         "release", "left"});
}

// Without "WScript.Shell" the shortcuts fail, and the version check is silent though the
// registry names a newer version (a warning would hold the licence page back).
SCENARIO_DPI(without_the_scripting_object_shortcuts_fail_and_nothing_else) {
  const std::string del = ";reg delete HKLM\\Software\\Classes\\";
  Sweep({"run reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /d 2 /f" + del + "WScript.Shell /f" +
             del + "WScript.Shell.1 /f" + del + "CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8} /f",
         "install collegamenti-mancanti", "left"});
}

// No registration program (nor Wine's own), one planted beside Setup: nothing registered.
SCENARIO(without_a_registration_program_nothing_is_registered) {
  Sweep({"run reg add HKCU\\Software\\Wine\\DllOverrides /v regsvr32.exe /d native /f",
         "delete <S>\\regsvr32.exe", "copy <F>regsvr32.exe><P>\\REGSVR32.EXE", "install", "left"});
}

// Without all-users folders the user's are made, used and emptied; a file that is a shortcut
// only by its 8.3 name keeps the menu.
SCENARIO(without_the_all_users_folders_the_user_folders_are_made_and_used) {
  std::string adds = "run ";
  for (std::string key : {"User Shell Folders", "Shell Folders"})
    for (std::string value : {"LM /v \"Common Desktop\" /d C:\\Mancante\\Scrivania",
                              "LM /v \"Common Programs\" /d C:\\Mancante\\Programmi",
                              "CU /v Desktop /d \"%USERPROFILE%\\Scrivania di prova\"",
                              "CU /v Programs /d \"%USERPROFILE%\\Menu di prova\\Programmi\""})
      adds += ";reg add \"HK" + value.substr(0, 2) +
              "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + key +
              "\" /f /t REG_EXPAND_SZ" + value.substr(2);
  Sweep({adds, "install", "left C:\\Mancante", "write <M>\\appunti.lnkx", "uninstall",
         "left C:\\Mancante"});
}

// A Program Files folder outside western code pages: installed, linked, started and removed.
// The package's type library, a stand-in, takes the system's place and with it the desktop
// shell's objects: Setup starts the program itself.
SCENARIO(program_files_outside_every_western_code_page) {
  const std::string name = "Программы 程序 files";
  Sweep({"copy <F>runtime.dll><P>\\stdole2.tlb", "folder C:\\" + name + "\\QelPictura",
         "mkdir C:\\" + name,
         "run reg add HKLM\\Software\\Microsoft\\Windows\\CurrentVersion /v ProgramFilesDir /d "
         "\"C:\\" +
             name + "\" /f",
         "install", "left", "uninstall", "left", "told <D>"});
}

// Planted programs and DLLs never run or load; the control, searching freely, loads them.
SCENARIO(planted_programs_and_dlls_never_run_or_load) {
  SetEnvironmentVariableW(L"QEL_RECORD_LOADS", L"C:\\record.txt");
  std::string plants = "copy <F>regsvr32.exe><P>\\REGSVR32.EXE;<F>QelPictura.exe>C:\\Program.exe";
  for (std::string dll : {"comctl32.dll", "uxtheme.dll", "version.dll", "dwmapi.dll", "shcore.dll"})
    plants += ";<F>runtime.dll><P>\\" + dll + ";<F>runtime.dll><D>\\" + dll;
  Sweep({"mkdir <D>", plants, "install", "uninstall", "left",
         "run <P>\\regsvr32.exe comctl32.dll uxtheme.dll dwmapi.dll", "left"});
}

// A package without the product files: reported, nothing started, the uninstaller replaced.
SCENARIO(a_package_without_product_files_is_reported) {
  Sweep({"delete <P>\\QelPictura.exe;<P>\\help.htm;<P>\\happysmile.qelpictura", "mkdir <D>",
         "write <D>\\Uninstall.exe", "install principale-mancante", "left"});
}

// "temi", menu folder and desktop as Unix links to the user's folders: nothing there goes.
SCENARIO(removal_never_deletes_through_a_link) {
  const std::string desktop = Desktop(),  // the shared one: without it <K> would be the user's
      mine =
          "C:\\T\\happysmile.qelpictura;C:\\T\\mio.lnk;C:\\M\\QelPictura.lnk;C:\\M\\mio.lnk;C:"
          "\\K\\QelPictura.lnk;C:\\K\\mio.lnk";
  Sweep({"install", "mkdir C:\\T;C:\\M;C:\\K", "write " + mine,
         "delete <D>\\temi\\happysmile.qelpictura;<K>\\QelPictura.lnk;<M>\\QelPictura.lnk;<M>"
         "\\Rimuovi QelPictura dal computer.lnk",
         "rmdir <D>\\temi;<M>;" + desktop,
         "unix ln -s {} {}>C:\\T><D>\\temi;ln -s {} {}>C:\\M><M>;ln -s {} {}>C:\\K>" + desktop,
         "uninstall", "left C:\\T>C:\\M>C:\\K"});
}

// An uninstaller copied elsewhere removes only what its patterns name, in any case, or, without
// the product, nothing.
SCENARIO(uninstall_elsewhere_removes_only_what_its_patterns_name) {
  const std::string
      named =
          "<D>\\QelPictura.exe;<D>\\HELP.HTM;<D>\\temi\\a.txt;<D>\\temi\\b.qelpictura;<D>"
          "\\temi\\senza estensione",
      others =
          "<D>\\QelPictura.exe.bak;<D>\\QelPictura.ex;<D>\\help.html;<D>\\help.htm.txt;<D>"
          "\\leggimi.txt;<D>\\temi.txt;<D>\\temi\\sotto\\c.qelpictura;C:\\help.htm;C:\\QelPictura."
          "exe;C:\\altrove\\help.htm;C:\\altrove\\temi\\d.qelpictura";
  Sweep({"folder C:\\Altra cartella",
         "mkdir <D>;<D>\\temi;<D>\\temi\\sotto;C:\\altrove;C:\\altrove\\temi",
         "copy <P>\\Uninstall.exe><D>\\Uninstall.exe;<P>\\Uninstall.exe>C:\\altrove\\Uninstall.exe",
         "write " + named + ";" + others, "uninstall", "told C:\\altrove",
         "left C:\\altrove>C:\\help.htm>C:\\QelPictura.exe"});
}

// The proposed folder's parent gone: "Conferma" says so, the page stays and later installs.
SCENARIO_DPI(a_missing_destination_parent_keeps_the_page) {
  const std::string parent = "C:\\Mancante\\Programmi";
  REQUIRE(Sweep(
      {"folder " + parent + "\\QelPictura", "mkdir C:\\Mancante;" + parent,
       "run reg add HKLM\\Software\\Microsoft\\Windows\\CurrentVersion /v ProgramFilesDir /d " +
           parent + " /f"}));
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup), box = FindWindowExW(page, nullptr, L"Edit", nullptr);
  REQUIRE(page && box && Text(box) == folder && RemoveDirectoryW(W(parent).c_str()));
  Press(Child(page, "Button", "&Conferma"));
  HWND message = Top([&](HWND h) { return GetWindow(h, GW_OWNER) == page; });
  CHECK(message && Approvato(message, "cartella-mancante"));
  Press(Child(message, "Button", "&OK"));
  CHECK(message && WaitFor([&] { return !IsWindow(message) && IsWindowEnabled(page); }) &&
        Text(box) == folder);
  REQUIRE(!IsFolder(parent) && CreateDirectoryW(W(parent).c_str(), nullptr));
  CHECK(ConfirmAndWaitForResult(setup, page) && IsFile(folder + "\\QelPictura.exe"));
}

// The installed version as registry values of every kind and as hostile texts: Setup warns,
// modally, exactly when the value reads as a number above 1.
SCENARIO(version_values_of_every_kind_and_hostile_texts) {
  // Each: '+' where Setup warns; the type (Sz, Expand, Dword, Qword, Binary, Multi, None: no
  // key); the data, numbers as texts. Wine's RegRead gives a text up to its first NUL.
  const std::wstring letters = L"SEDQBMN", spaces(5000, L' '), nul(1, L'\0');
  const DWORD types[] = {REG_SZ,     REG_EXPAND_SZ, REG_DWORD, REG_QWORD,
                         REG_BINARY, REG_MULTI_SZ,  REG_NONE},
              sizes[] = {0, 0, 4, 8, 1, 0, 0};
  std::vector<std::wstring> values = {
      L"+S2",           L"-N",    L"-S1", L"+S2.5",  L"-S1.4",        L"-S-3",
      L"-S40000",       L"-Sabc", L"+E2", L"+D2",    L"-D0xFFFFFFFE", L"-Q2",
      L"-Q0x100000002", L"-B2",   L"-M2", L"+S&H10", L"+S2E0",        L"-S2E5"};
  values.insert(values.end(), {L"-S" + spaces.substr(0, 40), L"+S" + spaces + L"2" + spaces,
                               L"-S" + std::wstring(100000, L'A'), L"-S" + std::wstring(5000, L'9'),
                               L"-S" + nul + L"2", L"+S2" + nul + L"999"});
  REQUIRE(Sweep({}));
  for (const std::wstring& v : values) {
    std::size_t kind = letters.find(v[1]);
    DWORD type = types[kind], size = sizes[kind];
    std::wstring text = v.substr(2) + std::wstring(type == REG_MULTI_SZ ? 2 : 1, L'\0');
    unsigned long long number = std::wcstoull(text.c_str(), nullptr, 0);
    REQUIRE(type == REG_NONE
                ? Run("reg delete HKLM\\SOFTWARE\\Qel\\Pictura /f") == 0
                : !RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qel\\Pictura", L"Version", type,
                                   size ? static_cast<const void*>(&number) : text.data(),
                                   size ? size : text.size() * 2));
    Program setup = Start(package + "\\Setup.exe", package);
    // A warning (above the welcome page) comes alone, the licence page only once it is answered.
    HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
    Press(Child(page, "Button", "&Continua"));
    HWND next =
        Top([&](HWND h) { return GetWindow(h, GW_OWNER) == page || Child(h, "Button", kAccetto); });
    bool warned = next && GetWindow(next, GW_OWNER) == page;
    if (warned && !WaitWindowWith(setup, kTitolo, "Button", kAccetto, 300))
      Press(Child(next, "Button", "&OK"));
    if (CHECK(next && warned == (v[0] == L'+') &&
              WaitWindowWith(setup, kTitolo, "Button", kAccetto) &&
              WaitFor([&] { return Windows(setup, kTitolo).size() == 1; })))
      std::printf("  value %d\n", static_cast<int>(&v - values.data()));
    setup.Kill();
    setup.Exited();
  }
}

// A package as released (the folder given, else the sample package): its Setup shows the
// welcome page, outlives the timers that follow its first paint and opens the licence page.
SCENARIO(the_package_starts_and_opens_the_licence_page) {
  const std::string from = arguments.empty() ? build + "\\pacchetto" : arguments[0];
  Program setup = Start(from + "\\Setup.exe", from);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page != nullptr);
  CHECK(!setup.Exited(1500));
  Press(Child(page, "Button", "&Continua"));
  CHECK(WaitWindowWith(setup, kTitolo, "Button", kAccetto) && !setup.Exited(1000));
}
