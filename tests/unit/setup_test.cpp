// Setup on the platform in memory: the installation run, with what may break, and how the
// pages close.
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMain.h"

namespace platform {
namespace {

using namespace impronta;
const std::string D = "C:\\Program Files\\QelPictura", kMenu = "C:\\Tutti\\QelPictura\\";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio",
           *kCollegamenti = "Problemi nella creazione dei collegamenti",
           *kPrincipale = "Non è stato possibile copiare il file principale dell'applicazione";

constexpr auto kCodice = UnloadMode::Code, kX = UnloadMode::ControlMenu,
               kTask = UnloadMode::TaskManager, kFine = UnloadMode::AppWindows;

struct Esito {
  // Broken before the run: the saving of the desktop (d), menu (m) or removal (r) shortcut;
  // the system (S), programs (P) or desktop (D) folder, unknown to the shell; the main
  // program in the package (p).
  std::string guasti;
  std::vector<std::string> errori;         // the result page's list
  unsigned collegamenti;                   // shortcuts saved
  UnloadMode chiusura = UnloadMode::Code;  // how the result page closes; Code: "Chiudi"
};
struct Installazione : Fake, ::testing::WithParamInterface<Esito> {};

// Each pump shows the table's status and bar, then its pause (a shortcut not saved has no
// pump); the page is disabled from the first step to the last pump. The result page lists
// what broke and, however it closes, starts the program once it arrived. A guided page closes
// alike without a question, save by its close box, which asks and keeps the page meanwhile.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  for (char g : GetParam().guasti) {
    if (g == 'd' || g == 'm') refused = (g == 'd' ? kTutti : kMenu) + kCollegamento;
    if (g == 'r') refused = kMenu + kCollegamentoRimuovi;
    if (g == 'S') system = "";
    if (g == 'P') special[Csidl::CommonPrograms] = "";
    if (g == 'D') special[Csidl::CommonDesktopDirectory] = "";
    if (g == 'p') fs.erase(key(kProgramma));
  }
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  Run(pagina, pagina.lblE, pagina.cmdConferma);
  auto righe = attese::Installazione(D, system);  // a pump for each shortcut saved
  righe.erase(righe.end() - 5, righe.end() - 2 - GetParam().collegamenti);
  EXPECT_EQ(std::pair(righe, 2740u), std::pair(rows, clock));
  EXPECT_EQ("1" + std::string(rows.size() - 2, '0') + "1", enabled);
  const auto& errori = GetParam().errori;
  EXPECT_EQ(errori, items);
  EXPECT_EQ(std::pair(errori.empty(), !errori.empty()),
            std::pair(finale.lblD.Visible(), finale.Errori.Visible()));
  EXPECT_EQ(!errori.empty() && errori[0] == kEssenziali, kind(D + "\\msvbvm60.dll") == 'f');
  EXPECT_EQ(std::pair(false, true), std::pair(pagina.Loaded(), win[finale.hWnd()].visible));
  const UnloadMode why = GetParam().chiusura;
  why == kCodice ? Click(finale.cmdChiudi.hWnd()) : close(finale, why);
  forms::instance<frmMain>().Show();  // a guided page closes alike, unasked
  close(forms::instance<frmMain>(), why);
  EXPECT_EQ(why == kX, forms::instance<frmMain>().Loaded());
  std::vector<std::string> avviati;  // from the system directory, minimised (2)
  for (const char* f : attese::kRuntime)
    if (!system.empty())
      avviati.push_back(system + "REGSVR32.EXE|REGSVR32.EXE /s " + system + f + "|2");
  if (GetParam().guasti.find('p') == std::string::npos)
    avviati.push_back("user " + D + "\\QelPictura.exe|" + D + "|1");
  EXPECT_EQ(avviati, started);
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Installazione,
    ::testing::Values(Esito{"", {}, 3, kTask}, Esito{"d", {kCollegamenti}, 2, kX},
                      Esito{"m", {kCollegamenti}, 2, kTask}, Esito{"r", {kCollegamenti}, 2, kFine},
                      Esito{"S", {kEssenziali}, 3}, Esito{"P", {kNelMenu}, 0},
                      Esito{"D", {kCollegamenti}, 2},
                      Esito{"pSP", {kEssenziali, kNelMenu, kPrincipale}, 0, kFine},
                      Esito{"dpS", {kEssenziali, kCollegamenti, kPrincipale}, 2, kX}),
    [](const auto& i) { return i.param.guasti.empty() ? "nessuno" : i.param.guasti; });

}  // namespace
}  // namespace platform
