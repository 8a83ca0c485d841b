#include "Driver.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>

namespace e2e {
namespace {

int failures = 0;
std::string buildFolder;
std::vector<std::string> arguments;

std::map<std::string, void (*)()>& scenarios() {
  static std::map<std::string, void (*)()> all;
  return all;
}

}  // namespace

bool Failed(bool ok, const char* file, int line, const char* text) {
  if (!ok) {
    std::printf("%s:%d: check failed: %s\n", file, line, text);
    ++failures;
  }
  return !ok;
}

void Register(const char* name, void (*run)()) { scenarios()[name] = run; }

std::wstring W(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n) - 1);
  return out;
}

std::string U(const std::wstring& s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n) - 1);
  return out;
}

std::string Text(HWND h) {
  std::vector<wchar_t> buffer(65536);
  SendMessageTimeoutW(h, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return U(buffer.data());
}

std::string ClassOf(HWND h) {
  wchar_t buffer[64] = {};
  GetClassNameW(h, buffer, 64);
  return U(buffer);
}

bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
  return true;
}

bool Program::Exited(DWORD milliseconds) const {
  return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}

void Program::Kill() const { TerminateProcess(info.hProcess, 0); }

const std::string& BuildFolder() { return buildFolder; }

const std::vector<std::string>& Arguments() { return arguments; }

std::string Fixture(const std::string& name) { return buildFolder + "\\fixtures\\" + name; }

// Every program a scenario started: the runner ends those still running, whatever a check did.
std::vector<HANDLE>& started() {
  static std::vector<HANDLE> handles;
  return handles;
}

Program Start(const std::string& exe, const std::string& folder,
              const std::vector<std::string>& environment) {
  Program p;
  std::string path = exe.find('\\') == std::string::npos ? buildFolder + "\\" + exe : exe;
  std::wstring wide = W(path);
  std::wstring line = L"\"" + wide + L"\"";
  std::wstring block;
  if (!environment.empty()) {
    // The inherited entries, less those given anew: the first of two equal names would win.
    auto named = [&](const std::wstring& entry) {
      for (const auto& e : environment)
        if (_wcsnicmp(entry.c_str(), W(e.substr(0, e.find('=') + 1)).c_str(), e.find('=') + 1) == 0)
          return true;
      return false;
    };
    for (const wchar_t* e = GetEnvironmentStringsW(); *e; e += wcslen(e) + 1)
      if (!named(e)) block += e, block += L'\0';
    for (const auto& entry : environment) block += W(entry), block += L'\0';
    block += L'\0';
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(wide.c_str(), line.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, block.empty() ? nullptr : block.data(),
                      W(folder.empty() ? buildFolder : folder).c_str(), &si, &p.info))
    std::printf("cannot start %s\n", path.c_str());
  else
    started().push_back(p.info.hProcess);
  return p;
}

int Run(const std::string& commandLine, DWORD milliseconds) {
  std::wstring line = W(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &info))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return static_cast<int>(code);
}

std::string LayOutPackage(const std::string& folder) {
  CreateDirectoryW(W(folder).c_str(), nullptr);
  std::string source = buildFolder + "\\pacchetto\\";
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(W(source + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return folder;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = U(found.cFileName);
    CopyFileW(W(source + name).c_str(), W(folder + "\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return folder;
}

bool IsFile(const std::string& path) {
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFile(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD count = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0)
    bytes.append(buffer, count);
  CloseHandle(file);
  return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD count = 0;
  bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
            count == bytes.size();
  CloseHandle(file);
  return ok;
}

std::vector<std::string> RecordLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string all = ReadFile(path);
  for (std::size_t start = 0, end; (end = all.find("\r\n", start)) != std::string::npos;
       start = end + 2)
    lines.push_back(all.substr(start, end - start));
  return lines;
}

namespace {

std::string Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
  return U(path);
}

std::string Shared(int common, int user) {
  std::string c = Special(common);
  return !c.empty() && IsFolder(c) ? c : Special(user);
}

}  // namespace

std::string SystemFolder() { return Special(CSIDL_SYSTEM); }
std::string Desktop() { return Shared(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP); }
std::string Menu() { return Shared(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS) + "\\QelPictura"; }

Link ReadLink(const std::string& path) {
  Link link;
  CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell))) &&
      SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(W(path).c_str(), STGM_READ))) {
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(shell->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) link.target = U(text);
    text[0] = 0;
    if (SUCCEEDED(shell->GetDescription(text, MAX_PATH))) link.description = U(text);
    shell->GetShowCmd(&link.show);
  }
  if (file) file->Release();
  if (shell) shell->Release();
  CoUninitialize();
  return link;
}

bool HighContrast(DWORD processId) {
  std::wstring dll = W(Fixture("contrasto.dll"));
  if (!LoadLibraryW(dll.c_str())) return false;
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
  if (!process) return false;
  SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  HANDLE thread = remote && WriteProcessMemory(process, remote, dll.c_str(), bytes, nullptr)
                      ? CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr)
                      : nullptr;
  DWORD loaded = 0;
  if (thread) {
    WaitForSingleObject(thread, 10000);
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
  }
  CloseHandle(process);
  return loaded != 0;
}

Heard Announced(HWND control) {
  CoInitialize(nullptr);
  Heard heard{ClassOf(control), Text(control), "", 0};
  IAccessible* object = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                           IID_IAccessible, reinterpret_cast<void**>(&object)))) {
    VARIANT self{}, role{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) heard.name = U(name);
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
    SysFreeString(name);
    object->Release();
  }
  CoUninitialize();
  return heard;
}

namespace {

// What this system's accessibility delivers, tried on a button of the driver's own.
struct Delivered {
  bool roles = false, annotations = false;
};
Delivered Probe() {
  Delivered d;
  HWND button = CreateWindowW(L"BUTTON", L"&Prova", WS_POPUP | BS_PUSHBUTTON, 0, 0, 50, 20, nullptr,
                              nullptr, nullptr, nullptr);
  d.roles = Announced(button).role == ROLE_SYSTEM_PUSHBUTTON;
  CoInitialize(nullptr);
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
    d.annotations = SUCCEEDED(services->SetHwndPropStr(button, static_cast<DWORD>(OBJID_CLIENT),
                                                       CHILDID_SELF, PROPID_ACC_NAME, L"Nome")) &&
                    Announced(button).name == "Nome";
    services->Release();
  }
  CoUninitialize();
  DestroyWindow(button);
  std::printf("  accessibility here: roles of the standard controls %s, annotations %s\n",
              d.roles ? "yes" : "no", d.annotations ? "yes" : "no");
  return d;
}

}  // namespace

bool AnnouncedAs(HWND window, const std::vector<Heard>& table) {
  static const Delivered delivered = Probe();
  std::vector<bool> used(table.size(), false);
  bool ok = true;
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    Heard seen = Announced(h);
    bool found = false;
    for (std::size_t i = 0; i < table.size() && !found; ++i) {
      const Heard& row = table[i];
      std::string caption = row.text;
      std::erase(caption, '&');
      bool annotated = row.name != caption;
      found = !used[i] && row.cls == seen.cls && row.text == seen.text &&
              (row.name == seen.name || (annotated && !delivered.annotations)) &&
              (row.role == seen.role || (!delivered.roles && seen.role != 0));
      if (found) used[i] = true;
    }
    if (!found)
      std::printf("  %s \"%s\" heard as \"%s\", role %ld: not in the table\n", seen.cls.c_str(),
                  seen.text.substr(0, 40).c_str(), seen.name.c_str(), seen.role);
    ok &= found;
  }
  for (std::size_t i = 0; i < table.size(); ++i)
    if (!used[i])
      std::printf("  no %s \"%s\" heard as \"%s\"\n", table[i].cls.c_str(),
                  table[i].text.substr(0, 40).c_str(), table[i].name.c_str());
  return ok && std::find(used.begin(), used.end(), false) == used.end();
}

std::vector<HWND> Windows(const Program& p, const std::string& caption) {
  struct Search {
    DWORD pid;
    std::wstring caption;
    std::vector<HWND> found;
  } s{p.info.dwProcessId, W(caption), {}};
  EnumWindows(
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t text[256] = {};
        GetWindowTextW(h, text, 256);
        if (pid == s->pid && IsWindowVisible(h) && s->caption == text) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

SIZE ClientSize(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return {r.right, r.bottom};
}

HWND WaitWindow(const Program& p, const std::string& caption, int clientWidth) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(p, caption))
      if (ClientSize(h).cx == clientWidth) found = h;
    return found != nullptr;
  });
  return found;
}

HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(p, caption))
      if (Child(h, cls, text)) found = h;
    return found != nullptr;
  });
  return found;
}

std::vector<HWND> Children(HWND parent, const std::string& cls) {
  struct Search {
    std::wstring cls;
    std::vector<HWND> found;
  } s{W(cls), {}};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        wchar_t name[64] = {};
        GetClassNameW(h, name, 64);
        if (lstrcmpiW(name, s->cls.c_str()) == 0) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND Child(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND h : Children(parent, cls))
    if (Text(h) == text) return h;
  return nullptr;
}

RECT Twips(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return {r.left * 15, r.top * 15, (r.right - r.left) * 15, (r.bottom - r.top) * 15};
}

bool Is(const RECT& r, int left, int top, int width, int height) {
  bool same = r.left == left && r.top == top && r.right == width && r.bottom == height;
  if (!same)
    std::printf("  rectangle %ld,%ld %ldx%ld, expected %d,%d %dx%d\n", r.left, r.top, r.right,
                r.bottom, left, top, width, height);
  return same;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::string TreeItemText(HWND tree, HTREEITEM item) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  constexpr int kChars = 260;
  // The item and its text buffer live in the tree's process, the text right after the item.
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr,
                                                   sizeof(TVITEMW) + kChars * sizeof(wchar_t),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  std::string text;
  if (remote) {
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
    request.cchTextMax = kChars;
    wchar_t buffer[kChars] = {};
    if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof(TVITEMW), buffer,
                          sizeof buffer - sizeof(wchar_t), nullptr))
      text = U(buffer);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

HTREEITEM SelectTreePath(HWND tree, const std::vector<std::string>& path) {
  HTREEITEM parent = nullptr;
  for (const std::string& piece : path) {
    if (parent) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    HTREEITEM found = nullptr;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM,
                                                              parent ? TVGN_CHILD : TVGN_ROOT,
                                                              reinterpret_cast<LPARAM>(parent)));
         item && !found; item = reinterpret_cast<HTREEITEM>(SendMessageW(
                             tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
      if (TreeItemText(tree, item).find(piece) != std::string::npos) found = item;
    if (!found) {
      std::printf("  no tree item with \"%s\"\n", piece.c_str());
      return nullptr;
    }
    parent = found;
  }
  if (parent) SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(parent));
  return parent;
}

bool PickInFolderBrowser(HWND dialog, const std::vector<std::string>& path) {
  std::vector<HWND> trees = Children(dialog, "SysTreeView32");
  bool picked = trees.size() == 1 && SelectTreePath(trees[0], path) != nullptr;
  Press(GetDlgItem(dialog, picked ? IDOK : IDCANCEL));
  return picked;
}

HWND Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

namespace {

WORD VirtualKey(const std::string& name) {
  static const std::map<std::string, WORD> named = {
      {"alt", VK_MENU},       {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"Return", VK_RETURN},
      {"Escape", VK_ESCAPE},  {"Tab", VK_TAB},      {"space", VK_SPACE}, {"Delete", VK_DELETE},
      {"BackSpace", VK_BACK}, {"Up", VK_UP},        {"Down", VK_DOWN},   {"F4", VK_F4}};
  auto it = named.find(name);
  if (it != named.end()) return it->second;
  if (name.size() == 1) return static_cast<WORD>(VkKeyScanW(static_cast<wchar_t>(name[0])) & 0xFF);
  return 0;
}

void Send(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

}  // namespace

bool Keys(HWND window, const std::string& keys) {
  SetForegroundWindow(window);
  if (!WaitFor([&] { return GetForegroundWindow() == window; }, 3000)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  // Each word is one chord: "alt+c" holds alt while c goes down and up.
  for (std::size_t start = 0; start < keys.size();) {
    std::size_t end = keys.find(' ', start);
    if (end == std::string::npos) end = keys.size();
    std::vector<WORD> chord;
    std::string word = keys.substr(start, end - start);
    for (std::size_t a = 0, b; a <= word.size(); a = b + 1) {
      b = word.find('+', a);
      if (b == std::string::npos) b = word.size();
      WORD key = VirtualKey(word.substr(a, b - a));
      if (!key) {
        if (process) CloseHandle(process);
        return false;
      }
      chord.push_back(key);
    }
    for (WORD key : chord) Send(key, false);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) Send(*it, true);
    start = end + 1;
    // The program has taken the chord when it waits for input again.
    if (process) WaitForInputIdle(process, 3000);
  }
  if (process) CloseHandle(process);
  return true;
}

namespace {

void SendMouse(int x, int y, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  SendInput(1, &input, sizeof input);
}

// Waits until the window's program has taken the input sent so far.
void Settle(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)) {
    WaitForInputIdle(process, 3000);
    CloseHandle(process);
  }
}

bool ToFront(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  SetForegroundWindow(root);
  return WaitFor([&] { return GetForegroundWindow() == root; }, 3000);
}

}  // namespace

bool Click(HWND control) {
  if (!control || !ToFront(control)) return false;
  RECT r{};
  GetWindowRect(control, &r);
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  SendMouse(x, y, 0);
  SendMouse(x, y, MOUSEEVENTF_LEFTDOWN);
  SendMouse(x, y, MOUSEEVENTF_LEFTUP);
  Settle(control);
  return true;
}

bool DragByCaption(HWND window, int left, int top) {
  if (!ToFront(window)) return false;
  RECT frame{};
  GetWindowRect(window, &frame);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  // Half way between the frame's top and the client area: the title bar, right of the
  // window icon.
  int x = frame.left + 80, y = (frame.top + client.y) / 2;
  LRESULT hit = 0;
  SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                      reinterpret_cast<PDWORD_PTR>(&hit));
  if (hit != HTCAPTION) {
    std::printf("  no title bar at %d,%d (hit test %ld)\n", x, y, static_cast<long>(hit));
    return false;
  }
  int dx = left - frame.left, dy = top - frame.top;
  SendMouse(x, y, 0);
  SendMouse(x, y, MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 8; ++step) {
    SendMouse(x + dx * step / 8, y + dy * step / 8, 0);
    Sleep(15);  // pacing of the mouse's own moves, not a wait for the program
  }
  SendMouse(x + dx, y + dy, MOUSEEVENTF_LEFTUP);
  return WaitFor(
      [&] {
        RECT now{};
        GetWindowRect(window, &now);
        return now.left == left && now.top == top;
      },
      3000);
}

bool LabelSizedToText(HWND parent, const std::string& text, int left, int top, int width,
                      bool bold) {
  HWND label = Child(parent, "Static", text);
  if (!label) {
    std::printf("  no label \"%s\"\n", text.c_str());
    return false;
  }
  HDC screen = GetDC(nullptr);
  int height = -(825 * GetDeviceCaps(screen, LOGPIXELSY) + 3600) / 7200;
  HFONT font = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
  HGDIOBJ old = SelectObject(screen, font);
  std::wstring wide = W(text);
  SIZE size{};
  GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  int expected = std::max(width, static_cast<int>(size.cx) * 15);
  RECT r = Twips(label);
  if (expected != width)
    std::printf("  \"%s\": its text is %ld twips wide here, %d designed\n", text.c_str(),
                static_cast<long>(size.cx) * 15, width);
  bool ok = Is(r, left, top, expected, 195);
  if (!ok) std::printf("  label \"%s\"\n", text.c_str());
  return ok;
}

bool PageFrameInPlace(HWND page) {
  int faults = 0;
  auto check = [&](bool ok, const char* what) {
    if (!ok) std::printf("  page frame: %s\n", what), ++faults;
  };
  check(Text(page) == kTitolo, "caption");
  LONG style = GetWindowLongW(page, GWL_STYLE);
  check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU), "title bar with close box");
  check(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)), "fixed border, no boxes");

  // The controls without text, told apart by their kind and place.
  auto statics = Children(page, "Static");
  auto at = [&](int left, int top, int width, int height) -> HWND {
    for (HWND h : statics) {
      RECT r = Twips(h);
      if (r.left == left && r.top == top && r.right == width && r.bottom == height) return h;
    }
    return nullptr;
  };
  HWND band = at(0, 0, 7290, 990);
  check(band && Text(band).empty(), "lblTop 0,0 7290x990");
  HWND image = at(6150, 225, 480, 480);
  check(image && (GetWindowLongW(image, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageW(image, STM_GETICON, 0, 0),
        "Image1 6150,225 480x480 with its picture");
  // Lines one pixel thick from x 0 to x 6900 inclusive.
  check(at(0, 960, 6915, 15) != nullptr, "Line1 at 960");
  check(at(0, 4575, 6915, 15) != nullptr, "Line2 at 4575");
  check(at(0, 4590, 6915, 15) != nullptr, "Line3 at 4590");

  // Its colours on the screen: the band and the light rule in the window colour, the
  // other two rules in the shadow colour, the rest of the page in the button face.
  ToFront(page);
  auto colour = [&](int x, int y, int sysColour) {
    POINT at{x, y};
    ClientToScreen(page, &at);
    return WaitFor(
        [&] {
          HDC screen = GetDC(nullptr);
          COLORREF seen = GetPixel(screen, at.x, at.y);
          ReleaseDC(nullptr, screen);
          return seen == GetSysColor(sysColour);
        },
        3000);
  };
  check(colour(300, 10, COLOR_WINDOW), "band in the window colour");
  check(colour(5, 64, COLOR_BTNSHADOW) && colour(459, 64, COLOR_BTNSHADOW), "Line1's colour");
  check(colour(5, 305, COLOR_BTNSHADOW), "Line2's colour");
  check(colour(5, 306, COLOR_WINDOW), "Line3's colour");
  check(colour(5, 100, COLOR_BTNFACE), "page in the button face colour");
  check(LabelSizedToText(page, "QelSoftware - Installazione di QelPictura", 375, 225, 3540, true),
        "lblA");
  return faults == 0;
}

std::vector<Heard> BandHeard(const std::string& what, const std::string& subtitle) {
  std::string title = "QelSoftware - " + what + " di QelPictura";
  std::vector<Heard> rows(4, {"Static", "", "", ROLE_SYSTEM_STATICTEXT});
  rows.push_back({"Static", "", "QelPictura", ROLE_SYSTEM_GRAPHIC});
  for (const std::string& text : {title, subtitle})
    rows.push_back({"Static", text, text, ROLE_SYSTEM_STATICTEXT});
  return rows;
}

HWND GoToDestinationPage(const Program& setup) {
  HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  if (!welcome) return nullptr;
  Press(Child(welcome, "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  if (!licence) return nullptr;
  Press(Child(licence, "Button", kAccetto));
  HWND next = Child(licence, "Button", "&Continua");
  if (!WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
  Press(next);
  return WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
}

HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Windows(p, caption))
          if (ClassOf(h) == "#32770") found = h;
        return found != nullptr;
      },
      milliseconds);
  return found;
}

HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds) {
  Press(Child(destination, "Button", "&Conferma"));
  HWND result = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Windows(setup, kTitolo))
          if (Child(h, "Button", "&Chiudi")) result = h;
        return result != nullptr;
      },
      milliseconds);
  return result;
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  using namespace e2e;
  int leftOver = 0;
  if (argc < 3 || !scenarios().count(U(argv[1]))) {
    std::printf("usage: driver SCENARIO BUILD-FOLDER\n");
    for (const auto& [name, run] : scenarios()) std::printf("  %s\n", name.c_str());
    return 2;
  }
  std::string folder = U(argv[2]);
  for (char& c : folder)
    if (c == '/') c = '\\';
  buildFolder = folder.size() > 1 && folder[1] == ':' ? folder : "Z:" + folder;
  for (int i = 3; i < argc; ++i) arguments.push_back(U(argv[i]));
  scenarios()[U(argv[1])]();
  for (HANDLE h : started())
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) TerminateProcess(h, 0), ++leftOver;
  for (HANDLE h : started()) WaitForSingleObject(h, 10000);
  if (leftOver) std::printf("%d program(s) still running at the end were ended\n", leftOver);
  std::printf("%s: %s\n", U(argv[1]).c_str(), failures ? "FAILED" : "passed");
  std::fflush(stdout);
  return failures ? 1 : 0;
}
