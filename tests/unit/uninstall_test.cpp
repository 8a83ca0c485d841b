// The uninstaller on the platform in memory: the removal run, and what it removes wherever
// the special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

// What is looked at after the run, in groups: the installation folder; the desktop shortcut,
// the menu folder's and the menu folder, in all users' folder and in the current folder.
const std::string D = "C:\\Programmi\\QelPictura\\";
const std::vector<std::string> kVisti = [] {
  std::vector<std::string> v;
  for (const char* f : {"QelPictura.exe", "help.htm", "temi\\happysmile.qelpictura",
                        "temi\\LEGGIMI", "temi", "Uninstall.exe"})
    v.push_back(D + f);
  for (std::string c : {"C:\\Tutti\\", "C:\\pacchetto\\"})
    v.insert(v.end(), {c + "QelPictura.lnk", c + "QelPictura\\QelPictura.lnk", c + "QelPictura"});
  return v;
}();

struct Caso {
  // Before the run: all in place (T); the desktop (D) or programs (P) folder unknown to the
  // shell; no own folder (o), the window then closed by its close box as it is shown (c).
  char prima;
  const char* resta;  // for each path looked at, 1 when it is there after the run
  std::vector<std::string> messaggi = {"QelPictura verrà ora rimosso dal computer"};
};
struct Rimozione : Fake, ::testing::WithParamInterface<Caso> {};

// Each pump shows the table's status and bar and is followed by its pause; the window stays
// disabled throughout. The key goes after the second pump, the shortcuts after the third,
// the files after the fourth; an empty folder is never taken for the current one. A window
// closed before its note is not made again for it.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  for (int i : {0, 1, 2, 3, 5, 6, 7, 9, 10}) Add(kVisti[i]);
  Add(kTutti + "QelPictura\\Rimuovi QelPictura dal computer.lnk");
  Add("C:\\QelPictura.exe");  // where a relative "\QelPictura.exe" would be found
  const char g = GetParam().prima;
  if (g == 'D') special[Csidl::CommonDesktopDirectory] = "";
  if (g == 'P') special[Csidl::CommonPrograms] = "";
  if (g == 'o' || g == 'c') own = "";
  if (g == 'c') closeAt = 2;
  frmMain& f = forms::instance<frmMain>();
  f.Load();
  if (f.Loaded()) Run(f, f.lbl, f.cmdRimuovi);
  std::string resta;
  for (std::size_t i = 0; char c : std::string(GetParam().resta))
    resta += c == ' ' ? ' ' : kind(kVisti[i++]) ? '1' : '0';
  EXPECT_EQ(GetParam().resta, resta);
  EXPECT_EQ(GetParam().messaggi, boxes);
  const bool corsa = !own.empty();
  EXPECT_EQ(corsa ? attese::Rimozione() : std::vector<attese::Tappa>{}, rows);
  EXPECT_EQ(std::tuple(corsa ? 2000u : 0u, corsa ? "00000" : ""), std::tuple(clock, enabled));
  EXPECT_TRUE(!corsa || rects[bar] == (Rect{50, 510, 832, 36}));  // the bar at 192 DPI
  EXPECT_TRUE(g != 'T' || changes == "23334444") << changes;
  EXPECT_TRUE(made.empty());  // the user's folders are looked in, never made
}

INSTANTIATE_TEST_SUITE_P(Uninstall, Rimozione,
                         ::testing::Values(Caso{'T', "000001 000 111"}, Caso{'D', "000001 100 111"},
                                           Caso{'P', "000001 011 111"},
                                           Caso{'o', "111111 111 111", {attese::kRimossa}},
                                           Caso{'c', "111111 111 111", {}}),
                         [](const auto& i) { return std::string(1, i.param.prima); });

}  // namespace
}  // namespace platform
