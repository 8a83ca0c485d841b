// Setup on the platform in memory: the installation run, with what may break, and how the
// pages close. What each case leaves is its approved record, tests/approved/unit/setup-*.txt.
#include "fake/Fake.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmLicenza.h"
#include "frmMain.h"
#include "frmMsg.h"

namespace platform {
namespace {

using enum UnloadMode;
const std::string kDesktop = "C:\\Tutti\\QelPictura.lnk",
                  kMenu = "C:\\Tutti\\QelPictura\\QelPictura.lnk",
                  kRimuovi = "C:\\Tutti\\QelPictura\\Rimuovi QelPictura dal computer.lnk";

// What breaks before the run (letters below), and how the pages close (Code: "Chiudi").
struct Caso {
  std::string guasti;
  UnloadMode chiusura;
};
struct Installazione : Fake, ::testing::WithParamInterface<Caso> {};

// The record: the timeline (the page disabled from the first step to the last pump), what the
// run left and started (the program once it arrived, however the result page closes), the
// result page with its place and size in pixels, in the destination page's stead, both laid
// out anew at 192 DPI. A guided page closes alike unasked, save by its close box, which asks
// and keeps the page, as it does when the question cannot be shown; "Annulla" then still
// closes it.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  const std::map<char, std::function<void()>> guasti = {
      {'d', [&] { Add(kDesktop + "\\"); }},  // a folder where a shortcut goes: the
      {'m', [&] { Add(kMenu + "\\"); }},     // desktop's, the menu's,
      {'r', [&] { Add(kRimuovi + "\\"); }},  // the removal one;
      {'l', [&] { lost = kDesktop; }},       // the desktop's said saved, yet not there;
      {'S', [&] { sys = ""; }},              // unknown to the shell: the system,
      {'P', [&] { special[Csidl::CommonPrograms] = ""; }},          // the programs,
      {'D', [&] { special[Csidl::CommonDesktopDirectory] = ""; }},  // the desktop folder;
      {'p', [&] { fs.erase(key("QelPictura.exe")); }},              // missing: the main program,
      {'f', [&] { fs.erase(key("C:\\Applicazioni")); }},            // the shell's Program Files,
      {'n', [&] { fs.erase(key("C:\\Program Files")); }},           // "C:\Program Files",
      {'s', [&] { fs.erase(key(sys)); }},         // the system folder the shell names;
      {'i', [&] { Add("C:\\programmi\\"); }},     // there: "C:\programmi";
      {'b', [&] { browsed = "C:\\"; }},           // picked with "sfoglia...": the drive root,
      {'x', [&] { browsed = "C:\\Mancante"; }}};  // a folder that is not there
  const Caso& e = GetParam();
  for (char g : e.guasti) guasti.at(g)();
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  if (browsed) Click(pagina.cmdSfoglia);
  Run(pagina, pagina.lblE, pagina.cmdConferma);
  std::string esito = "result page at " + Place(rects[finale.hWnd()]) + ", bar " +
                      Place(rects[bar]) + ", status " + Place(rects[status]) + "; shown:";
  for (auto [shown, what] : {std::pair{win[finale.hWnd()].visible, " the page"},
                             {finale.lblD.Visible(), " its label"},
                             {finale.Errori.Visible(), " its list"},
                             {pagina.Loaded(), " the destination page"}})
    esito += shown ? what : "";
  e.chiusura == Code ? Click(finale.cmdChiudi) : close(finale, e.chiusura);
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show(), close(benvenuto, e.chiusura);  // a guided page
  esito += benvenuto.Loaded() ? "\nclosed: the welcome page stays" : "\nclosed: all closed";
  benvenuto.Show(), forms::instance<frmMsg>().Unload();
  full = true;  // the question cannot be shown
  close(benvenuto, e.chiusura);
  esito += benvenuto.Loaded() ? "; without its question, stays" : "; without its question, closes";
  if (benvenuto.Loaded()) Click(benvenuto.cmdAnnulla);
  Approva("setup-" + e.guasti, esito + (benvenuto.Loaded() ? ", Annulla kept it\n" : "\n"));
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

INSTANTIATE_TEST_SUITE_P(Setup, Installazione,
                         ::testing::Values(Caso{"ix", Outside}, Caso{"d", ControlMenu},
                                           Caso{"l", ControlMenu}, Caso{"m", Outside},
                                           Caso{"rb", AppWindows}, Caso{"Sfn", Code},
                                           Caso{"Pfi", Code}, Caso{"Dfs", Code},
                                           Caso{"pSP", AppWindows}, Caso{"dpS", ControlMenu}),
                         [](const auto& i) { return i.param.guasti; });

}  // namespace
}  // namespace platform
