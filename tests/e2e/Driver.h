// The end-to-end driver: starts the real programs, finds their windows by caption and
// their controls by class and text, presses buttons with posted messages (so a modal
// dialog never blocks the driver), types real keystrokes, and checks what the user would
// see. One scenario per run, in a prefix of its own (wine-run.sh):
//   driver.exe SCENARIO UNIX-PATH-OF-THE-BUILD-FOLDER [SCREENSHOT-FOLDER]
// Every program a scenario started is ended when the scenario ends, whatever a check did.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
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

// A window's text asked of its program (WM_GETTEXT), and as the system keeps it, which
// asks nothing of a program that is busy or paused.
std::string Text(HWND h);
std::string Shown(HWND h);
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
const std::string& BuildFolder();  // Z:\...
std::string Fixture(const std::string& name);

// Starts a program (a full path, or a name in the build folder) in a working folder (the
// build folder when empty), with extra "NAME=value" environment entries.
Program Start(const std::string& exe, const std::string& folder = "",
              const std::vector<std::string>& environment = {});
// Runs a command line (e.g. "reg add ...") to its end; its exit code, or -1.
int Run(const std::string& commandLine, DWORD milliseconds = 30000);
// Copies the sample package (the build's pacchetto folder) into a folder of the prefix.
std::string LayOutPackage(const std::string& folder = "C:\\pacchetto");

bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
// The lines of the record the stand-ins write (QEL_RECORD), without their CR LF.
std::vector<std::string> RecordLines(const std::string& path = "C:\\record.txt");

// Where Setup puts its shortcuts: the all-users desktop and the product's folder in the
// all-users programs menu when they exist, else the user's.
std::string Desktop();
std::string SystemFolder();
std::string Menu();
// A shortcut as the shell's link reader sees it; empty texts when it cannot be read.
struct Link {
  std::string target, description;
};
Link ReadLink(const std::string& path);

// The visible top-level windows of the program with that caption, newest first.
std::vector<HWND> Windows(const Program& p, const std::string& caption);
// The window of the program with that caption that holds a control of that class and text.
HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text, DWORD milliseconds = 10000);
HWND Child(HWND parent, const std::string& cls, const std::string& text);
std::vector<HWND> Children(HWND parent, const std::string& cls);
// The system message box (a "#32770" dialog) of the program with that caption, waited for.
HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds = 10000);

void Press(HWND button);
HWND Focus(HWND window);
// Real keystrokes through the system's input queue to the window brought to the front,
// each word a chord: Keys(page, "alt+c"), Keys(dialog, "Return"), Keys(page, "Tab Tab").
bool Keys(HWND window, const std::string& keys);
// A real left click in the middle of a control.
bool Click(HWND control);
// With a screenshot folder on the command line, the screen as it stands (read in this
// process: nothing is asked of the program shown) as the next numbered picture there.
void Shot(const std::string& name, bool settle = true);

constexpr char kTitolo[] = "Installazione di QelPictura";
constexpr char kTitoloRimozione[] = "Disinstallazione di QelPictura";
constexpr char kAccetto[] = "Accett&o le condizioni del contratto";

// Welcome -> licence (ticked) -> the destination page, which it returns (nullptr on failure).
HWND GoToDestinationPage(const Program& setup);
// From the destination page: "Conferma", then the result page (nullptr when it never came).
HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds = 60000);
#ifndef E2E_OWN_JOURNEY_HELPERS
#define E2E_HAS_JOURNEY_HELPERS
// The whole installation with the mouse: the result page.
HWND Install(const Program& setup);
// The whole removal by the uninstaller in that folder, confirmed, closed, and ended.
bool Uninstall(const std::string& folder);
#endif

}  // namespace e2e
