// The end-to-end driver: starts the real programs, finds their windows by caption and
// their controls by class and text, presses buttons with posted messages (so a modal
// dialog never blocks the driver), types real keystrokes, and checks what the user would
// see. One scenario per run:
//   driver.exe SCENARIO UNIX-PATH-OF-THE-BUILD-FOLDER
// Scenarios live in scenari/*.cpp, one SCENARIO(name) { ... } each, and run in a prefix
// of their own (wine-run.sh).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Counts and reports a failed check; true when it failed.
bool Failed(bool ok, const char* file, int line, const char* text);

#define CHECK(condition) ::e2e::Failed(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
// A check the rest of the scenario cannot go on without.
#define REQUIRE(condition) \
  if (CHECK(condition)) return

void Register(const char* name, void (*run)());

#define SCENARIO(name)                                                        \
  static void name();                                                         \
  static const bool registered_##name = (::e2e::Register(#name, name), true); \
  static void name()

std::wstring W(const std::string& s);
std::string U(const std::wstring& s);

std::string Text(HWND h);
std::string ClassOf(HWND h);

// Polls for a condition until the deadline; never a fixed sleep.
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 10000);

struct Program {
  PROCESS_INFORMATION info{};
  bool Exited(DWORD milliseconds = 10000) const;
  DWORD ExitCode() const;
  void Kill() const;
};

// What follows the build folder on the driver's command line.
const std::vector<std::string>& Arguments();

// The Windows path of the build folder (Z:\...), and of its fixtures and sample package.
const std::string& BuildFolder();
std::string Fixture(const std::string& name);

// Starts a program (a full path, or a name in the build folder) in a working folder (the
// build folder when empty), with extra "NAME=value" environment entries.
Program Start(const std::string& exe, const std::string& folder = "",
              const std::vector<std::string>& environment = {});
// Runs a command line (e.g. "reg add ...") to its end; its exit code, or -1.
int Run(const std::string& commandLine, DWORD milliseconds = 30000);

// Copies the sample package (the build's pacchetto folder) into a folder of the prefix,
// e.g. "C:\\pacchetto", and returns it.
std::string LayOutPackage(const std::string& folder = "C:\\pacchetto");

// Files.
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
// The lines of a record file the stand-ins write (QEL_RECORD), without their CR LF.
std::vector<std::string> RecordLines(const std::string& path);

// Where Setup puts its shortcuts: the all-users desktop and the product's folder in the
// all-users programs menu when they exist, else the user's.
std::string Desktop();
std::string SystemFolder();
std::string Menu();

// A shortcut as the shell's link reader sees it; empty texts when it cannot be read.
struct Link {
  std::string target, description;
  int show = 0;
};
Link ReadLink(const std::string& path);

// The visible top-level windows of the program with that caption, newest first.
std::vector<HWND> Windows(const Program& p, const std::string& caption);
SIZE ClientSize(HWND h);
// The window with that caption and client width (the page is 464, the message dialog 421
// pixels wide at 96 DPI).
HWND WaitWindow(const Program& p, const std::string& caption, int clientWidth);
// The window of the program with that caption that holds a control of that class and text.
HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text);
HWND Child(HWND parent, const std::string& cls, const std::string& text);
// The system message box (a "#32770" dialog) of the program with that caption, waited for.
HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds = 10000);
std::vector<HWND> Children(HWND parent, const std::string& cls);

// A child's rectangle in its parent's client area, in twips at 15 twips a pixel.
RECT Twips(HWND child);
bool Is(const RECT& r, int left, int top, int width, int height);

void Press(HWND button);

// The folder browser's tree, a SysTreeView32 of another process. The text of an item; and
// the item reached from the top level by a path of pieces of item texts (each level is
// expanded first, the first child whose text contains the piece is taken), which is then
// selected. nullptr when some piece matches no item.
std::string TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM SelectTreePath(HWND tree, const std::vector<std::string>& path);
// In a folder-browse dialog: selects the item at that path of its tree and presses OK;
// false (and the dialog cancelled) when the tree or an item of the path is missing.
bool PickInFolderBrowser(HWND dialog, const std::vector<std::string>& path);

// Turns on a high-contrast colour scheme (fixtures/contrasto.dll) in the driver and in the
// running program, by loading the DLL into it from a thread of its own: Wine keeps a copy
// of the system colours in each process, which another one does not change.
bool HighContrast(DWORD processId);

// What a screen reader hears of a control through Active Accessibility: its name and role
// (ROLE_SYSTEM_...); the role 0 when the control answers nothing.
struct Heard {
  std::string cls, text;  // the control, by its class and window text
  std::string name;
  long role = 0;
};
Heard Announced(HWND control);
// Every child of the window is heard as one row of the table says, none is missing and
// none more. Where the system has no roles for the standard controls, or no annotation
// service (Wine 8 has neither: every control is a "client", and IAccPropServices returns
// E_NOTIMPL), the roles, and the names given by annotation (those that are not the
// caption without its "&"), are not compared. Reports every difference.
bool AnnouncedAs(HWND window, const std::vector<Heard>& table);
// The band's rows: the white band and the three rules (no text), the picture as
// "QelPictura", the title ("QelSoftware - <what> di QelPictura") and the subtitle.
std::vector<Heard> BandHeard(const std::string& what, const std::string& subtitle);

HWND Focus(HWND window);
// Real keystrokes through the system's input queue, to the window brought to the front,
// e.g. Keys(page, "alt+c"), Keys(dialog, "Return"), Keys(page, "Escape").
bool Keys(HWND window, const std::string& keys);
// The real mouse, through the system's input queue: a left click in the middle of a
// control, and a drag of a top-level window by its title bar to a new left and top.
bool Click(HWND control);
bool DragByCaption(HWND window, int left, int top);

constexpr char kTitolo[] = "Installazione di QelPictura";
constexpr char kTitoloRimozione[] = "Disinstallazione di QelPictura";
constexpr int kPagina = 464, kDialogo = 421;
constexpr char kAccetto[] = "Accett&o le condizioni del contratto";
constexpr char kSottotitoloBenvenuto[] =
    "Questa procedura ti permette di installare QelPictura nel tuo sistema";
constexpr char kSottotitoloLicenza[] = "Contratto di licenza del software con l'utente finale";

// A label sized to its text: at that left and top, 195 twips high, and as wide as its text
// in Tahoma 8.25 pt as this system draws it, never narrower than designed. Wine's Tahoma
// is wider than Windows' for some texts, so the width is measured here, not assumed.
bool LabelSizedToText(HWND parent, const std::string& text, int left, int top, int width,
                      bool bold = false);

// The frame all of Setup's wizard pages share: the white band (lblTop) with its title
// (lblA) and picture (Image1), the three rules, the window's caption and border. Reports
// every difference; true when there is none.
bool PageFrameInPlace(HWND page);

// The journey through Setup's pages with the mouse, each step waiting for the next page:
// welcome -> licence (ticked) -> destination page, which it returns (nullptr on failure).
HWND GoToDestinationPage(const Program& setup);
// From the destination page: "Conferma", then waits for the result page and returns it.
HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds = 60000);

}  // namespace e2e
