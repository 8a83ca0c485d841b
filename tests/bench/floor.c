/* The floor of the start-up figure: the least a Win32 program does to put a window on the
 * screen. One class, one empty window of the size of Setup's pages, captioned "Pavimento",
 * painted by the default window procedure, and the message loop. */
#include <windows.h>

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
  WNDCLASSW type = {0};
  type.lpfnWndProc = procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  type.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  type.lpszClassName = L"Pavimento";
  if (!RegisterClassW(&type)) return 1;
  RECT frame = {0, 0, 464, 335};
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExW(0, L"Pavimento", L"Pavimento", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                                instance, NULL);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
