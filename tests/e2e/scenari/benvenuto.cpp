// The welcome page: its layout, the help, the cancel question and the way on.
#include "../Driver.h"

using namespace e2e;

namespace {

// The page's control whose rectangle starts at that place, in twips.
HWND At(HWND page, int left, int top) {
  for (HWND h : Children(page, "Static")) {
    RECT r = Twips(h);
    if (r.left == left && r.top == top) return h;
  }
  return nullptr;
}

}  // namespace

SCENARIO(welcome_page_layout) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  CHECK(ClientSize(page).cy == 342);
  HWND continua = Child(page, "Button", "&Continua");
  CHECK(continua && Is(Twips(continua), 5475, 4665, 1215, 390));
  HWND aiuto = Child(page, "Button", "&?");
  CHECK(aiuto && Is(Twips(aiuto), 225, 4665, 1215, 390));
  HWND annulla = Child(page, "Button", "&Annulla");
  CHECK(annulla && Is(Twips(annulla), 4050, 4665, 1215, 390));
  HWND testo = Child(page, "Static",
                     "QelPictura cattura le immagini dallo schermo\r\n\r\n"
                     "Potrai effettuare 'screen shot' con estrema facilità");
  CHECK(testo && Is(Twips(testo), 375, 1650, 5850, 945));
  HWND titolo = Child(page, "Static", "QelSoftware - Installazione di QelPictura");
  CHECK(titolo && Twips(titolo).left == 375 && Twips(titolo).top == 225);
  // Labels sized to their text: Wine's Tahoma is wider than Windows', so their width is
  // left to the font; place and height are the page's.
  HWND sottotitolo = Child(page, "Static",
                           "Questa procedura ti permette di installare QelPictura nel tuo sistema");
  CHECK(sottotitolo && Twips(sottotitolo).left == 675 && Twips(sottotitolo).top == 570 &&
        Twips(sottotitolo).bottom == 195);
  HWND invito =
      Child(page, "Static", "Clicca sul pulsante 'Continua' per procedere con l'installazione");
  CHECK(invito && Twips(invito).left == 375 && Twips(invito).top == 3825 &&
        Twips(invito).bottom == 195);
  CHECK(Twips(titolo).bottom == 195);
  // The band, its picture and the three lines (one pixel high; a line's width takes in
  // its last point).
  HWND band = At(page, 0, 0);
  CHECK(band && Is(Twips(band), 0, 0, 7290, 990) && Text(band).empty());
  HWND image = At(page, 6150, 225);
  CHECK(image && Is(Twips(image), 6150, 225, 480, 480));
  for (int top : {960, 4575, 4590}) {
    HWND line = At(page, 0, top);
    CHECK(line && Twips(line).bottom == 15 && std::abs(Twips(line).right - 6900) <= 15);
  }
  CHECK(WaitFor([&] { return Focus(page) == continua; }, 3000));
  RECT screen{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  GetWindowRect(page, &frame);
  CHECK(std::abs((frame.left + frame.right) - (screen.left + screen.right)) <= 1);
  setup.Kill();
}

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
  setup.Kill();
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
  setup.Kill();
}

SCENARIO(access_keys_enter_and_escape) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  REQUIRE(Keys(page, "Escape"));
  CHECK(IsWindow(page) && IsWindowEnabled(page) && Windows(setup, kTitolo).size() == 1);
  REQUIRE(Keys(page, "alt+a"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  REQUIRE(Keys(dialog, "Escape"));
  CHECK(IsWindow(dialog));
  REQUIRE(Keys(dialog, "Return"));  // the first visible button: "Si"
  CHECK(setup.Exited());
}

SCENARIO(alt_c_goes_on_to_the_licence_page) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  REQUIRE(Keys(page, "alt+c"));
  CHECK(WaitWindowWith(setup, kTitolo, "Button", kAccetto) != nullptr);
  CHECK(WaitFor([&] { return !IsWindow(page); }));
  setup.Kill();
}
