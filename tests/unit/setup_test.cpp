// Setup on the platform in memory: the installation run on the fake clock, its outcomes
// when the shortcuts or the folders fail, and how its pages close.
#include "Impronta.h"
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMain.h"

namespace platform {
namespace {

const std::string kProgramFiles = "C:\\Program Files", D = kProgramFiles + "\\QelPictura",
                  S = "C:\\windows\\system32\\", kUtente = "C:\\io";
const std::string kDesktop = "C:\\Public\\Desktop", kProgrammi = "C:\\Public\\Programs",
                  kMenu = kProgrammi + "\\QelPictura\\";
const std::string kEssenziali = "Non è stato possibile copiare dei files essenziali",
                  kNelMenu = "Impossibile creare dei collegamenti nel menu avvio",
                  kCollegamenti = "Problemi nella creazione dei collegamenti",
                  kPrincipale =
                      "Non è stato possibile copiare il file principale dell'applicazione";

struct Setup : Prova {
  Setup() {
    for (const char* f :
         {impronta::kProgramma, impronta::kAiuto, impronta::kTema, impronta::kDisinstallatore})
      fake.Add(fake.cwd + "\\" + f);
    for (const char* f : impronta::kFileSistema) fake.Add(fake.cwd + "\\" + f);
    for (const std::string& f : {S, kDesktop, kProgrammi, kProgramFiles, kUtente}) fake.Add(f, 'd');
    fake.special = {{Csidl::ProgramFiles, kProgramFiles},
                    {Csidl::CommonDesktopDirectory, kDesktop},
                    {Csidl::Desktop, kUtente + "\\Desktop"},
                    {Csidl::CommonPrograms, kProgrammi},
                    {Csidl::Programs, kUtente + "\\Programs"}};
  }
  frmCartella& pagina() { return forms::instance<frmCartella>(); }
  frmFinale& finale() { return forms::instance<frmFinale>(); }
  void conferma() {
    pagina().Show();
    fake.status = pagina().lblE.hWnd();
    fake.Click(pagina().cmdConferma.hWnd());
  }
};

// Each pump shows the table's status and bar and is followed by its pause; a click or a
// close request meanwhile changes nothing. The page is disabled from the first step to
// the last pump, and the result page takes its place and size.
TEST_F(Setup, TheInstallationFollowsItsTimelineAndHandsOverToTheResultPage) {
  pagina().Move(1200, 900);
  const Rect posto = fake.GetRect(pagina().hWnd());
  fake.onPump = [this] {
    fake.Click(pagina().cmdConferma.hWnd());
    close(pagina(), UnloadMode::ControlMenu);
    close(pagina(), UnloadMode::TaskManager);
  };
  conferma();
  const auto righe = attese::Installazione(D, S);
  EXPECT_EQ(righe, fake.rows);
  EXPECT_EQ(2740u, fake.clock);
  EXPECT_EQ("1" + std::string(righe.size() - 2, '0') + "1", fake.enabled);
  std::vector<std::string> registrazioni;  // minimised (2)
  for (const char* f : attese::kRuntime)
    registrazioni.push_back(S + "REGSVR32.EXE|REGSVR32.EXE /s " + S + f + "|2");
  EXPECT_EQ(registrazioni, fake.started);
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_TRUE(fake.win[finale().hWnd()].visible);
  EXPECT_EQ(posto, fake.GetRect(finale().hWnd()));
}

// What breaks before the run, the result page's list of problems, and how many shortcuts
// were saved.
struct Esito {
  const char* nome;
  std::function<void(Fake&)> guasto;
  std::vector<std::string> errori;
  std::size_t collegamenti;
};
void PrintTo(const Esito& c, std::ostream* os) { *os << c.nome; }
struct Esiti : Setup, ::testing::WithParamInterface<Esito> {};

TEST_P(Esiti, ListTheProblemsAndStartTheProgramWhenItArrived) {
  GetParam().guasto(fake);
  conferma();
  const auto& errori = GetParam().errori;
  auto tra = [&](const std::string& e) { return std::ranges::count(errori, e) == 1; };
  EXPECT_EQ(errori, fake.win[finale().Errori.hWnd()].items);
  EXPECT_EQ(!errori.empty(), finale().Errori.Visible());
  EXPECT_EQ(errori.empty(), finale().lblD.Visible());
  EXPECT_EQ(errori.empty() ? "Installazione eseguita correttamente"
                           : "L'installazione non è stata completata correttamente\r\nErrori:",
            finale().lblC.Caption());
  EXPECT_EQ(GetParam().collegamenti, fake.links.size());
  EXPECT_EQ(tra(kEssenziali), fake.kind(D + "\\msvbvm60.dll") == 'f');
  EXPECT_EQ(fake.system.empty() ? 0u : 6u, fake.started.size());
  EXPECT_EQ(2740u, fake.clock);
  const auto avviati = fake.started.size();
  fake.Click(finale().cmdChiudi.hWnd());
  EXPECT_EQ(avviati + !tra(kPrincipale), fake.started.size());
}

void Rifiuta(Fake& f, const std::string& link) { f.refused.insert(link); }
void Blocca(Fake& f, const std::string& path) { f.Add(path, 'd'); }
INSTANTIATE_TEST_SUITE_P(
    Setup, Esiti,
    ::testing::Values(
        Esito{"nessuno", [](Fake&) {}, {}, 3},
        Esito{"desktop",
              [](Fake& f) { Rifiuta(f, kDesktop + "\\QelPictura.lnk"); },
              {kCollegamenti},
              2},
        Esito{"menu", [](Fake& f) { Rifiuta(f, kMenu + "QelPictura.lnk"); }, {kCollegamenti}, 2},
        Esito{"rimuovi",
              [](Fake& f) { Rifiuta(f, kMenu + "Rimuovi QelPictura dal computer.lnk"); },
              {kCollegamenti},
              2},
        Esito{"senzaScripting", [](Fake& f) { f.scripting = false; }, {kCollegamenti}, 0},
        Esito{"cartellaMenu", [](Fake& f) { f.Add(kMenu); }, {kNelMenu}, 0},
        Esito{"sistemaVuoto", [](Fake& f) { f.system = ""; }, {kEssenziali}, 3},
        Esito{"programmiVuoti",
              [](Fake& f) { f.special[Csidl::CommonPrograms] = f.special[Csidl::Programs] = ""; },
              {kNelMenu},
              0},
        Esito{"desktopVuoto",
              [](Fake& f) {
                f.special[Csidl::CommonDesktopDirectory] = f.special[Csidl::Desktop] = "";
              },
              {kCollegamenti},
              2},
        Esito{"comuniMancanti",
              [](Fake& f) {
                std::erase_if(f.fs, [](auto& e) { return e.first.starts_with("c:\\public"); });
              },
              {},
              3},
        Esito{"principale", [](Fake& f) { f.fs.erase(f.key("QelPictura.exe")); }, {kPrincipale}, 3},
        Esito{"treSenzaMenu",
              [](Fake& f) {
                f.fs.erase(f.key("QelPictura.exe"));
                f.Add(kMenu);
                Blocca(f, S + "msvbvm60.dll");
              },
              {kEssenziali, kNelMenu, kPrincipale},
              0},
        Esito{"treConCollegamento",
              [](Fake& f) {
                f.fs.erase(f.key("QelPictura.exe"));
                Rifiuta(f, kDesktop + "\\QelPictura.lnk");
                Blocca(f, S + "msvbvm60.dll");
              },
              {kEssenziali, kCollegamenti, kPrincipale},
              2}),
    [](const auto& i) { return std::string(i.param.nome); });

// The code, the task manager and the end of the session close a page without a question;
// its close box asks whether to cancel the installation, and "No" keeps it.
TEST_F(Setup, OnlyTheCloseBoxAsksBeforeAPageCloses) {
  frmMain& benvenuto = forms::instance<frmMain>();
  for (auto why : {UnloadMode::Code, UnloadMode::TaskManager, UnloadMode::AppWindows}) {
    benvenuto.Show();
    close(benvenuto, why);
    EXPECT_FALSE(benvenuto.Loaded());
  }
  benvenuto.Show();
  for (const char* risposta : {"&No", "&Si"}) {
    fake.answers = {risposta};
    close(benvenuto, UnloadMode::ControlMenu);
    EXPECT_TRUE(fake.answers.empty());
  }
  EXPECT_FALSE(benvenuto.Loaded());
}

// However it closes, the result page starts the installed program once, as the user, in
// its folder; without a program it starts nothing.
TEST_F(Setup, TheResultPageStartsTheProgramOnceWhateverClosesIt) {
  for (const std::string& avvio : {D + "\\QelPictura.exe", std::string()}) {
    finale().Avvio = avvio;
    for (auto why : {UnloadMode::ControlMenu, UnloadMode::Code, UnloadMode::TaskManager,
                     UnloadMode::AppWindows}) {
      finale().Show();
      close(finale(), why);
      EXPECT_FALSE(finale().Loaded());
    }
    finale().Show();
    fake.Click(finale().cmdChiudi.hWnd());
    EXPECT_FALSE(finale().Loaded());
  }
  EXPECT_EQ(std::vector<std::string>(5, "user " + D + "\\QelPictura.exe|" + D + "|1"),
            fake.started);
}

}  // namespace
}  // namespace platform
