// The end-to-end driver runs the real programs, one scenario per run in a prefix of its own
// (wine-run.sh): driver.exe SCENARIO UNIX-BUILD-FOLDER [SCREENSHOT-FOLDER]. It presses buttons
// with posted messages (a modal dialog never blocks it), types real keystrokes, and ends every
// program a scenario started when the scenario ends, whatever a check did (Driver.cpp).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Impronta.h"
#include "platform/win32/Wide.h"

namespace e2e {

using impronta::kFileSistema;
// The texts more than one scenario looks for.
inline constexpr char kTitolo[] = "Installazione di QelPictura";
inline constexpr char kTitoloRimozione[] = "Disinstallazione di QelPictura";
inline constexpr char kAccetto[] = "Accett&o le condizioni del contratto";
inline constexpr char kClicca[] = "Clicca sul pulsante 'Conferma' per installare QelPictura";

inline int failures = 0;
inline std::string build, scenario;         // the build folder, as Windows names it
inline std::vector<std::string> arguments;  // what follows the build folder
inline std::vector<HANDLE> started;         // every process a scenario started
inline std::map<DWORD, std::string> names;  // the programs started by name, by process id
inline std::string approved;                // tests/approved, as Windows names it
inline int dpi = 96;                        // the display's, for the programs started next

inline bool Failed(bool ok, const char* file, int line, const char* text) {
  if (!ok) std::printf("%s:%d: check failed: %s\n", file, line, text), ++failures;
  return !ok;
}
#define CHECK(condition) ::e2e::Failed(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
#define REQUIRE(condition) \
  if (CHECK(condition)) return
inline std::map<std::string, std::function<void()>>& Scenarios() {
  static std::map<std::string, std::function<void()>> all;
  return all;
}
#define SCENARIO(name)                                                            \
  static void name();                                                             \
  static const bool registered_##name = (::e2e::Scenarios()[#name] = name, true); \
  static void name()
// A scenario on displays of 96, 120 and 144 DPI: NAME_96, NAME_120 and NAME_144, each with
// the approved records of its DPI, and the footprints of NAME.
#define SCENARIO_DPI(name)                                             \
  static void name();                                                  \
  static const bool registered_##name = [] {                           \
    for (int d : {96, 120, 144})                                       \
      ::e2e::Scenarios()[#name "_" + std::to_string(d)] = [d] {        \
        if (!CHECK(::e2e::ConDpi(d))) ::e2e::scenario = #name, name(); \
      };                                                               \
    return true;                                                       \
  }();                                                                 \
  static void name()

inline std::wstring W(const std::string& s) { return platform::win32::Wide(s); }
inline std::string U(const std::wstring& w) { return platform::win32::Utf8(w); }

// A window's text, asked of its program, or as the system keeps it (a pause never blocks that).
inline std::string Text(HWND h, bool ask = true) {
  std::vector<wchar_t> text(65536);
  if (!ask)
    GetWindowTextW(h, text.data(), text.size());
  else
    SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
  return U(text.data());
}
inline std::string Scritto(const std::string& text) {  // in quotes, line breaks shown
  std::string out = "\"";
  for (char c : text) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "\"";
}
// The text with every `from` in it made `to`.
inline std::string Sostituito(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
       at += to.size())
    text.replace(at, from.size(), to);
  return text;
}
inline std::string ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return U(name);
}
inline bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(20))
    if (GetTickCount() - start > milliseconds) return false;
  return true;
}

struct Program {
  PROCESS_INFORMATION info{};
  bool Exited(DWORD milliseconds = 10000) const {
    return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
  void Kill() const { TerminateProcess(info.hProcess, 0); }
};
inline Program Launch(const std::wstring& exe, std::wstring line, const std::string& folder,
                      DWORD how) {
  Program p;
  STARTUPINFOW si{sizeof si};
  if (!CreateProcessW(exe.empty() ? nullptr : exe.c_str(), line.data(), nullptr, nullptr, FALSE,
                      how, nullptr, W(folder).c_str(), &si, &p.info))
    std::printf("cannot start %s\n", U(line).c_str());
  else if (p.info.hProcess)  // Wine gives none for a Unix program
    started.push_back(p.info.hProcess);
  return p;
}
// A path or a name in the build folder, started in a folder (else the build folder).
inline Program Start(const std::string& exe, const std::string& folder = "") {
  std::wstring path = W(exe.find('\\') == std::string::npos ? build + "\\" + exe : exe);
  Program p = Launch(path, L"\"" + path + L"\"", folder.empty() ? build : folder, 0);
  names[p.info.dwProcessId] = exe.substr(exe.rfind('\\') + 1);
  return p;
}
inline int Run(const std::string& commandLine, DWORD milliseconds = 30000) {  // or -1
  Program p = Launch(L"", W(commandLine), build, CREATE_NO_WINDOW);
  return p.info.hProcess && p.Exited(milliseconds) ? static_cast<int>(p.ExitCode()) : -1;
}
inline std::string Fixture(const std::string& name) { return build + "\\fixtures\\" + name; }

// 0 for a file, FILE_ATTRIBUTE_DIRECTORY for a folder, else nothing there.
inline DWORD Kind(const std::string& path) {
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a == INVALID_FILE_ATTRIBUTES ? 1 : a & FILE_ATTRIBUTE_DIRECTORY;
}
inline bool IsFile(const std::string& path) { return Kind(path) == 0; }
inline bool IsFolder(const std::string& path) { return Kind(path) == FILE_ATTRIBUTE_DIRECTORY; }
inline std::string ReadFile(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  char buffer[65536];
  for (DWORD n = 0; ::ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0;)
    bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}
inline bool WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  bool ok = ::WriteFile(file, bytes.data(), bytes.size(), &n, nullptr) && n == bytes.size();
  return CloseHandle(file) && ok;
}

// A shell command on the Unix side, {}s standing for the Unix names of the prefix's `paths`.
// Wine does not wait for such a program: its success leaves a file behind.
inline bool Unix(std::string command, const std::vector<std::string>& paths = {}) {
  auto unix = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  for (const std::string& path : paths)
    command.replace(command.find("{}"), 2, "'" + std::string(unix(W(path).c_str())) + "'");
  Run("Z:/bin/sh -c \"" + command + " && : > '" + unix(L"C:\\fatto") + "'\"");
  return WaitFor([] { return IsFile("C:\\fatto"); }) && DeleteFileW(L"C:\\fatto");
}

// The lines of the stand-ins' record (QEL_RECORD, set by wine-run.sh), sorted.
inline std::vector<std::string> Record() {
  std::vector<std::string> lines;
  std::string all = ReadFile("C:\\record.txt");
  for (std::size_t a = 0, b; (b = all.find("\r\n", a)) != std::string::npos; a = b + 2)
    lines.push_back(all.substr(a, b - a));
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Where Setup puts its shortcuts: the all-users folders when they exist, else the user's.
inline std::string Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? U(path) : "";
}
inline std::string Shared(int common, int user) {
  return IsFolder(Special(common)) ? Special(common) : Special(user);
}
inline std::string Desktop() { return Shared(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP); }
inline std::string Programs() { return Shared(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS); }
inline std::string Menu() { return Programs() + "\\QelPictura"; }
inline std::string SystemFolder() { return Special(CSIDL_SYSTEM); }
// Where Setup proposes to install: Program Files as a 32-bit program sees it.
inline std::string Destinazione() { return Special(CSIDL_PROGRAM_FILES) + "\\QelPictura"; }

inline std::string package = "C:\\pacchetto";
// The sample package, in a folder of its own, with the system's own type library (the
// stand-in's, registered, would hide the desktop shell's objects from other processes); the
// recording registration program in the system folder.
inline std::string LayOutPackage() {
  CreateDirectoryW(W(package).c_str(), nullptr);
  Unix("cp {}/* {}", {build + "\\pacchetto", package});
  CopyFileW(W(SystemFolder() + "\\stdole2.tlb").c_str(), W(package + "\\stdole2.tlb").c_str(),
            FALSE);
  CopyFileW(W(Fixture("regsvr32.exe")).c_str(), W(SystemFolder() + "\\regsvr32.exe").c_str(),
            FALSE);
  return package;
}

// The places of this prefix as a text names them, for installation folder D: <A> is the
// programs folder of the start menu.
inline std::vector<std::pair<std::string, std::string>> Luoghi(const std::string& D) {
  return {{"<D>", D},       {"<M>", Menu()},      {"<K>", Desktop()}, {"<S>", SystemFolder()},
          {"<P>", package}, {"<F>", Fixture("")}, {"<A>", Programs()}};
}
// A file as a user tells it: a shortcut by its target, window and description; a file by its
// content: the package's of that name, a short text, or another.
inline std::string Contenuto(const std::string& path) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  PIDLIST_ABSOLUTE where = nullptr;
  wchar_t target[MAX_PATH] = L"", about[MAX_PATH] = L"";
  int show = -1;
  if (SUCCEEDED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
      SUCCEEDED(file->Load(W(path).c_str(), STGM_READ)) && SUCCEEDED(link->GetIDList(&where)) &&
      SHGetPathFromIDListW(where, target))
    link->GetDescription(about, MAX_PATH), link->GetShowCmd(&show);
  CoTaskMemFree(where);
  for (IUnknown* used : {static_cast<IUnknown*>(file), static_cast<IUnknown*>(link)})
    if (used) used->Release();
  const std::string bytes = ReadFile(path);
  if (show >= 0)
    return "a shortcut to " + U(target) + ", window " + std::to_string(show) + ", " +
           Scritto(U(about));
  if (bytes == ReadFile(package + path.substr(path.rfind('\\')))) return "the package's";
  return bytes.size() < 40 ? Scritto(bytes) : "another";
}
// Each file and folder under `path`, a line each.
inline void Elenca(const std::string& path, std::vector<std::string>& out) {
  WIN32_FIND_DATAW f;
  HANDLE all = FindFirstFileW(W(path + "\\*").c_str(), &f);
  for (BOOL more = all != INVALID_HANDLE_VALUE; more; more = FindNextFileW(all, &f)) {
    const std::string name = U(f.cFileName), full = path + "\\" + name;
    if (name == "." || name == "..") continue;
    if (f.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
      out.push_back(full + ": a link");
    else if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      out.push_back(full + "\\"), Elenca(full, out);
    else
      out.push_back(full + ": " + Contenuto(full));
  }
  FindClose(all);
}
// What an installation into D has left where a user and the system look, as text: the folders
// D, the menu folder, the desktop and `more` places, with what they hold; the runtime files and
// any temporary ones in the system folder; the product's keys; what the stand-ins recorded.
inline std::string Impronta(const std::string& D, std::vector<std::string> more = {}) {
  std::vector<std::string> lines;
  more.insert(more.begin(), {D, Menu(), Desktop()});
  for (std::string name : kFileSistema) more.push_back(SystemFolder() + "\\" + name);
  for (const std::string& place : more)
    if (IsFile(place))
      lines.push_back(place + ": " + Contenuto(place));
    else if (IsFolder(place))
      lines.push_back(place + "\\"), Elenca(place, lines);
  WIN32_FIND_DATAW f;  // a temporary copy left in the system folder
  if (HANDLE t = FindFirstFileW(W(SystemFolder() + "\\qel*.tmp").c_str(), &f);
      t != INVALID_HANDLE_VALUE)
    lines.push_back(SystemFolder() + "\\" + U(f.cFileName) + ": left behind"), FindClose(t);
  // The product's keys and values as the system's registry editor writes them (in UTF-16).
  if (const std::string bytes = Run("reg export HKLM\\SOFTWARE\\Qel C:\\chiavi.reg /y") == 0
                                    ? ReadFile("C:\\chiavi.reg")
                                    : "";
      bytes.size() > 2) {
    std::string keys =
        U({reinterpret_cast<const wchar_t*>(bytes.data()) + 1, bytes.size() / 2 - 1});
    for (std::size_t a = keys.find("\r\n\r\n"), b;
         (b = keys.find("\r\n", a + 2)) != std::string::npos; a = b)
      if (b > a + 2) lines.push_back(keys.substr(a + 2, b - a - 2));
  }
  DWORD shell = 0;  // a program started says who started it by its process id
  GetWindowThreadProcessId(GetDesktopWindow(), &shell);
  names[shell] = "the desktop's shell";
  for (std::string line : Record()) {
    if (line.starts_with("cartella|")) {
      const std::size_t by = line.rfind('|') + 1;
      const auto who = names.find(std::stoul(line.substr(by)));
      line.replace(by, std::string::npos, who != names.end() ? who->second : "another program");
    }
    lines.push_back("recorded: " + line);
  }
  std::string out;
  const auto places = Luoghi(D);
  for (std::string line : lines) {
    for (const auto& [name, place] : places) line = Sostituito(line, place, name);
    out += line + "\n";
  }
  return out;
}
// The footprint against tests/approved/esiti/<name>.txt, waited for a while (the stand-ins
// record as they run); a difference writes <name>.new.txt beside it, names it and fails.
inline bool Lasciato(const std::string& name, const std::string& D,
                     const std::vector<std::string>& more = {}) {
  const std::string base = approved + "\\esiti\\" + name, want = ReadFile(base + ".txt");
  std::string seen;
  if (WaitFor([&] { return (seen = Impronta(D, more)) == want; }, 5000)) return true;
  CreateDirectoryW(W(approved + "\\esiti").c_str(), nullptr);
  WriteFile(base + ".new.txt", seen);
  std::printf("  %s: what the run left differs: %s.new.txt\n", name.c_str(), base.c_str());
  return false;
}

inline std::vector<HWND> Children(HWND parent, const std::string& cls) {
  std::vector<HWND> found;
  for (HWND h = parent ? GetWindow(parent, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (lstrcmpiW(W(ClassOf(h)).c_str(), W(cls).c_str()) == 0) found.push_back(h);
  return found;
}
inline HWND Child(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND h : Children(parent, cls))
    if (Text(h) == text) return h;
  return nullptr;
}
// The visible top-level windows that pass, the frontmost first, `most` at the most.
inline std::vector<HWND> Visible(const std::function<bool(HWND)>& passes,
                                 std::size_t most = SIZE_MAX) {
  std::vector<HWND> found;
  for (HWND h = GetTopWindow(nullptr); h && found.size() < most; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindowVisible(h) && passes(h)) found.push_back(h);
  return found;
}
// The frontmost that passes, waited for (nullptr if none came).
inline HWND Top(const std::function<bool(HWND)>& passes, DWORD milliseconds = 10000) {
  std::vector<HWND> found;
  WaitFor([&] { return !(found = Visible(passes, 1)).empty(); }, milliseconds);
  return found.empty() ? nullptr : found[0];
}
inline bool Of(const Program& p, HWND h, const std::string& caption) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid == p.info.dwProcessId && Text(h, false) == caption;
}
inline std::vector<HWND> Windows(const Program& p, const std::string& caption) {
  return Visible([&](HWND h) { return Of(p, h, caption); });
}
inline HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                           const std::string& text, DWORD milliseconds = 10000) {
  return Top([&](HWND h) { return Of(p, h, caption) && Child(h, cls, text); }, milliseconds);
}
inline HWND MessageBoxOf(const Program& p, const std::string& caption) {
  return Top([&](HWND h) { return Of(p, h, caption) && ClassOf(h) == "#32770"; });
}

inline void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
inline HWND Focus(HWND window) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}
// Real input through the system's queue to the window brought to the front; then waits until
// its program has taken it (or ended: the program is known before the input goes).
inline bool Send(HWND window, std::vector<INPUT> input) {
  HWND root = GetAncestor(window, GA_ROOT);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  SetForegroundWindow(root);
  const bool front = process && WaitFor([&] { return GetForegroundWindow() == root; });
  if (front) SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
  if (front) WaitForInputIdle(process, 3000);
  return process && CloseHandle(process) && front;
}
// Keys, each word a chord ("alt+c Tab").
inline bool Keys(HWND window, const std::string& keys) {
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
inline bool Click(HWND control) {
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

// The styles a user tells apart: a window's frame and title-bar boxes; a control's own
// visibility, state and tab stop; a label's alignment, wrapping, picture and "&"s taken as
// written; a text box's lines, scroll bars, read-only state and sunken edge; a check box.
inline std::string Stili(HWND h) {
  const DWORD s = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE),
              label = s & SS_TYPEMASK;
  const std::string c = ClassOf(h);
  const bool top = (s & WS_CHILD) == 0;
  const std::pair<bool, const char*> words[] = {
      {top && (s & WS_THICKFRAME), "resizable"},
      {top && (s & WS_MINIMIZEBOX), "minimise"},
      {top && (s & WS_MAXIMIZEBOX), "maximise"},
      {top && (s & WS_SYSMENU), "close-box"},
      {ex & WS_EX_DLGMODALFRAME, "dialog-frame"},
      {(s & WS_VISIBLE) == 0, "hidden"},
      {s & WS_DISABLED, "disabled"},
      {s & WS_TABSTOP, "tab-stop"},
      {c == "Static" && label == SS_CENTER, "centred"},
      {c == "Static" && label == SS_LEFTNOWORDWRAP, "one-line"},
      {c == "Static" && label == SS_ICON, "picture"},
      {c == "Static" && (s & SS_NOPREFIX), "no-prefix"},
      {c == "Edit" && (s & ES_MULTILINE), "multi-line"},
      {c == "Edit" && (s & ES_READONLY), "read-only"},
      {c == "Edit" && (s & WS_HSCROLL), "h-scroll"},
      {c == "Edit" && (s & WS_VSCROLL), "v-scroll"},
      {c == "Edit" && (ex & WS_EX_CLIENTEDGE), "sunken"},
      {c == "Button" && (s & BS_TYPEMASK) == BS_AUTOCHECKBOX, "check-box"}};
  std::string out;
  for (auto [on, word] : words)
    if (on) out += std::string(" ") + word;
  return out;
}

// What a window shows as text: its caption, client size, place on the screen and frame; each
// control in the order the window holds them, with its class, text (a list's lines), rectangle
// in the client area and styles; and the controls that Tab visits from the focus (each by its
// first line), until it comes back or goes no further, with Esc and Shift+Tab tried at each.
inline std::string Descrizione(HWND window, bool quiet = true) {
  RECT r{}, w{};
  GetClientRect(window, &r);
  GetWindowRect(window, &w);
  std::string out = Scritto(Text(window, quiet)) + " " + std::to_string(r.right) + "x" +
                    std::to_string(r.bottom) + " at " + std::to_string(w.left) + "," +
                    std::to_string(w.top) + Stili(window) + "\n";
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    char place[64];
    std::snprintf(place, sizeof place, " %ld,%ld %ldx%ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    std::string text = Text(h, quiet);
    for (LRESULT i = 0,
                 n = quiet && ClassOf(h) == "ListBox" ? SendMessageW(h, LB_GETCOUNT, 0, 0) : 0;
         i < n; ++i) {
      wchar_t line[256] = {};
      SendMessageW(h, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      text += (i ? "\n" : "") + U(line);
    }
    out += ClassOf(h) + " " + Scritto(text) + place + Stili(h) + "\n";
  }
  if (!quiet) return out;
  // Esc changes nothing in the programs' own windows (the system's dialogs take it for Cancel),
  // and Shift+Tab goes back the way Tab came.
  out += "Tab:";
  const bool own = ClassOf(window) != "#32770";
  HWND first = Focus(window), h = first;
  for (int i = 0; i < 16 && h && (i == 0 || h != first); ++i, h = Focus(window)) {
    const std::string text = Text(h);
    out += " " + Scritto(text.substr(0, text.find('\r')));
    if (own && (!Keys(window, "Escape") || (Sleep(100), Focus(window) != h)))
      out += " (Esc moved the focus)";
    if (!Keys(window, "Tab") || !WaitFor([&] { return Focus(window) != h; }, 1000)) break;
    HWND next = Focus(window);
    if (!Keys(window, "shift+Tab") || !WaitFor([&] { return Focus(window) == h; }, 1000) ||
        !Keys(window, "Tab") || !WaitFor([&] { return Focus(window) == next; }, 1000))
      out += " (Shift+Tab went elsewhere)";
  }
  return out + (h == first ? ", back to the first\n" : ", and no further\n");
}

// The window's pixels on the screen as a BMP file, once two takes a tenth of a second apart
// agree (its painting done), taken in this process (nothing else is started meanwhile).
inline bool Picture(HWND window, const std::string& path) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const DWORD size = ((w * 3 + 3) & ~3) * h;
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB};
  BITMAPFILEHEADER file{0x4D42, sizeof file + sizeof info + size, 0, 0, sizeof file + sizeof info};
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::string pixels, before;
  bool ok = false;
  for (int i = 0; i < 30 && !ok; ++i) {
    if (i) Sleep(100);
    before.swap(pixels);
    ok = BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) && GdiFlush();
    pixels.assign(static_cast<char*>(bits), size);
    ok = ok && pixels == before;
  }
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  std::string bytes(reinterpret_cast<char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<char*>(&info), sizeof info).append(pixels);
  return ok && WriteFile(path, bytes);
}

// A window as the user sees it, taken as approved records are: tests/approved/<dpi>/<name>.txt,
// its description, and <name>.png, its picture (taken under a name of the scenario's own: others
// running beside it may take the same window). A window in a run is described as the system
// keeps its texts, without walking its focus.
struct Scatto {
  std::string base, seen;
  bool ok;
};
inline Scatto Scatta(HWND window, const std::string& name, bool quiet = true) {
  CreateDirectoryW(W(approved + "\\" + std::to_string(dpi)).c_str(), nullptr);
  Scatto s{approved + "\\" + std::to_string(dpi) + "\\" + name};
  s.ok = Picture(window, s.base + "." + scenario + ".bmp");
  s.seen = Descrizione(window, quiet);
  return s;
}
// Compared with the approved ones: a difference writes <name>.new.txt or <name>.new.png with
// <name>.diff.png beside them, names them and fails; tools/approve.sh takes the new ones.
// Given a screenshot folder, the picture goes there too, numbered: the demo.
inline bool Confronta(const Scatto& s) {
  static int shots = 0;
  const std::string name = s.base.substr(s.base.rfind('\\') + 1), taken = s.base + "." + scenario;
  bool ok = s.ok &&
            Unix("convert {} -strip {} && rm {}", {taken + ".bmp", taken + ".png", taken + ".bmp"});
  if (ok && !arguments.empty()) {
    char number[8];
    std::snprintf(number, sizeof number, "-%02d-", ++shots);
    CopyFileW(W(taken + ".png").c_str(),
              W(arguments[0] + "\\" + scenario + number + name + ".png").c_str(), FALSE);
  }
  if (!ok ||
      !Unix("compare -metric AE {} {} {} 2>/dev/null && rm {} {} || { mv {} {}; mv {} {}; false; }",
            {s.base + ".png", taken + ".png", taken + ".diff.png", taken + ".png",
             taken + ".diff.png", taken + ".png", s.base + ".new.png", taken + ".diff.png",
             s.base + ".diff.png"})) {
    std::printf("  %s: the picture differs: %s.new.png, .diff.png\n", name.c_str(), s.base.c_str());
    ok = false;
  }
  if (ReadFile(s.base + ".txt") != s.seen) {
    WriteFile(s.base + ".new.txt", s.seen);
    std::printf("  %s: the description differs: %s.new.txt\n", name.c_str(), s.base.c_str());
    ok = false;
  }
  return ok;
}
inline bool Approvato(HWND window, const std::string& name) {
  return Confronta(Scatta(window, name));
}

// Welcome page, licence ticked: the destination page.
inline HWND GoToDestinationPage(const Program& setup) {
  Press(Child(WaitWindowWith(setup, kTitolo, "Button", "&Continua"), "Button", "&Continua"));
  HWND licence = WaitWindowWith(setup, kTitolo, "Button", kAccetto);
  HWND next = Child(licence, "Button", "&Continua");
  Press(Child(licence, "Button", kAccetto));
  if (!licence || !WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
  Press(next);
  return WaitWindowWith(setup, kTitolo, "Button", "&Conferma");
}
// "Conferma" on the destination page: the result page (nullptr if it never came).
inline HWND ConfirmAndWaitForResult(const Program& setup, HWND destination,
                                    DWORD milliseconds = 60000) {
  if (!destination) return nullptr;
  Press(Child(destination, "Button", "&Conferma"));
  return WaitWindowWith(setup, kTitolo, "Button", "&Chiudi", milliseconds);
}
// The whole removal, closed and ended.
inline bool Uninstall(const std::string& folder) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(u, kTitoloRimozione, "Button", "&Rimuovi"), close = nullptr;
  Press(Child(window, "Button", "&Rimuovi"));
  Press(GetDlgItem(window ? MessageBoxOf(u, kTitoloRimozione) : nullptr, IDOK));
  if (!WaitFor([&] { return IsWindowVisible(close = Child(window, "Button", "Chiudi")); }, 30000))
    return false;
  Press(close);
  return u.Exited();
}
// Started in a folder without the product, the uninstaller shows its window behind a note
// naming the folder left to remove, as approved in `record`, and ends once it is read.
inline bool Told(const std::string& folder, const std::string& record) {
  Program u = Start(folder + "\\Uninstall.exe", folder);
  HWND box = MessageBoxOf(u, "QelSoftware");
  bool ok = box && Approvato(box, record) && Windows(u, kTitoloRimozione).size() == 1;
  Press(GetDlgItem(box, IDOK));
  return ok && u.Exited();
}

// Setup starts the installed program through the desktop's shell once that has made its
// windows known, the desktop's among them: waited for. Wine's desktop, started with the driver,
// now and then never does: Wine's failure, not the scenario's. No verdict, then: wine-run.sh
// tries once more in a new prefix.
inline bool FinestreDellaShell() {
  IShellWindows* windows = nullptr;
  IDispatch* found = nullptr;
  VARIANT desktop{}, none{};
  desktop.vt = VT_I4;  // CSIDL_DESKTOP
  long window = 0;
  bool known = SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                          IID_PPV_ARGS(&windows))) &&
               windows->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                     &found) == S_OK &&
               found;
  if (found) found->Release();
  if (windows) windows->Release();
  return known;
}
inline void ShellPronta() {
  if (!WaitFor(FinestreDellaShell))
    std::printf("the desktop's shell has no windows\n"), std::exit(125);
}

// Setup's run to its result page, as approved in `record`; "Chiudi" ends Setup, and what it
// starts has had its time.
inline bool Installed(const std::string& record) {
  ShellPronta();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND result = ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
  const bool right = result && Approvato(result, record);
  Press(Child(result, "Button", "&Chiudi"));
  const bool ended = setup.Exited();
  Sleep(1500);  // what Setup starts has had its time
  return ended && right;
}

// The display's DPI for the programs started from now on, set where Wine reads it.
inline bool ConDpi(int valore) {
  DWORD v = dpi = valore;
  return !RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &v,
                          sizeof v) &&
         !RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                          L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                          L"LogPixels", REG_DWORD, &v, sizeof v);
}

}  // namespace e2e
