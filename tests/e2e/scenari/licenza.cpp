// The licence page: where it opens, its layout, the agreement that cannot be changed, the
// check box that gates "Continua", and its help.
#include <algorithm>

#include "../Driver.h"

using namespace e2e;

namespace {

// From the welcome page, dragged by its title bar to a place of its own, to the licence
// page.
HWND OpenLicence(const Program& setup, RECT* welcomeFrame) {
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  if (!page) return nullptr;
  if (CHECK(DragByCaption(page, 50, 60))) return nullptr;
  GetWindowRect(page, welcomeFrame);
  Press(Child(page, "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  WaitFor([&] { return !IsWindow(page); });
  return licence;
}

bool SetClipboardText(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (memory) {
    std::copy(text.c_str(), text.c_str() + text.size() + 1,
              static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
  return memory != nullptr;
}

}  // namespace

SCENARIO(licence_page_opens_in_place_with_its_layout) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  CHECK(Windows(setup, kTitolo).size() == 1);
  RECT after{};
  GetWindowRect(licence, &after);
  CHECK(after.left == before.left && after.top == before.top);
  CHECK(ClientSize(licence).cx == kPagina && ClientSize(licence).cy == 342);
  CHECK(PageFrameInPlace(licence));
  CHECK(Children(licence, "Static").size() == 7);
  CHECK(Children(licence, "Button").size() == 4);

  HWND annulla = Child(licence, "Button", "&Annulla");
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", kAccetto);
  CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
  CHECK(continua && !IsWindowEnabled(continua));
  CHECK(WaitFor([&] { return Focus(licence) == annulla; }, 3000));

  std::vector<HWND> edits = Children(licence, "Edit");
  REQUIRE(edits.size() == 1);
  HWND text1 = edits[0];
  LONG style = GetWindowLongW(text1, GWL_STYLE);
  CHECK((style & ES_MULTILINE) && (style & ES_READONLY));
  CHECK((style & WS_HSCROLL) && (style & WS_VSCROLL));
  // Heard by a screen reader: the agreement by the subtitle that names it.
  std::vector<Heard> heard = BandHeard("Installazione", kSottotitoloLicenza);
  heard.push_back({"Edit", Text(text1), kSottotitoloLicenza, ROLE_SYSTEM_TEXT});
  heard.push_back(
      {"Button", kAccetto, "Accetto le condizioni del contratto", ROLE_SYSTEM_CHECKBUTTON});
  for (const char* name : {"Annulla", "Continua"})
    heard.push_back({"Button", std::string("&") + name, name, ROLE_SYSTEM_PUSHBUTTON});
  heard.push_back({"Button", "&?", "Aiuto", ROLE_SYSTEM_PUSHBUTTON});
  CHECK(AnnouncedAs(licence, heard));

  // Hard line breaks, none longer than about 90 characters; the heading first and a
  // line break at the end.
  std::wstring agreement = W(Text(text1));
  CHECK(agreement.rfind(L"Contratto di licenza con l'utente finale\r\n\r\n", 0) == 0);
  CHECK(agreement.size() > 2 && agreement.substr(agreement.size() - 2) == L"\r\n");
  std::vector<std::wstring> lines;
  std::size_t longest = 0;
  for (std::size_t a = 0, b; a < agreement.size(); a = b + 2) {
    b = agreement.find(L"\r\n", a);
    if (b == std::wstring::npos) b = agreement.size();
    lines.push_back(agreement.substr(a, b - a));
    CHECK(lines.back().find_first_of(L"\r\n") == std::wstring::npos);
    longest = std::max(longest, lines.back().size());
  }
  CHECK(lines.size() >= 10);
  CHECK(longest <= 92);
  // The support address on a line of its own between empty lines; the author's e-mail
  // address last, after an empty line.
  bool web = false;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i)
    web |= lines[i].find(L"www.") != std::wstring::npos &&
           lines[i].find(L' ') == std::wstring::npos && lines[i - 1].empty() &&
           lines[i + 1].empty();
  CHECK(web);
  CHECK(lines.size() >= 2 && lines.back().find(L'@') != std::wstring::npos &&
        lines.back().find(L' ') == std::wstring::npos && lines[lines.size() - 2].empty());
  CHECK(agreement.find(L"QelPictura") != std::wstring::npos);
}

SCENARIO(licence_box_gates_continue_by_mouse) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", kAccetto);
  REQUIRE(continua && box);
  REQUIRE(Click(continua));  // disabled: nothing happens
  CHECK(IsWindow(licence) && Windows(setup, kTitolo).size() == 1);
  for (int round = 0; round < 2; ++round) {
    REQUIRE(Click(box));
    CHECK(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
    CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    REQUIRE(Click(box));
    CHECK(WaitFor([&] { return !IsWindowEnabled(continua); }));
    CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
  }
  REQUIRE(Click(box));
  REQUIRE(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
  REQUIRE(Click(continua));
  HWND destination = WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
  CHECK(destination != nullptr);
  CHECK(WaitFor([&] { return !IsWindow(licence); }));
}

SCENARIO(licence_box_gates_continue_by_space_and_alt_o) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", kAccetto);
  REQUIRE(continua && box);
  REQUIRE(WaitFor([&] { return Focus(licence) == Child(licence, "Button", "&Annulla"); }, 3000));
  // "Continua" is disabled, so the tab order goes from "?" to the box.
  REQUIRE(Keys(licence, "Tab Tab"));
  REQUIRE(WaitFor([&] { return Focus(licence) == box; }, 3000));
  for (int round = 0; round < 2; ++round) {
    REQUIRE(Keys(licence, "space"));
    CHECK(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
    CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    REQUIRE(Keys(licence, "space"));
    CHECK(WaitFor([&] { return !IsWindowEnabled(continua); }));
    CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
  }
  REQUIRE(Keys(licence, "alt+o"));
  CHECK(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
  REQUIRE(Keys(licence, "alt+o"));
  CHECK(WaitFor([&] { return !IsWindowEnabled(continua); }));
  REQUIRE(Keys(licence, "alt+o"));
  CHECK(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
  CHECK(IsWindow(licence) && Windows(setup, kTitolo).size() == 1);
}

SCENARIO(typing_into_the_agreement_changes_nothing) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  std::vector<HWND> edits = Children(licence, "Edit");
  REQUIRE(edits.size() == 1);
  HWND text1 = edits[0];
  std::string original = Text(text1);
  REQUIRE(!original.empty());
  REQUIRE(WaitFor([&] { return Focus(licence) == Child(licence, "Button", "&Annulla"); }, 3000));
  REQUIRE(Keys(licence, "Tab Tab Tab"));  // "?", the box, the agreement
  REQUIRE(WaitFor([&] { return Focus(licence) == text1; }, 3000));
  REQUIRE(SetClipboardText(L"incollato"));
  REQUIRE(Keys(licence, "x y z Delete BackSpace ctrl+v shift+Down Delete ctrl+x ctrl+v"));
  CHECK(Text(text1) == original);
  CHECK(IsWindow(licence) && Windows(setup, kTitolo).size() == 1);
}

SCENARIO(licence_help_text) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  Press(Child(licence, "Button", "&?"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static",
              "Per continuare l'installazione è necessario accettare tutte le condizioni "
              "specificate nel presente contratto di licenza\r\n\r\n"
              "Selezionando la relativa casella, verrà abilitato il pulsante 'Continua', che "
              "permette di continuare l'installazione del programma"));
  HWND ok = Child(dialog, "Button", "&OK");
  CHECK(ok && IsWindowVisible(ok));
  CHECK(!IsWindowVisible(Child(dialog, "Button", "&Si")));
  CHECK(!IsWindowEnabled(licence));
  Press(ok);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(licence) && IsWindowEnabled(licence));
}

SCENARIO(licence_cancel_no_keeps_the_box_yes_ends_setup) {
  Program setup = Start("Setup.exe");
  RECT before{};
  HWND licence = OpenLicence(setup, &before);
  REQUIRE(licence != nullptr);
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", kAccetto);
  REQUIRE(Click(box));
  REQUIRE(WaitFor([&] { return IsWindowEnabled(continua) != FALSE; }));
  Press(Child(licence, "Button", "&Annulla"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static", "\r\n\r\nSi desidera annullare l'installazione di QelPictura?"));
  Press(Child(dialog, "Button", "&No"));
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(licence) && IsWindowEnabled(continua));
  CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
  PostMessageW(licence, WM_SYSCOMMAND, SC_CLOSE, 0);
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
}
