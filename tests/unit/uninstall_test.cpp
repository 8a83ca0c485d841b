// The uninstaller on the platform in memory: the removal run, and what it removes wherever
// the special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

// What is there before the run and looked at after it, folder by folder: the installation
// folder; the desktop shortcut, the menu folder's and the menu folder, in all users' folder and in
// the current one; a program at the root, where a relative "\QelPictura.exe" would be found.
const std::pair<std::string, std::vector<const char*>> kVisti[] = {
    {"C:\\Programmi\\QelPictura\\",
     {"QelPictura.exe", "help.htm", "temi\\happysmile.qelpictura", "temi\\LEGGIMI", "temi\\",
      "Uninstall.exe"}},
    {"C:\\Tutti\\", {"QelPictura.lnk", "QelPictura\\QelPictura.lnk", "QelPictura\\"}},
    {"C:\\pacchetto\\", {"QelPictura.lnk", "QelPictura\\QelPictura.lnk", "QelPictura\\"}},
    {"C:\\", {"QelPictura.exe"}}};

struct Caso {
  // Before the run: all in place (T); all users' desktop named by the shell but not there (D);
  // the programs folder unknown (P); no own folder (o), the window then closed as it loads (c).
  char prima;
  const char* resta;  // folder by folder, 1 for each path there after the run
  const char* log;    // each pump 0, the window being disabled; each deletion -
  std::vector<std::string> messaggi = {"QelPictura verrà ora rimosso dal computer"};
};
struct Rimozione : Fake, ::testing::WithParamInterface<Caso> {};

// The key goes after the second pump, the shortcuts after the third, the files after the
// fourth; an empty folder is never taken for the current one, and the user's folders are looked
// in, never made. A window closed before its note is not made again for it.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  for (const auto& [cartella, nomi] : kVisti)
    for (const char* nome : nomi) Add(cartella + nome);
  Add(kTutti + "QelPictura\\Rimuovi QelPictura dal computer.lnk");
  const char g = GetParam().prima;
  if (g == 'D') special[Csidl::CommonDesktopDirectory] = "C:\\Mancante\\";
  if (g == 'P') special[Csidl::CommonPrograms] = "";
  if (g == 'o' || g == 'c') own = "";
  frmMain& f = forms::instance<frmMain>();
  if (g == 'c') closing = &f;
  f.Load();
  if (f.Loaded()) Run(f, f.lbl, f.cmdRimuovi);
  std::string resta;
  for (const auto& [cartella, nomi] : kVisti) {
    if (!resta.empty()) resta += ' ';
    for (const char* nome : nomi) resta += kind(cartella + nome) ? '1' : '0';
  }
  EXPECT_EQ(std::tuple(GetParam().resta, GetParam().log, GetParam().messaggi, std::vector<Csidl>{}),
            std::tuple(resta, log, boxes, made));
  if (!own.empty()) {  // a run: the removal's timeline, with the bar at 192 DPI, and once it
    static_cast<WindowEvents&>(f).OnDpiChanged(96, {});  // is destroyed no layout moves it
    EXPECT_EQ(std::pair(attese::Rimozione(), Rect{50, 510, 832, 36}), std::pair(rows, rects[bar]));
  }
}

INSTANTIATE_TEST_SUITE_P(Uninstall, Rimozione,
                         ::testing::Values(Caso{'T', "000001 000 111 1", "00-0---0----0"},
                                           Caso{'D', "000001 100 111 1", "00-0--0----0"},
                                           Caso{'P', "000001 011 111 1", "00-0-0----0"},
                                           Caso{'o', "111111 111 111 1", "", {attese::kRimossa}},
                                           Caso{'c', "111111 111 111 1", "", {}}),
                         [](const auto& i) { return std::string(1, i.param.prima); });

}  // namespace
}  // namespace platform
