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
  ShellPronta();
  CHECK(Keys(page, "Return") && setup.Exited() && Lasciato("installazione", D));

  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window && Keys(window, "alt+r"));
  REQUIRE(Keys(MessageBoxOf(u, kTitoloRimozione), "Tab Return"));
  REQUIRE(WaitFor([&] { return IsWindowVisible(Child(window, "Button", "Chiudi")); }, 30000));
  CHECK(Keys(window, "Return") && u.Exited());
}

// "Program Files" on a 256 KB disk, a 1.3 MB QelPictura.exe in the package: what arrives is
// whole, no temporary file stays, the result page lists the missing program, nothing starts.
SCENARIO_DPI(disco_pieno) {
  const std::string package = LayOutPackage(), D = Destinazione();
  struct Disco {
    std::string cartella = Special(CSIDL_PROGRAM_FILES);
    ~Disco() { Unix("umount -l {}", {cartella}); }
  } disco;
  REQUIRE(Unix("truncate -s 1300000 {}", {package + "\\QelPictura.exe"}) &&
          Unix("mount -t tmpfs -o size=256k tmpfs {}", {disco.cartella}));
  CHECK(Installed("principale-mancante") && Lasciato("disco-pieno", D));
}

// A QelPictura that runs from the installation folder: Setup and the uninstaller each ask
// first; "Annulla" leaves everything as it was, "Riprova" once it has ended does the whole job.
SCENARIO_DPI(programma_aperto) {
  const std::string package = LayOutPackage(), D = Destinazione();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  REQUIRE(result && Run("reg add " + kChiave + " /v Version /d 1 /f") == 0);
  ShellPronta();
  Press(Child(result, "Button", "&Chiudi"));
  REQUIRE(setup.Exited() && WriteFile(D + "\\help.htm", "vecchio"));
  auto aperto = [&] {  // the stand-in, open while kResta is there; Setup never sees the variable
    SetEnvironmentVariableW(L"QEL_RESTA", W(kResta).c_str());
    Program p = (WriteFile(kResta, ""), Start(D + "\\QelPictura.exe", D));
    return SetEnvironmentVariableW(L"QEL_RESTA", nullptr), p;
  };
  // "Annulla" to the question asked while the program runs (approved as `domanda`) leaves the
  // window (as `finestra`) and the footprint (as `impronta`) as they were.
  auto annullato = [&](HWND window, HWND ask, HWND annulla, const std::string& domanda,
                       const std::string& finestra, const std::string& impronta) {
    const bool ok = ask && Approvato(ask, domanda);
    Press(annulla);
    return WaitFor([&] { return !IsWindow(ask) && IsWindowEnabled(window); }) && ok &&
           Approvato(window, finestra) && Lasciato(impronta, D);
  };
  Program qel = aperto();
  auto chiuso = [&] { return DeleteFileW(W(kResta).c_str()) && qel.Exited(); };
  setup = Start(package + "\\Setup.exe", package);
  HWND page = GoToDestinationPage(setup);
  auto domanda = [&] {
    Press(Child(page, "Button", "&Conferma"));
    return WaitWindowWith(setup, kTitolo, "Button", "&Riprova");
  };
  HWND ask = domanda();
  CHECK(annullato(page, ask, Child(ask, "Button", "&Annulla"), "in-uso", "cartella-annullata",
                  "programma-aperto"));
  REQUIRE((ask = domanda()) && chiuso());
  Press(Child(ask, "Button", "&Riprova"));
  REQUIRE(result = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", 60000));
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited() && Lasciato("programma-aperto-installato", D));

  qel = aperto();
  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  auto rimuovi = [&] {
    Press(Child(window, "Button", "&Rimuovi"));
    Press(GetDlgItem(MessageBoxOf(u, kTitoloRimozione), IDOK));
    return Top([&](HWND h) { return Of(u, h, kTitoloRimozione) && GetDlgItem(h, IDRETRY); });
  };
  ask = rimuovi();
  CHECK(annullato(window, ask, GetDlgItem(ask, IDCANCEL), "in-uso-rimozione", "rimozione-annullata",
                  "programma-aperto-in-uso"));
  REQUIRE((ask = rimuovi()) && chiuso());
  Press(GetDlgItem(ask, IDRETRY));
  REQUIRE(WaitFor([&] { return IsWindowVisible(Child(window, "Button", "Chiudi")); }, 30000));
  Press(Child(window, "Button", "Chiudi"));
  CHECK(u.Exited() && Lasciato("programma-aperto-rimosso", D));
}
