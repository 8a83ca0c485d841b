// The installation run behind "Conferma", on the fake clock: its timeline of status
// texts, progress steps, pumps and pauses, what it leaves on disk, the four recorded
// problems, and the hand-over to the result page.
#include <algorithm>
#include <map>

#include "Ambiente.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMsg.h"

namespace {

using platform::Csidl;

constexpr char D[] = "C:\\Program Files\\QelPictura";
constexpr char S[] = "C:\\windows\\system32\\";
constexpr char kDesktopComune[] = "C:\\Users\\Public\\Desktop";
constexpr char kDesktopUtente[] = "C:\\Users\\utente\\Desktop";
constexpr char kProgrammiComuni[] = "C:\\ProgramData\\Start Menu\\Programs";
constexpr char kProgrammiUtente[] = "C:\\Users\\utente\\Start Menu\\Programs";
constexpr char kCattura[] = "Cattura le immagini dal desktop con QelPictura";
constexpr char kRimuovi[] = "Rimuovi QelPictura dal computer.lnk";
const std::vector<std::string> kRuntime = {"msvbvm60.dll", "oleaut32.dll", "olepro32.dll",
                                           "asycfilt.dll", "stdole2.tlb",  "comcat.dll"};

constexpr char kEssenziali[] = "Non è stato possibile copiare dei files essenziali";
constexpr char kMenu[] = "Impossibile creare dei collegamenti nel menu avvio";
constexpr char kCollegamenti[] = "Problemi nella creazione dei collegamenti";
constexpr char kPrincipale[] = "Non è stato possibile copiare il file principale dell'applicazione";

std::string copia(const std::string& percorso) {
  return "Copia dei files in corso...\r\n" + percorso;
}

class Installazione : public Ambiente {
 protected:
  void SetUp() override {
    for (const char* nome :
         {"QelPictura.exe", "help.htm", "happysmile.qelpictura", "Uninstall.exe"})
      fake.files.AddFile(std::string("C:\\pacchetto\\") + nome, "nuovo");
    for (const auto& nome : kRuntime) fake.files.AddFile("C:\\pacchetto\\" + nome, "nuovo");
    fake.files.AddFolder("C:\\windows\\system32");
    fake.files.AddFolder("C:\\Program Files");
    fake.files.AddFolder(kDesktopComune);
    fake.files.AddFolder(kProgrammiComuni);
    fake.shell.specialFolders = {{Csidl::ProgramFiles, "C:\\Program Files"},
                                 {Csidl::CommonDesktopDirectory, kDesktopComune},
                                 {Csidl::Desktop, kDesktopUtente},
                                 {Csidl::CommonPrograms, kProgrammiComuni},
                                 {Csidl::Programs, kProgrammiUtente}};
  }

  frmCartella& pagina() { return forms::instance<frmCartella>(); }
  frmFinale& finale() { return forms::instance<frmFinale>(); }

  // Shows the destination page (loading it first) and presses "Conferma"; every pump
  // meanwhile notes whether the page is enabled and where the bar stands.
  void conferma() {
    pagina().Show();
    hPagina = pagina().hWnd();
    hStato = pagina().lblE.hWnd();
    rettangolo = fake.windows.GetRect(hPagina);
    fake.windows.onPump = [this] {
      Sosta s{fake.windows.Enabled(hPagina), -1};
      for (platform::Handle h : fake.windows.Children(hPagina))
        if (fake.windows.Get(h)->className == "msctls_progress32") {
          s.barra = fake.windows.Get(h)->position;
          barra = fake.windows.Get(h)->rect;
        }
      soste.push_back(s);
    };
    ASSERT_TRUE(fake.windows.Click(hPagina, "&Conferma"));
    fake.windows.onPump = nullptr;
  }

  // The timeline of the run: "E <status text>", "step", "pump", "pause N", "start ...".
  std::vector<std::string> cronologia() const {
    std::vector<std::string> out;
    const std::string stato = "text " + std::to_string(hStato) + " ";
    for (const auto& e : fake.log) {
      if (e.rfind(stato, 0) == 0)
        out.push_back("E " + e.substr(stato.size()));
      else if (e.rfind("step ", 0) == 0)
        out.push_back("step");
      else if (e == "pump" || e.rfind("pause ", 0) == 0 || e.rfind("start ", 0) == 0)
        out.push_back(e);
    }
    return out;
  }

  std::vector<std::string> errori() {
    std::vector<std::string> righe;
    for (int i = 0; i < finale().Errori.ListCount(); ++i) righe.push_back(finale().Errori.List(i));
    return righe;
  }

  struct Sosta {
    bool abilitata;
    int barra;
  };
  std::vector<Sosta> soste;
  platform::Handle hPagina = 0, hStato = 0;
  platform::Rect rettangolo, barra;
};

TEST_F(Installazione, ARunWithoutProblemsFollowsItsTimeline) {
  conferma();

  std::vector<std::string> attesa;
  auto passo = [&](int pausa) {
    attesa.insert(attesa.end(), 6, "step");
    attesa.push_back("pump");
    attesa.push_back("pause " + std::to_string(pausa));
  };
  const std::string d = D;
  attesa.push_back("pump");  // after making the folder
  attesa.push_back("E Installazione in corso...");
  passo(800);
  attesa.push_back("E " + copia(d + "\\QelPictura.exe"));
  passo(60);
  passo(60);
  attesa.push_back("E " + copia(d + "\\help.htm"));
  passo(60);
  passo(60);
  passo(60);  // the folder "temi"
  attesa.push_back("E " + copia(d + "\\temi\\happysmile.qelpictura"));
  passo(60);
  attesa.push_back("pump");
  attesa.push_back("E " + copia(d + "\\Uninstall.exe"));
  passo(60);
  passo(60);
  attesa.insert(attesa.end(), {"pump", "pause 60"});
  for (const auto& nome : kRuntime) {
    attesa.insert(attesa.end(), 6, "step");
    attesa.push_back("E " + copia(S + nome));
    attesa.push_back("pump");
    attesa.push_back(std::string("start ") + S + "REGSVR32.EXE|REGSVR32.EXE /s " + S + nome + "|" +
                     std::to_string(static_cast<int>(platform::ShowCommand::Minimized)));
    attesa.push_back("pump");
  }
  attesa.push_back("E Creazione dei collegamenti in corso...");
  passo(600);
  attesa.insert(attesa.end(), 3, "pump");  // one for each shortcut written
  attesa.insert(attesa.end(),
                {"E Completamento dell'installazione in corso...", "pump", "pause 800"});
  attesa.insert(attesa.end(), 4, "step");
  attesa.push_back("pump");
  EXPECT_EQ(attesa, cronologia());
  EXPECT_EQ(2740u, fake.processes.clock);

  // Disabled from the first progress step to the last pump, with the bar full there.
  ASSERT_FALSE(soste.empty());
  EXPECT_TRUE(soste.front().abilitata);
  EXPECT_EQ(-1, soste.front().barra);
  EXPECT_EQ(100, soste.back().barra);
  EXPECT_EQ(platform::Rect({25, 215, 416, 18}), barra);  // between the folder box and lblE
  EXPECT_TRUE(soste.back().abilitata);
  for (std::size_t i = 1; i + 1 < soste.size(); ++i) EXPECT_FALSE(soste[i].abilitata) << i;
}

// Dragged mid-run to a display of 144 DPI and back, the page and its bar stand exactly as
// a page freshly laid out at that DPI; texts, focus and state stay as they were.
TEST_F(Installazione, ADpiChangeLaysThePageAndTheBarOutAsAFreshWindowAtThatDpi) {
  using Disposizione = std::vector<std::pair<platform::Rect, int>>;  // rectangle, font
  auto disposizione = [this](platform::Handle f) {
    Disposizione d;
    for (platform::Handle h : fake.windows.Children(f))
      if (fake.windows.Get(h)->className.empty())
        d.push_back({fake.windows.Get(h)->rect, fake.windows.Get(h)->fontHeight});
    return d;
  };
  auto stato = [this](platform::Handle f) {
    std::vector<std::string> s{std::to_string(fake.windows.Focused())};
    for (platform::Handle h : fake.windows.Children(f)) {
      const auto* w = fake.windows.Get(h);
      s.push_back(w->text + (w->enabled ? " on" : " off") + (w->visible ? " shown" : ""));
    }
    return s;
  };
  std::map<int, Disposizione> fresca;
  for (int dpi : {144, 96}) {
    fake.windows.dpi = dpi;
    fresca[dpi] = disposizione(pagina().hWnd());
    pagina().Unload();
  }

  std::vector<platform::Rect> barre;
  bool fatto = false;
  pagina().Show();
  platform::Handle h = pagina().hWnd();
  fake.windows.onPump = [&] {
    auto figli = fake.windows.Children(h);
    if (fatto || figli.size() == fresca[96].size()) return;
    fatto = true;
    for (int dpi : {144, 96}) {
      std::vector<std::string> prima = stato(h);
      platform::Rect proposto{dpi, dpi, dpi * 5, dpi * 4};
      fake.windows.dpi = dpi;
      fake.windows.Get(h)->events->OnDpiChanged(dpi, proposto);
      EXPECT_EQ(fresca[dpi], disposizione(h)) << dpi;
      EXPECT_EQ(proposto, fake.windows.GetRect(h));
      EXPECT_EQ(prima, stato(h));
      barre.push_back(fake.windows.Get(figli.back())->rect);
    }
  };
  ASSERT_TRUE(fake.windows.Click(h, "&Conferma"));
  fake.windows.onPump = nullptr;
  EXPECT_EQ(std::vector<platform::Rect>({{38, 323, 624, 27}, {25, 215, 416, 18}}), barre);
}

TEST_F(Installazione, ARunWithoutProblemsLeavesItsFootprintAndHandsOverToTheResultPage) {
  fake.files.AddFile(std::string(D) + "\\help.htm", "vecchio");
  pagina().Move(1200, 900);
  conferma();

  for (const char* f :
       {"\\QelPictura.exe", "\\help.htm", "\\temi\\happysmile.qelpictura", "\\Uninstall.exe"})
    EXPECT_EQ("nuovo", fake.files.Content(D + std::string(f))) << f;
  for (const auto& nome : kRuntime) EXPECT_EQ("nuovo", fake.files.Content(S + nome)) << nome;
  EXPECT_FALSE(fake.files.IsFile(std::string(D) + "\\msvbvm60.dll"));

  const std::string menu = std::string(kProgrammiComuni) + "\\QelPictura\\";
  const std::string programma = std::string(D) + "\\QelPictura.exe";
  ASSERT_EQ(3u, fake.shell.shortcuts.size());
  for (const auto& link :
       {std::string(kDesktopComune) + "\\QelPictura.lnk", menu + "QelPictura.lnk"}) {
    const auto& s = fake.shell.shortcuts.at(link);
    EXPECT_EQ(programma, s.target);
    EXPECT_EQ(kCattura, s.description);
  }
  const auto& rimuovi = fake.shell.shortcuts.at(menu + kRimuovi);
  EXPECT_EQ(std::string(D) + "\\Uninstall.exe", rimuovi.target);
  EXPECT_EQ("Disinstalla il programma", rimuovi.description);
  // The current user's folders are asked for with "create" whichever folder is taken.
  EXPECT_TRUE(fake.files.IsFolder(kDesktopUtente));
  EXPECT_TRUE(fake.files.IsFolder(kProgrammiUtente));
  EXPECT_TRUE(fake.files.List(kProgrammiUtente).empty());

  EXPECT_FALSE(pagina().Loaded());
  EXPECT_FALSE(pagina().bErrori);
  EXPECT_EQ(1, forms::LoadedCount());
  EXPECT_TRUE(fake.windows.Get(finale().hWnd())->visible);
  EXPECT_EQ(rettangolo, fake.windows.GetRect(finale().hWnd()));
  EXPECT_EQ(programma, finale().Avvio);
  EXPECT_EQ("Installazione eseguita correttamente", finale().lblC.Caption());
  EXPECT_FALSE(finale().Errori.Visible());
  EXPECT_TRUE(finale().lblD.Visible());
  EXPECT_EQ(0, finale().Errori.ListCount());
}

TEST_F(Installazione, WithoutTheAllUsersFoldersTheCurrentUsersAreMadeAndUsed) {
  fake.files.RemoveFolder(kDesktopComune);
  fake.files.RemoveFolder(kProgrammiComuni);
  conferma();
  EXPECT_EQ(std::vector<std::string>{}, errori());
  EXPECT_TRUE(fake.shell.shortcuts.count(std::string(kDesktopUtente) + "\\QelPictura.lnk"));
  EXPECT_TRUE(
      fake.shell.shortcuts.count(std::string(kProgrammiUtente) + "\\QelPictura\\QelPictura.lnk"));
  EXPECT_TRUE(
      fake.shell.shortcuts.count(std::string(kProgrammiUtente) + "\\QelPictura\\" + kRimuovi));
  EXPECT_FALSE(fake.files.IsFolder(kProgrammiComuni));
}

TEST_F(Installazione, ADestinationThatCannotBeMadeIsReportedAndTheNextClickStartsAfresh) {
  pagina().Show();
  ASSERT_EQ(D, pagina().txtPercorso.Text());
  ASSERT_TRUE(fake.files.RemoveFolder("C:\\Program Files"));  // the parent is gone
  std::vector<std::string> messaggi;
  fake.windows.modalAnswers.push_back([&] {
    frmMsg& msg = forms::instance<frmMsg>();
    messaggi.push_back(msg.lbl.Caption());
    EXPECT_TRUE(msg.cmdOk.Visible());
    EXPECT_FALSE(msg.cmdSi.Visible());
    EXPECT_FALSE(fake.windows.Get(msg.lbl.hWnd())->centred);
    fake.windows.Click(msg.hWnd(), "&OK");
  });
  ASSERT_TRUE(fake.windows.Click(pagina().hWnd(), "&Conferma"));

  EXPECT_EQ(
      std::vector<std::string>{"\r\nNon riesco a creare la cartella\r\n"
                               "C:\\Program Files\\QelPictura\r\n\r\n"
                               "Specifica un'altra cartella cliccando sul pulsante 'sfoglia'"},
      messaggi);
  EXPECT_TRUE(pagina().Loaded());
  EXPECT_TRUE(pagina().Enabled());
  EXPECT_EQ("Clicca sul pulsante 'Conferma' per installare QelPictura", pagina().lblE.Caption());
  EXPECT_EQ(0u, fake.processes.clock);
  EXPECT_TRUE(fake.processes.started.empty());
  EXPECT_TRUE(fake.windows.sent.empty());  // no progress bar
  EXPECT_FALSE(finale().Loaded());

  fake.files.AddFolder("C:\\Program Files");
  fake.log.clear();
  conferma();
  EXPECT_EQ("E Installazione in corso...", cronologia().at(1));
  EXPECT_EQ(2740u, fake.processes.clock);
  EXPECT_EQ(std::string(D) + "\\QelPictura.exe", finale().Avvio);
  EXPECT_EQ(1, forms::LoadedCount());
}

TEST_F(Installazione, RegistrationsStartWhetherOrNotTheCopyWorked) {
  fake.files.AddFile(std::string(S) + "oleaut32.dll", "vecchio");
  fake.files.SetInUse(std::string(S) + "oleaut32.dll");
  fake.files.DeleteFiles("C:\\pacchetto\\comcat.dll");
  conferma();
  EXPECT_EQ("vecchio", fake.files.Content(std::string(S) + "oleaut32.dll"));
  EXPECT_FALSE(fake.files.IsFile(std::string(S) + "comcat.dll"));
  ASSERT_EQ(kRuntime.size(), fake.processes.started.size());
  for (std::size_t i = 0; i < kRuntime.size(); ++i) {
    const auto& p = fake.processes.started[i];
    EXPECT_EQ(std::string(S) + "REGSVR32.EXE", p.application);
    EXPECT_EQ("REGSVR32.EXE /s " + std::string(S) + kRuntime[i], p.commandLine);
    EXPECT_EQ(platform::ShowCommand::Minimized, p.showCommand);
  }
  EXPECT_EQ(std::vector<std::string>{}, errori());
}

// A second click, and a close request from outside, while the run pumps: one run only,
// to its end.
TEST_F(Installazione, ClicksAndCloseRequestsDuringTheRunAreIgnored) {
  pagina().Show();
  platform::Handle h = pagina().hWnd();
  int pompe = 0;
  fake.windows.onPump = [&] {
    if (++pompe > 2) return;  // the first pump before the page is disabled, then one after
    fake.windows.Click(h, "&Conferma");
    fake.windows.CloseFromTaskManager(h);
  };
  ASSERT_TRUE(fake.windows.Click(h, "&Conferma"));
  fake.windows.onPump = nullptr;
  EXPECT_EQ(kRuntime.size(), fake.processes.started.size());
  EXPECT_EQ(2740u, fake.processes.clock);
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_TRUE(finale().Loaded());
}

// ---------------------------------------------------------------- the four problems

struct Problemi {
  const char* nome;
  // "essenziale", "menu", "collegamento", "principale"; and folders the system cannot
  // find: "sistema", "programmi", "desktop".
  std::vector<std::string> cause;
  std::vector<std::string> righe;
};
void PrintTo(const Problemi& c, std::ostream* os) { *os << c.nome; }

class Esito : public Installazione, public ::testing::WithParamInterface<Problemi> {};

TEST_P(Esito, RecordsEachProblemOnceInTableOrder) {
  const auto& p = GetParam();
  auto causa = [&](const char* c) { return std::count(p.cause.begin(), p.cause.end(), c) > 0; };
  const std::string menu = std::string(kProgrammiComuni) + "\\QelPictura";
  if (causa("essenziale")) fake.files.AddFolder(std::string(S) + "msvbvm60.dll");
  if (causa("menu")) fake.files.AddFile(menu);  // a file stands where the folder should be
  if (causa("collegamento")) fake.shell.refusedLinks.insert(menu + "\\" + kRimuovi);
  if (causa("collegamentoDesktop"))
    fake.shell.refusedLinks.insert(std::string(kDesktopComune) + "\\QelPictura.lnk");
  if (causa("principale")) fake.files.DeleteFiles("C:\\pacchetto\\QelPictura.exe");
  if (causa("sistema")) fake.shell.systemDirectory = "";
  auto& cartelle = fake.shell.specialFolders;
  if (causa("programmi")) cartelle.erase(Csidl::CommonPrograms), cartelle.erase(Csidl::Programs);
  if (causa("desktop"))
    cartelle.erase(Csidl::CommonDesktopDirectory), cartelle.erase(Csidl::Desktop);
  const auto pacchetto = fake.files.List("C:\\pacchetto");
  conferma();

  const bool male = !p.righe.empty();
  EXPECT_EQ(p.righe, errori());
  EXPECT_EQ(male, pagina().bErrori);
  EXPECT_EQ(male, finale().Errori.Visible());
  EXPECT_EQ(!male, finale().lblD.Visible());
  EXPECT_EQ(male ? "L'installazione non è stata completata correttamente\r\nErrori:"
                 : "Installazione eseguita correttamente",
            finale().lblC.Caption());
  const std::string programma = std::string(D) + "\\QelPictura.exe";
  EXPECT_EQ(causa("principale") ? "" : programma, finale().Avvio);
  // The essential file goes into D as well when it did not reach the system directory.
  EXPECT_EQ(causa("essenziale") || causa("sistema"),
            fake.files.IsFile(std::string(D) + "\\msvbvm60.dll"));
  // Without the menu folder not even the desktop shortcut is written.
  EXPECT_EQ(causa("menu") || causa("programmi")                                         ? 0u
            : causa("collegamento") || causa("desktop") || causa("collegamentoDesktop") ? 2u
                                                                                        : 3u,
            fake.shell.shortcuts.size());
  // A folder that cannot be found never turns into the current one, the package's.
  EXPECT_EQ(causa("sistema") ? 0u : kRuntime.size(), fake.processes.started.size());
  EXPECT_EQ(pacchetto, fake.files.List("C:\\pacchetto"));
  EXPECT_EQ(2740u, fake.processes.clock);
  EXPECT_EQ(100, soste.back().barra);

  // Closing the result page starts the program whenever its file arrived.
  const std::size_t avviati = fake.processes.started.size();
  fake.windows.Click(finale().hWnd(), "&Chiudi");
  EXPECT_EQ(avviati + (causa("principale") ? 0 : 1), fake.processes.started.size());
  EXPECT_EQ(0, forms::LoadedCount());
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Esito,
    ::testing::Values(Problemi{"nessuno", {}, {}},
                      Problemi{"essenziale", {"essenziale"}, {kEssenziali}},
                      Problemi{"menu", {"menu"}, {kMenu}},
                      Problemi{"collegamento", {"collegamento"}, {kCollegamenti}},
                      Problemi{"principale", {"principale"}, {kPrincipale}},
                      Problemi{"tuttiSenzaMenu",
                               {"principale", "menu", "essenziale"},
                               {kEssenziali, kMenu, kPrincipale}},
                      Problemi{"senzaSistema", {"sistema"}, {kEssenziali}},
                      Problemi{"senzaProgrammi", {"programmi"}, {kMenu}},
                      Problemi{"senzaDesktop", {"desktop"}, {kCollegamenti}},
                      Problemi{"soloDesktop", {"collegamentoDesktop"}, {kCollegamenti}},
                      Problemi{"tuttiConMenu",
                               {"collegamento", "essenziale", "principale"},
                               {kEssenziali, kCollegamenti, kPrincipale}}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(Installazione, APackageFolderWithoutTheFilesStillRegistersAndAttemptsTheShortcuts) {
  fake.files.AddFolder("C:\\vuota");
  fake.files.currentDirectory = "C:\\vuota";
  conferma();
  EXPECT_EQ((std::vector<std::string>{kEssenziali, kPrincipale}), errori());
  EXPECT_EQ(kRuntime.size(), fake.processes.started.size());
  EXPECT_EQ(3u, fake.shell.shortcuts.size());
  EXPECT_TRUE(fake.files.IsFolder(std::string(D) + "\\temi"));
  EXPECT_TRUE(fake.files.List(std::string(D) + "\\temi").empty());
  EXPECT_EQ("", finale().Avvio);
}

}  // namespace
