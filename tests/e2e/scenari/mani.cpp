// Real hands on real machines: the keyboard alone, a disk that fills, a QelPictura that runs.
#include "../Driver.h"

using namespace e2e;

namespace {

const std::string kChiave = "HKLM\\SOFTWARE\\Qel\\Pictura", kResta = "C:\\resta";

}  // namespace

// Setup and the uninstaller from the first page to "Chiudi" without a mouse: access keys from
// the agreement's text, Enter on the focused button. (Every window's focus order, both ways,
// and Esc in each control are in its approved record.)
SCENARIO(solo_tastiera) {
  const std::string package = LayOutPackage(), D = Destinazione();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page && Keys(page, "Return"));
  REQUIRE(page = WaitWindowWith(setup, kTitolo, "Button", kAccetto));
  auto dalTesto = [&](const char* keys) {  // the focus to the agreement's text, then the keys
    HWND testo = Children(page, "Edit")[0];
    for (int i = 0; i < 5 && !WaitFor([&] { return Focus(page) == testo; }, 500); ++i)
      Keys(page, "Tab");
    return Focus(page) == testo && Keys(page, keys);
  };
  REQUIRE(dalTesto("alt+o"));
  CHECK(WaitFor([&] { return IsWindowEnabled(Child(page, "Button", "&Continua")) != FALSE; }));
  REQUIRE(dalTesto("alt+c") && (page = WaitWindowWith(setup, kTitolo, "Button", "&Conferma")));
  REQUIRE(Keys(page, "Return") &&
          (page = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", 60000)));
  CHECK(Keys(page, "Return") && setup.Exited());
  CHECK(WaitFor([] { return Record({"started|"}).size() == 1; }));

  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window && Keys(window, "alt+r"));
  REQUIRE(Keys(MessageBoxOf(u, kTitoloRimozione), "Tab Return"));
  REQUIRE(WaitFor([&] { return IsWindowVisible(Child(window, "Button", "Chiudi")); }, 30000));
  CHECK(Keys(window, "Return") && u.Exited());
}

// "Program Files" on a 256 KB disk, a 1.3 MB QelPictura.exe in the package: what arrives is
// whole, no temporary file stays, the result page lists the missing program, nothing starts.
SCENARIO(disco_pieno) {
  const std::string package = LayOutPackage(), D = Destinazione();
  struct Disco {
    std::string cartella = Special(CSIDL_PROGRAM_FILES);
    ~Disco() { Unix("umount -l {}", {cartella}); }
  } disco;
  REQUIRE(Unix("truncate -s 1300000 {}", {package + "\\QelPictura.exe"}) &&
          Unix("mount -t tmpfs -o size=256k tmpfs {}", {disco.cartella}));
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  REQUIRE(result);
  std::vector<std::string> items = Items(result);
  CHECK(Child(result, "Static", kFallita) && std::count(items.begin(), items.end(), kPrincipale));
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited() && (Sleep(1500), Lasciato("disco-pieno", D)));
}

// A QelPictura that runs from the installation folder: Setup and the uninstaller each ask
// first; "Annulla" leaves everything as it was, "Riprova" once it has ended does the whole job.
static void ProgrammaAperto(int valore) {
  REQUIRE(ConDpi(valore));
  const std::string package = LayOutPackage(), D = Destinazione();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  REQUIRE(result && Run("reg add " + kChiave + " /v Version /d 1 /f") == 0);
  Press(Child(result, "Button", "&Chiudi"));
  REQUIRE(setup.Exited() && WriteFile(D + "\\help.htm", "vecchio"));
  auto aperto = [&] {  // the stand-in, open while kResta is there; Setup never sees the variable
    SetEnvironmentVariableW(L"QEL_RESTA", W(kResta).c_str());
    Program p = (WriteFile(kResta, ""), Start(D + "\\QelPictura.exe", D));
    return SetEnvironmentVariableW(L"QEL_RESTA", nullptr), p;
  };
  Program qel = aperto();
  setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup), ask = nullptr;
  for (const std::string risposta : {"&Annulla", "&Riprova"}) {
    Press(Child(page, "Button", "&Conferma"));
    REQUIRE(ask = WaitWindowWith(setup, kTitolo, "Button", "&Riprova"));
    CHECK(risposta == "&Riprova" || Approvato(ask, "in-uso"));
    if (risposta == "&Riprova") REQUIRE(DeleteFileW(W(kResta).c_str()) && qel.Exited());
    Press(Child(ask, "Button", risposta));
    CHECK(risposta == "&Riprova" ||
          (WaitFor([&] { return !IsWindow(ask); }) && (Sleep(500), IsWindowEnabled(page)) &&
           Child(page, "Static", kClicca) && ReadFile(D + "\\help.htm") == "vecchio"));
  }
  REQUIRE(result = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", 60000));
  CHECK(Child(result, "Static", kRiuscita) && ReadFile(D + "\\help.htm") != "vecchio");
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited());

  qel = aperto();
  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi"), box = nullptr;
  for (int id : {IDCANCEL, IDRETRY}) {
    Press(Child(window, "Button", "&Rimuovi"));
    Press(GetDlgItem(MessageBoxOf(u, kTitoloRimozione), IDOK));
    box = Top([&](HWND h) { return Of(u, h, kTitoloRimozione) && GetDlgItem(h, IDRETRY); });
    REQUIRE(box);
    CHECK(id == IDRETRY || Approvato(box, "in-uso-rimozione"));
    if (id == IDRETRY) REQUIRE(DeleteFileW(W(kResta).c_str()) && qel.Exited());
    Press(GetDlgItem(box, id));
    CHECK(id == IDRETRY ||
          (WaitFor([&] { return !IsWindow(box); }) && (Sleep(500), IsWindowEnabled(window)) &&
           Run("reg query " + kChiave) == 0 && IsFile(D + "\\help.htm") && IsFolder(Menu()) &&
           IsFile(Desktop() + "\\QelPictura.lnk")));
  }
  REQUIRE(WaitFor([&] { return IsWindowVisible(Child(window, "Button", "Chiudi")); }, 30000));
  CHECK(Run("reg query " + kChiave) != 0 && !IsFile(D + "\\QelPictura.exe") &&
        !IsFile(D + "\\help.htm") && !IsFile(Desktop() + "\\QelPictura.lnk"));
  Press(Child(window, "Button", "Chiudi"));
  CHECK(u.Exited());
}
SCENARIO(programma_aperto_96) { ProgrammaAperto(96); }
SCENARIO(programma_aperto_120) { ProgrammaAperto(120); }
SCENARIO(programma_aperto_144) { ProgrammaAperto(144); }
