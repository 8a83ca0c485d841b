// Real hands on real machines: the keyboard alone, a disk that fills, a QelPictura that runs.
#include "../Driver.h"

using namespace e2e;

namespace {

const char kInUso[] =
    "\r\nQelPictura è in esecuzione e deve essere chiuso prima di installarlo\r\n\r\nChiudi "
    "QelPictura e clicca sul pulsante 'Riprova'";
const char kInUsoRimozione[] =
    "QelPictura è in esecuzione e deve essere chiuso prima di disinstallarlo\r\nChiudi QelPictura "
    "e "
    "riprova";

// From the control with the focus, each control of the window's focus order (named by its
// caption, else by its class) in turn: Esc changes nothing, no window comes or goes; Tab goes
// to the next, Shift+Tab comes back, Tab goes on. It ends where it began.
bool Giro(const Program& p, HWND window, const std::vector<std::string>& ordine) {
  std::vector<HWND> h;
  for (const std::string& o : ordine) {
    HWND c = Child(window, "Button", o);
    h.push_back(c ? c : Children(window, o).empty() ? nullptr : Children(window, o)[0]);
  }
  const std::size_t n = h.size(), da = std::find(h.begin(), h.end(), Focus(window)) - h.begin();
  if (da == n) return std::printf("  the focus is on none of them\n"), false;
  const std::size_t finestre = Visible([&](HWND w) { return Of(p, w, Text(w, false)); }).size();
  auto su = [&](std::size_t i) { return WaitFor([&] { return Focus(window) == h[i % n]; }, 3000); };
  for (std::size_t i = da; i < da + n; ++i) {
    bool esc = Keys(window, "Escape") && (Sleep(300), su(i)) &&
               Visible([&](HWND w) { return Of(p, w, Text(w, false)); }).size() == finestre;
    if (!esc || !Keys(window, "Tab") || !su(i + 1) || !Keys(window, "shift+Tab") || !su(i) ||
        !Keys(window, "Tab") || !su(i + 1))
      return std::printf("  the focus order breaks at %s\n", ordine[i % n].c_str()), false;
  }
  return true;
}

// "Program Files" left with no room for the whole: the result page names what is missing.
struct Montato {
  std::string cartella = Special(CSIDL_PROGRAM_FILES);
  ~Montato() { Unix("umount -l {}", {cartella}); }
};

}  // namespace

// Setup and the uninstaller from the first page to "Chiudi" without a mouse: every window's
// focus order walked both ways from each control, Esc pressed on each, access keys from the
// agreement's text, Enter on the focused button.
SCENARIO(solo_tastiera) {
  const std::string package = LayOutPackage(), D = Destinazione();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page && Giro(setup, page, {"&Continua", "&?", "&Annulla"}) && Keys(page, "Return"));
  REQUIRE(page = WaitWindowWith(setup, kTitolo, "Button", kAccetto));
  HWND testo = Children(page, "Edit")[0], accetto = Child(page, "Button", kAccetto);
  CHECK(Giro(setup, page, {"&Annulla", "&?", kAccetto, "Edit"}));
  auto nelTesto = [&] {  // the focus on the agreement's text
    for (int i = 0; i < 5; ++i)
      if (WaitFor([&] { return Focus(page) == testo; }, 500) || !Keys(page, "Tab")) break;
    return Focus(page) == testo;
  };
  REQUIRE(nelTesto());
  REQUIRE(Keys(page, "alt+o"));
  CHECK(WaitFor([&] { return SendMessageW(accetto, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  CHECK(Giro(setup, page, {"&Annulla", "&?", "&Continua", kAccetto, "Edit"}));
  REQUIRE(nelTesto() && Keys(page, "alt+c"));
  REQUIRE(page = WaitWindowWith(setup, kTitolo, "Button", "&Conferma"));
  CHECK(Giro(setup, page, {"&Conferma", "&?", "&Annulla", "sfoglia...", "Edit"}));
  REQUIRE(Keys(page, "Return"));
  REQUIRE(page = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", 60000));
  CHECK(Giro(setup, page, {"&Chiudi"}) && Keys(page, "Return") && setup.Exited());
  CHECK(WaitFor([] { return Record({"started|"}).size() == 1; }));

  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window && Giro(u, window, {"&Annulla", "&Rimuovi", "&?"}) && Keys(window, "alt+r"));
  HWND box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box && Keys(box, "Tab Return"));
  REQUIRE(WaitFor([&] { return IsWindowVisible(Child(window, "Button", "Chiudi")); }, 30000));
  CHECK(Giro(u, window, {"Chiudi"}) && Keys(window, "Return") && u.Exited());
  CHECK(!IsFile(D + "\\QelPictura.exe") && !IsFile(Desktop() + "\\QelPictura.lnk"));
}

// "Program Files" on a 256 KB disk, a 1.3 MB QelPictura.exe in the package: no file is left
// truncated, no temporary file stays, the result page lists the missing program and nothing
// starts.
SCENARIO(disco_pieno) {
  const std::string package = LayOutPackage(), D = Destinazione();
  REQUIRE(Unix("truncate -s 1300000 {}", {package + "\\QelPictura.exe"}));
  Montato montato;
  REQUIRE(Unix("mount -t tmpfs -o size=256k tmpfs {}", {montato.cartella}));
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  REQUIRE(result);
  std::vector<std::string> items = Items(result);
  CHECK(Child(result, "Static", kFallita) &&
        std::find(items.begin(), items.end(), kPrincipale) != items.end());
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited() && (Sleep(1500), Record({"started|"}).empty()));
  CHECK(!IsFile(D + "\\QelPictura.exe") && IsFile(D + "\\Uninstall.exe"));
  for (const std::string& in : {D, D + "\\temi"}) {  // each file whole, as in the package
    WIN32_FIND_DATAW f;
    HANDLE find = FindFirstFileW(W(in + "\\*").c_str(), &f);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &f)) {
      const std::string name = U(f.cFileName), twin = package + "\\" + name;
      if (CHECK((f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (IsFile(twin) && ReadFile(in + "\\" + name) == ReadFile(twin))))
        std::printf("  at %s\\%s\n", in.c_str(), name.c_str());
    }
    FindClose(find);
  }
  WIN32_FIND_DATAW f;  // nor a temporary file beside the runtime
  CHECK(FindFirstFileW(W(SystemFolder() + "\\qel*.tmp").c_str(), &f) == INVALID_HANDLE_VALUE);
}

// A QelPictura that runs from the installation folder: Setup and the uninstaller each ask
// first; "Annulla" leaves everything as it was, "Riprova" once it has ended does the whole job.
SCENARIO(programma_aperto) {
  const std::string package = LayOutPackage(), D = Destinazione(), marker = "C:\\resta";
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  REQUIRE(result && Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /d 1 /f") == 0);
  Press(Child(result, "Button", "&Chiudi"));
  REQUIRE(setup.Exited() && WriteFile(D + "\\help.htm", "vecchio"));
  auto aperto = [&] {  // the installed stand-in, open while the marker is there
    WriteFile(marker, "");
    SetEnvironmentVariableW(L"QEL_RESTA", W(marker).c_str());
    Program p = Start(D + "\\QelPictura.exe", D);
    SetEnvironmentVariableW(L"QEL_RESTA", nullptr);
    return p;
  };
  Program qel = aperto();
  setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup), ask = nullptr;
  for (const std::string risposta : {"&Annulla", "&Riprova"}) {
    Press(Child(page, "Button", "&Conferma"));
    REQUIRE(ask = WaitWindowWith(setup, kTitolo, "Button", "&Riprova"));
    CHECK(Child(ask, "Static", kInUso));
    if (risposta == "&Riprova") REQUIRE(DeleteFileW(W(marker).c_str()) && qel.Exited());
    Press(Child(ask, "Button", risposta));
    if (risposta == "&Annulla")
      CHECK(WaitFor([&] { return !IsWindow(ask); }) && (Sleep(500), IsWindowEnabled(page)) &&
            Child(page, "Static", kClicca) && ReadFile(D + "\\help.htm") == "vecchio");
  }
  REQUIRE(result = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", 60000));
  CHECK(Child(result, "Static", kRiuscita) && ReadFile(D + "\\help.htm") != "vecchio");
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited());

  qel = aperto();
  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  for (int id : {IDCANCEL, IDRETRY}) {
    Press(Child(window, "Button", "&Rimuovi"));
    Press(GetDlgItem(MessageBoxOf(u, kTitoloRimozione), IDOK));
    HWND box = Top(
        [&](HWND h) { return Of(u, h, kTitoloRimozione) && Child(h, "Static", kInUsoRimozione); });
    REQUIRE(box && IconAndCancel(box) == std::pair(true, true));
    if (id == IDRETRY) REQUIRE(DeleteFileW(W(marker).c_str()) && qel.Exited());
    Press(GetDlgItem(box, id));
    if (id == IDCANCEL)
      CHECK(WaitFor([&] { return !IsWindow(box); }) && (Sleep(500), IsWindowEnabled(window)) &&
            Run("reg query HKLM\\SOFTWARE\\Qel\\Pictura") == 0 && IsFile(D + "\\help.htm") &&
            IsFile(Desktop() + "\\QelPictura.lnk") && IsFolder(Menu()));
  }
  HWND close = nullptr;
  REQUIRE(
      WaitFor([&] { return IsWindowVisible(close = Child(window, "Button", "Chiudi")); }, 30000));
  CHECK(Run("reg query HKLM\\SOFTWARE\\Qel\\Pictura") != 0 && !IsFile(D + "\\QelPictura.exe") &&
        !IsFile(D + "\\help.htm") && !IsFile(Desktop() + "\\QelPictura.lnk"));
  Press(close);
  CHECK(u.Exited());
}
