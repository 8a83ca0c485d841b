// The uninstaller on the platform in memory: the removal run on the fake clock, and what
// it removes wherever the special folders are, or are not.
#include "fake/Fake.h"
#include "frmMain.h"

namespace platform {
namespace {

const std::string D = "C:\\Programmi\\QelPictura", kAltrove = "C:\\altrove";
const std::string
    kConferma = "Disinstallazione di QelPictura|QelPictura verrà ora rimosso dal computer",
    kRimosso =
        "QelSoftware|QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
// What is looked at after the run, in groups: the installation folder; the desktop and the
// menu folder for all users; the same for the user; the current folder; files no pattern
// names.
const std::vector<std::string> kVisti = {D + "\\QelPictura.exe",
                                         D + "\\help.htm",
                                         D + "\\temi\\happysmile.qelpictura",
                                         D + "\\temi",
                                         D + "\\Uninstall.exe",
                                         "C:\\Public\\Desktop\\QelPictura.lnk",
                                         "C:\\Public\\Programs\\QelPictura\\QelPictura.lnk",
                                         "C:\\Public\\Programs\\QelPictura",
                                         "C:\\io\\Desktop\\QelPictura.lnk",
                                         "C:\\io\\Programs\\QelPictura\\QelPictura.lnk",
                                         "C:\\io\\Programs\\QelPictura",
                                         kAltrove + "\\QelPictura.lnk",
                                         kAltrove + "\\QelPictura\\QelPictura.lnk",
                                         D + "\\temi\\sub\\x.qelpictura",
                                         D + "\\help.htm.bak",
                                         "C:\\Public\\Programs\\QelPictura\\nota.txt"};

struct Uninstall : Prova {
  Uninstall() {
    for (std::size_t i = 0; i < 13; ++i)
      if (i != 3 && i != 7 && i != 10) fake.Add(kVisti[i]);
    fake.Add("C:\\Public\\Programs\\QelPictura\\Rimuovi QelPictura dal computer.lnk");
    fake.cwd = kAltrove;
    fake.special = {{Csidl::CommonDesktopDirectory, "C:\\Public\\Desktop"},
                    {Csidl::Desktop, "C:\\io\\Desktop"},
                    {Csidl::CommonPrograms, "C:\\Public\\Programs"},
                    {Csidl::Programs, "C:\\io\\Programs"}};
  }
  frmMain& finestra() { return forms::instance<frmMain>(); }
};

// Each pump shows the table's status and bar and is followed by its pause; the window
// stays disabled throughout, whatever is clicked or closed. The key goes after the second
// pump, the shortcuts after the third, the files after the fourth.
TEST_F(Uninstall, TheRemovalFollowsItsTimeline) {
  frmMain& f = finestra();
  f.Show();
  fake.status = f.lbl.hWnd();
  fake.onPump = [&] {
    fake.Click(f.cmdRimuovi.hWnd());
    close(f, UnloadMode::ControlMenu);
    close(f, UnloadMode::TaskManager);
  };
  fake.Click(f.cmdRimuovi.hWnd());
  EXPECT_EQ(attese::Rimozione(), fake.rows);
  EXPECT_EQ(2000u, fake.clock);
  EXPECT_EQ("00000", fake.enabled);
  EXPECT_TRUE(fake.Enabled(f.hWnd()));
  EXPECT_EQ("23334444", fake.changes);
  EXPECT_EQ(std::vector<std::string>{"SOFTWARE\\Qel\\Pictura"}, fake.keys);
}

struct Caso {
  const char* nome;
  std::function<void(Fake&)> prima;
  const char* resta;  // for each path looked at, 1 when it is there after the run
  std::string messaggio = kConferma;
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }
struct Casi : Uninstall, ::testing::WithParamInterface<Caso> {};

TEST_P(Casi, RemoveWhatThePatternsNameWhereTheFoldersAre) {
  GetParam().prima(fake);
  finestra().Load();
  if (finestra().Loaded()) finestra().Show(), fake.Click(finestra().cmdRimuovi.hWnd());
  std::string resta;
  for (std::size_t i = 0; char c : std::string(GetParam().resta))
    resta += c == ' ' ? ' ' : fake.kind(kVisti[i++]) ? '1' : '0';
  EXPECT_EQ(GetParam().resta, resta);
  EXPECT_EQ(std::vector<std::string>{GetParam().messaggio}, fake.boxes);
}

void Collega(Fake& f, const std::string& folder) { f.fs[f.key(folder)] = 'l'; }
INSTANTIATE_TEST_SUITE_P(
    Uninstall, Casi,
    ::testing::Values(
        Caso{"tutto", [](Fake&) {}, "00001 000 111 11 000"},
        Caso{"annullata", [](Fake& f) { f.answer = Answer::Cancel; }, "11111 111 111 11 000"},
        Caso{"desktopVuoto",
             [](Fake& f) {
               f.special[Csidl::CommonDesktopDirectory] = f.special[Csidl::Desktop] = "";
             },
             "00001 100 111 11 000"},
        Caso{"programmiVuoti",
             [](Fake& f) { f.special[Csidl::CommonPrograms] = f.special[Csidl::Programs] = ""; },
             "00001 011 111 11 000"},
        Caso{"comuniMancanti",
             [](Fake& f) {
               std::erase_if(f.fs, [](auto& e) { return e.first.starts_with("c:\\public"); });
             },
             "00001 000 000 11 000"},
        Caso{"collegate",
             [](Fake& f) {
               Collega(f, D + "\\temi");
               Collega(f, "C:\\Public\\Desktop");
               Collega(f, "C:\\Public\\Programs\\QelPictura");
             },
             "00111 111 111 11 000"},
        Caso{"nonNominati",
             [](Fake& f) {
               for (std::size_t i = 13; i < kVisti.size(); ++i) f.Add(kVisti[i]);
             },
             "00011 001 111 11 111"},
        Caso{"senzaProgramma", [](Fake& f) { f.fs.erase(f.key(D + "\\QelPictura.exe")); },
             "01111 111 111 11 000", kRimosso + D},
        Caso{"senzaCartella",
             [](Fake& f) {
               f.own = "";
               f.Add("C:\\QelPictura.exe");
             },
             "11111 111 111 11 000", kRimosso}),
    [](const auto& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace platform
