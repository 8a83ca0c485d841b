// The layout at 96, 120 and 144 dots per inch: with the display's DPI set in the prefix
// before the programs start, every control of the welcome page, the message dialog, the
// licence, destination and result pages, the progress bars of both runs and the
// uninstaller's window stands at its twips × DPI / 1440 (one pixel either way), the
// one-line texts still fit their controls in Tahoma 8.25 pt at that DPI, and the band's
// picture is the icon frame made for its box at that DPI (32, 40 or 48 pixels), unscaled.
#include "../Driver.h"

#include "../../../common/Risorse.h"

using namespace e2e;

namespace {

int dpi = 96;

int Px(int twips) { return MulDiv(twips, dpi, 1440); }

// The driver reads the programs' windows in their own pixels, whatever its own DPI.
void SeeUnscaledPixels() {
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (set) set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

// What Wine reads for the display's DPI when a program starts.
bool SetDisplayDpi(int value) {
  std::string n = std::to_string(value);
  return Run("reg add \"HKCU\\Control Panel\\Desktop\" /v LogPixels /t REG_DWORD /d " + n +
             " /f") == 0 &&
         Run("reg add \"HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\"
             "Fonts\" /v LogPixels /t REG_DWORD /d " +
             n + " /f") == 0;
}

RECT Pixels(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// At 96 DPI a twips rectangle is whole pixels: exact; at other DPIs, and for the rules, a
// pixel either way.
bool Near(long a, long b, bool loose = false) {
  long slack = dpi == 96 && !loose ? 0 : 1;
  return a >= b - slack && a <= b + slack;
}

// The control stands at the twips rectangle; a control sized to its text (`sized`) may
// be wider than designed, never narrower.
bool At(HWND h, const char* what, int left, int top, int width, int height, bool sized = false) {
  if (!h) {
    std::printf("  %s: missing\n", what);
    return false;
  }
  RECT r = Pixels(h);
  int w = Px(left + width) - Px(left);
  bool ok = Near(r.left, Px(left)) && Near(r.top, Px(top)) &&
            (sized ? r.right >= w - (dpi == 96 ? 0 : 1) : Near(r.right, w)) &&
            Near(r.bottom, Px(top + height) - Px(top));
  if (!ok)
    std::printf("  %s at %d DPI: %ld,%ld %ldx%ld, expected %d,%d %dx%d\n", what, dpi, r.left, r.top,
                r.right, r.bottom, Px(left), Px(top), w, Px(top + height) - Px(top));
  return ok;
}

bool ClientIs(HWND window, int width, int height) {
  SIZE s = ClientSize(window);
  bool ok = Near(s.cx, Px(width)) && Near(s.cy, Px(height));
  if (!ok)
    std::printf("  client area at %d DPI: %ldx%ld, expected %dx%d\n", dpi, s.cx, s.cy, Px(width),
                Px(height));
  return ok;
}

// The empty statics: the band, the lines and the picture, told apart by where they are.
HWND EmptyAt(HWND parent, int left, int top, int width, int height) {
  for (HWND h : Children(parent, "Static")) {
    if (!Text(h).empty()) continue;
    RECT r = Pixels(h);
    bool line = height == 0;
    if (Near(r.left, Px(left), line) && Near(r.top, Px(top), line) &&
        Near(r.right, Px(left + width) - Px(left), line) &&
        (line ? r.bottom >= 1 && r.bottom <= 2 : Near(r.bottom, Px(top + height) - Px(top))))
      return h;
  }
  std::printf("  no empty static at %d,%d %dx%d twips at %d DPI\n", left, top, width, height, dpi);
  return nullptr;
}

// Tahoma 8.25 pt at the DPI under test, as the pages are drawn.
HFONT Tahoma(bool bold) {
  return CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

// The width of a one-line text in pixels; on a button "&" marks an access key.
int TextWidth(const std::string& text, bool bold, bool accessKey) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = Tahoma(bold);
  HGDIOBJ old = SelectObject(dc, font);
  std::wstring w = W(text);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r,
            DT_SINGLELINE | DT_CALCRECT | (accessKey ? 0 : DT_NOPREFIX));
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return r.right - r.left;
}

// Every one-line label of the window shows its whole text; so do the buttons and the
// check box, inside their frame and beside the box.
bool TextsFit(HWND window, const std::string& boldText = "") {
  bool ok = true;
  for (HWND h : Children(window, "Static")) {
    std::string text = Text(h);
    LONG style = GetWindowLongW(h, GWL_STYLE);
    if (text.empty() || (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP || !IsWindowVisible(h)) continue;
    RECT client{};
    GetClientRect(h, &client);
    int width = TextWidth(text, text == boldText, false);
    if (width > client.right) {
      std::printf("  \"%s\" at %d DPI: %d pixels in %ld\n", text.c_str(), dpi, width, client.right);
      ok = false;
    }
  }
  for (HWND h : Children(window, "Button")) {
    if (!IsWindowVisible(h)) continue;
    RECT client{};
    GetClientRect(h, &client);
    bool box = (GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    int room = box ? client.right - MulDiv(16, dpi, 96) : client.right - MulDiv(6, dpi, 96);
    int width = TextWidth(Text(h), false, true);
    if (width > room) {
      std::printf("  \"%s\" at %d DPI: %d pixels in %d\n", Text(h).c_str(), dpi, width, room);
      ok = false;
    }
  }
  return ok;
}

// The picture's pixels as the screen shows them, or the icon drawn on the band's white.
std::vector<COLORREF> PictureBits(HWND picture, HICON icon, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  if (icon) {
    RECT all{0, 0, size, size};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  } else {
    POINT at{0, 0};
    ClientToScreen(picture, &at);
    BitBlt(dc, 0, 0, size, size, screen, at.x, at.y, SRCCOPY);
  }
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The band's picture: the program's icon resource has a frame of the box's size at this
// DPI, and the box shows that frame as it is, not a smaller one stretched.
bool PictureSharp(HWND window, HWND picture, const std::string& exe) {
  if (!picture) return false;
  int size = Px(6150 + 480) - Px(6150);
  HMODULE module = LoadLibraryExW(W(exe).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  bool frame = false;
  HRSRC found =
      module ? FindResourceW(module, MAKEINTRESOURCEW(IDI_EMBLEMA), RT_GROUP_ICON) : nullptr;
  if (const BYTE* directory =
          found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr) {
    // The group directory: 6 bytes of header with the count, then 14 bytes per frame
    // starting with its width and height.
    int count = directory[4] | directory[5] << 8;
    for (int i = 0; i < count; ++i)
      frame |= directory[6 + 14 * i] == size && directory[7 + 14 * i] == size;
  }
  HICON icon = module ? static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_EMBLEMA),
                                                      IMAGE_ICON, size, size, 0))
                      : nullptr;
  std::vector<COLORREF> expected = PictureBits(picture, icon, size);
  if (icon) DestroyIcon(icon);
  if (module) FreeLibrary(module);
  // Where Wine's Tahoma is wider than the design, a label sized to its text may reach into
  // the box and stand over the picture: those pixels are not compared.
  RECT box = Pixels(picture);
  std::vector<bool> covered(static_cast<std::size_t>(size * size), false);
  for (HWND h : Children(window, "Static")) {
    RECT r = Pixels(h);
    if (Text(h).empty() || !IsWindowVisible(h)) continue;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (box.left + x >= r.left && box.left + x < r.left + r.right && box.top + y >= r.top &&
            box.top + y < r.top + r.bottom)
          covered[static_cast<std::size_t>(y * size + x)] = true;
  }
  SetForegroundWindow(window);
  std::size_t differing = 0;
  bool same = icon && WaitFor(
                          [&] {
                            std::vector<COLORREF> seen = PictureBits(picture, nullptr, size);
                            differing = 0;
                            for (std::size_t i = 0; i < seen.size(); ++i)
                              differing += !covered[i] && seen[i] != expected[i];
                            return differing <= seen.size() / 50;
                          },
                          3000);
  if (!frame || !same)
    std::printf("  the band picture at %d DPI: %s frame of %d pixels, %zu of %d pixels differ\n",
                dpi, frame ? "a" : "no", size, differing, size * size);
  return frame && same;
}

// The band, the lines and the buttons that all four pages share.
void CheckPageFrame(HWND page, const char* subtitle, int subtitleWidth, const char* forward,
                    const std::string& exe) {
  CHECK(ClientIs(page, 6960, 5130));
  CHECK(EmptyAt(page, 0, 0, 7290, 990));
  CHECK(EmptyAt(page, 0, 960, 6900, 0));
  CHECK(EmptyAt(page, 0, 4575, 6900, 0));
  CHECK(EmptyAt(page, 0, 4590, 6900, 0));
  CHECK(PictureSharp(page, EmptyAt(page, 6150, 225, 480, 480), exe));
  CHECK(At(Child(page, "Static", "QelSoftware - Installazione di QelPictura"), "lblA", 375, 225,
           3540, 195, true));
  CHECK(At(Child(page, "Static", subtitle), "lblB", 675, 570, subtitleWidth, 195, true));
  CHECK(At(Child(page, "Button", "&?"), "cmdAiuto", 225, 4665, 1215, 390));
  CHECK(At(Child(page, "Button", "&Annulla"), "cmdAnnulla", 4050, 4665, 1215, 390));
  CHECK(At(Child(page, "Button", forward), forward, 5475, 4665, 1215, 390));
  CHECK(TextsFit(page, "QelSoftware - Installazione di QelPictura"));
}

void CheckLayoutAt(int value) {
  dpi = value;
  SeeUnscaledPixels();
  REQUIRE(SetDisplayDpi(dpi));
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);

  // The welcome page.
  HWND page = WaitWindowWith(setup, kTitolo, "Static",
                             "Clicca sul pulsante 'Continua' per procedere con l'installazione");
  REQUIRE(page != nullptr);
  CheckPageFrame(page, "Questa procedura ti permette di installare QelPictura nel tuo sistema",
                 5025, "&Continua", package + "\\Setup.exe");
  CHECK(At(Child(page, "Static",
                 "QelPictura cattura le immagini dallo schermo\r\n\r\n"
                 "Potrai effettuare 'screen shot' con estrema facilità"),
           "lblC", 375, 1650, 5850, 945));
  CHECK(
      At(Child(page, "Static", "Clicca sul pulsante 'Continua' per procedere con l'installazione"),
         "lblD", 375, 3825, 4395, 195, true));
  // Nothing else on the page (band, title, subtitle, picture, three rules, its two labels and
  // three buttons), the focus on "Continua", the frame centred in the work area.
  CHECK(Children(page, "Static").size() == 9 && Children(page, "Button").size() == 3);
  CHECK(WaitFor([&] { return Focus(page) == Child(page, "Button", "&Continua"); }, 3000));
  RECT screen{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  GetWindowRect(page, &frame);
  CHECK(std::abs((frame.left + frame.right) - (screen.left + screen.right)) <= 1);
  CHECK(std::abs((frame.top + frame.bottom) - (screen.top + screen.bottom)) <= 1);

  // The message dialog, with the welcome page's help.
  Press(Child(page, "Button", "&?"));
  HWND dialog = WaitWindowWith(setup, kTitolo, "Button", "&OK");
  REQUIRE(dialog != nullptr);
  CHECK(ClientIs(dialog, 6315, 2265));
  std::vector<HWND> texts = Children(dialog, "Static");
  CHECK(texts.size() == 1 && At(texts.front(), "lbl", 150, 150, 6015, 1590));
  CHECK(At(Child(dialog, "Button", "&OK"), "cmdOk", 2565, 1800, 1215, 390));
  CHECK(At(Child(dialog, "Button", "&Si"), "cmdSi", 1875, 1800, 1215, 390));
  CHECK(At(Child(dialog, "Button", "&No"), "cmdNo", 3225, 1800, 1215, 390));
  CHECK(TextsFit(dialog));
  Press(Child(dialog, "Button", "&OK"));
  REQUIRE(WaitFor([&] { return !IsWindow(dialog); }));

  // The licence page.
  Press(Child(page, "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  REQUIRE(licence != nullptr);
  CheckPageFrame(licence, "Contratto di licenza del software con l'utente finale", 3660,
                 "&Continua", package + "\\Setup.exe");
  std::vector<HWND> edits = Children(licence, "Edit");
  CHECK(edits.size() == 1 && At(edits.front(), "Text1", 150, 1125, 6660, 2865));
  // The box grows with its caption where the font needs more room than designed.
  CHECK(At(Child(licence, "Button", kAccetto), "ckAccetto", 225, 4125, 2790, 390, true));

  // The destination page.
  Press(Child(licence, "Button", kAccetto));
  HWND next = Child(licence, "Button", "&Continua");
  REQUIRE(WaitFor([&] { return IsWindowEnabled(next) != FALSE; }));
  Press(next);
  HWND destination = WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
  REQUIRE(destination != nullptr);
  CheckPageFrame(destination, "Confermare il percorso di installazione dell'applicazione", 3900,
                 "&Conferma", package + "\\Setup.exe");
  CHECK(At(Child(destination, "Static", "Il programma verrà installato nella seguente cartella"),
           "lblC", 375, 1800, 3735, 195, true));
  CHECK(At(Child(destination, "Static",
                 "Se vuoi installarlo in un'altra cartella, clicca sul pulsante 'sfoglia...'"),
           "lblD", 375, 2025, 4695, 195, true));
  edits = Children(destination, "Edit");
  CHECK(edits.size() == 1 && At(edits.front(), "txtPercorso", 375, 2250, 4890, 315));
  CHECK(At(Child(destination, "Button", "sfoglia..."), "cmdSfoglia", 5520, 2235, 1140, 345));
  CHECK(At(Child(destination, "Static", "Clicca sul pulsante 'Conferma' per installare QelPictura"),
           "lblE", 375, 3825, 6315, 675));

  // The installation run's bar: 25, 215, 416 × 18 pixels at 96 DPI, scaled.
  Press(Child(destination, "Button", "&Conferma"));
  HWND bar = nullptr;
  CHECK(WaitFor([&] {
    std::vector<HWND> bars = Children(destination, "msctls_progress32");
    return !bars.empty() && (bar = bars.front()) != nullptr;
  }));
  CHECK(At(bar, "the installation's bar", 375, 3225, 6240, 270));
  HWND result = nullptr;
  REQUIRE(WaitFor(
      [&] {
        for (HWND h : Windows(setup, kTitolo))
          if (Child(h, "Button", "&Chiudi")) result = h;
        return result != nullptr;
      },
      60000));
  // The result page: its fixed label at the bottom left, where the help button stands on
  // the other pages.
  HWND thanks = Child(result, "Static", "Grazie per la fiducia");
  CHECK(At(thanks, "lblE", 375, 4770, 2355, 195));
  CHECK(thanks && (GetWindowLongW(thanks, GWL_STYLE) & SS_TYPEMASK) == SS_LEFTNOWORDWRAP);
  CHECK(TextsFit(result, "QelSoftware - Installazione di QelPictura"));
  Press(Child(result, "Button", "&Chiudi"));
  CHECK(setup.Exited());

  // The uninstaller's window and its bar: 25, 255, 416 × 18 pixels at 96 DPI, scaled.
  std::string folder = "C:\\Program Files\\QelPictura";
  Program uninstall = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(uninstall, kTitoloRimozione, "Button", "&Rimuovi");
  REQUIRE(window != nullptr);
  CHECK(ClientIs(window, 6960, 5130));
  CHECK(EmptyAt(window, 0, 0, 7290, 990));
  CHECK(EmptyAt(window, 0, 960, 6900, 0));
  CHECK(EmptyAt(window, 0, 4575, 6900, 0));
  CHECK(EmptyAt(window, 0, 4590, 6900, 0));
  CHECK(PictureSharp(window, EmptyAt(window, 6150, 225, 480, 480), folder + "\\Uninstall.exe"));
  CHECK(At(Child(window, "Static", "QelSoftware - Disinstallazione di QelPictura"), "lblA", 375,
           225, 3765, 195, true));
  CHECK(At(
      Child(window, "Static", "Questa procedura ti permette di rimuovere QelPictura dal computer"),
      "lblB", 675, 570, 4950, 195, true));
  HWND status =
      Child(window, "Static",
            "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione");
  CHECK(At(status, "lbl", 375, 3375, 5010, 195, true));
  HWND info = nullptr;
  for (HWND h : Children(window, "Static"))
    if (Text(h).find("L'autore di QelPictura") == 0) info = h;
  CHECK(At(info, "lblInfo", 375, 1350, 6210, 1710));
  CHECK(At(Child(window, "Button", "&?"), "cmdAiuto", 225, 4665, 1215, 390));
  CHECK(At(Child(window, "Button", "&Rimuovi"), "cmdRimuovi", 4125, 4665, 1215, 390));
  CHECK(At(Child(window, "Button", "&Annulla"), "cmdAnnulla", 5475, 4665, 1215, 390));
  CHECK(TextsFit(window, "QelSoftware - Disinstallazione di QelPictura"));
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = nullptr;
  REQUIRE(WaitFor([&] {
    for (HWND h : Windows(uninstall, kTitoloRimozione))
      if (ClassOf(h) == "#32770") box = h;
    return box != nullptr;
  }));
  Press(GetDlgItem(box, IDOK));
  bar = nullptr;
  CHECK(WaitFor([&] {
    std::vector<HWND> bars = Children(window, "msctls_progress32");
    return !bars.empty() && (bar = bars.front()) != nullptr;
  }));
  CHECK(At(bar, "the removal's bar", 375, 3825, 6240, 270));
  HWND close = nullptr;
  CHECK(WaitFor([&] {
    close = Child(window, "Button", "Chiudi");
    return close && IsWindowVisible(close);
  }));
  CHECK(TextsFit(window, "QelSoftware - Disinstallazione di QelPictura"));
  Press(close);
  CHECK(uninstall.Exited());
}

// The program's manifest as its resource holds it.
std::string Manifest(const std::string& exe) {
  HMODULE module = LoadLibraryExW(W(exe).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
  const char* text =
      found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  std::string manifest = text ? std::string(text, SizeofResource(module, found)) : "";
  if (module) FreeLibrary(module);
  return manifest;
}

}  // namespace

// A page opened at 96 DPI and told by the system that it now stands on a display of 144
// DPI (the message Windows sends when the window is moved there; Wine sends it never, so
// the driver does, with the proposed rectangle in the program's memory) lays itself out as
// one opened at 144 DPI, in the place proposed; it is per-monitor aware to begin with.
SCENARIO(welcome_page_follows_a_dpi_change) {
  dpi = 96;
  SeeUnscaledPixels();
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  const std::string lblD = "Clicca sul pulsante 'Continua' per procedere con l'installazione";
  HWND page = WaitWindowWith(setup, kTitolo, "Static", lblD);
  REQUIRE(page != nullptr);
  using Awareness = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
  auto awareness = reinterpret_cast<Awareness>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetWindowDpiAwarenessContext")));
  CHECK(awareness &&
        GetAwarenessFromDpiAwarenessContext(awareness(page)) == DPI_AWARENESS_PER_MONITOR_AWARE);
  // Wine tells no version of per-monitor awareness from another: the shipped programs'
  // manifests are read for it, beside the system-DPI line older Windows keeps using.
  for (const char* exe : {"Setup.exe", "Uninstall.exe"})
    for (const char* line : {"2005/WindowsSettings\">true</dpiAware>",
                             "2016/WindowsSettings\">PerMonitorV2</dpiAwareness>"})
      CHECK(Manifest(BuildFolder() + "\\..\\i686\\" + exe).find(line) != std::string::npos);
  HWND focus = Focus(page);
  dpi = 144;
  // The frame around the client area as this system draws it (Wine's does not scale).
  RECT frame{};
  GetWindowRect(page, &frame);
  SIZE client = ClientSize(page);
  RECT proposed{30, 20, 30 + Px(6960) + (frame.right - frame.left - client.cx),
                20 + Px(5130) + (frame.bottom - frame.top - client.cy)};
  void* remote =
      VirtualAllocEx(setup.info.hProcess, nullptr, sizeof proposed, MEM_COMMIT, PAGE_READWRITE);
  REQUIRE(remote &&
          WriteProcessMemory(setup.info.hProcess, remote, &proposed, sizeof proposed, nullptr));
  SendMessageW(page, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(remote));
  GetWindowRect(page, &frame);
  CHECK(EqualRect(&frame, &proposed));
  CheckPageFrame(page, kSottotitoloBenvenuto, 5025, "&Continua", package + "\\Setup.exe");
  CHECK(At(Child(page, "Static", lblD), "lblD", 375, 3825, 4395, 195, true));
  CHECK(Focus(page) == focus);
}

SCENARIO(layout_at_96_dpi) { CheckLayoutAt(96); }
SCENARIO(layout_at_120_dpi) { CheckLayoutAt(120); }
SCENARIO(layout_at_144_dpi) { CheckLayoutAt(144); }
