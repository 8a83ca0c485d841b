#include <windows.h>

#include "frmMain.h"
#include "platform/win32/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::Install();
  forms::Start<frmMain>();
  return 0;
}
