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
using attese::kCollegamenti, attese::kPrincipale;
const std::string kMenu = "C:\\Tutti\\QelPictura\\";
const char *kEssenziali = "Non è stato possibile copiare dei files essenziali",
           *kNelMenu = "Impossibile creare dei collegamenti nel menu avvio";
using enum UnloadMode;

struct Esito {
  std::string guasti;                              // what breaks before the run, below
  std::vector<std::string> errori;                 // the result page's list
  std::string collegamenti;                        // there: on the desktop (d), in the menu (mr)
  UnloadMode chiusura;                             // how the pages close; Code: "Chiudi"
  std::string D = "C:\\Applicazioni\\QelPictura";  // the folder proposed and installed
};
struct Installazione : Fake, ::testing::WithParamInterface<Esito> {};

// The page is disabled from the first step to the last pump; the result page lists what broke
// and, however it closes, starts the program once it arrived. A guided page closes alike unasked,
// save by its close box, which asks and keeps the page, unless the question cannot be shown.
TEST_P(Installazione, FollowsItsTimelineAndReportsWhatBroke) {
  // Not saved: the desktop shortcut, the menu's, the removal one; the desktop's said saved, yet
  // not there. Unknown to the shell: the system, the programs, the desktop folder. Missing: the
  // main program, the shell's Program Files, "C:\Program Files", the system folder the shell
  // names. There: "C:\programmi". Picked with "sfoglia...": the drive root, a folder not there.
  const std::map<char, std::function<void()>> guasti = {
      // clang-format off
      {'d', [&] { refused = kTutti + kCollegamento; }}, {'m', [&] { refused = kMenu + kCollegamento; }},
      {'r', [&] { refused = kMenu + kCollegamentoRimuovi; }}, {'l', [&] { lost = kTutti + kCollegamento; }},
      {'S', [&] { sys = ""; }}, {'P', [&] { special[Csidl::CommonPrograms] = ""; }},
      {'D', [&] { special[Csidl::CommonDesktopDirectory] = ""; }}, {'p', [&] { fs.erase(key(kProgramma)); }},
      {'f', [&] { fs.erase(key("C:\\Applicazioni")); }}, {'n', [&] { fs.erase(key("C:\\Program Files")); }},
      {'s', [&] { fs.erase(key(sys)); }}, {'i', [&] { Add("C:\\programmi\\"); }},
      {'b', [&] { browsed = "C:\\"; }}, {'x', [&] { browsed = "C:\\Mancante"; }}};
  // clang-format on
  const Esito& e = GetParam();
  for (char g : e.guasti) guasti.at(g)();
  frmCartella& pagina = forms::instance<frmCartella>();
  frmFinale& finale = forms::instance<frmFinale>();
  if (browsed) Click(pagina.cmdSfoglia);
  status = pagina.lblE.hWnd();  // the timeline's text
  pagina.Show();
  Click(pagina.cmdConferma);
  auto righe = attese::Installazione(e.D, sys);  // a pump for each shortcut the shell saved
  const auto salvati = e.collegamenti.size() + (e.guasti.find('l') != std::string::npos);
  righe.erase(righe.end() - 5, righe.end() - 2 - salvati);
  EXPECT_EQ(std::tuple(righe, "1" + std::string(rows.size() - 2, '0') + "1", e.errori,
                       e.errori.empty(), !e.errori.empty()),
            std::tuple(rows, log, items, finale.lblD.Visible(), finale.Errori.Visible()));
  EXPECT_EQ(std::pair(Rect{50, 430, 832, 36}, Rect{50, 510, 842, 90}),
            std::pair(rects[bar], rects[status]));  // both follow the change of screen
  const std::string programma = e.D +
                                "\\QelPictura.exe|1|Cattura le immagini dal desktop con "
                                "QelPictura",
                    rimuovi = e.D + "\\Uninstall.exe|1|Disinstalla il programma";
  std::string atteso, visto;  // the shortcuts, wherever they are, with what they hold
  for (char c : e.collegamenti)
    atteso +=
        std::map<char, std::string>{{'d', "c:\\tutti\\qelpictura.lnk=" + programma},
                                    {'m', "c:\\tutti\\qelpictura\\qelpictura.lnk=" + programma},
                                    {'r',
                                     "c:\\tutti\\qelpictura\\rimuovi qelpictura dal "
                                     "computer.lnk=" +
                                         rimuovi}}[c] +
        "\n";
  for (const auto& [p, c] : fs)
    if (p.ends_with(".lnk")) visto += p + "=" + c + "\n";
  // The essential file in D too when it is not in the system directory; the result page in the
  // destination page's stead; nothing made in the current folder.
  EXPECT_EQ(std::tuple(atteso, !e.errori.empty() && e.errori[0] == kEssenziali, false, true, false),
            std::tuple(visto, at(e.D + "\\msvbvm60.dll") != nullptr, pagina.Loaded(),
                       win[finale.hWnd()].visible, folder("QelPictura")));
  e.chiusura == Code ? Click(finale.cmdChiudi) : close(finale, e.chiusura);
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show();  // a guided page
  close(benvenuto, e.chiusura);
  EXPECT_EQ(e.chiusura == ControlMenu, benvenuto.Loaded());
  benvenuto.Show();
  full = true;  // the question cannot be shown
  forms::instance<frmMsg>().Unload();
  e.chiusura == ControlMenu ? close(benvenuto, ControlMenu) : Click(benvenuto.cmdAnnulla);
  EXPECT_FALSE(benvenuto.Loaded());
  std::vector<std::string> avviati;  // from the system directory, minimised (2)
  for (const char* f : attese::kRuntime)
    if (!sys.empty()) avviati.push_back(sys + "REGSVR32.EXE|REGSVR32.EXE /s " + sys + f + "|2");
  if (e.guasti.find('p') == std::string::npos)
    avviati.push_back("user " + e.D + "\\QelPictura.exe|" + e.D + "|1");
  EXPECT_EQ(std::pair(avviati, std::vector{Csidl::Desktop, Csidl::Programs}),
            std::pair(started, made));  // the user's folders made, if need be
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Installazione,
    ::testing::ValuesIn(std::vector<Esito>{
        {"ix", {}, "dmr", TaskManager},
        {"d", {kCollegamenti}, "mr", ControlMenu},
        {"l", {kCollegamenti}, "mr", ControlMenu},
        {"m", {kCollegamenti}, "dr", TaskManager},
        {"rb", {kCollegamenti}, "dm", AppWindows, "C:\\QelPictura"},
        {"Sfn", {kEssenziali}, "dmr", Code, "C:\\QelPictura"},
        {"Pfi", {kNelMenu}, "", Code, "C:\\programmi\\QelPictura"},
        {"Dfs", {kEssenziali, kCollegamenti}, "mr", Code, "C:\\Program Files\\QelPictura"},
        {"pSP", {kEssenziali, kNelMenu, kPrincipale}, "", AppWindows},
        {"dpS", {kEssenziali, kCollegamenti, kPrincipale}, "mr", ControlMenu}}),
    [](const auto& i) { return i.param.guasti; });

}  // namespace
}  // namespace platform
