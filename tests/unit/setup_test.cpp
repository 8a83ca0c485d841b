// Setup on the platform in memory: the installation run, with what may break, and how the
// pages close.
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMain.h"
#include "frmMsg.h"

namespace platform {
namespace {

using namespace impronta;
const std::string kMenu = "C:\\Tutti\\QelPictura\\";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio";
using attese::kCollegamenti, attese::kPrincipale;

constexpr auto kCodice = UnloadMode::Code, kX = UnloadMode::ControlMenu,
               kTask = UnloadMode::TaskManager, kFine = UnloadMode::AppWindows;

struct Esito {
  // Before the run, failing: the saving of the desktop (d), menu (m) or removal (r) shortcut;
  // unknown to the shell: the system (S), programs (P) or desktop (D) folder; missing: the main
  // program (p), the shell's Program Files (f), "C:\Program Files" (n), the system folder the
  // shell names (s); there: "C:\programmi" (i); picked with "sfoglia...": the drive root (b), a
  // folder that is not there (x); saved, says the shell, yet not there: the desktop shortcut (l).
  std::string guasti;
  std::vector<std::string> errori;                 // the result page's list
  unsigned collegamenti;                           // shortcuts saved, says the shell
  UnloadMode chiusura = UnloadMode::Code;          // Code: "Chiudi"
  std::string D = "C:\\Applicazioni\\QelPictura";  // the folder proposed and installed
};
struct Installazione : Fake, ::testing::WithParamInterface<Esito> {};

// Each pump shows the table's status and bar, then its pause (a shortcut the shell did not
// save has no pump); the page is disabled from the first step to the last pump. The result
// page lists what broke and, however it closes, starts the program once it arrived. A guided
// page closes alike without a question, save by its close box, which asks and keeps the page
// meanwhile, or closes it unasked when the question cannot be shown.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  for (char g : GetParam().guasti) {
    if (g == 'd' || g == 'm') refused = (g == 'd' ? kTutti : kMenu) + kCollegamento;
    if (g == 'r') refused = kMenu + kCollegamentoRimuovi;
    if (g == 'S') sys = "";
    if (g == 's') sys = "C:\\Mancante\\";
    if (g == 'P') special[Csidl::CommonPrograms] = "";
    if (g == 'D') special[Csidl::CommonDesktopDirectory] = "";
    if (g == 'p' || g == 'f' || g == 'n')
      fs.erase(key(g == 'p' ? kProgramma : g == 'f' ? "C:\\Applicazioni" : "C:\\Program Files"));
    if (g == 'i') Add("C:\\programmi", 'd');
    if (g == 'b') browsed = "C:\\";
    if (g == 'x') browsed = "C:\\Mancante";
    if (g == 'l') lost = kTutti + kCollegamento;
  }
  const std::string& D = GetParam().D;
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  fs.erase(key("QelPictura"));  // nothing is made in the current folder, the package
  if (browsed) Click(pagina.cmdSfoglia.hWnd());
  Run(pagina, pagina.lblE, pagina.cmdConferma);
  auto righe = attese::Installazione(D, sys);  // a pump for each shortcut saved
  righe.erase(righe.end() - 5, righe.end() - 2 - GetParam().collegamenti);
  EXPECT_EQ(std::pair(righe, 2740u), std::pair(rows, clock));
  EXPECT_EQ(std::pair(Rect{50, 430, 832, 36}, Rect{50, 510, 842, 90}),
            std::pair(rects[bar], rects[status]));  // both follow the change of screen
  EXPECT_EQ("1" + std::string(rows.size() - 2, '0') + "1", enabled);
  const auto& errori = GetParam().errori;
  EXPECT_EQ(std::tuple(errori, errori.empty(), !errori.empty()),
            std::tuple(items, finale.lblD.Visible(), finale.Errori.Visible()));
  EXPECT_EQ(!errori.empty() && errori[0] == kEssenziali, kind(D + "\\msvbvm60.dll") == 'f');
  EXPECT_EQ(std::tuple(false, true, false),
            std::tuple(pagina.Loaded(), win[finale.hWnd()].visible, folder("QelPictura")));
  const UnloadMode why = GetParam().chiusura;
  if (why == kCodice)
    Click(finale.cmdChiudi.hWnd());
  else
    close(finale, why);
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show();  // a guided page closes alike, unasked
  close(benvenuto, why);
  EXPECT_EQ(why == kX, benvenuto.Loaded());
  benvenuto.Show();
  full = true;  // and by its close box or "Annulla", unasked, when the question cannot be shown
  forms::instance<frmMsg>().Unload();
  if (why == kX)
    close(benvenuto, kX);
  else
    Click(benvenuto.cmdAnnulla.hWnd());
  EXPECT_FALSE(benvenuto.Loaded());
  std::vector<std::string> avviati;  // from the system directory, minimised (2)
  for (const char* f : attese::kRuntime)
    if (!sys.empty()) avviati.push_back(sys + "REGSVR32.EXE|REGSVR32.EXE /s " + sys + f + "|2");
  if (GetParam().guasti.find('p') == std::string::npos)
    avviati.push_back("user " + D + "\\QelPictura.exe|" + D + "|1");
  EXPECT_EQ(avviati, started);
  EXPECT_EQ((std::vector{Csidl::Desktop, Csidl::Programs}), made);  // the user's, if need be
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Installazione,
    ::testing::Values(
        Esito{"ix", {}, 3, kTask}, Esito{"d", {kCollegamenti}, 2, kX},
        Esito{"l", {kCollegamenti}, 3, kX}, Esito{"m", {kCollegamenti}, 2, kTask},
        Esito{"rb", {kCollegamenti}, 2, kFine, "C:\\QelPictura"},
        Esito{"Sfn", {kEssenziali}, 3, kCodice, "C:\\QelPictura"},
        Esito{"Pfi", {kNelMenu}, 0, kCodice, "C:\\programmi\\QelPictura"},
        Esito{"Dfs", {kEssenziali, kCollegamenti}, 2, kCodice, "C:\\Program Files\\QelPictura"},
        Esito{"pSP", {kEssenziali, kNelMenu, kPrincipale}, 0, kFine},
        Esito{"dpS", {kEssenziali, kCollegamenti, kPrincipale}, 2, kX}),
    [](const auto& i) { return i.param.guasti; });

}  // namespace
}  // namespace platform
