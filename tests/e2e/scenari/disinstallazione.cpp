// The uninstaller on an installation made by Setup from the sample package: its window,
// the confirmation, what the removal takes and what it leaves, and a second start.
#include "../Driver.h"

using namespace e2e;

namespace {

const std::string D = "C:\\Program Files\\QelPictura";
constexpr char kChiave[] = "HKLM\\SOFTWARE\\Qel\\Pictura";
constexpr char kConferma[] = "QelPictura verrà ora rimosso dal computer";

// The product key with a version that raises no warning and a subkey of its own, then
// an installation from the sample package.
bool Installa() {
  if (Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /t REG_SZ /d 1 /f") != 0 ||
      Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura\\Temi /v Ultimo /t REG_SZ /d happysmile /f") != 0)
    return false;
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND destination = GoToDestinationPage(setup);
  HWND result = destination ? ConfirmAndWaitForResult(setup, destination) : nullptr;
  setup.Kill();  // the result page stays open: the removal comes next
  setup.Exited();
  return result != nullptr && IsFile(D + "\\Uninstall.exe") && IsFile(Menu() + "\\QelPictura.lnk");
}

bool Chiave(const std::string& key) { return Run("reg query \"" + key + "\"") == 0; }

// Its texts: the prompt of its Static children and the captions of its buttons.
std::string Testo(HWND box) {
  std::string out;
  for (HWND h : Children(box, "Static")) out += Text(h);
  return out;
}
// How many icons it shows: one for MB_ICONINFORMATION, none without an icon flag (Wine
// keeps an empty icon control then).
int Icone(HWND box) {
  int n = 0;
  for (HWND h : Children(box, "Static"))
    n += (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(h) &&
         SendMessageW(h, STM_GETICON, 0, 0) != 0;
  return n;
}
// The captions of the visible buttons, of a message box or of the window.
std::vector<std::string> Pulsanti(HWND box) {
  std::vector<std::string> out;
  for (HWND h : Children(box, "Button"))
    if (IsWindowVisible(h)) out.push_back(Text(h));
  return out;
}

// The window text as the system keeps it: no message reaches a program that is busy.
std::string Scritto(HWND h) {
  wchar_t text[512] = {};
  GetWindowTextW(h, text, 512);
  return U(text);
}

// A text-less Static child at that place (width -1: any width).
bool Senza(HWND window, int left, int top, int width, int height) {
  for (HWND h : Children(window, "Static")) {
    RECT r = Twips(h);
    if (Text(h).empty() && r.left == left && r.top == top && r.bottom == height &&
        (width < 0 || r.right == width))
      return true;
  }
  return false;
}

// Declining the confirmation: the box goes, the window is as it was.
bool Rifiuta(const Program& u, HWND window, const std::function<void(HWND)>& answer) {
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = MessageBoxOf(u, kTitoloRimozione);
  if (!box) return false;
  answer(box);
  return WaitFor([&] { return !IsWindow(box); }) && IsWindowEnabled(window) &&
         Child(window, "Button", "&Rimuovi") && Child(window, "Button", "&Annulla");
}

bool Intatta() {
  return Chiave(kChiave) && Chiave(std::string(kChiave) + "\\Temi") &&
         IsFile(Desktop() + "\\QelPictura.lnk") && IsFile(Menu() + "\\QelPictura.lnk") &&
         IsFile(D + "\\QelPictura.exe") && IsFile(D + "\\help.htm") &&
         IsFile(D + "\\temi\\happysmile.qelpictura");
}

}  // namespace

SCENARIO(uninstall_removes_the_footprint_and_then_reports_it_gone) {
  REQUIRE(Installa());
  const std::string menu = Menu(), desktop = Desktop();
  CHECK(CopyFileW(W(menu + "\\QelPictura.lnk").c_str(), W(menu + "\\Fatto da me.lnk").c_str(),
                  FALSE));
  CHECK(WriteFile(D + "\\msvbvm60.dll", "copia"));
  CHECK(WriteFile(D + "\\temi\\mio.tema", "tema"));
  const std::string sistema = SystemFolder();
  const std::string runtime = ReadFile(sistema + "\\msvbvm60.dll");
  CHECK(!runtime.empty() && runtime == ReadFile("C:\\pacchetto\\msvbvm60.dll"));

  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  CHECK(ClientSize(window).cx == kPagina && ClientSize(window).cy == 342);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  CHECK(!(style & WS_MINIMIZEBOX) && !(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME));
  RECT screen{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  GetWindowRect(window, &frame);
  CHECK(std::abs((frame.left + frame.right) - (screen.left + screen.right)) <= 1);
  HWND annulla = Child(window, "Button", "&Annulla");
  HWND rimuovi = Child(window, "Button", "&Rimuovi");
  HWND aiuto = Child(window, "Button", "&?");
  REQUIRE(annulla && rimuovi && aiuto);
  CHECK(Is(Twips(aiuto), 225, 4665, 1215, 390));
  CHECK(Is(Twips(rimuovi), 4125, 4665, 1215, 390));
  CHECK(Is(Twips(annulla), 5475, 4665, 1215, 390));
  CHECK(WaitFor([&] { return Focus(window) == annulla; }, 3000));
  HWND titolo = Child(window, "Static", "QelSoftware - Disinstallazione di QelPictura");
  CHECK(titolo && Twips(titolo).left == 375 && Twips(titolo).top == 225);
  HWND sottotitolo =
      Child(window, "Static", "Questa procedura ti permette di rimuovere QelPictura dal computer");
  CHECK(sottotitolo && Twips(sottotitolo).left == 675 && Twips(sottotitolo).top == 570);
  HWND stato = Child(window, "Static",
                     "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione");
  CHECK(stato && Twips(stato).left == 375 && Twips(stato).top == 3375);
  HWND info = nullptr;
  for (HWND h : Children(window, "Static"))
    if (Text(h).rfind("L'autore di QelPictura ti ringrazia", 0) == 0) info = h;
  REQUIRE(info != nullptr);
  CHECK(Is(Twips(info), 375, 1350, 6210, 1710));
  // The band, the emblem and the three rules: text-less children found by their place.
  CHECK(Senza(window, 0, 0, 7290, 990) && Senza(window, 6150, 225, 480, 480));
  CHECK(Senza(window, 0, 960, -1, 15) && Senza(window, 0, 4575, -1, 15) &&
        Senza(window, 0, 4590, -1, 15));
  std::vector<Heard> heard = BandHeard("Disinstallazione", Text(sottotitolo));
  for (HWND h : {info, stato})
    heard.push_back({"Static", Text(h), Text(h), ROLE_SYSTEM_STATICTEXT});
  for (const char* name : {"Rimuovi", "Annulla"})
    heard.push_back({"Button", std::string("&") + name, name, ROLE_SYSTEM_PUSHBUTTON});
  heard.push_back({"Button", "&?", "Aiuto", ROLE_SYSTEM_PUSHBUTTON});
  CHECK(AnnouncedAs(window, heard));

  // Help: one box with its three lines, then the window as before.
  Press(aiuto);
  HWND box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box != nullptr);
  CHECK(Testo(box) ==
        "Cliccando sul pulsante 'Rimuovi', QelPictura verrà disinstallato\r\n"
        "Tutti i files relativi a questo programma, compresi i collegamenti, verranno rimossi dal "
        "computer\r\n"
        "Cliccando sul pulsante 'Annulla', si annullerà l'operazione di disinstallazione");
  CHECK(Pulsanti(box).size() == 1 && Icone(box) == 1);
  Press(Children(box, "Button").front());
  CHECK(WaitFor([&] { return !IsWindow(box); }));

  // The confirmation: Cancel is its default button; Cancel, Enter and Esc all decline.
  CHECK(Rifiuta(u, window, [&](HWND b) {
    CHECK(Testo(b) == kConferma);
    CHECK(Pulsanti(b).size() == 2 && Icone(b) == 0);
    HWND cancel = GetDlgItem(b, IDCANCEL);
    CHECK(cancel && (GetWindowLongW(cancel, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON);
    CHECK(WaitFor([&] { return Focus(b) == cancel; }, 3000));
    Press(cancel);
  }));
  CHECK(Intatta());
  CHECK(Rifiuta(u, window, [&](HWND b) { CHECK(Keys(b, "Return")); }));
  CHECK(Rifiuta(u, window, [&](HWND b) { CHECK(Keys(b, "Escape")); }));
  CHECK(Intatta());

  // OK: the run, watched without sending it anything while it waits.
  Press(rimuovi);
  box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box != nullptr);
  HWND ok = GetDlgItem(box, IDOK);
  REQUIRE(ok != nullptr);
  std::vector<std::string> stati;
  bool sempreDisabilitata = true, barraAlPosto = false;
  DWORD inizio = GetTickCount();
  Press(ok);
  bool finita = WaitFor(
      [&] {
        if (Scritto(annulla) == "Chiudi") return true;
        std::string s = Scritto(stato);
        if (IsWindowVisible(stato) && (stati.empty() || stati.back() != s)) stati.push_back(s);
        std::vector<HWND> barre = Children(window, "msctls_progress32");
        if (!barre.empty()) {
          sempreDisabilitata = sempreDisabilitata && !IsWindowEnabled(window);
          RECT r = Twips(barre.front());
          barraAlPosto = barraAlPosto ||
                         (r.left == 375 && r.top == 3825 && r.right == 6240 && r.bottom == 270);
        }
        return false;
      },
      30000);
  DWORD durata = GetTickCount() - inizio;
  REQUIRE(finita);
  std::printf("  removal run: %lu ms from OK to the finished window (pauses 2000 ms)\n", durata);
  CHECK(stati == std::vector<std::string>({
                     "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione",
                     "Disinstallazione in corso...",
                     "Rimozione valori registro di sistema in corso...",
                     "Rimozione dei collegamenti in corso...",
                     "Rimozione dei files di installazione in corso...",
                 }) ||
        stati == std::vector<std::string>({
                     "Disinstallazione in corso...",
                     "Rimozione valori registro di sistema in corso...",
                     "Rimozione dei collegamenti in corso...",
                     "Rimozione dei files di installazione in corso...",
                 }));
  CHECK(sempreDisabilitata && barraAlPosto);

  // Finished: only "Chiudi", the completion texts, no bar.
  CHECK(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }, 3000));
  CHECK(Pulsanti(window) == std::vector<std::string>{"Chiudi"});
  CHECK(!IsWindowVisible(stato));
  CHECK(Children(window, "msctls_progress32").empty());
  CHECK(Text(info) == "\r\n\r\nDisinstallazione completata");
  CHECK(Child(window, "Static", "La procedura di disinstallazione è stata portata a termine"));

  // What went and what stayed.
  CHECK(!Chiave(kChiave));
  CHECK(Chiave("HKLM\\SOFTWARE\\Qel"));
  CHECK(!IsFile(desktop + "\\QelPictura.lnk"));
  CHECK(!IsFolder(menu));
  CHECK(!IsFile(D + "\\QelPictura.exe") && !IsFile(D + "\\help.htm"));
  CHECK(!IsFolder(D + "\\temi"));
  CHECK(IsFile(D + "\\Uninstall.exe") && ReadFile(D + "\\msvbvm60.dll") == "copia");
  for (const char* nome : {"msvbvm60.dll", "oleaut32.dll", "olepro32.dll", "asycfilt.dll",
                           "stdole2.tlb", "comcat.dll"})
    CHECK(IsFile(sistema + "\\" + nome));
  CHECK(ReadFile(sistema + "\\msvbvm60.dll") == runtime);

  Press(annulla);
  CHECK(u.Exited());

  // Started again: the window behind a box that names the folder; closing it ends all.
  Program again = Start(D + "\\Uninstall.exe", D);
  box = MessageBoxOf(again, "QelSoftware");
  REQUIRE(box != nullptr);
  CHECK(Testo(box) ==
        "QelPictura è già stato disinstallato\r\nRimuovere manualmente la "
        "cartella\r\n" +
            D);
  CHECK(Pulsanti(box).size() == 1 && Icone(box) == 1);
  CHECK(!Windows(again, kTitoloRimozione).empty());
  CHECK(again.ExitCode() == STILL_ACTIVE);
  Press(GetDlgItem(box, IDOK));
  CHECK(again.Exited());
  CHECK(IsFile(D + "\\Uninstall.exe"));
}

SCENARIO(a_text_file_keeps_the_menu_folder_and_a_stray_copy_touches_nothing) {
  REQUIRE(Installa());
  const std::string menu = Menu();
  CHECK(WriteFile(menu + "\\appunti.txt", "miei"));

  // A copy in a folder that never held the product: the box names that folder, nothing
  // there or in the installation is touched.
  CreateDirectoryW(L"C:\\altrove", nullptr);
  CreateDirectoryW(L"C:\\altrove\\temi", nullptr);
  CHECK(CopyFileW(W(D + "\\Uninstall.exe").c_str(), L"C:\\altrove\\Uninstall.exe", FALSE));
  CHECK(WriteFile("C:\\altrove\\help.htm", "h") && WriteFile("C:\\altrove\\temi\\t.tema", "t"));
  Program copia = Start("C:\\altrove\\Uninstall.exe", "C:\\altrove");
  HWND box = MessageBoxOf(copia, "QelSoftware");
  REQUIRE(box != nullptr);
  CHECK(Testo(box) ==
        "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\nC:\\altrove");
  CHECK(Keys(box, "Return"));
  CHECK(copia.Exited());
  CHECK(IsFile("C:\\altrove\\help.htm") && IsFile("C:\\altrove\\temi\\t.tema"));
  CHECK(Intatta());

  // The real one. Two clicks on "&?" before the first is handled: one box. Then closed
  // from its title bar in Ready: nothing goes.
  Program u = Start(D + "\\Uninstall.exe", D);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  HWND aiuto = Child(window, "Button", "&?");
  Press(aiuto);
  Press(aiuto);
  box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box != nullptr);
  Press(Children(box, "Button").front());
  CHECK(WaitFor([&] { return !MessageBoxOf(u, kTitoloRimozione, 0) && IsWindowEnabled(window); }));
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  CHECK(u.Exited());
  CHECK(Intatta());

  u = Start(D + "\\Uninstall.exe", D);
  window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  Press(Child(window, "Button", "&Rimuovi"));
  box = MessageBoxOf(u, kTitoloRimozione);
  REQUIRE(box != nullptr);
  Press(GetDlgItem(box, IDOK));
  // Close requests from outside while the run has the window disabled: it runs to its end.
  REQUIRE(WaitFor([&] { return !IsWindow(box) && !IsWindowEnabled(window); }));
  PostMessageW(window, WM_CLOSE, 0, 0);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  REQUIRE(WaitFor([&] { return Child(window, "Button", "Chiudi") != nullptr; }, 30000));
  CHECK(IsFolder(menu) && IsFile(menu + "\\appunti.txt"));
  CHECK(!IsFile(menu + "\\QelPictura.lnk") &&
        !IsFile(menu + "\\Rimuovi QelPictura dal computer.lnk"));
  CHECK(!Chiave(kChiave) && !IsFile(D + "\\QelPictura.exe"));
  // Finished, closed from the title bar: the program ends.
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  CHECK(u.Exited());
}
