// Setup on the platform in memory: the installation run, with what may break, and how the
// pages close.
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmLicenza.h"
#include "frmMain.h"
#include "frmMsg.h"

namespace platform {
namespace {

using namespace impronta;
using attese::kCollegamenti, attese::kPrincipale;
const std::string kMenu = "C:\\Tutti\\QelPictura\\";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio";
using enum UnloadMode;

struct Esito {
  std::string guasti;                              // what breaks before the run, below
  std::vector<std::string> errori;                 // the result page's list
  unsigned collegamenti;                           // shortcuts saved, says the shell
  UnloadMode chiusura;                             // how the pages close; Code: "Chiudi"
  std::string D = "C:\\Applicazioni\\QelPictura";  // the folder proposed and installed
};
struct Installazione : Fake, ::testing::WithParamInterface<Esito> {};

// The page is disabled from the first step to the last pump; the result page lists what broke
// and, however it closes, starts the program once it arrived. A guided page closes alike unasked,
// save by its close box, which asks and keeps the page, as it does when the question cannot be
// shown; "Annulla" then still closes it.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  const std::map<char, std::function<void()>> guasti = {
      {'d', [&] { refused = kTutti + kCollegamento; }},        // not saved: the desktop shortcut,
      {'m', [&] { refused = kMenu + kCollegamento; }},         // the menu's,
      {'r', [&] { refused = kMenu + kCollegamentoRimuovi; }},  // the removal shortcut;
      {'l', [&] { lost = kTutti + kCollegamento; }},  // the desktop's said saved, yet not there
      {'S', [&] { sys = ""; }},                       // unknown to the shell: the system,
      {'P', [&] { special[Csidl::CommonPrograms] = ""; }},          // the programs,
      {'D', [&] { special[Csidl::CommonDesktopDirectory] = ""; }},  // the desktop folder;
      {'p', [&] { fs.erase(key(kProgramma)); }},                    // missing: the main program,
      {'f', [&] { fs.erase(key("C:\\Applicazioni")); }},            // the shell's Program Files,
      {'n', [&] { fs.erase(key("C:\\Program Files")); }},           // "C:\Program Files",
      {'s', [&] { fs.erase(key(sys)); }},         // the system folder the shell names;
      {'i', [&] { Add("C:\\programmi\\"); }},     // there: "C:\programmi";
      {'b', [&] { browsed = "C:\\"; }},           // picked with "sfoglia...": the drive root,
      {'x', [&] { browsed = "C:\\Mancante"; }}};  // a folder that is not there
  const Esito& e = GetParam();
  for (char g : e.guasti) guasti.at(g)();
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  if (browsed) Click(pagina.cmdSfoglia);
  Run(pagina, pagina.lblE, pagina.cmdConferma);
  auto righe = attese::Installazione(e.D, sys);  // a pump for each shortcut saved
  righe.erase(righe.end() - 5, righe.end() - 2 - e.collegamenti);
  EXPECT_EQ(std::tuple(righe, "1" + std::string(rows.size() - 2, '0') + "1", e.errori,
                       e.errori.empty(), !e.errori.empty()),
            std::tuple(rows, log, items, finale.lblD.Visible(), finale.Errori.Visible()));
  EXPECT_EQ(std::pair(Rect{50, 430, 832, 36}, Rect{50, 510, 842, 90}),
            std::pair(rects[bar], rects[status]));  // both follow the change of screen
  EXPECT_EQ(!e.errori.empty() && e.errori[0] == kEssenziali, kind(e.D + "\\msvbvm60.dll") == 'f');
  // The result page in the destination page's stead; nothing made in the current folder.
  EXPECT_EQ(std::tuple(false, true, false),
            std::tuple(pagina.Loaded(), win[finale.hWnd()].visible, folder("QelPictura")));
  EXPECT_EQ(kAltrove, rects[finale.hWnd()]);  // its place and size, in pixels at any DPI
  if (e.chiusura == Code)
    Click(finale.cmdChiudi);
  else
    close(finale, e.chiusura);
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show();  // a guided page
  close(benvenuto, e.chiusura);
  EXPECT_EQ(e.chiusura == ControlMenu, benvenuto.Loaded());
  benvenuto.Show();
  full = true;  // the question cannot be shown: the close box keeps the page, "Annulla" not
  forms::instance<frmMsg>().Unload();
  close(benvenuto, e.chiusura);
  EXPECT_EQ(e.chiusura == ControlMenu, benvenuto.Loaded());
  if (benvenuto.Loaded()) Click(benvenuto.cmdAnnulla);
  EXPECT_FALSE(benvenuto.Loaded());
  std::vector<std::string> avviati;  // from the system directory, minimised (2)
  for (const char* f : attese::kRuntime)
    if (!sys.empty()) avviati.push_back(sys + "REGSVR32.EXE|REGSVR32.EXE /s " + sys + f + "|2");
  if (e.guasti.find('p') == std::string::npos)
    avviati.push_back("user " + e.D + "\\QelPictura.exe|" + e.D + "|1");
  EXPECT_EQ(avviati, started);
  EXPECT_EQ((std::vector{Csidl::Desktop, Csidl::Programs}), made);  // the user's, if need be
}

// The next page stands where the page before stood, to the pixel, though that one is on a
// 144-DPI display left of and above the main one; in twips, a place comes back to the pixel.
TEST_F(Fake, TheNextPageTakesThePlaceInPixels) {
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show();
  static_cast<WindowEvents&>(benvenuto).OnDpiChanged(144, kAltrove);
  Click(benvenuto.cmdContinua);
  frmLicenza& licenza = forms::instance<frmLicenza>();
  licenza.Move(licenza.Left(), licenza.Top());
  const Rect posto = rects[licenza.hWnd()];
  EXPECT_EQ(std::tuple(false, -301, -201, -4515),
            std::tuple(benvenuto.Loaded(), posto.left, posto.top, licenza.Left()));
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Installazione,
    ::testing::ValuesIn(std::vector<Esito>{
        {"ix", {}, 3, Outside},
        {"d", {kCollegamenti}, 2, ControlMenu},
        {"l", {kCollegamenti}, 3, ControlMenu},
        {"m", {kCollegamenti}, 2, Outside},
        {"rb", {kCollegamenti}, 2, AppWindows, "C:\\QelPictura"},
        {"Sfn", {kEssenziali}, 3, Code, "C:\\QelPictura"},
        {"Pfi", {kNelMenu}, 0, Code, "C:\\programmi\\QelPictura"},
        {"Dfs", {kEssenziali, kCollegamenti}, 2, Code, "C:\\Program Files\\QelPictura"},
        {"pSP", {kEssenziali, kNelMenu, kPrincipale}, 0, AppWindows},
        {"dpS", {kEssenziali, kCollegamenti, kPrincipale}, 2, ControlMenu}}),
    [](const auto& i) { return i.param.guasti; });

}  // namespace
}  // namespace platform
