// The removal run behind "Rimuovi": after one confirmation, and with QelPictura closed, the
// registry key, the shortcuts and the product's files go, in five steps of the bar. What the
// patterns do not name stays: the installation folder, this program, the system's runtime
// files.
#include "Funzioni.h"
#include "Impronta.h"
#include "QelBarraProgressi.h"
#include "frmMain.h"

using namespace forms;
using namespace funzioni;
using namespace impronta;
using platform::Answer;
using platform::Csidl;

void frmMain::cmdRimuovi_Click() {
  auto& files = platform::removal();
  if (platform::windows().ShowMessageBox(
          hWnd(), "QelPictura verrà ora rimosso dal computer", "Disinstallazione di QelPictura",
          platform::MessageBoxStyle::OkCancelSecondDefault) != Answer::Ok)
    return;
  // A QelPictura that runs keeps its program file: half removed, it would still be there
  // with its shortcuts and key gone. It is closed first, or nothing is touched.
  while (platform::files().InUse(cartella() + "\\" + kProgramma))
    if (platform::windows().ShowMessageBox(
            hWnd(),
            "QelPictura è in esecuzione e deve essere chiuso prima di disinstallarlo\r\n"
            "Chiudi QelPictura e riprova",
            "Disinstallazione di QelPictura",
            platform::MessageBoxStyle::RetryCancelWarning) != Answer::Retry)
      return;

  Enabled(false);
  QelBarraProgressi barra(kBarraUninstall);
  barra.HandleParent(hWnd());
  const platform::Rect a96{25, 255, 416, 18};
  barra.CrateProgress(Scaled(a96.left), Scaled(a96.top), Scaled(a96.width), Scaled(a96.height));
  Adopt(barra.hWnd(), a96);
  auto stato = [&](const char* testo) {
    lbl.Caption(testo);
    barra.Increment();
    DoEvents();
    Pausa(500);
  };

  stato("Disinstallazione in corso...");
  stato("Rimozione valori registro di sistema in corso...");
  platform::removal().DeleteMachineKey(kChiave);

  stato("Rimozione dei collegamenti in corso...");
  // An empty folder would turn the patterns into names in the current directory, where
  // nothing was installed: such a step is skipped.
  std::string desktop = CartellaCondivisa(Csidl::CommonDesktopDirectory, Csidl::Desktop, false);
  std::string programmi = CartellaCondivisa(Csidl::CommonPrograms, Csidl::Programs, false);
  // Nothing is deleted inside a folder that is a junction or a symbolic link: its files
  // belong elsewhere. Removing the folder may take the link itself, never its target.
  auto eliminaIn = [&files](const std::string& cartella, const std::string& nomi) {
    if (!files.IsLink(cartella)) files.DeleteFiles(cartella + nomi);
  };
  if (!desktop.empty()) eliminaIn(desktop, kCollegamento);
  if (!programmi.empty()) {
    eliminaIn(programmi + kCartellaMenu, "\\*.lnk");
    files.RemoveFolder(programmi + kCartellaMenu);
  }

  stato("Rimozione dei files di installazione in corso...");
  const std::string D = cartella();
  eliminaIn(D + "\\" + kCartellaTemi, "\\*.*");
  files.DeleteFiles(D + "\\" + kProgramma);
  files.DeleteFiles(D + "\\" + kAiuto);
  files.RemoveFolder(D + "\\" + kCartellaTemi);

  lbl.Visible(false);
  lblInfo.Caption("\r\n\r\nDisinstallazione completata");
  lblB.Caption("La procedura di disinstallazione è stata portata a termine");
  barra.Increment();
  DoEvents();
  barra.Destroy();
  Disown(barra.hWnd());  // a change of DPI would move a window that is no more

  Enabled(true);
  cmdAiuto.Visible(false);
  cmdRimuovi.Visible(false);
  cmdAnnulla.Caption("Chiudi");
}
