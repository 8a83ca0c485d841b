// Setup's and the uninstaller's journeys at 96, 120 and 144 DPI: every window compared with its
// approved record as it is reached, each run sampled against its timeline, the footprint laid
// down and taken away. Given a screenshot folder, a journey is also the demo.
#include "../Driver.h"

#include <algorithm>

using namespace e2e;

namespace {

const std::string D = Destinazione();
const char kCliccaRimuovi[] =
    "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione";
// The visible window shown above `owner`, owned by it.
HWND Sopra(HWND owner) {
  return Top([&](HWND h) { return GetWindow(h, GW_OWNER) == owner; });
}

// A message dialog the page asks (through the button, else its close box), owned by it and as
// approved, the page disabled meanwhile; Escape leaves it open, `risposta` (keys, the button to
// press, or "" for its close box) answers it, and the page is back with the focus where it was
// (or gone on).
bool Chiede(HWND page, const char* pulsante, const std::string& risposta,
            const std::string& record) {
  HWND prima = pulsante ? Child(page, "Button", pulsante) : Focus(page);  // where the focus returns
  if (pulsante)
    Press(prima);
  else
    PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND d = Sopra(page);
  if (!d) return false;
  bool ok = !IsWindowEnabled(page) && Approvato(d, record) && Keys(d, "Escape") && IsWindow(d);
  if (risposta.empty())
    PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
  else if (risposta[0] == '&')
    Press(Child(d, "Button", risposta));
  else
    ok &= Keys(d, risposta);
  return WaitFor([&] {
           return !IsWindow(d) &&
                  (!IsWindow(page) || (IsWindowEnabled(page) && Focus(page) == prima));
         }) &&
         ok;
}

// A run's timeline as approved on the fake clock (tests/approved/unit/<record>.txt), in this
// prefix's folders D and S: each row's status text, the bar's position and the pause after it.
struct Tappa {
  std::string stato;
  int barra;
  unsigned pausa;
};
std::vector<Tappa> Tappe(const std::string& record, const std::string& D, const std::string& S) {
  std::vector<Tappa> tappe;
  const std::string all = ReadFile(approved + "\\unit\\" + record + ".txt");
  for (std::size_t a = 0, b; (b = all.find('\n', a)) != std::string::npos; a = b + 1) {
    const std::string riga = all.substr(a, b - a);
    if (!riga.starts_with("pump: ")) continue;
    const std::size_t testo = riga.find(" ms: \"") + 6;
    std::string t = riga.substr(testo, riga.size() - testo - 1);
    for (auto [da, per] : {std::pair<std::string, std::string>{"\\r\\n", "\r\n"},
                           {"C:\\Applicazioni\\QelPictura", D},
                           {"C:\\windows\\system32\\", S}})
      t = Sostituito(t, da, per);
    tappe.push_back({t, std::stoi(riga.substr(riga.find("bar ") + 4)),
                     static_cast<unsigned>(std::stoi(riga.substr(riga.find("then ") + 5)))});
  }
  return tappe;
}

// Samples a run from this process until `finita`: the status text as the system keeps it and
// the bar's position when the program answers at once, posting a close request once the run
// has the window disabled. True when every text with a pause is seen in the timeline's order,
// staying about as long as its pauses, the bar's positions are the timeline's, in order, and
// the window, in the pause after the text that begins with `scatto`, is its approved record.
bool Segue(HWND window, HWND stato, const std::function<bool()>& finita,
           const std::vector<Tappa>& tappe, const std::string& scatto, const std::string& record) {
  std::vector<std::pair<std::string, DWORD>> testi;  // each text seen, from when
  std::vector<int> barre;
  bool chiesta = false, fine = false;
  Scatto foto{};
  for (DWORD inizio = GetTickCount(); !fine && GetTickCount() - inizio < 60000; Sleep(2)) {
    fine = finita();
    std::string s = fine ? "" : Text(stato, false);
    if (testi.empty() || testi.back().first != s) {
      testi.push_back({s, GetTickCount()});
      if (s.rfind(scatto, 0) == 0) Sleep(100), foto = Scatta(window, record, false);
    }
    DWORD_PTR posizione = 0;
    for (HWND bar : Children(window, "msctls_progress32")) {
      // A bar just made stands at 0 until its first step, and answers 0 as it is destroyed.
      if (SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 25, &posizione) && posizione &&
          (barre.empty() || barre.back() != static_cast<int>(posizione)))
        barre.push_back(posizione);
    }
    if (!chiesta && !IsWindowEnabled(window)) chiesta = PostMessageW(window, WM_CLOSE, 0, 0);
  }
  bool ok = Confronta(foto) && !barre.empty() && std::is_sorted(barre.begin(), barre.end()) &&
            testi.back().first.empty();
  for (int b : barre)
    if (std::none_of(tappe.begin(), tappe.end(), [&](auto& t) { return t.barra == b; })) {
      std::printf("  bar at %d: not the timeline's\n", b);
      ok = false;
    }
  std::vector<Tappa> righe;  // the timeline's texts in order, each with its pauses' sum
  for (const auto& t : tappe)
    if (righe.empty() || righe.back().stato != t.stato)
      righe.push_back(t);
    else
      righe.back().pausa += t.pausa;
  auto saltata = [&](const Tappa& t) {  // only a text without a pause may pass unseen
    if (t.pausa) std::printf("  not seen: %s\n", t.stato.c_str());
    return !t.pausa;
  };
  std::size_t k = 0;
  for (std::size_t i = 0; i + 1 < testi.size(); ++i, ++k) {
    const std::string& s = testi[i].first;
    while (k < righe.size() && righe[k].stato != s) ok &= saltata(righe[k++]);
    unsigned durata = testi[i + 1].second - testi[i].second,
             pausa = k < righe.size() ? righe[k].pausa : 0;
    std::printf("  %5u ms, pauses %4u ms: %s\n", durata, pausa, s.substr(0, s.find('\r')).c_str());
    ok &= k < righe.size() && (!pausa || (durata + 50 >= pausa && durata <= 2 * pausa + 2000));
  }
  while (k < righe.size()) ok &= saltata(righe[k++]);
  return ok;
}

}  // namespace

SCENARIO_DPI(viaggio_setup) {
  std::string package = LayOutPackage(), S = SystemFolder() + "\\";
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page != nullptr);
  CHECK(Approvato(page, "benvenuto"));
  CHECK(Chiede(page, "&?", "Return", "aiuto"));
  CHECK(Chiede(page, nullptr, "", "annulla"));  // after an "OK", its close box says no
  CHECK(Chiede(page, "&Annulla", "&No", "annulla"));
  CHECK(Chiede(page, nullptr, "alt+n", "annulla"));
  REQUIRE(Keys(page, "Escape alt+c"));

  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  REQUIRE(licence != nullptr);
  CHECK(WaitFor([&] { return !IsWindow(page); }) && Approvato(licence, "licenza"));
  CHECK(Chiede(licence, "&?", "&OK", "aiuto-licenza"));
  // "Continua" answers only once the box is ticked: by the mouse, by Alt+O, by Space; Enter
  // presses no box.
  HWND continua = Child(licence, "Button", "&Continua"), box = Child(licence, "Button", kAccetto);
  REQUIRE(Click(continua) && IsWindow(licence));
  const std::pair<const char*, bool> passi[] = {{"", true},      {"", false},
                                                {"alt+o", true}, {"space", false},
                                                {"space", true}, {"Return", true}};
  for (auto [tasti, acceso] : passi) {
    CHECK(*tasti ? Keys(licence, tasti) : Click(box));
    CHECK(WaitFor([&] { return !IsWindowEnabled(continua) == !acceso; }));
  }
  CHECK(Approvato(licence, "licenza-accettata"));
  // Dragged away: each page from now on stands where it was left.
  SetWindowPos(licence, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  REQUIRE(Click(continua));

  HWND destination = WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
  REQUIRE(destination != nullptr);
  CHECK(Approvato(destination, "cartella"));
  // The folder box takes no typing; the folder browser cancelled keeps the folder.
  HWND folder = Child(destination, "Edit", D);
  CHECK(Click(folder) && WaitFor([&] { return Focus(destination) == folder; }) &&
        Keys(destination, "x Delete BackSpace") && Text(folder) == D);
  CHECK(Chiede(destination, "&?", "Return", "aiuto-cartella"));
  Press(Child(destination, "Button", "sfoglia..."));
  HWND browser = Sopra(destination);
  REQUIRE(browser != nullptr);
  CHECK(Approvato(browser, "sfoglia"));  // the old style, without a name box
  Press(GetDlgItem(browser, IDCANCEL));
  CHECK(WaitFor([&] { return !IsWindow(browser) && IsWindowEnabled(destination); }));
  CHECK(Text(folder) == D);

  // A double click on "Conferma" (two clicks posted before the first is handled): one run.
  HWND stato = Child(destination, "Static", kClicca);
  HWND conferma = Child(destination, "Button", "&Conferma");  // asked once: the run pauses
  Press(conferma);
  Press(conferma);
  CHECK(Segue(
      destination, stato, [&] { return !IsWindow(stato); }, Tappe("setup-ix", D, S),
      "Completamento", "in-corso"));
  HWND result = WaitWindowWith(setup, kTitolo, "Button", "&Chiudi");
  REQUIRE(result != nullptr);
  CHECK(Windows(setup, kTitolo).size() == 1 && Approvato(result, "resoconto"));

  // Closed, it starts the installed program once, in its folder, by the desktop's shell (under
  // Wine every program runs elevated); each runtime file is registered once, minimised.
  ShellPronta();
  CHECK(Keys(result, "Return") && setup.Exited());
  CHECK(Lasciato("installazione", D));

  // Started again: "Si" to the question ends Setup at once. Setup lets the session end and
  // stays when its end is called off; the task manager ends it unasked.
  Program again = Start(package + "\\Setup.exe", package);
  page = WaitWindowWith(again, kTitolo, "Button", "&Continua");
  REQUIRE(page && Keys(page, "alt+a"));
  HWND question = Sopra(page);
  CHECK(question && Keys(question, "Return") && again.Exited() && again.ExitCode() == 0);
  Program last = Start(package + "\\Setup.exe", package);
  page = WaitWindowWith(last, kTitolo, "Button", "&Continua");
  REQUIRE(page && SendMessageW(page, WM_QUERYENDSESSION, 0, 0) &&
          !SendMessageW(page, WM_ENDSESSION, FALSE, 0) && IsWindowVisible(page));
  CHECK(PostMessageW(page, WM_CLOSE, 0, 0) && last.Exited());
}

SCENARIO_DPI(viaggio_uninstall) {
  // A newer version in the product's key (Setup warns), a subkey of the user's in it, and a
  // folder where the desktop shortcut would go: that shortcut's failure alone is reported.
  REQUIRE(Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /t REG_SZ /d 2 /f") == 0);
  REQUIRE(Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura\\Temi /v Ultimo /t REG_SZ /d mio /f") == 0);
  const std::string collegamento = Desktop() + "\\QelPictura.lnk", mio = Desktop() + "\\Mio.lnk",
                    mioMenu = Programs() + "\\Mio.lnk";
  REQUIRE(CreateDirectoryW(W(collegamento).c_str(), nullptr));
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page != nullptr);
  CHECK(Chiede(page, "&Continua", "&OK", "avviso"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  REQUIRE(licence && Click(Child(licence, "Button", kAccetto)));
  REQUIRE(Click(Child(licence, "Button", "&Continua")));
  HWND result =
      ConfirmAndWaitForResult(setup, WaitWindowWith(setup, kTitolo, "Button", "&Conferma"));
  REQUIRE(result != nullptr);
  CHECK(Approvato(result, "resoconto-errori"));
  Press(Child(result, "Button", "&Chiudi"));
  // What Setup's run recorded is not this journey's: gone once the program it starts is there.
  CHECK(setup.Exited() && WaitFor([] {
          return std::ranges::count_if(Record(),
                                       [](auto& l) { return l.starts_with("cartella|"); }) == 1;
        }) &&
        DeleteFileW(L"C:\\record.txt"));
  // The desktop shortcut put in its place by hand; shortcuts and a theme of the user's beside
  // the product's.
  CHECK(RemoveDirectoryW(W(collegamento).c_str()) &&
        CopyFileW(W(Menu() + "\\QelPictura.lnk").c_str(), W(collegamento).c_str(), FALSE));
  CHECK(WriteFile(mio, "mio") && WriteFile(mioMenu, "mio") &&
        WriteFile(D + "\\temi\\mio.tema", "mio"));

  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  CHECK(Approvato(window, "disinstallazione"));
  // Its help, and the confirmation, which Enter declines: nothing goes.
  for (auto [pulsante, record] : {std::pair{"&?", "aiuto-rimozione"}, {"&Rimuovi", "conferma"}}) {
    Press(Child(window, "Button", pulsante));
    HWND box = MessageBoxOf(u, kTitoloRimozione);
    CHECK(box && Approvato(box, record));
    CHECK(Keys(box, "Return"));
    CHECK(WaitFor([&] { return !IsWindow(box) && IsWindowEnabled(window); }));
  }
  CHECK(Run("reg query HKLM\\SOFTWARE\\Qel\\Pictura") == 0 && IsFile(D + "\\QelPictura.exe"));
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box != nullptr);
  HWND annulla = Child(window, "Button", "&Annulla"),
       stato = Child(window, "Static", kCliccaRimuovi);
  std::vector<Tappa> tappe = Tappe("uninstall-T", D, "");
  tappe.insert(tappe.begin(), {kCliccaRimuovi, -1, 0});
  Press(GetDlgItem(box, IDOK));
  CHECK(Segue(
      window, stato, [&] { return Text(annulla, false) == "Chiudi"; }, tappe,
      "Rimozione dei collegamenti", "rimozione-in-corso"));
  CHECK(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }));
  CHECK(Approvato(window, "rimossa"));

  CHECK(Lasciato("rimozione", D, {mioMenu}));
  CHECK(Keys(window, "Return") && u.Exited());

  CHECK(Told(D, "gia-rimossa"));  // started again
}
