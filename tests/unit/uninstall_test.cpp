// The uninstaller on the platform in memory: what the removal takes, and when, wherever the
// special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

// There before the run, folder by folder: the installation; all users' desktop shortcut and
// menu folder; the user's desktop shortcut; the same names in the current folder, a program at
// the root, where relative names would be found; the product's key and another one.
const std::pair<std::string, std::vector<const char*>> kVisti[] = {
    {"C:\\Programmi\\QelPictura\\",
     {"QelPictura.exe", "help.htm", "temi\\", "temi\\happysmile.qelpictura", "temi\\LEGGIMI",
      "Uninstall.exe"}},
    {"C:\\Tutti\\",
     {"QelPictura.lnk", "QelPictura\\", "QelPictura\\QelPictura.lnk",
      "QelPictura\\Rimuovi QelPictura dal computer.lnk", "QelPictura\\desktop.ini"}},
    {"C:\\Utente\\", {"QelPictura.lnk"}},
    {"C:\\pacchetto\\", {"QelPictura.lnk", "QelPictura\\", "QelPictura\\QelPictura.lnk"}},
    {"C:\\", {"QelPictura.exe"}},
    {"HKLM:\\SOFTWARE\\Qel\\", {"Pictura", "Altro"}}};

// Before the run (prima): all in place (T); all users' desktop named but not there, the user's in
// C:\Utente, a file of another kind in the menu folder (D); the desktop and programs folders
// unknown (P); no own folder (o), the window then closed as it loads (c). After it: folder by
// folder, 1 for each path still there (resta); how many paths and keys went after the 2nd, 3rd,
// 4th and 5th pump (tolti); the message boxes shown.
struct Caso {
  char prima;
  const char *resta, *tolti;
  std::vector<std::string> messaggi = {"QelPictura verrà ora rimosso dal computer"};
};
struct Rimozione : Fake, ::testing::WithParamInterface<Caso> {};

// The key goes after the second status text, the shortcuts after the third, the files after
// the fourth; an empty folder is never taken for the current one, and the user's folders are
// looked in, never made. A window closed before its note is not made again for it.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  const char g = GetParam().prima;
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
  std::string resta, tolti;
  for (const auto& [cartella, nomi] : kVisti) {
    for (const char* nome : nomi) resta += at(cartella + nome) ? '1' : '0';
    resta += ' ';
  }
  for (std::size_t i = 1; i < left.size(); ++i) tolti += char('0' + left[i - 1] - left[i]);
  EXPECT_EQ(
      std::tuple(GetParam().resta, GetParam().tolti, GetParam().messaggi, std::vector<Csidl>{}),
      std::tuple(resta, tolti, boxes, made));
  if (!own.empty()) {  // a run: the removal's timeline, the window disabled, the bar at 192 DPI,
    static_cast<WindowEvents&>(f).OnDpiChanged(96, {});  // and once destroyed no layout moves it
    EXPECT_EQ(std::tuple(attese::Rimozione(), std::string(5, '0'), Rect{50, 510, 832, 36}),
              std::tuple(rows, log, rects[bar]));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Uninstall, Rimozione,
    ::testing::Values(Caso{'T', "000001 00000 1 111 1 01 ", "0145"},
                      Caso{'D', "000001 11001 0 111 1 01 ", "0135"},
                      Caso{'P', "000001 11110 1 111 1 01 ", "0105"},
                      Caso{'o', "111111 11110 1 111 1 11 ", "", {attese::kRimossa}},
                      Caso{'c', "111111 11110 1 111 1 11 ", "", {}}),
    [](const auto& i) { return std::string(1, i.param.prima); });

}  // namespace
}  // namespace platform
