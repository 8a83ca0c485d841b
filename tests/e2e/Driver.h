// The end-to-end driver runs the real programs, one scenario per run in a prefix of its own
// (wine-run.sh): driver.exe SCENARIO UNIX-BUILD-FOLDER [SCREENSHOT-FOLDER]. It presses buttons
// with posted messages (a modal dialog never blocks it), types real keystrokes, and ends every
// program a scenario started when the scenario ends, whatever a check did.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../Attese.h"
#include "platform/win32/Wide.h"

namespace e2e {

using namespace attese;

bool Failed(bool ok, const char* file, int line, const char* text);  // true when it failed
#define CHECK(condition) ::e2e::Failed(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
#define REQUIRE(condition) \
  if (CHECK(condition)) return
void Register(const char* name, void (*run)());
#define SCENARIO(name)                                                        \
  static void name();                                                         \
  static const bool registered_##name = (::e2e::Register(#name, name), true); \
  static void name()

inline std::wstring W(const std::string& s) { return platform::win32::Wide(s); }
inline std::string U(const std::wstring& w) { return platform::win32::Utf8(w); }
std::string Text(HWND h, bool ask = true);  // else as the system keeps it: a pause never blocks
std::string ClassOf(HWND h);
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 10000);  // polls

struct Program {
  PROCESS_INFORMATION info{};
  bool Exited(DWORD milliseconds = 10000) const {
    return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const;
  void Kill() const { TerminateProcess(info.hProcess, 0); }
};

const std::vector<std::string>& Arguments();   // what follows the build folder
std::string Fixture(const std::string& name);  // a stand-in in the build's fixtures folder
// A path or a name in the build folder, started in a folder (else the build folder).
Program Start(const std::string& exe, const std::string& folder = "");
int Run(const std::string& commandLine, DWORD milliseconds = 30000);     // its exit code, or -1
std::string LayOutPackage(const std::string& folder = "C:\\pacchetto");  // the sample package

bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
// The lines of the stand-ins' record (QEL_RECORD, set by wine-run.sh) that begin with one of
// `starts`, sorted.
std::vector<std::string> Record(const std::vector<std::string>& starts);
bool Holds(const std::string& path, const std::string& text);  // in UTF-8 or in UTF-16
// Where Setup puts its shortcuts: the all-users folders when they exist, else the user's.
std::string Desktop();
std::string Menu();
std::string SystemFolder();

// The frontmost visible top-level window that passes, waited for (nullptr if none came).
HWND Top(const std::function<bool(HWND)>& passes, DWORD milliseconds = 10000);
std::vector<HWND> Windows(const Program& p, const std::string& caption);  // the frontmost first
HWND WaitWindowWith(const Program& p, const std::string& caption, const std::string& cls,
                    const std::string& text, DWORD milliseconds = 10000);
std::vector<HWND> Children(HWND parent, const std::string& cls);
HWND Child(HWND parent, const std::string& cls, const std::string& text);
std::vector<std::string> Items(HWND window);  // the lines of its list boxes
HWND MessageBoxOf(const Program& p, const std::string& caption, DWORD milliseconds = 10000);

inline void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
HWND Focus(HWND window);
// Real input to the window brought to the front: keys, each word a chord ("alt+c Tab"), a click.
bool Keys(HWND window, const std::string& keys);
bool Click(HWND control);
// Given a screenshot folder, the screen (a paint settled first) as the scenario's next picture.
void Shot(const std::string& name, bool settle = true);

HWND GoToDestinationPage(const Program& setup);  // welcome, licence ticked: the destination
// "Conferma" on the destination page: the result page (nullptr if it never came).
HWND ConfirmAndWaitForResult(const Program& setup, HWND destination, DWORD milliseconds = 60000);
inline HWND Install(const Program& setup) {
  return ConfirmAndWaitForResult(setup, GoToDestinationPage(setup));
}
bool Uninstall(const std::string& folder);  // the whole removal, closed and ended

}  // namespace e2e
