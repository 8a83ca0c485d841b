// Measurements for tools/bench.sh, run by the end-to-end driver but not by the tests:
//   driver.exe bench_startup BUILD EXE...   start to first window painted, 21 runs each
//   driver.exe bench_runs BUILD             installation and removal run times, peak memory
//   driver.exe bench_large BUILD            a 200 MB product file against a plain copy
// Each figure is printed as one line "figure|NAME|VALUE".
#include "../tests/e2e/Driver.h"
#include "Cronometro.h"

#include <psapi.h>

#include <algorithm>
#include <map>

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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

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

// Waits for `done`, looking every millisecond, so that the time measured ends where the
// run does; false after `milliseconds`.
bool Aspetta(const std::function<bool()>& done, double milliseconds) {
  for (double start = Now(); !done(); Sleep(1))
    if (Now() - start > milliseconds) return false;
  return true;
}

// Installs from the package with the program `exe` (started in the package folder); the
// run's time from "Conferma" to the result page, or -1. A timed program's times start
// with the run.
double Installation(const std::string& package, const std::string& exe, double* peak,
                    Cronometro* tempi = nullptr) {
  Program setup = Start(exe, package);
  HWND destination = GoToDestinationPage(setup);
  if (!destination) return -1;
  HWND confirm = Child(destination, "Button", "&Conferma");
  if (tempi) *tempi = {};
  double start = Now();
  Press(confirm);
  HWND result = nullptr;
  Aspetta(
      [&] {
        for (HWND h : Windows(setup, kTitolo))
          if ((result = Child(h, "Button", "&Chiudi"))) return true;
        return false;
      },
      600000);
  double elapsed = Now() - start;
  if (peak) *peak = PeakMegabytes(setup.info.hProcess);
  setup.Kill();
  setup.Exited();
  return result ? elapsed : -1;
}

// Removes with the uninstaller `exe`, started in the installation folder; the run's time
// from the confirmation's OK to "Chiudi", or -1. A timed program's times start with the run.
double Removal(const std::string& exe, Cronometro* tempi = nullptr) {
  Program uninstall = Start(exe, Destinazione());
  HWND window = WaitWindowWith(uninstall, kTitoloRimozione, "Button", "&Rimuovi");
  if (!window) return -1;
  Press(Child(window, "Button", "&Rimuovi"));
  HWND box = nullptr;
  WaitFor([&] {
    for (HWND h : Windows(uninstall, kTitoloRimozione))
      if (ClassOf(h) == "#32770") box = h;
    return box != nullptr;
  });
  if (!box) return -1;
  if (tempi) *tempi = {};
  double start = Now();
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  bool done = Aspetta([&] { return Child(window, "Button", "Chiudi") != nullptr; }, 60000);
  double elapsed = Now() - start;
  uninstall.Kill();
  uninstall.Exited();
  return done ? elapsed : -1;
}

// Median, lowest and highest of a figure's runs, as figure lines NAME, NAME_min, NAME_max.
void Figures(const std::string& name, std::vector<double> values) {
  if (values.empty()) return;
  std::sort(values.begin(), values.end());
  Figure(name, values[values.size() / 2]);
  Figure(name + "_min", values.front());
  Figure(name + "_max", values.back());
}

}  // namespace

// The installation and the removal, each run by the shipped program and by its timed twin
// (bench/cronometro.cpp) in turn, five rounds. The shipped runs give the run times; the
// timed runs split theirs: the time really paused, the platform's work (the registration
// programs started, the bytes copied, the shortcuts written, the deletions) and the rest,
// which is the programs' own (pages, texts, the bar, painting) and the platform's other
// calls.
SCENARIO(bench_runs) {
  constexpr int kRounds = 5;
  constexpr double kInstallPauses = 2740, kRemovalPauses = 2000;
  std::string package = LayOutPackage();
  Cronometro* tempi = ApriCronometro();
  if (!tempi) return;
  std::map<std::string, std::vector<double>> runs;
  double peak = 0;
  const std::string timedUninstall = Destinazione() + "\\Uninstall-cronometro.exe";
  for (int round = 0; round < kRounds; ++round) {
    runs["install_ms"].push_back(Installation(package, package + "\\Setup.exe", &peak));
    runs["removal_ms"].push_back(Removal(Destinazione() + "\\Uninstall.exe"));
    double install = Installation(package, build + "\\bench\\Setup-cronometro.exe", nullptr, tempi);
    double work = tempi->starts + tempi->copies + tempi->shortcuts;
    runs["timed_install_ms"].push_back(install);
    runs["timed_install_paused_ms"].push_back(tempi->pauses);
    runs["timed_install_starts_ms"].push_back(tempi->starts);
    runs["timed_install_copies_ms"].push_back(tempi->copies);
    runs["timed_install_shortcuts_ms"].push_back(tempi->shortcuts);
    runs["timed_install_queries_ms"].push_back(tempi->queries);
    runs["timed_install_windows_ms"].push_back(tempi->windows);
    runs["timed_install_bar_ms"].push_back(tempi->bar);
    runs["timed_install_rest_ms"].push_back(install - tempi->pauses - work);
    runs["timed_install_own_ms"].push_back(install - tempi->pauses - work - tempi->queries -
                                           tempi->windows);
    CopyFileW(W(build + "\\bench\\Uninstall-cronometro.exe").c_str(), W(timedUninstall).c_str(),
              FALSE);
    double removal = Removal(timedUninstall, tempi);
    runs["timed_removal_ms"].push_back(removal);
    runs["timed_removal_paused_ms"].push_back(tempi->pauses);
    runs["timed_removal_deletions_ms"].push_back(tempi->deletions);
    runs["timed_removal_queries_ms"].push_back(tempi->queries);
    runs["timed_removal_windows_ms"].push_back(tempi->windows);
    runs["timed_removal_bar_ms"].push_back(tempi->bar);
    runs["timed_removal_rest_ms"].push_back(removal - tempi->pauses - tempi->deletions);
    runs["timed_removal_own_ms"].push_back(removal - tempi->pauses - tempi->deletions -
                                           tempi->queries - tempi->windows);
  }
  for (auto& [name, values] : runs) {
    if (std::find(values.begin(), values.end(), -1.0) != values.end()) continue;  // a run failed
    Figures(name, values);
  }
  Figure("install_ratio", Median(runs["install_ms"]) / kInstallPauses);
  Figure("removal_ratio", Median(runs["removal_ms"]) / kRemovalPauses);
  Figure("install_peak_mb", peak);
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
  double install = Installation(package, package + "\\Setup.exe", nullptr);
  Figure("large_copy_ms", copy);
  Figure("large_install_beyond_pauses_ms", install - 2740.0);
  Figure("large_ratio", (install - 2740.0) / copy);
}
