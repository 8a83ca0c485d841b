#include <windows.h>

#include "frmMain.h"
#include "platform/win32/Win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  static platform::win32::Win32Removal removal;
  platform::win32::Install(nullptr, &removal);
  forms::Start<frmMain>();
  return 0;
}
