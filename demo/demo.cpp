// The demo's journey, under a name no test runs: the wizard's pages and dialogs (with the
// warning of a newer installed version), the installation caught mid-run, the result page,
// the uninstaller's window, confirmation, run, end and "already removed", and the welcome
// page after a change to a high-contrast scheme; each a numbered screenshot (BMP) of the
// screen in the output folder.
//   driver.exe demo BUILD-FOLDER OUTPUT-FOLDER DPI
#include <string>

#include "../tests/e2e/Driver.h"

namespace e2e {
namespace {

std::string output;
int shots = 0;

// The screen as the display shows it, read from this process: no message goes to the
// program shown, so a program paused between its steps is caught as it stands.
bool Shot(const std::string& name) {
  Sleep(400);  // the last paint reaches the screen
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size), 0,
                        0, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  bytes.append(static_cast<const char*>(bits), size);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  char number[8];
  std::snprintf(number, sizeof number, "%02d-", ++shots);
  bool saved = WriteFile(output + "\\" + number + name + ".bmp", bytes);
  std::printf("demo: %s%s %s\n", number, name.c_str(), saved ? "" : "NOT SAVED");
  return saved;
}

// The program's window with that caption holding a visible button with that text.
HWND WithButton(const Program& p, const std::string& caption, const std::string& button,
                DWORD milliseconds = 20000) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Windows(p, caption)) {
          HWND b = Child(h, "Button", button);
          if (b && IsWindowVisible(b)) found = h;
        }
        return found != nullptr;
      },
      milliseconds);
  return found;
}
// Waits for the window's progress bar to show, then for a step's status text, and shoots.
bool MidRun(HWND window, const std::string& status, const std::string& name) {
  HWND label = nullptr;
  bool seen = WaitFor(
      [&] {
        for (HWND bar : Children(window, "msctls_progress32"))
          if (IsWindowVisible(bar)) label = bar;
        if (!label) return false;
        for (HWND s : Children(window, "Static")) {
          wchar_t text[256] = {};
          GetWindowTextW(s, text, 256);  // kept by the system: nothing is asked of the program
          if (U(text).rfind(status, 0) == 0) return true;
        }
        return false;
      },
      60000);
  return seen && Shot(name);
}

void Demo() {
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  auto aware = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (aware) aware(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  REQUIRE(Arguments().size() == 2);
  output = Arguments()[0];
  const std::string dpi = Arguments()[1];
  REQUIRE(Run("reg add \"HKCU\\Control Panel\\Desktop\" /v LogPixels /t REG_DWORD /d " + dpi +
              " /f") == 0);
  REQUIRE(Run("reg add \"HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\"
              "Fonts\" /v LogPixels /t REG_DWORD /d " +
              dpi + " /f") == 0);
  REQUIRE(Run("reg add HKLM\\SOFTWARE\\Qel\\Pictura /v Version /t REG_SZ /d 2 /f") == 0);
  const std::string package = LayOutPackage();
  const std::string installed = "C:\\Program Files\\QelPictura";

  Program setup = Start(package + "\\Setup.exe", package);
  HWND page = WithButton(setup, kTitolo, "&Continua");
  REQUIRE(page && Shot("benvenuto"));
  for (const char* step : {"&?", "&Annulla"}) {
    Press(Child(page, "Button", step));
    HWND dialog = WithButton(setup, kTitolo, step[1] == '?' ? "&OK" : "&No");
    REQUIRE(dialog && Shot(step[1] == '?' ? "aiuto" : "annulla"));
    Press(Child(dialog, "Button", step[1] == '?' ? "&OK" : "&No"));
    REQUIRE(WaitFor([&] { return !IsWindow(dialog); }));
  }
  Press(Child(page, "Button", "&Continua"));
  HWND warning = WithButton(setup, kTitolo, "&OK");
  REQUIRE(warning && Shot("avviso-versione"));
  Press(Child(warning, "Button", "&OK"));
  page = WithButton(setup, kTitolo, kAccetto);
  REQUIRE(page);
  Press(Child(page, "Button", kAccetto));
  REQUIRE(WaitFor([&] { return IsWindowEnabled(Child(page, "Button", "&Continua")); }));
  REQUIRE(Shot("licenza"));
  Press(Child(page, "Button", "&Continua"));
  page = WithButton(setup, kTitolo, "&Conferma");
  REQUIRE(page && Shot("cartella"));
  Press(Child(page, "Button", "&Conferma"));
  REQUIRE(MidRun(page, "Creazione dei collegamenti", "installazione"));
  page = WithButton(setup, kTitolo, "&Chiudi", 60000);
  REQUIRE(page && Shot("finale"));
  Press(Child(page, "Button", "&Chiudi"));
  REQUIRE(setup.Exited());

  Program uninstall = Start(installed + "\\Uninstall.exe", installed);
  HWND window = WithButton(uninstall, kTitoloRimozione, "&Rimuovi");
  REQUIRE(window && Shot("disinstallazione"));
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = MessageBoxOf(uninstall, kTitoloRimozione);
  REQUIRE(box && Shot("conferma"));
  Press(GetDlgItem(box, IDOK));
  REQUIRE(MidRun(window, "Rimozione dei collegamenti", "rimozione"));
  REQUIRE(WithButton(uninstall, kTitoloRimozione, "Chiudi", 60000) && Shot("rimosso"));
  Press(Child(window, "Button", "Chiudi"));
  REQUIRE(uninstall.Exited());
  Program again = Start(installed + "\\Uninstall.exe", installed);
  box = MessageBoxOf(again, "QelSoftware");
  REQUIRE(box && Shot("gia-rimosso"));
  Press(GetDlgItem(box, IDOK));
  REQUIRE(again.Exited());

  Program contrast = Start(package + "\\Setup.exe", package);
  page = WithButton(contrast, kTitolo, "&Continua");
  REQUIRE(page && HighContrast(contrast.info.dwProcessId));
  REQUIRE(Shot("contrasto"));
}
const bool registered = (Register("demo", Demo), true);

}  // namespace
}  // namespace e2e
