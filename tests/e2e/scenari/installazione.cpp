// The installation run from the sample package, end to end: what lands where, what is
// registered and started, and the runs that meet a fault.
#include "../Driver.h"

#include <tlhelp32.h>

using namespace e2e;

namespace {

const std::string D = "C:\\Program Files\\QelPictura";
const std::string kRecord = "C:\\record.txt";
const char* const kRuntime[] = {"msvbvm60.dll", "oleaut32.dll", "olepro32.dll",
                                "asycfilt.dll", "stdole2.tlb",  "comcat.dll"};

// The stand-in registration program in place of the system's (wine-run.sh has Wine run
// the file rather than its own), and the record the stand-ins write.
std::vector<std::string> RecordingEnvironment() {
  CopyFileW(W(Fixture("regsvr32.exe")).c_str(), W(SystemFolder() + "\\regsvr32.exe").c_str(),
            FALSE);
  return {"QEL_RECORD=" + kRecord};
}

HWND First(HWND parent, const char* cls) {
  std::vector<HWND> all = Children(parent, cls);
  return all.empty() ? nullptr : all[0];
}

// The identifier of the running process with that file name, as a text ("" if none).
std::string ProcessId(const wchar_t* file) {
  std::string id;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (lstrcmpiW(entry.szExeFile, file) == 0) id = std::to_string(entry.th32ProcessID);
  CloseHandle(snapshot);
  return id;
}

bool Recorded(const std::string& line) {
  for (const auto& l : RecordLines(kRecord))
    if (l == line) return true;
  return false;
}

// The highest position the destination page's bar shows until the result page comes.
struct Corsa {
  HWND destination = nullptr, result = nullptr;
  RECT before{};
  int highest = -1;
};

Corsa InstallWatchingTheBar(const Program& setup) {
  Corsa run;
  run.destination = GoToDestinationPage(setup);
  if (!run.destination) return run;
  GetWindowRect(run.destination, &run.before);
  Press(Child(run.destination, "Button", "&Conferma"));
  WaitFor(
      [&] {
        for (HWND bar : Children(run.destination, "msctls_progress32")) {
          DWORD_PTR position = 0;
          if (SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position))
            run.highest = std::max(run.highest, static_cast<int>(position));
        }
        for (HWND h : Windows(setup, kTitolo))
          if (Child(h, "Button", "&Chiudi")) run.result = h;
        return run.result != nullptr;
      },
      60000);
  return run;
}

}  // namespace

SCENARIO(install_from_the_sample_package) {
  std::string package = LayOutPackage();
  // Plants that must never run: a registration program beside Setup, and the program
  // Windows would try first for an unquoted "C:\Program Files\...".
  CopyFileW(W(Fixture("QelPictura.exe")).c_str(), W(package + "\\REGSVR32.EXE").c_str(), FALSE);
  CopyFileW(W(Fixture("QelPictura.exe")).c_str(), L"C:\\Program.exe", FALSE);
  // The stand-in runtime would replace the system's OLE type library, without which the
  // desktop shell's objects cannot be reached from another process: the package carries
  // the system's own, as a real runtime would.
  CopyFileW(W(SystemFolder() + "\\stdole2.tlb").c_str(), W(package + "\\stdole2.tlb").c_str(),
            FALSE);
  Program setup = Start(package + "\\Setup.exe", package, RecordingEnvironment());
  Corsa run = InstallWatchingTheBar(setup);
  REQUIRE(run.result != nullptr);
  // The bar answers only at the run's pumps: it is seen in steps of six up to 96, or at
  // 100 after the four last units, which come just before the page goes; a busy machine
  // may let the last pumps pass unseen.
  CHECK(run.highest >= 90 && (run.highest % 6 == 0 || run.highest == 100));
  RECT after{};
  GetWindowRect(run.result, &after);
  CHECK(EqualRect(&after, &run.before));
  CHECK(WaitFor([&] { return !IsWindow(run.destination); }));
  CHECK(Child(run.result, "Static", "Installazione eseguita correttamente") != nullptr);
  HWND errori = First(run.result, "ListBox");
  CHECK(errori && !IsWindowVisible(errori));
  CHECK(Child(run.result, "Static", "Il programma verrà subito avviato, buon lavoro!"));

  CHECK(!IsFile(D + "\\msvbvm60.dll"));  // only where the system directory lacks it
  for (const char* file : {"QelPictura.exe", "help.htm", "Uninstall.exe"})
    CHECK(IsFile(D + "\\" + file) && ReadFile(D + "\\" + file) == ReadFile(package + "\\" + file));
  CHECK(IsFile(D + "\\temi\\happysmile.qelpictura") &&
        ReadFile(D + "\\temi\\happysmile.qelpictura") ==
            ReadFile(package + "\\happysmile.qelpictura"));
  for (const char* name : kRuntime) {
    CHECK(ReadFile(SystemFolder() + "\\" + name) == ReadFile(package + "\\" + name));
    CHECK(Recorded("regsvr32|REGSVR32.EXE /s " + SystemFolder() + "\\" + name));
  }
  struct Expected {
    std::string link, target, description;
  } links[] = {
      {Desktop() + "\\QelPictura.lnk", D + "\\QelPictura.exe",
       "Cattura le immagini dal desktop con QelPictura"},
      {Menu() + "\\QelPictura.lnk", D + "\\QelPictura.exe",
       "Cattura le immagini dal desktop con QelPictura"},
      {Menu() + "\\Rimuovi QelPictura dal computer.lnk", D + "\\Uninstall.exe",
       "Disinstalla il programma"},
  };
  for (const auto& e : links) {
    Link link = ReadLink(e.link);
    CHECK(lstrcmpiW(W(link.target).c_str(), W(e.target).c_str()) == 0);
    CHECK(link.description == e.description);
    CHECK(link.show == SW_SHOWNORMAL);
  }

  Press(Child(run.result, "Button", "&Chiudi"));
  CHECK(setup.Exited());
  CHECK(WaitFor(
      [&] { return Recorded("started|" + D + "\\QelPictura.exe|\"" + D + "\\QelPictura.exe\""); }));
  // In the installation folder, started by the user's desktop shell: under Wine every
  // program runs elevated, so Setup hands the start to the desktop's explorer.
  CHECK(WaitFor([&] { return Recorded("cartella|" + D + "|" + ProcessId(L"explorer.exe")); }));
  for (const auto& line : RecordLines(kRecord)) {
    CHECK(line.find("REGSVR32.EXE|") == std::string::npos);  // the plant beside Setup
    CHECK(line.find("C:\\Program.exe") == std::string::npos);
  }
}

// Two clicks on "Conferma" posted before the first is handled, then close requests from
// outside while the page is disabled: one run, to its end, and one result page in the
// page's place.
SCENARIO(a_double_click_and_close_requests_give_one_whole_run) {
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package, RecordingEnvironment());
  HWND destination = GoToDestinationPage(setup);
  REQUIRE(destination != nullptr);
  RECT before{};
  GetWindowRect(destination, &before);
  HWND conferma = Child(destination, "Button", "&Conferma");
  Press(conferma);
  Press(conferma);
  REQUIRE(WaitFor([&] { return !IsWindowEnabled(destination); }));
  PostMessageW(destination, WM_CLOSE, 0, 0);
  PostMessageW(destination, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND result = nullptr;
  bool goneEarly = false;
  auto find = [&] {
    for (HWND h : Windows(setup, kTitolo))
      if (Child(h, "Button", "&Chiudi")) result = h;
    return result != nullptr;
  };
  REQUIRE(WaitFor(
      [&] {
        if (find()) return true;
        goneEarly = goneEarly || (!IsWindow(destination) && !find());
        return false;
      },
      60000));
  CHECK(!goneEarly);
  RECT after{};
  GetWindowRect(result, &after);
  CHECK(EqualRect(&after, &before));
  CHECK(WaitFor([&] { return Windows(setup, kTitolo).size() == 1; }));
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited());
  auto registrations = [] {
    int n = 0;
    for (const auto& line : RecordLines(kRecord)) n += line.rfind("regsvr32|", 0) == 0;
    return n;
  };
  CHECK(WaitFor([&] {
    return registrations() >= 6 && !RecordLines(kRecord).empty() &&
           RecordLines(kRecord).back().rfind("cartella|", 0) == 0;
  }));
  CHECK(registrations() == 6);
}

SCENARIO(a_package_without_the_product_files_reports_them_and_starts_nothing) {
  std::string package = LayOutPackage();
  for (const char* name : {"QelPictura.exe", "help.htm", "happysmile.qelpictura"})
    DeleteFileW(W(package + "\\" + name).c_str());
  // An earlier installation's files are replaced, not left in place.
  CreateDirectoryW(W(D).c_str(), nullptr);
  WriteFile(D + "\\Uninstall.exe", "old");
  Program setup = Start(package + "\\Setup.exe", package, RecordingEnvironment());
  Corsa run = InstallWatchingTheBar(setup);
  REQUIRE(run.result != nullptr);
  CHECK(Child(run.result, "Static",
              "L'installazione non è stata completata correttamente\r\nErrori:"));
  HWND errori = First(run.result, "ListBox");
  REQUIRE(errori && IsWindowVisible(errori));
  std::vector<std::string> lines;
  for (LRESULT i = 0, n = SendMessageW(errori, LB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t text[256] = {};
    SendMessageW(errori, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    lines.push_back(U(text));
  }
  CHECK(lines == std::vector<std::string>{
                     "Non è stato possibile copiare il file principale dell'applicazione"});
  CHECK(ReadFile(D + "\\Uninstall.exe") == ReadFile(package + "\\Uninstall.exe"));
  Press(Child(run.result, "Button", "&Chiudi"));
  CHECK(setup.Exited());
  for (const auto& line : RecordLines(kRecord)) CHECK(line.rfind("started|", 0) != 0);
}

SCENARIO(a_menu_folder_that_cannot_be_made_gives_no_shortcut_at_all) {
  std::string package = LayOutPackage();
  CreateDirectoryW(W(Menu().substr(0, Menu().rfind('\\'))).c_str(), nullptr);
  WriteFile(Menu(), "a file where the folder would go");
  Program setup = Start(package + "\\Setup.exe", package);
  Corsa run = InstallWatchingTheBar(setup);
  REQUIRE(run.result != nullptr);
  HWND errori = First(run.result, "ListBox");
  REQUIRE(errori != nullptr);
  wchar_t text[256] = {};
  CHECK(SendMessageW(errori, LB_GETCOUNT, 0, 0) == 1);
  SendMessageW(errori, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  CHECK(U(text) == "Impossibile creare dei collegamenti nel menu avvio");
  CHECK(!IsFile(Desktop() + "\\QelPictura.lnk"));
  CHECK(IsFile(D + "\\QelPictura.exe"));
}

SCENARIO(a_destination_whose_parent_is_missing_keeps_the_page) {
  // The proposed folder's parent goes away while the destination page shows it.
  CreateDirectoryW(L"C:\\Mancante", nullptr);
  CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr);
  REQUIRE(Run("reg add \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\" /v ProgramFilesDir "
              "/t REG_SZ /d \"C:\\Mancante\\Programmi\" /f") == 0);
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND destination = GoToDestinationPage(setup);
  REQUIRE(destination != nullptr);
  HWND percorso = First(destination, "Edit");
  REQUIRE(percorso != nullptr);
  std::string proposed = Text(percorso);
  CHECK(proposed == "C:\\Mancante\\Programmi\\QelPictura");
  RemoveDirectoryW(L"C:\\Mancante\\Programmi");
  Press(Child(destination, "Button", "&Conferma"));
  HWND message = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(message != nullptr);
  CHECK(Child(message, "Static",
              "\r\nNon riesco a creare la cartella\r\n" + proposed +
                  "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'"));
  Press(Child(message, "Button", "&OK"));
  CHECK(WaitFor([&] { return !IsWindow(message); }));
  CHECK(IsWindowEnabled(destination) && Text(percorso) == proposed);
  CHECK(!IsFolder("C:\\Mancante\\Programmi"));
  // Once the parent is back, a second "Conferma" installs.
  CreateDirectoryW(L"C:\\Mancante\\Programmi", nullptr);
  HWND result = ConfirmAndWaitForResult(setup, destination);
  REQUIRE(result != nullptr);
  CHECK(IsFile(proposed + "\\QelPictura.exe"));
}
