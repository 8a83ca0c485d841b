// Measurements for tools/bench.sh, run by the end-to-end driver but not by the tests:
//   driver.exe bench_startup BUILD EXE...   start to first window painted, 21 runs each
//   driver.exe bench_runs BUILD             installation and removal run times, peak memory
//   driver.exe bench_large BUILD            a 200 MB product file against a plain copy
// Each figure is printed as one line "figure|NAME|VALUE".
#include "../tests/e2e/Driver.h"

#include <psapi.h>

#include <algorithm>

using namespace e2e;

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Figure(const std::string& name, double value) {
  std::printf("figure|%s|%.3f\n", name.c_str(), value);
  std::fflush(stdout);
}

// A window counts as painted when it is visible, has a size, and has nothing left to
// paint: its first WM_PAINT has run.
HWND Painted(DWORD pid) {
  std::vector<HWND> found = Visible(
      [&](HWND h) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        RECT r{};
        GetClientRect(h, &r);
        return owner == pid && r.right > 100 && !GetUpdateRect(h, nullptr, FALSE);
      },
      1);
  return found.empty() ? nullptr : found[0];
}

double PeakMegabytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string Name(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

}  // namespace

// The programs take turns, start after start, so that whatever else the machine does
// falls on all of them alike. The window is looked for every millisecond once the program
// first waits for input (its first look at an empty message queue), so that the looking
// does not slow the start it measures.
SCENARIO(bench_startup) {
  constexpr int kRuns = 21;
  const std::vector<std::string> exes = arguments;
  std::vector<std::vector<double>> times(exes.size());
  std::vector<double> peaks(exes.size(), 0.0);
  for (int run = 0; run < kRuns; ++run) {
    for (std::size_t i = 0; i < exes.size(); ++i) {
      const std::string& exe = exes[i];
      double start = Now();
      Program p = Start(exe, exe.substr(0, exe.rfind('\\')));
      double painted = 0;
      WaitForInputIdle(p.info.hProcess, 20000);
      while (Now() - start < 20000) {
        if (Painted(p.info.dwProcessId)) {
          painted = Now() - start;
          break;
        }
        Sleep(1);
      }
      if (painted > 0) {
        times[i].push_back(painted);
        peaks[i] = std::max(peaks[i], PeakMegabytes(p.info.hProcess));
      }
      p.Kill();
      p.Exited();
    }
  }
  for (std::size_t i = 0; i < exes.size(); ++i) {
    std::vector<double>& t = times[i];
    if (t.empty()) continue;
    std::sort(t.begin(), t.end());
    Figure("startup_runs " + Name(exes[i]), static_cast<double>(t.size()));
    Figure("startup_median_ms " + Name(exes[i]), t[t.size() / 2]);
    Figure("startup_min_ms " + Name(exes[i]), t.front());
    Figure("startup_max_ms " + Name(exes[i]), t.back());
    Figure("first_page_peak_mb " + Name(exes[i]), peaks[i]);
  }
}

namespace {

// Installs from the package; the run's time from "Conferma" to the result page.
double Installation(const std::string& package, double* peak) {
  Program setup = Start(package + "\\Setup.exe", package);
  HWND destination = GoToDestinationPage(setup);
  if (!destination) return -1;
  double start = Now();
  HWND result = ConfirmAndWaitForResult(setup, destination, 600000);
  double elapsed = Now() - start;
  if (peak) *peak = PeakMegabytes(setup.info.hProcess);
  setup.Kill();
  return result ? elapsed : -1;
}

}  // namespace

SCENARIO(bench_runs) {
  std::string package = LayOutPackage();
  double peak = 0;
  double install = Installation(package, &peak);
  Figure("install_ms", install);
  Figure("install_ratio", install / 2740.0);
  Figure("install_peak_mb", peak);

  std::string folder = Destinazione();
  Program uninstall = Start(folder + "\\Uninstall.exe", folder);
  HWND window = WaitWindowWith(uninstall, kTitoloRimozione, "Button", "&Rimuovi");
  if (!window) return;
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(uninstall, kTitoloRimozione))
      if (ClassOf(h) == "#32770") box = h;
    return box != nullptr;
  });
  if (!box) return;
  double start = Now();
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  bool done = WaitFor([&] { return Child(window, "Button", "Chiudi") != nullptr; }, 60000);
  double elapsed = Now() - start;
  if (done) {
    Figure("removal_ms", elapsed);
    Figure("removal_ratio", elapsed / 2000.0);
  }
  uninstall.Kill();
}

SCENARIO(bench_large) {
  std::string package = LayOutPackage();
  std::string big = package + "\\QelPictura.exe";
  HANDLE file = CreateFileW(W(big).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::vector<char> block(1 << 20, 'Q');
  DWORD written = 0;
  for (int i = 0; i < 200; ++i) ::WriteFile(file, block.data(), 1 << 20, &written, nullptr);
  CloseHandle(file);
  double start = Now();
  CopyFileW(W(big).c_str(), L"C:\\copia.bin", FALSE);
  double copy = Now() - start;
  DeleteFileW(L"C:\\copia.bin");
  double install = Installation(package, nullptr);
  Figure("large_copy_ms", copy);
  Figure("large_install_beyond_pauses_ms", install - 2740.0);
  Figure("large_ratio", (install - 2740.0) / copy);
}
