// The installation run behind "Conferma": the folder, the product files, the runtime in
// the system directory, the shortcuts, and the report on the result page. A failing step
// is skipped; only four problems are recorded.
#include "Funzioni.h"
#include "Impronta.h"
#include "QelBarraProgressi.h"
#include "frmCartella.h"
#include "frmFinale.h"
#include "frmMsg.h"

using namespace forms;
using namespace Funzioni;
using namespace impronta;

namespace {

constexpr int SW_SHOWMINIMIZED = 2;

}  // namespace

void frmCartella::testoCopia(const std::string& percorso) {
  lblE.Caption("Copia dei files in corso...\r\n" + percorso);
}

// Puts one runtime file into the system directory and starts its registration, whether
// or not the copy succeeded.
void frmCartella::CopiaFileSistema(const std::string& nome) {
  testoCopia(CartellaSistema() + nome);
  DoEvents();
  // Without a system directory the names would fall in the current folder, the package:
  // nothing is copied and nothing is registered.
  if (!CartellaSistema().empty()) {
    platform::files().Copy(nome, CartellaSistema() + nome);
    // The registration program is started from the system directory by its full path:
    // a REGSVR32.EXE lying in the package folder is never the one that runs.
    std::string sistema = CartellaSistema();
    platform::processes().Start(sistema + kRegistrazione,
                                std::string(kRegistrazione) + " /s " + sistema + nome,
                                SW_SHOWMINIMIZED);
  }
  DoEvents();
}

void frmCartella::cmdConferma_Click() {
  auto& files = platform::files();
  const std::string D = txtPercorso.Text();

  files.MakeFolder(D);
  DoEvents();
  if (!EsisteCartella(D)) {
    mMsgBox("\r\nNon riesco a creare la cartella\r\n" + D +
                "\r\n\r\nSpecifica un'altra cartella cliccando sul pulsante 'sfoglia'",
            false, true);
    return;
  }

  Enabled(false);
  QelBarraProgressi barra(kBarraSetup);
  barra.HandleParent(hWnd());
  barra.CrateProgress(Scaled(25), Scaled(215), Scaled(416), Scaled(18));
  auto passo = [&barra](unsigned pausa) {
    barra.Increment();
    DoEvents();
    Pausa(pausa);
  };

  lblE.Caption("Installazione in corso...");
  passo(800);

  const std::string programma = D + "\\" + kProgramma;
  const std::string aiuto = D + "\\" + kAiuto;
  const std::string temi = D + "\\" + kCartellaTemi;
  const std::string tema = temi + "\\" + kTema;
  const std::string disinstallatore = D + "\\" + kDisinstallatore;
  testoCopia(programma);
  passo(60);
  files.Copy(kProgramma, programma);
  passo(60);
  testoCopia(aiuto);
  passo(60);
  files.Copy(kAiuto, aiuto);
  passo(60);
  files.MakeFolder(temi);
  passo(60);
  testoCopia(tema);
  passo(60);
  files.Copy(kTema, tema);
  DoEvents();
  testoCopia(disinstallatore);
  passo(60);
  files.Copy(kDisinstallatore, disinstallatore);
  passo(60);
  DoEvents();
  Pausa(60);

  for (const char* nome : kFileSistema) {
    barra.Increment();
    CopiaFileSistema(nome);
  }

  frmFinale& finale = instance<frmFinale>();
  if (CartellaSistema().empty() || !EsisteFile(CartellaSistema() + kEssenziale)) {
    files.Copy(kEssenziale, D + "\\" + kEssenziale);
    bErrori = true;
    finale.Errori.AddItem("Non è stato possibile copiare dei files essenziali");
  }

  lblE.Caption("Creazione dei collegamenti in corso...");
  passo(600);

  std::string desktop = CartellaCondivisa(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP, true);
  std::string programmi = CartellaCondivisa(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS, true);
  // A folder that cannot be found gives no shortcut, never one in the current folder.
  std::string menu = programmi + kCartellaMenu;
  if (!programmi.empty()) files.MakeFolder(menu);
  if (!programmi.empty() && EsisteCartella(menu)) {
    menu += "\\";
    bool problemi = false;
    problemi |=
        desktop.empty() || !CreaCollegamento(desktop + kCollegamento, programma, kDescrizione);
    problemi |= !CreaCollegamento(menu + kCollegamento, programma, kDescrizione);
    problemi |=
        !CreaCollegamento(menu + kCollegamentoRimuovi, disinstallatore, kDescrizioneRimuovi);
    if (problemi) {
      bErrori = true;
      finale.Errori.AddItem("Problemi nella creazione dei collegamenti");
    }
  } else {
    bErrori = true;
    finale.Errori.AddItem("Impossibile creare dei collegamenti nel menu avvio");
  }

  lblE.Caption("Completamento dell'installazione in corso...");
  DoEvents();
  Pausa(800);

  if (EsisteFile(programma)) {
    finale.Avvio = programma;
  } else {
    bErrori = true;
    finale.Errori.AddItem("Non è stato possibile copiare il file principale dell'applicazione");
  }

  Enabled(true);
  for (int i = 0; i < 4; ++i) barra.LievIncrement();
  DoEvents();

  finale.Errori.Visible(bErrori);
  finale.lblD.Visible(!bErrori);
  finale.lblC.Caption(bErrori ? "L'installazione non è stata completata correttamente\r\nErrori:"
                              : "Installazione eseguita correttamente");
  finale.Move(Left(), Top(), Width(), Height());
  finale.Show();
  Unload();
}
