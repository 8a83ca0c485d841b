// The uninstaller on the platform in memory: the removal run, and what it removes wherever
// the special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

const std::string
    kConferma = "QelPictura verrà ora rimosso dal computer",
    kRimosso = "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
// What is looked at after the run, in groups: the installation folder; the desktop shortcut,
// the menu folder's and the menu folder, in all users' folder, the user's and the current
// folder; files no pattern names.
const std::string D = "C:\\Programmi\\QelPictura\\";
const std::vector<std::string> kVisti = [] {
  std::vector<std::string> v;
  for (const char* f : {"QelPictura.exe", "help.htm", "temi\\happysmile.qelpictura",
                        "temi\\LEGGIMI", "temi", "Uninstall.exe"})
    v.push_back(D + f);
  const std::string d[] = {"C:\\Tutti\\", "C:\\Io\\Desktop\\", "C:\\pacchetto\\"},
                    p[] = {"C:\\Tutti\\", "C:\\Io\\Programmi\\", "C:\\pacchetto\\"};
  for (int i : {0, 1, 2})
    v.insert(v.end(),
             {d[i] + "QelPictura.lnk", p[i] + "QelPictura\\QelPictura.lnk", p[i] + "QelPictura"});
  v.insert(v.end(), {D + "temi\\sub\\x.qelpictura", D + "help.htm.bak", v[8] + "\\nota.txt"});
  return v;
}();

struct Caso {
  // Before the run: the confirmation cancelled (a); the desktop (D) or programs (P) folder
  // unknown to the shell; the all-users folder missing (C); "temi", the desktop and the menu
  // folder links (L); files no pattern names (N); the program gone (p); no own folder (o).
  const char* prima;
  const char* resta;  // for each path looked at, 1 when it is there after the run
  std::string messaggio = kConferma;
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.prima; }
struct Rimozione : Fake, ::testing::WithParamInterface<Caso> {};

// Each pump shows the table's status and bar and is followed by its pause; the window stays
// disabled throughout, whatever is clicked or closed; no folder is made. The key goes after
// the second pump, the shortcuts after the third, the files after the fourth.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  for (int i : {0, 1, 2, 3, 5, 6, 7, 9, 10, 12, 13}) Add(kVisti[i]);
  Add(kTutti + "QelPictura\\Rimuovi QelPictura dal computer.lnk");
  Add("C:\\QelPictura.exe");  // where a relative "\QelPictura.exe" would be found
  for (char g : std::string(GetParam().prima)) {
    if (g == 'a') answer = Answer::Cancel;
    if (g == 'D') special[Csidl::CommonDesktopDirectory] = special[Csidl::Desktop] = "";
    if (g == 'P') special[Csidl::CommonPrograms] = special[Csidl::Programs] = "";
    if (g == 'C') std::erase_if(fs, [](auto& e) { return e.first.starts_with("c:\\tutti"); });
    if (g == 'L')
      for (Str l : {kVisti[4], kVisti[8], kTutti}) fs[key(l)] = 'l';
    if (g == 'N')
      for (int i : {15, 16, 17}) Add(kVisti[i]);
    if (g == 'p') fs.erase(key(kVisti[0]));
    if (g == 'o') own = "";
  }
  frmMain& f = forms::instance<frmMain>();
  f.Load();
  if (f.Loaded()) Run(f, f.lbl, f.cmdRimuovi);
  std::string resta;
  for (std::size_t i = 0; char c : std::string(GetParam().resta))
    resta += c == ' ' ? ' ' : kind(kVisti[i++]) ? '1' : '0';
  EXPECT_EQ(GetParam().resta, resta);
  EXPECT_EQ(std::vector<std::string>{GetParam().messaggio}, boxes);
  const bool corsa = GetParam().messaggio == kConferma && answer == Answer::Ok;
  EXPECT_EQ(corsa ? attese::Rimozione() : std::vector<attese::Tappa>{}, rows);
  EXPECT_EQ(std::tuple(corsa ? 2000u : 0u, corsa ? "00000" : "", 0u),
            std::tuple(clock, enabled, makes));
  EXPECT_TRUE(*GetParam().prima || changes == "23334444") << changes;
}

INSTANTIATE_TEST_SUITE_P(
    Uninstall, Rimozione,
    ::testing::Values(Caso{"", "000001 000 111 111 000"}, Caso{"a", "111111 111 111 111 000"},
                      Caso{"D", "000001 100 111 111 000"}, Caso{"P", "000001 011 111 111 000"},
                      Caso{"C", "000001 000 000 111 000"}, Caso{"L", "001111 111 111 111 000"},
                      Caso{"N", "000011 001 111 111 111"},
                      Caso{"p", "011111 111 111 111 000", kRimosso + "C:\\Programmi\\QelPictura"},
                      Caso{"o", "111111 111 111 111 000", kRimosso}),
    [](const auto& i) { return *i.param.prima ? std::string(i.param.prima) : "tutto"; });

}  // namespace
}  // namespace platform
