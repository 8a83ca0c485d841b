// The driver's entry: the scenario named, then every program it started ended.
#include "Driver.h"

int wmain(int argc, wchar_t** argv) {
  using namespace e2e;
  if (argc < 3 || !Scenarios().count(U(argv[1]))) {
    std::printf("usage: driver SCENARIO BUILD-FOLDER [ARGUMENT...]\n");
    for (const auto& [name, run] : Scenarios()) std::printf("  %s\n", name.c_str());
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // what a check said survives any end
  // The programs' windows are read in their own pixels, whatever the driver's DPI.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  CoInitialize(nullptr);  // the shell's objects: shortcuts read, the desktop's windows asked
  build = "Z:" + U(argv[2]);
  approved = "Z:" QEL_APPROVED;
  for (std::string* path : {&build, &approved})
    for (char& c : *path) c = c == '/' ? '\\' : c;
  for (int i = 3; i < argc; ++i) arguments.push_back(U(argv[i]));
  const std::string name = scenario = U(argv[1]);
  Scenarios()[name]();
  for (HANDLE h : started)
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) TerminateProcess(h, 0);
  for (HANDLE h : started) WaitForSingleObject(h, 10000);
  std::printf("%s: %s\n", name.c_str(), failures ? "FAILED" : "passed");
  std::fflush(stdout);
  return failures ? 1 : 0;
}
