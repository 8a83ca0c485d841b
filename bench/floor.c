/* The floor of the start-up figure: what the welcome page must do and nothing more. The
 * same resources as Setup.exe (its manifest, its icons), InitCommonControls, one window of
 * the size of the pages with the window icon, and the welcome page's twelve controls: the
 * band's white label, title (bold) and subtitle, its picture (the band's icon in the frame
 * for the display's DPI) and three rules, two texts, three buttons; every text in the
 * page's Tahoma 8.25 pt, regular or bold. Painted by the default window procedures, the
 * band's controls on white, and the message loop. */
#include <windows.h>
#include <commctrl.h>

#include "Risorse.h"

static HBRUSH white;

static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CTLCOLORSTATIC && GetWindowLongPtrW((HWND)l, GWLP_USERDATA)) {
    SetBkColor((HDC)w, GetSysColor(COLOR_WINDOW));
    return (LRESULT)white;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

/* A control placed in twips as the pages place it; `band` on white. */
struct Control {
  const wchar_t *type, *text;
  DWORD style;
  int left, top, width, height, bold, band;
};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
  (void)previous;
  (void)arguments;
  static const struct Control controls[] = {
      {L"STATIC", L"", SS_LEFTNOWORDWRAP, 0, 0, 7290, 990, 0, 1},
      {L"STATIC", L"QelSoftware - Installazione di QelPictura", SS_LEFTNOWORDWRAP, 375, 225, 3540,
       195, 1, 1},
      {L"STATIC", L"Questa procedura ti permette di installare QelPictura nel tuo sistema",
       SS_LEFTNOWORDWRAP, 675, 570, 5025, 195, 0, 1},
      {L"STATIC", NULL, SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL, 6150, 225, 480, 480, 0, 1},
      {L"STATIC", L"", 0, 0, 960, 6900, 15, 0, 0},
      {L"STATIC", L"", 0, 0, 4575, 6900, 15, 0, 0},
      {L"STATIC", L"", 0, 0, 4590, 6900, 15, 0, 0},
      {L"STATIC",
       L"QelPictura cattura le immagini dallo schermo\r\n\r\nPotrai effettuare 'screen shot' "
       L"con estrema facilità",
       SS_LEFT, 375, 1650, 5850, 945, 0, 0},
      {L"STATIC", L"Clicca sul pulsante 'Continua' per procedere con l'installazione",
       SS_LEFTNOWORDWRAP, 375, 3825, 4395, 195, 0, 0},
      {L"BUTTON", L"&?", WS_TABSTOP, 225, 4665, 1215, 390, 0, 0},
      {L"BUTTON", L"&Annulla", WS_TABSTOP, 4050, 4665, 1215, 390, 0, 0},
      {L"BUTTON", L"&Continua", WS_TABSTOP, 5475, 4665, 1215, 390, 0, 0},
  };
  InitCommonControls();
  HDC screen = GetDC(NULL);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  HFONT fonts[2];
  for (int bold = 0; bold < 2; ++bold)
    fonts[bold] =
        CreateFontW(-(825 * dpi + 3600) / 7200, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
  white = GetSysColorBrush(COLOR_WINDOW);
  WNDCLASSW type = {0};
  type.lpfnWndProc = procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  type.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  type.lpszClassName = L"Pavimento";
  if (!RegisterClassW(&type)) return 1;
  RECT frame = {0, 0, MulDiv(6960, dpi, 1440), MulDiv(5130, dpi, 1440)};
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"Pavimento", L"Pavimento", style,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, NULL, NULL, instance, NULL);
  if (!window) return 1;
  for (int size = 32, which = ICON_BIG; size >= 16; size /= 2, which = ICON_SMALL)
    SendMessageW(
        window, WM_SETICON, which,
        (LPARAM)LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAMMA), IMAGE_ICON, size, size, 0));
  for (int i = 0; i < 12; ++i) {
    const struct Control* c = &controls[i];
    int x = MulDiv(c->left, dpi, 1440), y = MulDiv(c->top, dpi, 1440);
    int w = MulDiv(c->width, dpi, 1440), h = MulDiv(c->height, dpi, 1440);
    HWND child =
        CreateWindowExW(0, c->type, c->text ? c->text : L"", WS_CHILD | WS_VISIBLE | c->style, x, y,
                        w, h, window, (HMENU)(INT_PTR)(100 + i), instance, NULL);
    SetWindowLongPtrW(child, GWLP_USERDATA, c->band);
    SendMessageW(child, WM_SETFONT, (WPARAM)fonts[c->bold], FALSE);
    if (!c->text)
      SendMessageW(child, STM_SETICON,
                   (WPARAM)LoadImageW(instance, MAKEINTRESOURCEW(IDI_EMBLEMA), IMAGE_ICON, w, h, 0),
                   0);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
