// The welcome page (its layout is the DPI sweep's): the help, the cancel question and the way on.
#include <shlobj.h>

#include "../Driver.h"

using namespace e2e;

SCENARIO(cancel_no_keeps_the_page_yes_ends_setup) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  Press(Child(page, "Button", "&Annulla"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static", "\r\n\r\nSi desidera annullare l'installazione di QelPictura?"));
  CHECK(!IsWindowEnabled(page));
  HWND no = Child(dialog, "Button", "&No");
  CHECK(no && IsWindowVisible(no));
  CHECK(!IsWindowVisible(Child(dialog, "Button", "&OK")));
  Press(no);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && IsWindowEnabled(page));

  Press(Child(page, "Button", "&Annulla"));
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
}

SCENARIO(close_box_asks_the_same_question) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the dialog's close box: "No"
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page));
  PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
}

SCENARIO(help_shows_its_text_with_one_ok) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  Press(Child(page, "Button", "&?"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(GetWindow(dialog, GW_OWNER) == page);  // above the page, no taskbar button
  CHECK(Child(dialog, "Static",
              "Premendo il pulsante 'Continua', verrà visualizzata un'ulteriore schermata nella "
              "quale è richiesta l'accettazione del contratto di licenza che verrà "
              "visualizzato\r\n\r\nSe invece vuoi annullare l'installazione, clicca sul pulsante "
              "'Annulla' e clicca su 'Si' al successivo messaggio."));
  HWND ok = Child(dialog, "Button", "&OK");
  CHECK(ok && IsWindowVisible(ok) && Is(Twips(ok), 2565, 1800, 1215, 390));
  CHECK(!IsWindowVisible(Child(dialog, "Button", "&Si")));
  CHECK(WaitFor([&] { return Focus(dialog) == ok; }, 3000));
  Press(ok);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && IsWindowEnabled(page));
}

SCENARIO(continue_opens_the_licence_where_the_welcome_page_was) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  SetWindowPos(page, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT before{};
  GetWindowRect(page, &before);
  Press(Child(page, "Button", "&Continua"));
  HWND licence = nullptr;
  REQUIRE(WaitFor([&] {
    for (HWND h : Windows(setup, kTitolo))
      if (h != page && Child(h, "Button", "Accett&o le condizioni del contratto")) licence = h;
    return licence != nullptr;
  }));
  CHECK(WaitFor([&] { return !IsWindow(page); }));
  RECT after{};
  GetWindowRect(licence, &after);
  CHECK(after.left == before.left && after.top == before.top);
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", "Accett&o le condizioni del contratto");
  CHECK(continua && !IsWindowEnabled(continua));
  Press(box);
  CHECK(WaitFor([&] { return IsWindowEnabled(continua); }));
  Press(box);
  CHECK(WaitFor([&] { return !IsWindowEnabled(continua); }));
}

namespace {

// What an installation would leave behind, looked up the way Setup looks it up.
std::vector<std::string> Footprint() {
  std::vector<std::string> paths = {"C:\\Program Files\\QelPictura", "C:\\QelPictura"};
  for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY}) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE))
      paths.push_back(U(folder) + "\\QelPictura.lnk");
  }
  for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE))
      paths.push_back(U(folder) + "\\QelPictura");
  }
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  paths.push_back(U(system) + "\\msvbvm60.dll");
  return paths;
}

bool NothingThere(const std::vector<std::string>& paths) {
  bool none = true;
  for (const std::string& path : paths)
    if (GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES)
      std::printf("  left behind: %s\n", path.c_str()), none = false;
  return none;
}

}  // namespace

// Esc does nothing on the page nor in the dialog; Alt+A asks, Alt+N keeps the page, Enter
// in the question presses its first button, "Si", and Setup ends by itself with nothing
// written.
SCENARIO(access_keys_enter_and_escape) {
  std::string package = LayOutPackage();
  std::vector<std::string> footprint = Footprint();
  REQUIRE(NothingThere(footprint));
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  REQUIRE(WaitFor([&] { return Focus(page) == Child(page, "Button", "&Continua"); }, 3000));
  REQUIRE(Keys(page, "Escape"));
  CHECK(IsWindow(page) && IsWindowEnabled(page) && Windows(setup, kTitolo).size() == 1);
  REQUIRE(Keys(page, "alt+a"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  HWND question =
      Child(dialog, "Static", "\r\n\r\nSi desidera annullare l'installazione di QelPictura?");
  CHECK(question && (GetWindowLongW(question, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER);
  REQUIRE(Keys(dialog, "Escape"));
  CHECK(IsWindow(dialog) && IsWindowVisible(dialog));
  REQUIRE(Keys(dialog, "alt+n"));
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && Windows(setup, kTitolo).size() == 1);
  CHECK(WaitFor([&] { return IsWindowEnabled(page) != FALSE; }));

  REQUIRE(Keys(page, "alt+a"));
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  REQUIRE(Keys(dialog, "Return"));  // the first visible button: "Si"
  CHECK(setup.Exited());
  CHECK(setup.ExitCode() == 0);
  CHECK(NothingThere(footprint));
  CHECK(Run("reg query HKLM\\SOFTWARE\\Qel") != 0);
}

// Enter presses the button that has the focus; in an OK dialog it presses "OK". Alt+C
// goes on to the licence page.
SCENARIO(enter_presses_the_focused_button_alt_c_continues) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  HWND aiuto = Child(page, "Button", "&?");
  REQUIRE(WaitFor([&] { return Focus(page) == Child(page, "Button", "&Continua"); }, 3000));
  REQUIRE(Keys(page, "Tab"));
  REQUIRE(WaitFor([&] { return Focus(page) == aiuto; }, 3000));
  REQUIRE(Keys(page, "Return"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Button", "&OK") && IsWindowVisible(Child(dialog, "Button", "&OK")));
  REQUIRE(Keys(dialog, "Escape"));
  CHECK(IsWindow(dialog));
  REQUIRE(Keys(dialog, "Return"));
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(WaitFor([&] { return IsWindowEnabled(page) && Focus(page) == aiuto; }, 3000));
  CHECK(Windows(setup, kTitolo).size() == 1);

  REQUIRE(Keys(page, "alt+c"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  CHECK(licence != nullptr);
  CHECK(WaitFor([&] { return !IsWindow(page); }));
  CHECK(Windows(setup, kTitolo).size() == 1);
}

// A high-contrast scheme turned on while the page is open: the band, the rules and the
// page are painted in its colours from then on.
SCENARIO(colours_follow_a_change_while_the_page_is_open) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  REQUIRE(PageFrameInPlace(page));
  const int shown[] = {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW};
  COLORREF before[3];
  for (int i = 0; i < 3; ++i) before[i] = GetSysColor(shown[i]);
  REQUIRE(HighContrast(setup.info.dwProcessId));
  for (int i = 0; i < 3; ++i) REQUIRE(GetSysColor(shown[i]) != before[i]);
  CHECK(PageFrameInPlace(page));
}

// What a screen reader hears: the buttons by their caption without the access key, help
// as "Aiuto", the texts as static text, the picture by the product's name.
SCENARIO(welcome_page_heard_by_screen_readers) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  std::vector<Heard> table = BandHeard("Installazione", kSottotitoloBenvenuto);
  for (std::string text : {"QelPictura cattura le immagini dallo schermo\r\n\r\n"
                           "Potrai effettuare 'screen shot' con estrema facilità",
                           "Clicca sul pulsante 'Continua' per procedere con l'installazione"})
    table.push_back({"Static", text, text, ROLE_SYSTEM_STATICTEXT});
  table.push_back({"Button", "&Continua", "Continua", ROLE_SYSTEM_PUSHBUTTON});
  table.push_back({"Button", "&?", "Aiuto", ROLE_SYSTEM_PUSHBUTTON});
  table.push_back({"Button", "&Annulla", "Annulla", ROLE_SYSTEM_PUSHBUTTON});
  CHECK(AnnouncedAs(page, table));
}
