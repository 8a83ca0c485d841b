// The uninstaller on the platform in memory: the removal run, and what it removes wherever
// the special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

const std::string D = "C:\\Programmi\\QelPictura\\",
                  kConferma =
                      "Disinstallazione di QelPictura|QelPictura verrà ora rimosso dal "
                      "computer",
                  kRimosso =
                      "QelSoftware|QelPictura è già stato disinstallato\r\nRimuovere "
                      "manualmente la cartella\r\n";
// What is looked at after the run, in groups: the installation folder; the desktop shortcut,
// the menu folder's and the menu folder in C:\Tutti (the desktop and programs folder for
// all users), in C:\Io (the user's) and in the current folder; files no pattern names.
const std::vector<std::string> kVisti = [] {
  std::vector<std::string> v;
  for (const char* f :
       {"QelPictura.exe", "help.htm", "temi\\happysmile.qelpictura", "temi", "Uninstall.exe"})
    v.push_back(D + f);
  for (std::string r : {"C:\\Tutti\\", "C:\\Io\\", "C:\\Altrove\\"})
    v.insert(v.end(), {r + "QelPictura.lnk", r + "QelPictura\\QelPictura.lnk", r + "QelPictura"});
  v.insert(v.end(), {D + "temi\\sub\\x.qelpictura", D + "help.htm.bak", v[7] + "\\nota.txt"});
  return v;
}();

struct Caso {
  const char* nome;
  std::function<void(Fake&)> prima;
  const char* resta;  // for each path looked at, 1 when it is there after the run
  std::string messaggio = kConferma;
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }
struct Rimozione : Prova, ::testing::WithParamInterface<Caso> {};

// Each pump shows the table's status and bar and is followed by its pause; the window stays
// disabled throughout, whatever is clicked or closed. The key goes after the second pump,
// the shortcuts after the third, the files after the fourth.
TEST_P(Rimozione, RemovesWhatThePatternsNameWhereTheFoldersAre) {
  for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 11, 12}) fake.Add(kVisti[i]);
  fake.Add("C:\\Tutti\\QelPictura\\Rimuovi QelPictura dal computer.lnk");
  fake.cwd = "C:\\Altrove";
  fake.special = {{Csidl::CommonDesktopDirectory, "C:\\Tutti"},
                  {Csidl::CommonPrograms, "C:\\Tutti"},
                  {Csidl::Desktop, "C:\\Io"},
                  {Csidl::Programs, "C:\\Io"}};
  GetParam().prima(fake);
  frmMain& f = forms::instance<frmMain>();
  f.Load();
  if (f.Loaded()) {
    fake.status = f.lbl.hWnd();
    fake.onPump = [&] {
      fake.Click(f.cmdRimuovi.hWnd());
      close(f, UnloadMode::ControlMenu);
    };
    f.Show();
    fake.Click(f.cmdRimuovi.hWnd());
  }
  std::string resta;
  for (std::size_t i = 0; char c : std::string(GetParam().resta))
    resta += c == ' ' ? ' ' : fake.kind(kVisti[i++]) ? '1' : '0';
  EXPECT_EQ(GetParam().resta, resta);
  EXPECT_EQ(std::vector<std::string>{GetParam().messaggio}, fake.boxes);
  const bool corsa = GetParam().messaggio == kConferma && fake.answer == Answer::Ok;
  EXPECT_EQ(corsa ? attese::Rimozione() : std::vector<attese::Tappa>{}, fake.rows);
  EXPECT_EQ(corsa ? 2000u : 0u, fake.clock);
  EXPECT_EQ(corsa ? "00000" : "", fake.enabled);
  EXPECT_EQ(corsa ? "234" : "", fake.changes);
}

void Collega(Fake& f, const std::string& folder) { f.fs[f.key(folder)] = 'l'; }
INSTANTIATE_TEST_SUITE_P(
    Uninstall, Rimozione,
    ::testing::Values(
        Caso{"tutto", [](Fake&) {}, "00001 000 111 111 000"},
        Caso{"annullata", [](Fake& f) { f.answer = Answer::Cancel; }, "11111 111 111 111 000"},
        Caso{"desktopVuoto",
             [](Fake& f) {
               f.special[Csidl::CommonDesktopDirectory] = f.special[Csidl::Desktop] = "";
             },
             "00001 100 111 111 000"},
        Caso{"programmiVuoti",
             [](Fake& f) { f.special[Csidl::CommonPrograms] = f.special[Csidl::Programs] = ""; },
             "00001 011 111 111 000"},
        Caso{"comuniMancanti",
             [](Fake& f) {
               std::erase_if(f.fs, [](auto& e) { return e.first.starts_with("c:\\tutti"); });
             },
             "00001 000 000 111 000"},
        Caso{"collegate",
             [](Fake& f) {
               for (int i : {3, 7}) Collega(f, kVisti[i]);
               Collega(f, "C:\\Tutti");
             },
             "00111 111 111 111 000"},
        Caso{"nonNominati",
             [](Fake& f) {
               for (int i : {14, 15, 16}) f.Add(kVisti[i]);
             },
             "00011 001 111 111 111"},
        Caso{"senzaProgramma", [](Fake& f) { f.fs.erase(f.key(kVisti[0])); },
             "01111 111 111 111 000", kRimosso + "C:\\Programmi\\QelPictura"},
        Caso{"senzaCartella",
             [](Fake& f) {
               f.own = "";
               f.Add("C:\\QelPictura.exe");
             },
             "11111 111 111 111 000", kRimosso}),
    [](const auto& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace platform
