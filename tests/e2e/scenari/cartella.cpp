// The destination page: where it opens, the proposed folder, its layout, and the folder
// browser that alone changes the folder.
#include <shlobj.h>

#include "../Driver.h"

using namespace e2e;

namespace {

constexpr char kScegli[] = "Scegli la cartella d'installazione di QelPictura";

// From the welcome page to the licence page, moved to a place of its own, and on to the
// destination page; the licence page's frame goes to *licenceFrame.
HWND OpenDestination(const Program& setup, RECT* licenceFrame) {
  HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  if (!welcome) return nullptr;
  Press(Child(welcome, "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  if (!licence) return nullptr;
  SetWindowPos(licence, nullptr, 70, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(licence, licenceFrame);
  Press(Child(licence, "Button", kAccetto));
  HWND next = Child(licence, "Button", "&Continua");
  if (!WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
  Press(next);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
  WaitFor([&] { return !IsWindow(licence); });
  return page;
}

// The folder browser: a dialog of Setup's process that shows the instruction text.
HWND WaitBrowser(const Program& setup) {
  struct Search {
    DWORD pid;
    HWND found;
  } s{setup.info.dwProcessId, nullptr};
  WaitFor([&] {
    EnumWindows(
        [](HWND h, LPARAM l) -> BOOL {
          auto* s = reinterpret_cast<Search*>(l);
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          if (pid == s->pid && IsWindowVisible(h) && ClassOf(h) == "#32770" &&
              Child(h, "Static", kScegli))
            s->found = h;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  });
  return s.found;
}

HWND FolderBox(HWND page) {
  std::vector<HWND> edits = Children(page, "Edit");
  return edits.size() == 1 ? edits[0] : nullptr;
}

// Opens the folder browser from the page, picks the item at that path of its tree and
// presses OK; false when the browser did not come or the item was not found.
bool Pick(const Program& setup, HWND page, const std::vector<std::string>& path) {
  Press(Child(page, "Button", "sfoglia..."));
  HWND browser = WaitBrowser(setup);
  if (CHECK(browser != nullptr)) return false;
  bool picked = PickInFolderBrowser(browser, path);
  CHECK(picked);
  return !CHECK(WaitFor([&] { return !IsWindow(browser); })) && picked;
}

}  // namespace

SCENARIO(destination_page_opens_in_place_with_its_layout) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND page = OpenDestination(setup, &before);
  REQUIRE(page != nullptr);
  CHECK(Windows(setup, kTitolo).size() == 1);
  RECT after{};
  GetWindowRect(page, &after);
  CHECK(after.left == before.left && after.top == before.top);
  CHECK(ClientSize(page).cx == kPagina && ClientSize(page).cy == 342);
  HWND folder = FolderBox(page);
  REQUIRE(folder != nullptr);
  // The shell's Program Files folder (special folder 38) with the product's subfolder.
  wchar_t programFiles[MAX_PATH] = {};
  CHECK(SHGetSpecialFolderPathW(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE));
  CHECK(U(programFiles) == "C:\\Program Files");
  CHECK(Text(folder) == "C:\\Program Files\\QelPictura");
  LONG style = GetWindowLongW(folder, GWL_STYLE);
  CHECK((style & ES_READONLY) && !(style & ES_MULTILINE));

  HWND conferma = Child(page, "Button", "&Conferma");
  CHECK(WaitFor([&] { return Focus(page) == conferma; }, 3000));

  CHECK(PageFrameInPlace(page));
  CHECK(Children(page, "Static").size() == 10);
  CHECK(Children(page, "Button").size() == 4);
  CHECK(Child(page, "Static", "Clicca sul pulsante 'Conferma' per installare QelPictura"));
}

SCENARIO(browse_cancel_keeps_the_folder) {
  Program setup = Start("Setup.exe");
  RECT frame{};
  HWND page = OpenDestination(setup, &frame);
  REQUIRE(page != nullptr);
  HWND folder = FolderBox(page);
  REQUIRE(folder != nullptr);
  std::string proposed = Text(folder);
  Press(Child(page, "Button", "sfoglia..."));
  HWND browser = WaitBrowser(setup);
  REQUIRE(browser != nullptr);
  CHECK(GetWindow(browser, GW_OWNER) == page);
  CHECK(!IsWindowEnabled(page));
  CHECK(Children(browser, "SysTreeView32").size() == 1);
  Press(GetDlgItem(browser, IDCANCEL));
  CHECK(WaitFor([&] { return !IsWindow(browser); }));
  CHECK(Text(folder) == proposed);
  CHECK(WaitFor([&] { return IsWindowEnabled(page) != FALSE; }));
}

SCENARIO(browse_picks_a_folder_or_a_drive_root) {
  REQUIRE(CreateDirectoryW(L"C:\\Scelta", nullptr) || IsFolder("C:\\Scelta"));
  Program setup = Start("Setup.exe");
  RECT frame{};
  HWND page = OpenDestination(setup, &frame);
  REQUIRE(page != nullptr);
  HWND folder = FolderBox(page);
  REQUIRE(folder != nullptr);
  REQUIRE(Pick(setup, page, {"Desktop", "My Computer", "(C:)", "Scelta"}));
  CHECK(WaitFor([&] { return Text(folder) == "C:\\Scelta\\QelPictura"; }));
  REQUIRE(Pick(setup, page, {"Desktop", "My Computer", "(C:)"}));
  CHECK(WaitFor([&] { return Text(folder) == "C:\\QelPictura"; }));
  CHECK(IsWindow(page) && Windows(setup, kTitolo).size() == 1);
  CHECK(!IsFolder("C:\\QelPictura") && !IsFolder("C:\\Scelta\\QelPictura"));
}

SCENARIO(typing_into_the_folder_box_changes_nothing) {
  Program setup = Start("Setup.exe");
  RECT frame{};
  HWND page = OpenDestination(setup, &frame);
  REQUIRE(page != nullptr);
  HWND folder = FolderBox(page);
  REQUIRE(folder != nullptr);
  std::string proposed = Text(folder);
  REQUIRE(WaitFor([&] { return Focus(page) == Child(page, "Button", "&Conferma"); }, 3000));
  REQUIRE(Keys(page, "Tab Tab Tab Tab"));  // "?", "Annulla", "sfoglia...", the folder box
  REQUIRE(WaitFor([&] { return Focus(page) == folder; }, 3000));
  REQUIRE(Keys(page, "x y Delete BackSpace ctrl+x"));
  CHECK(Text(folder) == proposed);
  CHECK(IsWindow(page) && Windows(setup, kTitolo).size() == 1);
}

SCENARIO(destination_help_text) {
  Program setup = Start("Setup.exe");
  RECT frame{};
  HWND page = OpenDestination(setup, &frame);
  REQUIRE(page != nullptr);
  Press(Child(page, "Button", "&?"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static",
              "La casella di testo mostra la cartella dove verrà installato il programma\r\n"
              "Se per qualunque motivo non ti dovesse andare bene la cartella riportata, puoi "
              "cliccare sul pulsante 'sfoglia' per scegliere una cartella d'installazione "
              "differente\r\n"
              "Se hai dei dubbi, lascia pure la cartella che vedi\r\n\r\n"
              "Ora è possibile installare il programma cliccando sul pulsante 'Conferma'\r\n"
              "Se invece vuoi annullare l'installazione, clicca sul pulsante 'Annulla'"));
  HWND ok = Child(dialog, "Button", "&OK");
  CHECK(ok && IsWindowVisible(ok) && !IsWindowVisible(Child(dialog, "Button", "&Si")));
  Press(ok);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && Windows(setup, kTitolo).size() == 1);
}

SCENARIO(destination_close_box_no_keeps_the_page_yes_ends_setup) {
  Program setup = Start("Setup.exe");
  RECT frame{};
  HWND page = OpenDestination(setup, &frame);
  REQUIRE(page != nullptr);
  PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static", "\r\n\r\nSi desidera annullare l'installazione di QelPictura?"));
  Press(Child(dialog, "Button", "&No"));
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && Text(FolderBox(page)) == "C:\\Program Files\\QelPictura");
  Press(Child(page, "Button", "&Annulla"));
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
  CHECK(!IsFolder("C:\\Program Files\\QelPictura"));
}
