// The windows of the pages on real Win32: a fixed-frame top-level window per form and the
// standard controls inside it, with the dialog manager's keyboard handling.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <map>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/win32/Wide.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"QelPicturaForm";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;

static_assert(int(SysColour::Window) == COLOR_WINDOW &&
              int(SysColour::ButtonShadow) == COLOR_BTNSHADOW);
static_assert(unsigned(ProgressMessage::DeltaPos) == PBM_DELTAPOS &&
              unsigned(ProgressMessage::SetStep) == PBM_SETSTEP &&
              unsigned(ProgressMessage::StepIt) == PBM_STEPIT);
static_assert(unsigned(ChildStyle::ChildVisible) == (WS_CHILD | WS_VISIBLE));
static_assert(kFirstControlId > IDCANCEL);

HWND H(Handle h) { return reinterpret_cast<HWND>(h); }
Handle Of(HWND h) { return reinterpret_cast<Handle>(h); }

// What a form's window carries in its user data, from its creation to its last message.
struct FormData {
  WindowEvents* events = nullptr;
  HWND lastFocus = nullptr;
  int dpi = 96;           // of the display it stands on
  bool hasNames = false;  // some of its controls have names of their own
  bool named = false;     // its controls' names are with the annotation service
};

FormData* formData(HWND form) {
  return reinterpret_cast<FormData*>(GetWindowLongPtrW(form, GWLP_USERDATA));
}

// A form's own control carries its look in its user data; the progress bar, a child the
// runtime did not make, carries nothing of ours.
const ControlLook* lookOf(HWND control) {
  if (GetDlgCtrlID(control) < kFirstControlId) return nullptr;
  return reinterpret_cast<const ControlLook*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

// The system's annotation service, which gives a control the name screen readers announce.
constexpr GUID kAccPropServices{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropName{
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// The names screen readers announce, given to or taken from every named control of a
// form with one instance of the service; quietly nothing where the service is missing.
void annotateNamed(HWND form, bool give) {
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              reinterpret_cast<void**>(&services))))
    return;
  MSAAPROPID prop = kPropName;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const ControlLook* look = lookOf(c);
    if (!look || look->name.empty()) continue;
    if (give)
      services->SetHwndPropStr(c, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kPropName,
                               Wide(look->name).c_str());
    else
      services->ClearHwndProps(c, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &prop, 1);
  }
  services->Release();
}

// Those names need COM, which the first page does without: they are given on a timer started
// once the window has been painted, which fires when the program next waits for events.
constexpr UINT_PTR kNamesTimer = 1;

bool isPushButton(HWND h) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
  return lstrcmpiW(cls, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormData* data = formData(hwnd);
  WindowEvents* events = data ? data->events : nullptr;
  switch (msg) {
    case WM_COMMAND:
      if (!events) break;
      if (LOWORD(wp) == IDOK && HIWORD(wp) == 0) {
        // Enter: the button that has the focus is pressed; there is no default button.
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus) && isPushButton(focus) && IsWindowEnabled(focus))
          SendMessageW(focus, BM_CLICK, 0, 0);
      } else if (HIWORD(wp) == BN_CLICKED && lp && LOWORD(wp) >= kFirstControlId) {
        events->OnCommand(LOWORD(wp));
      }
      return 0;  // Esc (IDCANCEL) does nothing
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      const ControlLook* look = lookOf(reinterpret_cast<HWND>(lp));
      if (!look) break;
      HDC dc = reinterpret_cast<HDC>(wp);
      int back = COLOR_BTNFACE;
      if (look->band || look->kind == ControlKind::TextBox) back = COLOR_WINDOW;
      if (look->kind == ControlKind::Line) back = static_cast<int>(look->colour);
      SetTextColor(dc, GetSysColor(back == COLOR_WINDOW ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(back));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    case WM_TIMER:
      if (wp != kNamesTimer) break;
      KillTimer(hwnd, kNamesTimer);
      if (data && EnsureComInitialised()) {
        annotateNamed(hwnd, true);
        data->named = true;
      }
      return 0;
    case WM_DPICHANGED:
      if (!data) break;
      data->dpi = HIWORD(wp);
      if (const RECT* r = reinterpret_cast<const RECT*>(lp); r && events)
        events->OnDpiChanged(data->dpi, {r->left, r->top, r->right - r->left, r->bottom - r->top});
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE:
      // Colours and brushes are taken from the system at paint time: the window and
      // everything in it is painted again, and the common controls hear of the change.
      if (msg == WM_SYSCOLORCHANGE)
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
          SendMessageW(c, WM_SYSCOLORCHANGE, 0, 0);
      RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      break;
    case WM_ACTIVATE:
      if (!data) break;
      if (LOWORD(wp) == WA_INACTIVE) {
        data->lastFocus = GetFocus();
      } else {
        HWND focus = data->lastFocus;
        if (!focus || !IsChild(hwnd, focus) || !IsWindowEnabled(focus))
          focus = GetNextDlgTabItem(hwnd, nullptr, FALSE);
        if (focus) SetFocus(focus);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        if (events) events->OnCloseRequest(UnloadMode::ControlMenu);
        return 0;
      }
      break;
    case WM_CLOSE:
      // The title bar comes as the system command above, and Esc never reaches the
      // controls (dispatch): a WM_CLOSE comes from outside the window, the task manager
      // or another program.
      if (events) events->OnCloseRequest(UnloadMode::Outside);
      return 0;
    case WM_NEXTDLGCTL: {
      // A multi-line edit takes Tab and Shift+Tab itself and asks its parent to move the
      // focus, as a dialog would: to the next or previous control, or to the one named.
      HWND to =
          LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd, GetFocus(), wp != 0);
      if (to && IsChild(hwnd, to)) SetFocus(to);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return events ? events->OnQueryEndSession() : TRUE;
    case WM_ENDSESSION:
      if (wp && events) events->OnEndSession();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete data;
      // The form's two icons were loaded for it alone: they go with it.
      for (WPARAM which : {ICON_BIG, ICON_SMALL})
        DestroyIcon(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0)));
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HFONT font(int height, bool bold) {
  static std::map<std::pair<int, bool>, HFONT> made;
  HFONT& f = made[{height, bold}];
  if (!f)
    f = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_SWISS, L"Tahoma");
  return f;
}

// The icon's frame that fills a picture's box at its DPI: 32, 40, 48 or 64 pixels.
void setPicture(HWND h, int picture, const Rect& rect) {
  HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture), IMAGE_ICON,
                           rect.width, rect.height, 0);
  auto old =
      reinterpret_cast<HICON>(SendMessageW(h, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
  if (old) DestroyIcon(old);
}

DWORD labelStyle(bool wraps, bool centred) {
  if (centred) return SS_CENTER;
  return wraps ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

bool isForm(HWND h) {
  return h && GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FormProc);
}

void dispatch(MSG& m) {
  HWND root = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
  // Esc does nothing in a form: not even the multi-line edit hears it, which would post
  // WM_CLOSE to its parent and have it taken for a close from outside.
  if (isForm(root) && m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) return;
  if (isForm(root) && IsDialogMessageW(root, &m)) return;
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

}  // namespace

void Win32Windows::InitCommonControls() {
  HMODULE comctl = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 7 without its DLL-search update refuses the flag; the manifest's side-by-side
  // redirection then finds the library before any folder is searched.
  if (!comctl && GetLastError() == ERROR_INVALID_PARAMETER) comctl = LoadLibraryW(L"comctl32.dll");
  if (!comctl) return;
  auto init = reinterpret_cast<void(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControls")));
  if (init) init();
}

int Win32Windows::Dpi() {
  static int dpi = [] {
    HDC screen = GetDC(nullptr);
    int d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

Rect Win32Windows::WorkArea() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Handle Win32Windows::CreateForm(WindowEvents* events, const std::string& caption, int clientWidth,
                                int clientHeight, int iconId, Handle owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  static bool registered = [instance] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
  HWND hwnd = CreateWindowExW(kFormExStyle, kFormClass, Wide(caption).c_str(), kFormStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top,
                              H(owner), nullptr, instance, nullptr);
  if (!hwnd) return 0;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(new FormData{events, nullptr, Dpi()}));
  for (auto [which, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
    HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0);
    if (icon) SendMessageW(hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
  return Of(hwnd);
}

Handle Win32Windows::CreateControl(Handle form, int id, const ControlLook& look,
                                   const std::string& text, const Rect& rect, int fontHeight) {
  const wchar_t* cls = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (look.tabStop ? WS_TABSTOP : 0);
  DWORD ex = 0;
  switch (look.kind) {
    case ControlKind::Label:
      style |= SS_NOPREFIX | labelStyle(look.wraps, look.centred);
      break;
    case ControlKind::Line:
      style |= SS_NOPREFIX;
      break;
    case ControlKind::Picture:
      style |= SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL;
      break;
    case ControlKind::Button:
      cls = L"BUTTON";
      style |= BS_PUSHBUTTON;
      break;
    case ControlKind::CheckBox:
      cls = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::TextBox:
      cls = L"EDIT";
      ex = WS_EX_CLIENTEDGE;
      style |= ES_AUTOHSCROLL | (look.readOnly ? ES_READONLY : 0);
      if (look.multiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL;
      if (look.scrollBars) style |= WS_HSCROLL | WS_VSCROLL;
      break;
    case ControlKind::ListBox:
      cls = L"LISTBOX";
      ex = WS_EX_CLIENTEDGE;
      style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
      break;
  }
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND h = CreateWindowExW(ex, cls, Wide(text).c_str(), style, rect.left, rect.top, rect.width,
                           rect.height, H(form), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance, nullptr);
  if (!h) return 0;
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ControlLook(look)));
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font(fontHeight, look.bold)), FALSE);
  if (look.kind == ControlKind::Picture) setPicture(h, look.picture, rect);
  if (FormData* data = formData(H(form)); data && !look.name.empty()) data->hasNames = true;
  return Of(h);
}

void Win32Windows::SetLayout(Handle control, const Rect& rect, int fontHeight) {
  HWND h = H(control);
  const ControlLook* look = lookOf(h);
  if (!look) return;
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font(fontHeight, look->bold)), TRUE);
  if (look->kind == ControlKind::Picture) setPicture(h, look->picture, rect);
  SetWindowPos(h, nullptr, rect.left, rect.top, rect.width, rect.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Windows::Destroy(Handle window) {
  if (const FormData* data = formData(H(window)); data && data->named)
    annotateNamed(H(window), false);
  std::vector<const ControlLook*> looks;
  for (HWND child = GetWindow(H(window), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    looks.push_back(lookOf(child));
  DestroyWindow(H(window));
  for (const ControlLook* look : looks) delete look;
}

void Win32Windows::SetText(Handle window, const std::string& text) {
  SetWindowTextW(H(window), Wide(text).c_str());
}

void Win32Windows::SetEnabled(Handle window, bool enabled) { EnableWindow(H(window), enabled); }
bool Win32Windows::Enabled(Handle window) { return IsWindowEnabled(H(window)); }

void Win32Windows::SetVisible(Handle window, bool visible) {
  HWND h = H(window);
  ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
  if (!visible || GetParent(h)) return;
  UpdateWindow(h);
  if (const FormData* data = formData(h); data && data->hasNames && !data->named)
    SetTimer(h, kNamesTimer, 0, nullptr);
}

void Win32Windows::SetCentred(Handle label, bool centred) {
  HWND h = H(label);
  const ControlLook* look = lookOf(h);
  bool wraps = look && look->wraps;
  LONG style = GetWindowLongW(h, GWL_STYLE) & ~SS_TYPEMASK;
  SetWindowLongW(h, GWL_STYLE, style | static_cast<LONG>(labelStyle(wraps, centred)));
  InvalidateRect(h, nullptr, TRUE);
}

void Win32Windows::SetRect(Handle window, const Rect& r) {
  SetWindowPos(H(window), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Windows::GetRect(Handle window) {
  RECT r{};
  GetWindowRect(H(window), &r);
  if (HWND parent = GetParent(H(window));
      parent && (GetWindowLongW(H(window), GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A label's text as it is drawn; a check box's caption with its access key, and the box
// beside it.
int Win32Windows::TextWidth(Handle label, const std::string& text) {
  HWND h = H(label);
  HDC dc = GetDC(h);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
  std::wstring w = Wide(text);
  const ControlLook* look = lookOf(h);
  bool box = look && look->kind == ControlKind::CheckBox;
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r,
            DT_SINGLELINE | DT_CALCRECT | (box ? 0 : DT_NOPREFIX));
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  int width = r.right - r.left;
  HWND parent = GetParent(h);
  const FormData* form = isForm(parent) ? formData(parent) : nullptr;
  if (box) width += MulDiv(17, form ? form->dpi : Dpi(), 96);  // the box and the gap before it
  return width;
}

int Win32Windows::Check(Handle checkBox) {
  return static_cast<int>(SendMessageW(H(checkBox), BM_GETCHECK, 0, 0));
}

void Win32Windows::AddItem(Handle listBox, const std::string& text) {
  SendMessageW(H(listBox), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void Win32Windows::Focus(Handle window) { SetFocus(H(window)); }
Handle Win32Windows::ActiveWindow() { return Of(GetActiveWindow()); }

void Win32Windows::Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    dispatch(m);
  }
}

void Win32Windows::RunUntil(const std::function<bool()>& done) {
  MSG m;
  while (!done() && GetMessageW(&m, nullptr, 0, 0) > 0) dispatch(m);
}

Handle Win32Windows::CreateChild(unsigned exStyle, const std::string& className,
                                 const std::string& text, ChildStyle style, const Rect& r,
                                 Handle parent, int id, std::intptr_t instance,
                                 const void* createData) {
  return Of(CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(),
                            static_cast<DWORD>(style), r.left, r.top, r.width, r.height, H(parent),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            reinterpret_cast<HINSTANCE>(instance), const_cast<void*>(createData)));
}

std::intptr_t Win32Windows::Send(Handle window, ProgressMessage message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  return SendMessageW(H(window), static_cast<UINT>(message), wParam, lParam);
}

void Win32Windows::DestroyChild(Handle window) { DestroyWindow(H(window)); }

Answer Win32Windows::ShowMessageBox(Handle owner, const std::string& text, const std::string& title,
                                    MessageBoxStyle style) {
  return static_cast<Answer>(
      MessageBoxW(H(owner), Wide(text).c_str(), Wide(title).c_str(), static_cast<UINT>(style)));
}

}  // namespace platform::win32
