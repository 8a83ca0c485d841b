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

using attese::kCollegamenti, attese::kPrincipale;
using enum UnloadMode;
const std::string kDesktop = "C:\\Tutti\\QelPictura.lnk",
                  kMenu = "C:\\Tutti\\QelPictura\\QelPictura.lnk",
                  kRimuovi = "C:\\Tutti\\QelPictura\\Rimuovi QelPictura dal computer.lnk";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio";

struct Esito {
  std::string guasti;               // what breaks before the run, below
  std::vector<std::string> errori;  // the result page's list
  std::string collegamenti;         // the shortcuts there after: on the desktop (d), menu (mr)
  UnloadMode chiusura;              // how the pages close; Code: "Chiudi"
  std::string D = "C:\\Applicazioni\\QelPictura";  // the folder proposed and installed
};
struct Installazione : Fake, ::testing::WithParamInterface<Esito> {};

// The page is disabled from the first step to the last pump; the result page lists what broke
// and, however it closes, starts the program once it arrived. A guided page closes alike unasked,
// save by its close box, which asks and keeps the page, as it does when the question cannot be
// shown; "Annulla" then still closes it.
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
  const Esito& e = GetParam();
  for (char g : e.guasti) guasti.at(g)();
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  if (browsed) Click(pagina.cmdSfoglia);
  Run(pagina, pagina.lblE, pagina.cmdConferma);
  auto righe = attese::Installazione(e.D, sys);  // a pump for each shortcut the shell saved
  righe.erase(righe.end() - 5, righe.end() - 2 - e.collegamenti.size() - !lost.empty());
  const std::string P = e.D + "\\QelPictura.exe|1|Cattura le immagini dal desktop con QelPictura",
                    R = e.D + "\\Uninstall.exe|1|Disinstalla il programma";
  std::string visti;  // the shortcuts saved, each with its target, window and description
  for (auto [c, l, t] : {std::tuple('d', kDesktop, P), {'m', kMenu, P}, {'r', kRimuovi, R}})
    if (at(l) && !folder(l)) visti += *at(l) == t ? c : '?';
  // The result page in the destination page's stead, both laid out anew at 192 DPI; the essential
  // file in D when not in the system directory; nothing made in the current folder.
  EXPECT_EQ(
      std::tuple(righe, "1" + std::string(rows.size() - 2, '0') + "1", e.errori, e.errori.empty(),
                 !e.errori.empty(), e.collegamenti, Rect{50, 430, 832, 36}, Rect{50, 510, 842, 90},
                 false, true, !e.errori.empty() && e.errori[0] == kEssenziali, false),
      std::tuple(rows, log, items, finale.lblD.Visible(), finale.Errori.Visible(), visti,
                 rects[bar], rects[status], pagina.Loaded(), win[finale.hWnd()].visible,
                 at(e.D + "\\msvbvm60.dll") != nullptr, at("QelPictura") || at("QelPictura.lnk")));
  EXPECT_EQ(kAltrove, rects[finale.hWnd()]);  // its place and size, in pixels at any DPI
  e.chiusura == Code ? Click(finale.cmdChiudi) : close(finale, e.chiusura);
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show(), close(benvenuto, e.chiusura);  // a guided page
  EXPECT_EQ(e.chiusura == ControlMenu, benvenuto.Loaded());
  benvenuto.Show(), forms::instance<frmMsg>().Unload();
  full = true;  // the question cannot be shown: the close box keeps the page, "Annulla" not
  close(benvenuto, e.chiusura);
  EXPECT_EQ(e.chiusura == ControlMenu, benvenuto.Loaded());
  if (benvenuto.Loaded()) Click(benvenuto.cmdAnnulla);
  std::vector<std::string> avviati;  // from the system directory, minimised (2)
  for (const char* f : attese::kRuntime)
    if (!sys.empty()) avviati.push_back(sys + "REGSVR32.EXE|REGSVR32.EXE /s " + sys + f + "|2");
  if (e.guasti.find('p') == std::string::npos)
    avviati.push_back("user " + e.D + "\\QelPictura.exe|" + e.D + "|1");
  EXPECT_EQ(std::tuple(avviati, std::vector{Csidl::Desktop, Csidl::Programs}, false),
            std::tuple(started, made, benvenuto.Loaded()));  // the user's folders made if need be
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
        {"ix", {}, "dmr", Outside},
        {"d", {kCollegamenti}, "mr", ControlMenu},
        {"l", {kCollegamenti}, "mr", ControlMenu},
        {"m", {kCollegamenti}, "dr", Outside},
        {"rb", {kCollegamenti}, "dm", AppWindows, "C:\\QelPictura"},
        {"Sfn", {kEssenziali}, "dmr", Code, "C:\\QelPictura"},
        {"Pfi", {kNelMenu}, "", Code, "C:\\programmi\\QelPictura"},
        {"Dfs", {kEssenziali, kCollegamenti}, "mr", Code, "C:\\Program Files\\QelPictura"},
        {"pSP", {kEssenziali, kNelMenu, kPrincipale}, "", AppWindows},
        {"dpS", {kEssenziali, kCollegamenti, kPrincipale}, "mr", ControlMenu}}),
    [](const auto& i) { return i.param.guasti; });

}  // namespace
}  // namespace platform
