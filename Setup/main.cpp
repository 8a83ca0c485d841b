#include <windows.h>

#include "frmMain.h"
#include "platform/win32/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  static platform::win32::Win32Installation installation;
  platform::win32::Install(&installation, nullptr);
  forms::Start<frmMain>();
  return 0;
}
