// The installation run from the sample package, end to end.
#include "../Driver.h"

using namespace e2e;

SCENARIO(install_from_the_sample_package) {
  std::string package = LayOutPackage();
  Program setup = Start(package + "\\Setup.exe", package);
  HWND destination = GoToDestinationPage(setup);
  REQUIRE(destination != nullptr);
  HWND result = ConfirmAndWaitForResult(setup, destination);
  REQUIRE(result != nullptr);
  CHECK(Child(result, "Static", "Installazione eseguita correttamente") != nullptr);
  std::string folder = "C:\\Program Files\\QelPictura";
  CHECK(IsFile(folder + "\\QelPictura.exe") && IsFile(folder + "\\help.htm") &&
        IsFile(folder + "\\Uninstall.exe") && IsFile(folder + "\\temi\\happysmile.qelpictura"));
  setup.Kill();
}
