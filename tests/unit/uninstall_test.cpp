// The uninstaller on the platform in memory: what the removal takes, and when, wherever the
// special folders are, or are not. What each case leaves is its approved record,
// tests/approved/unit/uninstall-*.txt.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

// There before the run, folder by folder: the installation; all users' desktop shortcut and
// menu folder; the user's desktop shortcut; the same names in the current folder, a program at
// the root, where relative names would be found; the product's key and another one.
const std::pair<std::string, std::vector<const char*>> kVisti[] = {
    {"C:\\Programmi\\QelPictura\\",
     {"", "QelPictura.exe", "help.htm", "temi\\", "temi\\happysmile.qelpictura", "temi\\LEGGIMI",
      "Uninstall.exe"}},
    {"C:\\Tutti\\",
     {"QelPictura.lnk", "QelPictura\\", "QelPictura\\QelPictura.lnk",
      "QelPictura\\Rimuovi QelPictura dal computer.lnk", "QelPictura\\desktop.ini"}},
    {"C:\\Utente\\", {"", "QelPictura.lnk"}},
    {"C:\\pacchetto\\", {"QelPictura.lnk", "QelPictura\\", "QelPictura\\QelPictura.lnk"}},
    {"C:\\", {"QelPictura.exe"}},
    {"HKLM:\\SOFTWARE\\Qel\\", {"Pictura", "Altro"}}};

struct Rimozione : Fake, ::testing::WithParamInterface<char> {};

// Before the run: all in place (T); all users' desktop named but not there, the user's in
// C:\Utente, a file of another kind in the menu folder (D); the desktop and programs folders
// unknown (P); no own folder (o), the window then closed as it loads (c). The record: the
// timeline, with what is left at each pump (the key goes after the second status text, the
// shortcuts after the third, the files after the fourth), the window disabled throughout; what
// is left (an empty folder is never taken for the current one), the message boxes, and the
// user's folders looked in, never made. A window closed before its note is not made again for
// it; once the bar is destroyed, no layout moves it.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  const char g = GetParam();
  for (const auto& [cartella, nomi] : kVisti)
    for (std::string nome : nomi)
      if (g == 'D' || !nome.ends_with(".ini")) Add(cartella + nome);
  if (g == 'D')
    special[Csidl::CommonDesktopDirectory] = "C:\\Mancante", special[Csidl::Desktop] = "C:\\Utente";
  if (g == 'P') special = {};
  if (g == 'o' || g == 'c') own = "";
  frmMain& f = forms::instance<frmMain>();
  if (g == 'c') closing = &f;
  if (f.Load(), f.Loaded()) Run(f, f.lbl, f.cmdRimuovi);
  std::string barra;
  if (bar) {
    barra = "bar at 192 DPI: " + Place(rects[bar]);
    static_cast<WindowEvents&>(f).OnDpiChanged(96, {});
    barra += ", then " + Place(rects[bar]) + "\n";
  }
  Approva(std::string("uninstall-") + g, barra);
}

INSTANTIATE_TEST_SUITE_P(Uninstall, Rimozione, ::testing::Values('T', 'D', 'P', 'o', 'c'),
                         [](const auto& i) { return std::string(1, i.param); });

}  // namespace
}  // namespace platform
