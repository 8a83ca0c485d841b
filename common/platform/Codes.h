// Windows' numbers that cross into the programs, each named once and typed: the page
// code, the shared components and the tests use these names, the Win32 layer hands the
// values to Windows as they are (and checks them against the system's own headers).
#pragma once

#include <cstdint>

namespace platform {

// The button that closed a message box or the message dialog (IDOK, IDCANCEL, IDRETRY,
// IDYES, IDNO); None when the box could not be shown.
enum class Answer : int { None = 0, Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

// How a started program's first window is shown, and a shortcut's window style
// (SW_SHOWNORMAL, SW_SHOWMINIMIZED).
enum class ShowCommand : std::int16_t { Normal = 1, Minimized = 2 };

// The system message box's buttons and icon, as the programs use them.
enum class MessageBoxStyle : unsigned {
  Information = 0x40,             // MB_ICONINFORMATION: one OK button and the "i"
  OkCancelSecondDefault = 0x101,  // MB_OKCANCEL | MB_DEFBUTTON2: Cancel has the focus
  RetryCancelWarning = 0x35,      // MB_RETRYCANCEL | MB_ICONWARNING
};

// The folder browser's flags.
enum class BrowseStyle : unsigned {
  FoldersOnly = 0x1,        // BIF_RETURNONLYFSDIRS
  EditBoxNewDialog = 0x50,  // BIF_EDITBOX | BIF_NEWDIALOGSTYLE
};

// Shell special folders (CSIDL_...).
enum class Csidl : int {
  Desktop = 0,
  Programs = 2,
  CommonPrograms = 23,
  CommonDesktopDirectory = 25,
  ProgramFiles = 38,
};

// System colours (COLOR_...).
enum class SysColour : int { Window = 5, ButtonShadow = 16 };

// File attribute bits.
inline constexpr std::uint32_t kAttributeFolder = 0x10, kAttributeNormal = 0x80;

// Why a window is about to close: a form's UnloadMode.
enum class UnloadMode : int {
  ControlMenu = 0,  // close box, system menu, Alt+F4
  Code = 1,         // the program's own Unload
  AppWindows = 2,   // Windows shutting down or the user logging off
  Outside = 3,      // a WM_CLOSE from outside the window: the task manager, another program
};

// The progress bar's messages (PBM_...).
enum class ProgressMessage : unsigned { DeltaPos = 0x403, SetStep = 0x404, StepIt = 0x405 };

// A child window's style: WS_CHILD | WS_VISIBLE.
enum class ChildStyle : unsigned { ChildVisible = 0x50000000 };

// Control ids of the forms start here: 1 and 2 are IDOK and IDCANCEL to the dialog
// manager.
inline constexpr int kFirstControlId = 100;

}  // namespace platform
