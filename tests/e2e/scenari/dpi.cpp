// The pages, the message dialog, the progress bar and the uninstaller laid out at 96, 120
// and 144 DPI: every rectangle is its twips at the display's DPI, and texts still fit.
#include "../Driver.h"

using namespace e2e;

namespace {

int dpi = 96;

// Twips to pixels at the DPI under test, as the programs round them.
int Px(int twips) { return (twips * dpi + 720) / 1440; }

// A child's client-relative pixel rectangle against twips, one pixel either way.
bool Near(HWND child, int left, int top, int width, int height) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  bool within = std::abs(r.left - Px(left)) <= 1 && std::abs(r.top - Px(top)) <= 1 &&
                std::abs(r.right - r.left - Px(width)) <= 1 &&
                std::abs(r.bottom - r.top - Px(height)) <= 1;
  if (!within)
    std::printf("  %d DPI: %ld,%ld %ldx%ld, expected %d,%d %dx%d\n", dpi, r.left, r.top,
                r.right - r.left, r.bottom - r.top, Px(left), Px(top), Px(width), Px(height));
  return within;
}

// A one-line label's text, measured in Tahoma 8.25 pt at the DPI under test (bold where
// the label is), fits inside the label.
bool Fits(HWND label, bool bold = false) {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                           DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HGDIOBJ old = SelectObject(screen, font);
  std::wstring text = W(Text(label));
  SIZE extent{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  RECT r{};
  GetClientRect(label, &r);
  if (extent.cx > r.right)
    std::printf("  %d DPI: \"%s\" needs %ld px, has %ld\n", dpi, Text(label).c_str(), extent.cx,
                r.right);
  return extent.cx <= r.right;
}

void Frame(HWND page) {
  CHECK(Near(Child(page, "Button", "&?"), 225, 4665, 1215, 390));
  CHECK(Near(Child(page, "Button", "&Annulla"), 4050, 4665, 1215, 390));
  HWND titolo = Child(page, "Static", "QelSoftware - Installazione di QelPictura");
  CHECK(titolo && Fits(titolo, true));
}

void AtThisDpi() {
  std::printf("at %d DPI\n", dpi);
  REQUIRE(Run("reg add \"HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software"
              "\\Fonts\" /v LogPixels /t REG_DWORD /d " +
              std::to_string(dpi) + " /f") == 0);
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  REQUIRE(page != nullptr);
  CHECK(ClientSize(page).cx == Px(6960) && ClientSize(page).cy == Px(5130));
  Frame(page);
  CHECK(Near(Child(page, "Button", "&Continua"), 5475, 4665, 1215, 390));
  for (const char* text : {"Questa procedura ti permette di installare QelPictura nel tuo sistema",
                           "Clicca sul pulsante 'Continua' per procedere con l'installazione"})
    CHECK(Child(page, "Static", text) && Fits(Child(page, "Static", text)));

  Press(Child(page, "Button", "&?"));
  HWND dialog = nullptr;
  CHECK(WaitFor([&] {
    for (HWND h : Windows(setup, kTitolo))
      if (h != page && Child(h, "Button", "&OK")) dialog = h;
    return dialog != nullptr;
  }));
  REQUIRE(dialog != nullptr);
  CHECK(ClientSize(dialog).cx == Px(6315));
  CHECK(Near(Child(dialog, "Button", "&OK"), 2565, 1800, 1215, 390));
  Press(Child(dialog, "Button", "&OK"));
  REQUIRE(WaitFor([&] { return !IsWindow(dialog); }));

  Press(Child(page, "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  REQUIRE(licence != nullptr);
  Frame(licence);
  CHECK(Near(Children(licence, "Edit")[0], 150, 1125, 6660, 2865));
  CHECK(Near(Child(licence, "Button", kAccetto), 225, 4125, 2790, 390));
  Press(Child(licence, "Button", kAccetto));
  HWND avanti = Child(licence, "Button", "&Continua");
  REQUIRE(WaitFor([&] { return IsWindowEnabled(avanti) != FALSE; }));
  Press(avanti);
  HWND destination = WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
  REQUIRE(destination != nullptr);
  Frame(destination);
  CHECK(Near(Children(destination, "Edit")[0], 375, 2250, 4890, 315));
  CHECK(Near(Child(destination, "Button", "sfoglia..."), 5520, 2235, 1140, 345));

  // The bar keeps its place between the folder field and the status text.
  Press(Child(destination, "Button", "&Conferma"));
  HWND bar = nullptr;
  CHECK(WaitFor([&] {
    std::vector<HWND> bars = Children(destination, "msctls_progress32");
    if (!bars.empty()) bar = bars[0];
    return bar != nullptr;
  }));
  RECT r{};
  GetWindowRect(bar, &r);
  MapWindowPoints(nullptr, destination, reinterpret_cast<POINT*>(&r), 2);
  CHECK(std::abs(r.left - MulDiv(25, dpi, 96)) <= 1 &&
        std::abs(r.top - MulDiv(215, dpi, 96)) <= 1 &&
        std::abs(r.right - r.left - MulDiv(416, dpi, 96)) <= 1 &&
        std::abs(r.bottom - r.top - MulDiv(18, dpi, 96)) <= 1);
  HWND result = nullptr;
  CHECK(WaitFor(
      [&] {
        for (HWND h : Windows(setup, kTitolo))
          if (Child(h, "Button", "&Chiudi")) result = h;
        return result != nullptr;
      },
      60000));
  REQUIRE(result != nullptr);
  // The result page takes over the destination page's outer rectangle.
  CHECK(ClientSize(result).cx == Px(6960) && ClientSize(result).cy == Px(5130));
  setup.Kill();

  std::string folder = "C:\\Program Files\\QelPictura";
  Program uninstall = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(uninstall, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  CHECK(ClientSize(window).cx == Px(6960) && ClientSize(window).cy == Px(5130));
  CHECK(Near(Child(window, "Button", "&?"), 225, 4665, 1215, 390));
  CHECK(Near(Child(window, "Button", "&Rimuovi"), 4125, 4665, 1215, 390));
  CHECK(Near(Child(window, "Button", "&Annulla"), 5475, 4665, 1215, 390));
  uninstall.Kill();
}

}  // namespace

SCENARIO(layout_at_96_120_and_144_dpi) {
  for (int each : {96, 120, 144}) {
    dpi = each;
    AtThisDpi();
  }
}
