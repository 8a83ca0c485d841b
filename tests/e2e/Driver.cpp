#include "Driver.h"

#include <shlobj.h>

#include <algorithm>
#include <map>

namespace e2e {
namespace {

int failures = 0;
std::string build, scenario;
std::vector<std::string> arguments;
std::vector<HANDLE> started;

std::map<std::string, void (*)()>& Scenarios() {
  static std::map<std::string, void (*)()> all;
  return all;
}
std::string Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? U(path) : "";
}
std::string Shared(int common, int user) {
  return IsFolder(Special(common)) ? Special(common) : Special(user);
}
// 0 for a file, FILE_ATTRIBUTE_DIRECTORY for a folder, else nothing there.
DWORD Kind(const std::string& path) {
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a == INVALID_FILE_ATTRIBUTES ? 1 : a & FILE_ATTRIBUTE_DIRECTORY;
}
Program Launch(const std::wstring& exe, std::wstring line, const std::string& folder, DWORD how) {
  Program p;
  STARTUPINFOW si{sizeof si};
  if (CreateProcessW(exe.empty() ? nullptr : exe.c_str(), line.data(), nullptr, nullptr, FALSE, how,
                     nullptr, W(folder).c_str(), &si, &p.info))
    started.push_back(p.info.hProcess);
  else
    std::printf("cannot start %s\n", U(line).c_str());
  return p;
}
bool Of(const Program& p, HWND h, const std::string& caption) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid == p.info.dwProcessId && Text(h, false) == caption;
}

// The visible top-level windows that pass, the frontmost first, `most` at the most.
std::vector<HWND> Visible(const std::function<bool(HWND)>& passes, std::size_t most = SIZE_MAX) {
  std::vector<HWND> found;
  for (HWND h = GetTopWindow(nullptr); h && found.size() < most; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindowVisible(h) && passes(h)) found.push_back(h);
  return found;
}

// Real input through the system's queue to the window brought to the front; then waits until
// its program has taken it.
bool Send(HWND window, std::vector<INPUT> input) {
  HWND root = GetAncestor(window, GA_ROOT);
  SetForegroundWindow(root);
  if (!WaitFor([&] { return GetForegroundWindow() == root; }, 3000)) return false;
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  WaitForInputIdle(process, 3000);
  return CloseHandle(process);
}

}  // namespace

bool Failed(bool ok, const char* file, int line, const char* text) {
  if (!ok) {
    std::printf("%s:%d: check failed: %s\n", file, line, text);
    ++failures;
  }
  return !ok;
}
void Register(const char* name, void (*run)()) { Scenarios()[name] = run; }

std::string Text(HWND h, bool ask) {
  std::vector<wchar_t> text(65536);
  if (!ask)
    GetWindowTextW(h, text.data(), text.size());
  else
    SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
  return U(text.data());
}
std::string ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return U(name);
}
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(20))
    if (GetTickCount() - start > milliseconds) return false;
  return true;
}
DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}
const std::vector<std::string>& Arguments() { return arguments; }
std::string Fixture(const std::string& name) { return build + "\\fixtures\\" + name; }

Program Start(const std::string& exe, const std::string& folder) {
  std::wstring path = W(exe.find('\\') == std::string::npos ? build + "\\" + exe : exe);
  return Launch(path, L"\"" + path + L"\"", folder.empty() ? build : folder, 0);
}
int Run(const std::string& commandLine, DWORD milliseconds) {
  Program p = Launch(L"", W(commandLine), build, CREATE_NO_WINDOW);
  return p.info.hProcess && p.Exited(milliseconds) ? static_cast<int>(p.ExitCode()) : -1;
}

std::string LayOutPackage(const std::string& folder) {
  CreateDirectoryW(W(folder).c_str(), nullptr);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(W(build + "\\pacchetto\\*.*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
    CopyFileW(W(build + "\\pacchetto\\" + U(found.cFileName)).c_str(),
              W(folder + "\\" + U(found.cFileName)).c_str(), FALSE);  // folders do not copy
  FindClose(search);
  return folder;
}

bool IsFile(const std::string& path) { return Kind(path) == 0; }
bool IsFolder(const std::string& path) { return Kind(path) == FILE_ATTRIBUTE_DIRECTORY; }

std::string ReadFile(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  char buffer[65536];
  for (DWORD n = 0; ::ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0;)
    bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  bool ok = ::WriteFile(file, bytes.data(), bytes.size(), &n, nullptr) && n == bytes.size();
  return CloseHandle(file) && ok;
}

std::vector<std::string> Record(const std::vector<std::string>& starts) {
  std::vector<std::string> lines;
  std::string all = ReadFile("C:\\record.txt");
  for (std::size_t a = 0, b; (b = all.find("\r\n", a)) != std::string::npos; a = b + 2)
    for (const std::string& start : starts)
      if (all.compare(a, start.size(), start) == 0) lines.push_back(all.substr(a, b - a));
  std::sort(lines.begin(), lines.end());
  return lines;
}
bool Holds(const std::string& path, const std::string& text) {
  std::string bytes = ReadFile(path);
  std::wstring wide = W(text);
  return bytes.find(text) != std::string::npos ||
         bytes.find({reinterpret_cast<const char*>(wide.data()), wide.size() * 2}) !=
             std::string::npos;
}

std::string Desktop() { return Shared(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP); }
std::string Menu() { return Shared(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS) + "\\QelPictura"; }
std::string SystemFolder() { return Special(CSIDL_SYSTEM); }

HWND Top(const std::function<bool(HWND)>& passes, DWORD milliseconds) {
  std::vector<HWND> found;
  WaitFor([&] { return !(found = Visible(passes, 1)).empty(); }, milliseconds);
  return found.empty() ? nullptr : found[0];
}

std::vector<HWND> Windows(const Program& p, const std::string& caption) {
  return Visible([&](HWND h) { return Of(p, h, caption); });
}
HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text, DWORD milliseconds) {
  return Top([&](HWND h) { return Of(p, h, caption) && Child(h, cls, text); }, milliseconds);
}
HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds) {
  return Top([&](HWND h) { return Of(p, h, caption) && ClassOf(h) == "#32770"; }, milliseconds);
}

std::vector<HWND> Children(HWND parent, const std::string& cls) {
  std::vector<HWND> found;
  for (HWND h = parent ? GetWindow(parent, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (lstrcmpiW(W(ClassOf(h)).c_str(), W(cls).c_str()) == 0) found.push_back(h);
  return found;
}
std::vector<std::string> Items(HWND window) {
  std::vector<std::string> items;
  for (HWND list : Children(window, "ListBox"))
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
      wchar_t line[256] = {};
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      items.push_back(U(line));
    }
  return items;
}
HWND Child(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND h : Children(parent, cls))
    if (Text(h) == text) return h;
  return nullptr;
}

HWND Focus(HWND window) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

bool Keys(HWND window, const std::string& keys) {
  static const std::map<std::string, WORD> named = {
      {"alt", VK_MENU},    {"shift", VK_SHIFT},   {"Tab", VK_TAB},       {"Return", VK_RETURN},
      {"space", VK_SPACE}, {"Delete", VK_DELETE}, {"Escape", VK_ESCAPE}, {"BackSpace", VK_BACK}};
  for (std::size_t a = 0, b; a < keys.size(); a = b + 1) {
    b = std::min(keys.find(' ', a), keys.size());
    std::vector<INPUT> chord;
    for (std::size_t c = a, d; c < b; c = d + 1) {
      d = std::min(keys.find('+', c), b);
      auto it = named.find(keys.substr(c, d - c));
      WORD key = it != named.end() ? it->second : LOBYTE(VkKeyScanW(keys[c]));
      WORD scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
      chord.insert(chord.begin() + chord.size() / 2, 2, {INPUT_KEYBOARD});
      chord[chord.size() / 2 - 1].ki = {key, scan, 0, 0, 0};            // down in order,
      chord[chord.size() / 2].ki = {key, scan, KEYEVENTF_KEYUP, 0, 0};  // up in reverse
    }
    if (!Send(window, chord)) return false;
  }
  return true;
}

bool Click(HWND control) {
  RECT r{};
  std::vector<INPUT> input;
  if (!GetWindowRect(control, &r)) return false;
  for (DWORD flags : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    input.push_back({INPUT_MOUSE});
    input.back().mi.dx = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.back().mi.dy = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.back().mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  }
  return Send(control, input);
}

void Shot(const std::string& name, bool settle) {
  static int shots = 0;
  if (arguments.empty()) return;
  if (settle) Sleep(300);
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  DWORD head = sizeof(BITMAPFILEHEADER) + sizeof info, size = (w * 3 + 3) / 4 * 4 * h;
  BITMAPFILEHEADER file{0x4D42, head + size, 0, 0, head};
  std::string bytes = std::string(reinterpret_cast<char*>(&file), sizeof file) +
                      std::string(reinterpret_cast<char*>(&info), sizeof info);
  bytes.resize(head + size);
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, h, &bytes[head], reinterpret_cast<BITMAPINFO*>(&info), 0);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  char number[8];
  std::snprintf(number, sizeof number, "-%02d-", ++shots);
  CHECK(WriteFile(arguments[0] + "\\" + scenario + number + name + ".bmp", bytes));
}

HWND GoToDestinationPage(const Program& setup) {
  Press(Child(WaitWindowWith(setup, kTitolo, "Button", "&Continua"), "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  HWND next = Child(licence, "Button", "&Continua");
  Press(Child(licence, "Button", kAccetto));
  if (!licence || !WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
  Press(next);
  return WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
}
HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds) {
  if (!destination) return nullptr;
  Press(Child(destination, "Button", "&Conferma"));
  return WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", milliseconds);
}

bool Uninstall(const std::string& folder) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi"), close = nullptr;
  Press(Child(window, "Button", "&Rimuovi"));
  Press(GetDlgItem(window ? MessageBoxOf(u, kTitoloRimozione) : nullptr, IDOK));
  if (!WaitFor([&] { return IsWindowVisible(close = Child(window, "Button", "Chiudi")); }, 30000))
    return false;
  Press(close);
  return u.Exited();
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  using namespace e2e;
  if (argc < 3 || !Scenarios().count(U(argv[1]))) {
    std::printf("usage: driver SCENARIO BUILD-FOLDER [ARGUMENT...]\n");
    for (const auto& [name, run] : Scenarios()) std::printf("  %s\n", name.c_str());
    return 2;
  }
  // The programs' windows are read in their own pixels, whatever the driver's DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  build = "Z:" + U(argv[2]);
  for (char& c : build) c = c == '/' ? '\\' : c;
  for (int i = 3; i < argc; ++i) arguments.push_back(U(argv[i]));
  Scenarios()[scenario = U(argv[1])]();
  for (HANDLE h : started)
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) TerminateProcess(h, 0);
  for (HANDLE h : started) WaitForSingleObject(h, 10000);
  std::printf("%s: %s\n", scenario.c_str(), failures ? "FAILED" : "passed");
  std::fflush(stdout);
  return failures ? 1 : 0;
}
