// The end-to-end driver: starts the real Setup.exe, finds its windows by caption and its
// controls by class and text, presses buttons with posted messages (so a modal dialog
// never blocks the driver), and checks what the user would see. One scenario per run:
//   driver.exe SCENARIO UNIX-PATH-OF-THE-BUILD-FOLDER
#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

int failures = 0;

// Counts and reports a failed check; true when it failed.
bool Failed(bool ok, const char* file, int line, const char* text) {
  if (!ok) {
    std::printf("%s:%d: check failed: %s\n", file, line, text);
    ++failures;
  }
  return !ok;
}

#define CHECK(condition) Failed(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
// A check the rest of the scenario cannot go on without.
#define REQUIRE(condition) \
  if (CHECK(condition)) return

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
  wchar_t buffer[4096] = {};
  SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return U(buffer);
}

std::string ClassOf(HWND h) {
  wchar_t buffer[64] = {};
  GetClassNameW(h, buffer, 64);
  return U(buffer);
}

// Polls for a condition until the deadline; never a fixed sleep.
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
  return true;
}

struct Program {
  PROCESS_INFORMATION info{};
  bool Exited(DWORD milliseconds = 10000) {
    return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
};

std::string buildFolder;  // Windows path of the build folder

Program Start(const std::string& exe) {
  Program p;
  std::wstring path = W(buildFolder + "\\" + exe);
  std::wstring line = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      W(buildFolder).c_str(), &si, &p.info))
    std::printf("cannot start %s\n", exe.c_str());
  return p;
}

// The visible top-level windows of the program with that caption, newest first.
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

// The page (464 x 342) or the message dialog (421 x 151) with that caption.
HWND WaitWindow(const Program& p, const std::string& caption, int clientWidth) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(p, caption))
      if (ClientSize(h).cx == clientWidth) found = h;
    return found != nullptr;
  });
  return found;
}

HWND Child(HWND parent, const std::string& cls, const std::string& text) {
  struct Search {
    std::string cls, text;
    HWND found;
  } s{cls, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        if (lstrcmpiW(W(ClassOf(h)).c_str(), W(s->cls).c_str()) == 0 && Text(h) == s->text) {
          s->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// A child's rectangle in its parent's client area, in twips at 15 twips a pixel.
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

HWND Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

constexpr char kTitolo[] = "Installazione di QelPictura";
constexpr int kPagina = 464, kDialogo = 421;

// ---------------------------------------------------------------- scenarios

std::map<std::string, std::function<void()>>& scenarios() {
  static std::map<std::string, std::function<void()>> all;
  return all;
}

struct Register {
  Register(const char* name, std::function<void()> run) { scenarios()[name] = std::move(run); }
};

#define SCENARIO(name)                         \
  void name();                                 \
  const Register register_##name(#name, name); \
  void name()

SCENARIO(welcome_page_layout) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  CHECK(ClientSize(page).cy == 342);
  HWND continua = Child(page, "Button", "&Continua");
  CHECK(continua && Is(Twips(continua), 5475, 4665, 1215, 390));
  HWND aiuto = Child(page, "Button", "&?");
  CHECK(aiuto && Is(Twips(aiuto), 225, 4665, 1215, 390));
  HWND annulla = Child(page, "Button", "&Annulla");
  CHECK(annulla && Is(Twips(annulla), 4050, 4665, 1215, 390));
  HWND testo = Child(page, "Static",
                     "QelPictura cattura le immagini dallo schermo\r\n\r\n"
                     "Potrai effettuare 'screen shot' con estrema facilità");
  CHECK(testo && Is(Twips(testo), 375, 1650, 5850, 945));
  HWND titolo = Child(page, "Static", "QelSoftware - Installazione di QelPictura");
  CHECK(titolo && Twips(titolo).left == 375 && Twips(titolo).top == 225);
  CHECK(Child(page, "Static",
              "Questa procedura ti permette di installare QelPictura nel tuo sistema") != nullptr);
  CHECK(Child(page, "Static", "Clicca sul pulsante 'Continua' per procedere con l'installazione"));
  CHECK(WaitFor([&] { return Focus(page) == continua; }, 3000));
  RECT screen{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  GetWindowRect(page, &frame);
  CHECK(std::abs((frame.left + frame.right) - (screen.left + screen.right)) <= 1);
  TerminateProcess(setup.info.hProcess, 0);
}

SCENARIO(cancel_no_keeps_the_page_yes_ends_setup) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  Press(Child(page, "Button", "&Annulla"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static", "\r\n\r\nSi desidera annullare l'installazione di QelPictura?"));
  CHECK(!IsWindowEnabled(page));
  HWND no = Child(dialog, "Button", "&No");
  CHECK(no && IsWindowVisible(no));
  CHECK(!IsWindowVisible(Child(dialog, "Button", "&OK")));
  Press(no);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && IsWindowEnabled(page));

  Press(Child(page, "Button", "&Annulla"));
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
}

SCENARIO(close_box_asks_the_same_question) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the dialog's close box: "No"
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page));
  PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
  dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  Press(Child(dialog, "Button", "&Si"));
  CHECK(setup.Exited());
}

SCENARIO(help_shows_its_text_with_one_ok) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  Press(Child(page, "Button", "&?"));
  HWND dialog = WaitWindow(setup, kTitolo, kDialogo);
  REQUIRE(dialog != nullptr);
  CHECK(Child(dialog, "Static",
              "Premendo il pulsante 'Continua', verrà visualizzata un'ulteriore schermata nella "
              "quale è richiesta l'accettazione del contratto di licenza che verrà "
              "visualizzato\r\n\r\nSe invece vuoi annullare l'installazione, clicca sul pulsante "
              "'Annulla' e clicca su 'Si' al successivo messaggio."));
  HWND ok = Child(dialog, "Button", "&OK");
  CHECK(ok && IsWindowVisible(ok) && Is(Twips(ok), 2565, 1800, 1215, 390));
  CHECK(!IsWindowVisible(Child(dialog, "Button", "&Si")));
  CHECK(WaitFor([&] { return Focus(dialog) == ok; }, 3000));
  Press(ok);
  CHECK(WaitFor([&] { return !IsWindow(dialog); }));
  CHECK(IsWindow(page) && IsWindowEnabled(page));
  TerminateProcess(setup.info.hProcess, 0);
}

SCENARIO(continue_opens_the_licence_where_the_welcome_page_was) {
  Program setup = Start("Setup.exe");
  HWND page = WaitWindow(setup, kTitolo, kPagina);
  REQUIRE(page != nullptr);
  SetWindowPos(page, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT before{};
  GetWindowRect(page, &before);
  Press(Child(page, "Button", "&Continua"));
  HWND licence = nullptr;
  REQUIRE(WaitFor([&] {
    for (HWND h : Windows(setup, kTitolo))
      if (h != page && Child(h, "Button", "Accett&o le condizioni del contratto")) licence = h;
    return licence != nullptr;
  }));
  CHECK(WaitFor([&] { return !IsWindow(page); }));
  RECT after{};
  GetWindowRect(licence, &after);
  CHECK(after.left == before.left && after.top == before.top);
  HWND continua = Child(licence, "Button", "&Continua");
  HWND box = Child(licence, "Button", "Accett&o le condizioni del contratto");
  CHECK(continua && !IsWindowEnabled(continua));
  Press(box);
  CHECK(WaitFor([&] { return IsWindowEnabled(continua); }));
  Press(box);
  CHECK(WaitFor([&] { return !IsWindowEnabled(continua); }));
  TerminateProcess(setup.info.hProcess, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || !scenarios().count(U(argv[1]))) {
    std::printf("usage: driver SCENARIO BUILD-FOLDER\n");
    for (const auto& [name, run] : scenarios()) std::printf("  %s\n", name.c_str());
    return 2;
  }
  std::string folder = U(argv[2]);
  for (char& c : folder)
    if (c == '/') c = '\\';
  buildFolder = folder.size() > 1 && folder[1] == ':' ? folder : "Z:" + folder;
  scenarios()[U(argv[1])]();
  std::printf("%s: %s\n", U(argv[1]).c_str(), failures ? "FAILED" : "passed");
  std::fflush(stdout);
  return failures ? 1 : 0;
}
