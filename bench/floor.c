/* The floor of the start-up figure: what the welcome page must do and nothing more. The
 * same manifest as Setup.exe (its resources), InitCommonControls, one window of the size
 * of the pages with as many child controls as the welcome page (nine static controls and
 * three buttons), painted by the default window procedures, and the message loop. */
#include <windows.h>
#include <commctrl.h>

static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
  (void)previous;
  (void)arguments;
  InitCommonControls();
  WNDCLASSW type = {0};
  type.lpfnWndProc = procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  type.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  type.lpszClassName = L"Pavimento";
  if (!RegisterClassW(&type)) return 1;
  RECT frame = {0, 0, 464, 342};
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"Pavimento", L"Pavimento", style,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, NULL, NULL, instance, NULL);
  if (!window) return 1;
  for (int i = 0; i < 12; ++i) {
    int button = i >= 9;
    CreateWindowExW(0, button ? L"BUTTON" : L"STATIC", button ? L"&Pulsante" : L"Testo",
                    WS_CHILD | WS_VISIBLE | (button ? WS_TABSTOP : 0),
                    button ? 15 + 90 * (i - 9) : 25, button ? 311 : 15 + 30 * i, button ? 81 : 390,
                    26, window, (HMENU)(INT_PTR)(100 + i), instance, NULL);
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
