#include "frmMain.h"

#include "Funzioni.h"
#include "Impronta.h"

using namespace forms;
using namespace funzioni;
using platform::MessageBoxStyle;

namespace {
constexpr const char* kTitolo = "Disinstallazione di QelPictura";
}  // namespace

frmMain::frmMain()
    : FinestraConBanda(kTitolo,
                       {"QelSoftware - Disinstallazione di QelPictura", 3765,
                        "Questa procedura ti permette di rimuovere QelPictura dal computer", 4950},
                       StartUp::CentreScreen) {
  lblInfo = label({375, 1350, 6210, 1710}, "").wraps();
  lbl = label({375, 3375, 5010, 195},
              "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione")
            .autoSize();
  cmdAiuto =
      button({225, 4665, 1215, 390}, "&?").named("Aiuto").tab(3).onClick(&frmMain::cmdAiuto_Click);
  cmdRimuovi =
      button({4125, 4665, 1215, 390}, "&Rimuovi").tab(2).onClick(&frmMain::cmdRimuovi_Click);
  cmdAnnulla =
      button({5475, 4665, 1215, 390}, "&Annulla").tab(1).onClick(&frmMain::cmdAnnulla_Click);
}

void frmMain::Form_Initialize() { platform::windows().InitCommonControls(); }

std::string frmMain::cartella() const { return platform::removal().OwnFolder(); }

// With the product still beside it, the window opens with its thank-you note; without
// it, the window is shown behind a note naming the folder left to remove, and closes.
void frmMain::Form_Load() {
  // Without its own folder the name would be looked for at the root of the current drive.
  if (!cartella().empty() && EsisteFile(cartella() + "\\" + impronta::kProgramma)) {
    lblInfo.Caption(
        "L'autore di QelPictura ti ringrazia per aver utilizzato i suoi prodotti e ti ricorda "
        "che sul sito https://www.example.org/qelsoftware sono sempre disponibili nuovi "
        "programmi gratuiti, con il codice sorgente che chiunque può leggere, per garantirti "
        "il massimo livello di sicurezza.");
    return;
  }
  // A window closed meanwhile is not made again to carry the note.
  DoEvents();
  if (Loaded()) Show();
  DoEvents();
  if (!Loaded()) return;
  platform::windows().ShowMessageBox(
      hWnd(),
      "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n" + cartella(),
      "QelSoftware", MessageBoxStyle::Information);
  Unload();
}

void frmMain::cmdAiuto_Click() {
  platform::windows().ShowMessageBox(
      hWnd(),
      "Cliccando sul pulsante 'Rimuovi', QelPictura verrà disinstallato\r\n"
      "Tutti i files relativi a questo programma, compresi i collegamenti, verranno rimossi "
      "dal computer\r\n"
      "Cliccando sul pulsante 'Annulla', si annullerà l'operazione di disinstallazione",
      kTitolo, MessageBoxStyle::Information);
}

void frmMain::cmdAnnulla_Click() { Unload(); }
