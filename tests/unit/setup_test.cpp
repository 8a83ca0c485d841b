// Setup on the platform in memory: the installation run with whatever breaks, and how the
// pages close.
#include "Impronta.h"
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMain.h"

namespace platform {
namespace {

const std::string kProgramFiles = "C:\\Program Files", D = kProgramFiles + "\\QelPictura",
                  S = "C:\\windows\\system32\\", kIo = "C:\\Io", kDesktop = "C:\\Tutti\\Desktop\\",
                  kProgrammi = "C:\\Tutti\\Programmi", kMenu = kProgrammi + "\\QelPictura\\";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio",
           *kCollegamenti = "Problemi nella creazione dei collegamenti",
           *kPrincipale = "Non è stato possibile copiare il file principale dell'applicazione";

struct Setup : Prova {
  Setup() {
    using namespace impronta;
    for (const char* f : {kProgramma, kAiuto, kTema, kDisinstallatore}) fake.Add(f);
    for (const char* f : kFileSistema) fake.Add(f);
    for (const std::string& f : {S, kDesktop, kProgrammi, fake.cwd, kIo, kProgramFiles})
      fake.Add(f, 'd');
    fake.special = {{Csidl::ProgramFiles, kProgramFiles},
                    {Csidl::CommonDesktopDirectory, kDesktop},
                    {Csidl::Desktop, kIo + "\\Desktop"},
                    {Csidl::CommonPrograms, kProgrammi},
                    {Csidl::Programs, kIo + "\\Programmi"}};
  }
  frmCartella& pagina() { return forms::instance<frmCartella>(); }
  frmFinale& finale() { return forms::instance<frmFinale>(); }
};

// Breaks, before the run, what each letter names: the saving of the desktop (d), menu (m)
// or removal (r) shortcut; the scripting object (s); the menu folder, taken by a file (M);
// the system (S), programs (P) or desktop (D) folder, unknown to the shell; the all-users
// folders, missing (C); the main program in the package (p); the essential runtime file
// in the system directory, taken by a folder (e).
void Guasta(Fake& f, char g) {
  if (g == 'd' || g == 'm') f.refused = (g == 'd' ? kDesktop : kMenu) + impronta::kCollegamento;
  if (g == 'r') f.refused = kMenu + impronta::kCollegamentoRimuovi;
  if (g == 's') f.scripting = false;
  if (g == 'M') f.Add(kMenu);
  if (g == 'S') f.system = "";
  if (g == 'P') f.special[Csidl::CommonPrograms] = f.special[Csidl::Programs] = "";
  if (g == 'D') f.special[Csidl::CommonDesktopDirectory] = f.special[Csidl::Desktop] = "";
  if (g == 'C') std::erase_if(f.fs, [](auto& e) { return e.first.starts_with("c:\\tutti"); });
  if (g == 'p') f.fs.erase(f.key(impronta::kProgramma));
  if (g == 'e') f.Add(S + impronta::kEssenziale, 'd');
}

struct Esito {
  const char* guasti;
  std::vector<std::string> errori;  // the result page's list
  unsigned collegamenti;            // shortcuts saved
};
void PrintTo(const Esito& e, std::ostream* os) { *os << e.guasti; }
struct Installazione : Setup, ::testing::WithParamInterface<Esito> {};

// Each pump shows the table's status and bar and is followed by its pause; clicks and
// close requests meanwhile change nothing. The page is disabled from the first step to the
// last pump, and the result page, in its place, starts the program when it arrived.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  const std::string guasti = GetParam().guasti;
  const auto& errori = GetParam().errori;
  for (char g : guasti) Guasta(fake, g);
  pagina().Move(1200, 900);
  const Rect posto = fake.GetRect(pagina().hWnd());
  fake.status = pagina().lblE.hWnd();
  fake.onPump = [this] {
    fake.Click(pagina().cmdConferma.hWnd());
    close(pagina(), UnloadMode::TaskManager);
    close(pagina(), UnloadMode::ControlMenu);
  };
  pagina().Show();
  fake.Click(pagina().cmdConferma.hWnd());
  EXPECT_EQ(guasti.empty() ? attese::Installazione(D, S) : fake.rows, fake.rows);
  EXPECT_EQ(2740u, fake.clock);
  EXPECT_EQ("1" + std::string(fake.rows.size() - 2, '0') + "1", fake.enabled);
  std::vector<std::string> registrazioni;  // minimised (2)
  for (const char* f : attese::kRuntime)
    if (!fake.system.empty())
      registrazioni.push_back(S + "REGSVR32.EXE|REGSVR32.EXE /s " + S + f + "|2");
  EXPECT_EQ(registrazioni, fake.started);
  EXPECT_EQ(GetParam().collegamenti, fake.links);
  EXPECT_EQ(errori, fake.win[finale().Errori.hWnd()].items);
  EXPECT_EQ(!errori.empty(), finale().Errori.Visible());
  EXPECT_EQ(errori.empty(), finale().lblD.Visible());
  EXPECT_EQ(errori.empty() ? "Installazione eseguita correttamente"
                           : "L'installazione non è stata completata correttamente\r\nErrori:",
            finale().lblC.Caption());
  // The essential file goes into the installation folder when it missed the system's.
  EXPECT_EQ(!errori.empty() && errori[0] == kEssenziali, fake.kind(D + "\\msvbvm60.dll") == 'f');
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_TRUE(fake.win[finale().hWnd()].visible);
  EXPECT_EQ(posto, fake.GetRect(finale().hWnd()));
  fake.Click(finale().cmdChiudi.hWnd());
  EXPECT_EQ(registrazioni.size() + (guasti.find('p') == std::string::npos), fake.started.size());
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Installazione,
    ::testing::Values(Esito{"", {}, 3}, Esito{"d", {kCollegamenti}, 2},
                      Esito{"m", {kCollegamenti}, 2}, Esito{"r", {kCollegamenti}, 2},
                      Esito{"s", {kCollegamenti}, 0}, Esito{"M", {kNelMenu}, 0},
                      Esito{"S", {kEssenziali}, 3}, Esito{"P", {kNelMenu}, 0},
                      Esito{"D", {kCollegamenti}, 2}, Esito{"C", {}, 3},
                      Esito{"p", {kPrincipale}, 3},
                      Esito{"peM", {kEssenziali, kNelMenu, kPrincipale}, 0},
                      Esito{"dpe", {kEssenziali, kCollegamenti, kPrincipale}, 2}),
    [](const auto& i) { return *i.param.guasti ? std::string(i.param.guasti) : "nessuno"; });

// The code, the task manager and the end of the session close a page without a question;
// a page's close box asks whether to cancel, and "No" keeps it; the result page's asks
// nothing. However it closes, the result page starts the program once, as the user, in its
// folder; without a program, nothing.
TEST_F(Setup, PagesCloseAndTheResultPageStartsTheProgramOnce) {
  frmMain& benvenuto = forms::instance<frmMain>();
  for (const std::string& avvio : {std::string(), D + "\\QelPictura.exe"})
    for (auto why : {UnloadMode::Code, UnloadMode::TaskManager, UnloadMode::AppWindows,
                     UnloadMode::ControlMenu}) {
      benvenuto.Show();
      finale().Show();
      finale().Avvio = avvio;
      fake.reply = why == UnloadMode::ControlMenu ? "&No" : "";
      close(benvenuto, why);
      close(finale(), why);
      EXPECT_EQ(why == UnloadMode::ControlMenu, benvenuto.Loaded());
      EXPECT_FALSE(finale().Loaded());
    }
  finale().Show();
  fake.Click(finale().cmdChiudi.hWnd());
  EXPECT_EQ(std::vector<std::string>(5, "user " + D + "\\QelPictura.exe|" + D + "|1"),
            fake.started);
}

}  // namespace
}  // namespace platform
