#include "Driver.h"

#include <shlobj.h>

#include <map>

namespace e2e {
namespace {

int failures = 0;
std::string buildFolder;
std::vector<std::string> arguments;
std::vector<HANDLE> started;  // every program a scenario started, ended at its end

std::map<std::string, void (*)()>& scenarios() {
  static std::map<std::string, void (*)()> all;
  return all;
}

std::string Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? U(path) : "";
}

std::string Shared(int common, int user) {
  std::string c = Special(common);
  return !c.empty() && IsFolder(c) ? c : Special(user);
}

void Send(INPUT input) { SendInput(1, &input, sizeof input); }

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

bool Failed(bool ok, const char* file, int line, const char* text) {
  if (!ok) std::printf("%s:%d: check failed: %s\n", file, line, text), ++failures;
  return !ok;
}

void Register(const char* name, void (*run)()) { scenarios()[name] = run; }

std::wstring W(const std::string& s) {
  std::wstring out(s.size(), L'\0');
  out.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), static_cast<int>(s.size()))));
  return out;
}

std::string U(const std::wstring& s) {
  std::string out(s.size() * 3, '\0');
  out.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

std::string Text(HWND h) {
  std::vector<wchar_t> buffer(65536);
  SendMessageTimeoutW(h, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return U(buffer.data());
}

std::string Shown(HWND h) {
  wchar_t text[1024] = {};
  GetWindowTextW(h, text, 1024);
  return U(text);
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

bool Program::Exited(DWORD milliseconds) const {
  return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}

void Program::Kill() const { TerminateProcess(info.hProcess, 0); }

const std::vector<std::string>& Arguments() { return arguments; }
const std::string& BuildFolder() { return buildFolder; }
std::string Fixture(const std::string& name) { return buildFolder + "\\fixtures\\" + name; }

Program Start(const std::string& exe, const std::string& folder,
              const std::vector<std::string>& environment) {
  Program p;
  std::wstring path = W(exe.find('\\') == std::string::npos ? buildFolder + "\\" + exe : exe);
  std::wstring line = L"\"" + path + L"\"", block;
  // The inherited entries, then the given ones, each name once: the first of two would win.
  for (const wchar_t* e = environment.empty() ? L"" : GetEnvironmentStringsW(); *e;
       e += wcslen(e) + 1) {
    bool given = false;
    for (const auto& entry : environment)
      given |= _wcsnicmp(e, W(entry).c_str(), entry.find('=') + 1) == 0;
    if (!given) block += e, block += L'\0';
  }
  for (const auto& entry : environment) block += W(entry) + L'\0';
  block += L'\0';
  STARTUPINFOW si{sizeof si};
  if (CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                     environment.empty() ? nullptr : block.data(),
                     W(folder.empty() ? buildFolder : folder).c_str(), &si, &p.info))
    started.push_back(p.info.hProcess);
  else
    std::printf("cannot start %s\n", U(path).c_str());
  return p;
}

int Run(const std::string& commandLine, DWORD milliseconds) {
  std::wstring line = W(commandLine);
  STARTUPINFOW si{sizeof si};
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
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileW(W(source + U(found.cFileName)).c_str(),
                W(folder + "\\" + U(found.cFileName)).c_str(), FALSE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
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
  std::string bytes;
  char buffer[65536];
  DWORD count = 0;
  while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &count, nullptr) &&
         count > 0)
    bytes.append(buffer, count);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD count = 0;
  bool ok = file != INVALID_HANDLE_VALUE &&
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
            count == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok;
}

std::vector<std::string> RecordLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string all = ReadFile(path);
  for (std::size_t a = 0, b; (b = all.find("\r\n", a)) != std::string::npos; a = b + 2)
    lines.push_back(all.substr(a, b - a));
  return lines;
}

std::string SystemFolder() { return Special(CSIDL_SYSTEM); }
std::string Desktop() { return Shared(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP); }
std::string Menu() { return Shared(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS) + "\\QelPictura"; }

Link ReadLink(const std::string& path) {
  Link link;
  CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {}, description[MAX_PATH] = {};
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell))) &&
      SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(W(path).c_str(), STGM_READ)) &&
      SUCCEEDED(shell->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
      SUCCEEDED(shell->GetDescription(description, MAX_PATH)))
    link = {U(target), U(description)};
  if (file) file->Release();
  if (shell) shell->Release();
  CoUninitialize();
  return link;
}

std::vector<HWND> Windows(const Program& p, const std::string& caption) {
  std::vector<HWND> found;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == p.info.dwProcessId && IsWindowVisible(h) && Shown(h) == caption) found.push_back(h);
  }
  return found;
}

HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text, DWORD milliseconds) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Windows(p, caption))
          if (!found && Child(h, cls, text)) found = h;
        return found != nullptr;
      },
      milliseconds);
  return found;
}

std::vector<HWND> Children(HWND parent, const std::string& cls) {
  std::vector<HWND> found;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (lstrcmpiW(W(ClassOf(h)).c_str(), W(cls).c_str()) == 0) found.push_back(h);
  return found;
}

HWND Child(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND h : Children(parent, cls))
    if (Text(h) == text) return h;
  return nullptr;
}

HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Windows(p, caption))
          if (!found && ClassOf(h) == "#32770") found = h;
        return found != nullptr;
      },
      milliseconds);
  return found;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

HWND Focus(HWND window) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

bool Keys(HWND window, const std::string& keys) {
  static const std::map<std::string, WORD> named = {
      {"alt", VK_MENU},    {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},
      {"Tab", VK_TAB},     {"Return", VK_RETURN}, {"Escape", VK_ESCAPE},
      {"space", VK_SPACE}, {"Delete", VK_DELETE}, {"BackSpace", VK_BACK}};
  if (!ToFront(window)) return false;
  for (std::size_t a = 0, b; a < keys.size(); a = b + 1) {
    b = std::min(keys.find(' ', a), keys.size());
    std::vector<WORD> chord;
    for (std::size_t c = a, d; c < b; c = d + 1) {
      d = std::min(keys.find('+', c), b);
      std::string name = keys.substr(c, d - c);
      auto it = named.find(name);
      chord.push_back(it != named.end() ? it->second : LOBYTE(VkKeyScanW(W(name)[0])));
    }
    for (std::size_t i = 0; i < 2 * chord.size(); ++i) {  // down in order, up in reverse
      WORD key = chord[i < chord.size() ? i : 2 * chord.size() - 1 - i];
      INPUT input{INPUT_KEYBOARD};
      input.ki = {key, static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
                  i < chord.size() ? 0u : KEYEVENTF_KEYUP, 0, 0};
      Send(input);
    }
    Settle(window);
  }
  return true;
}

bool Click(HWND control) {
  RECT r{};
  if (!control || !ToFront(control) || !GetWindowRect(control, &r)) return false;
  for (DWORD flags : {0ul, 0ul + MOUSEEVENTF_LEFTDOWN, 0ul + MOUSEEVENTF_LEFTUP}) {
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1),
                0,
                MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags,
                0,
                0};
    Send(input);
  }
  Settle(control);
  return true;
}

void Shot(const std::string& name, bool settle) {
  static int shots = 0;
  if (arguments.empty()) return;
  if (settle) Sleep(300);  // the last paint reaches the screen
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h), head = sizeof(BITMAPFILEHEADER) + 40;
  BITMAPFILEHEADER file{0x4D42, head + size, 0, 0, head};
  std::string bytes = std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                      std::string(reinterpret_cast<const char*>(&info.bmiHeader), 40) +
                      std::string(static_cast<const char*>(bits), size);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  // Numbered after the pictures already there, so that journeys run one after another
  // into one folder make one sequence.
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(W(arguments[0] + "\\*.bmp").c_str(), &found);
  for (BOOL more = shots == 0 && search != INVALID_HANDLE_VALUE; more;
       more = FindNextFileW(search, &found))
    ++shots;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  char number[8];
  std::snprintf(number, sizeof number, "%02d-", ++shots);
  CHECK(WriteFile(arguments[0] + "\\" + number + name + ".bmp", bytes));
}

HWND GoToDestinationPage(const Program& setup) {
  HWND welcome = WaitWindowWith(setup, kTitolo, "Button", "&Continua");
  Press(Child(welcome, "Button", "&Continua"));
  HWND licence = welcome ? WaitWindowWith(setup, kTitolo, "Button", kAccetto) : nullptr;
  HWND next = Child(licence, "Button", "&Continua");
  Press(Child(licence, "Button", kAccetto));
  if (!licence || !WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
  Press(next);
  return WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
}

HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds) {
  Press(Child(destination, "Button", "&Conferma"));
  return WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", milliseconds);
}

#ifndef E2E_OWN_JOURNEY_HELPERS
HWND Install(const Program& setup) {
  HWND destination = GoToDestinationPage(setup);
  return destination ? ConfirmAndWaitForResult(setup, destination) : nullptr;
}

bool Uninstall(const std::string& folder) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi");
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = window ? MessageBoxOf(u, kTitoloRimozione) : nullptr;
  Press(GetDlgItem(box, IDOK));
  HWND close = nullptr;
  if (!box ||
      !WaitFor([&] { return IsWindowVisible(close = Child(window, "Button", "Chiudi")); }, 30000))
    return false;
  Press(close);
  return u.Exited();
}
#endif

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  using namespace e2e;
  if (argc < 3 || !scenarios().count(U(argv[1]))) {
    std::printf("usage: driver SCENARIO BUILD-FOLDER [ARGUMENT...]\n");
    for (const auto& [name, run] : scenarios()) std::printf("  %s\n", name.c_str());
    return 2;
  }
  // The programs' windows are read in their own pixels, whatever the driver's DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  buildFolder = U(argv[2]);
  for (char& c : buildFolder) c = c == '/' ? '\\' : c;
  if (buildFolder.size() < 2 || buildFolder[1] != ':') buildFolder = "Z:" + buildFolder;
  for (int i = 3; i < argc; ++i) arguments.push_back(U(argv[i]));
  scenarios()[U(argv[1])]();
  int leftOver = 0;
  for (HANDLE h : started)
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) TerminateProcess(h, 0), ++leftOver;
  for (HANDLE h : started) WaitForSingleObject(h, 10000);
  if (leftOver) std::printf("%d program(s) still running at the end were ended\n", leftOver);
  std::printf("%s: %s\n", U(argv[1]).c_str(), failures ? "FAILED" : "passed");
  std::fflush(stdout);
  return failures ? 1 : 0;
}
