// The installation run behind "Conferma", phase by phase: the folder, the product files,
// the runtime in the system directory, the shortcuts, the checks, the report on the
// result page and the hand-over to it. Every row is an action followed by its rhythm,
// told by the same few helpers: a status text (stato, testoCopia), a progress step with
// its pump and pause (passo), a pump and a pause without a step (sosta), a pump alone
// (DoEvents). A failing step is skipped; only four problems are recorded.
#include "Funzioni.h"
#include "Impronta.h"
#include "QelBarraProgressi.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMsg.h"

using namespace forms;
using namespace funzioni;
using namespace impronta;
using platform::Csidl;
using platform::ShowCommand;

namespace {

class Installazione {
 public:
  explicit Installazione(frmCartella& pagina) : pagina_(pagina), D(pagina.txtPercorso.Text()) {}

  void Esegui() {
    if (!ProgrammaChiuso() || !Cartella()) return;
    Inizio();
    FileProdotto();
    Runtime();
    Collegamenti();
    Controlli();
    Resoconto();
    Consegna();
  }

 private:
  bool ProgrammaChiuso();
  bool Cartella();
  void Inizio();
  void FileProdotto();
  void Runtime();
  void CopiaFileSistema(const std::string& nome);
  void Collegamenti();
  void Controlli();
  void Resoconto();
  void Consegna();

  void stato(const std::string& testo) { pagina_.lblE.Caption(testo); }
  void testoCopia(const std::string& percorso) {
    stato("Copia dei files in corso...\r\n" + percorso);
  }
  void passo(unsigned pausa) {
    barra_.Increment();
    sosta(pausa);
  }
  void sosta(unsigned pausa) {
    DoEvents();
    Pausa(pausa);
  }
  // A problem for the result page's list; the first access to the page makes it.
  void errore(const char* riga) {
    pagina_.bErrori = true;
    finale().Errori.AddItem(riga);
  }
  static frmFinale& finale() { return instance<frmFinale>(); }

  frmCartella& pagina_;
  const std::string D;
  const std::string programma = D + "\\" + kProgramma;
  const std::string aiuto = D + "\\" + kAiuto;
  const std::string temi = D + "\\" + kCartellaTemi;
  const std::string tema = temi + "\\" + kTema;
  const std::string disinstallatore = D + "\\" + kDisinstallatore;
  QelBarraProgressi barra_{kBarraSetup};
};

// A QelPictura running from the folder would keep its old program file while the rest
// is replaced: before anything is written the user closes it and retries, or gives up and
// finds the page as it was.
bool Installazione::ProgrammaChiuso() {
  while (platform::files().InUse(programma))
    if (instance<frmMsg>().mRiprova("\r\nQelPictura è in esecuzione e deve essere chiuso prima "
                                    "di installarlo\r\n\r\nChiudi QelPictura e clicca sul "
                                    "pulsante 'Riprova'") != platform::Answer::Retry)
      return false;
  return true;
}

// The folder, one level deep. One that cannot be made is reported, and the page stays
// as it was for another choice.
bool Installazione::Cartella() {
  platform::installation().MakeFolder(D);
  DoEvents();
  if (EsisteCartella(D)) return true;
  mMsgBox("\r\nNon riesco a creare la cartella\r\n" + D +
              "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'",
          false, true);
  return false;
}

// The page is disabled until the checks are done; the bar goes between the folder box
// and the status text.
void Installazione::Inizio() {
  pagina_.Enabled(false);
  barra_.HandleParent(pagina_.hWnd());
  const platform::Rect a96{25, 215, 416, 18};
  barra_.CrateProgress(pagina_.Scaled(a96.left), pagina_.Scaled(a96.top), pagina_.Scaled(a96.width),
                       pagina_.Scaled(a96.height));
  pagina_.Adopt(barra_.hWnd(), a96);
  stato("Installazione in corso...");
  passo(800);
}

void Installazione::FileProdotto() {
  auto& files = platform::installation();
  // clang-format off
  testoCopia(programma);                          passo(60);
  files.Copy(kProgramma, programma);              passo(60);
  testoCopia(aiuto);                              passo(60);
  files.Copy(kAiuto, aiuto);                      passo(60);
  files.MakeFolder(temi);                         passo(60);
  testoCopia(tema);                               passo(60);
  files.Copy(kTema, tema);                        DoEvents();
  testoCopia(disinstallatore);                    passo(60);
  files.Copy(kDisinstallatore, disinstallatore);  passo(60); sosta(60);
  // clang-format on
}

// Each runtime file goes into the system directory and is registered; the essential one
// must have arrived there, or it goes into D as well and the problem is recorded.
void Installazione::Runtime() {
  for (const char* nome : kFileSistema) {
    barra_.Increment();
    CopiaFileSistema(nome);
  }
  if (CartellaSistema().empty() || !EsisteFile(CartellaSistema() + kEssenziale)) {
    platform::installation().Copy(kEssenziale, D + "\\" + kEssenziale);
    errore("Non è stato possibile copiare dei files essenziali");
  }
}

// Puts one runtime file into the system directory and starts its registration, whether
// or not the copy succeeded.
void Installazione::CopiaFileSistema(const std::string& nome) {
  testoCopia(CartellaSistema() + nome);
  DoEvents();
  // Without a system directory the names would fall in the current folder, the package:
  // nothing is copied and nothing is registered.
  if (!CartellaSistema().empty()) {
    platform::installation().Copy(nome, CartellaSistema() + nome);
    // The registration program is started from the system directory by its full path:
    // a REGSVR32.EXE lying in the package folder is never the one that runs.
    std::string sistema = CartellaSistema();
    platform::installation().Start(sistema + kRegistrazione,
                                   std::string(kRegistrazione) + " /s " + sistema + nome,
                                   ShowCommand::Minimized);
  }
  DoEvents();
}

// The shortcuts go where the all-users folders are, else into the current user's. No
// menu folder, no shortcut at all.
void Installazione::Collegamenti() {
  stato("Creazione dei collegamenti in corso...");
  passo(600);
  std::string desktop = CartellaCondivisa(Csidl::CommonDesktopDirectory, Csidl::Desktop, true);
  std::string programmi = CartellaCondivisa(Csidl::CommonPrograms, Csidl::Programs, true);
  // A folder that cannot be found gives no shortcut, never one in the current folder.
  std::string menu = programmi + kCartellaMenu;
  if (!programmi.empty()) platform::installation().MakeFolder(menu);
  if (programmi.empty() || !EsisteCartella(menu)) {
    errore("Impossibile creare dei collegamenti nel menu avvio");
    return;
  }
  menu += "\\";
  bool problemi = false;
  problemi |=
      desktop.empty() || !CreaCollegamento(desktop + kCollegamento, programma, kDescrizione);
  problemi |= !CreaCollegamento(menu + kCollegamento, programma, kDescrizione);
  problemi |= !CreaCollegamento(menu + kCollegamentoRimuovi, disinstallatore, kDescrizioneRimuovi);
  if (problemi) errore("Problemi nella creazione dei collegamenti");
}

// The main program must be in place to be started at the end. Then the page comes back
// and the bar fills.
void Installazione::Controlli() {
  stato("Completamento dell'installazione in corso...");
  sosta(800);
  if (EsisteFile(programma))
    finale().Avvio = programma;
  else
    errore("Non è stato possibile copiare il file principale dell'applicazione");
  pagina_.Enabled(true);
  for (int i = 0; i < 4; ++i) barra_.LievIncrement();
  DoEvents();
}

void Installazione::Resoconto() {
  const bool bErrori = pagina_.bErrori;
  finale().Errori.Visible(bErrori);
  finale().lblD.Visible(!bErrori);
  finale().lblC.Caption(bErrori ? "L'installazione non è stata completata correttamente\r\nErrori:"
                                : "Installazione eseguita correttamente");
}

// The result page takes the destination page's place and size, and the page goes.
void Installazione::Consegna() {
  finale().TakePlaceOf(pagina_, true);
  finale().Show();
  pagina_.Unload();
}

}  // namespace

void frmCartella::cmdConferma_Click() { Installazione(*this).Esegui(); }
