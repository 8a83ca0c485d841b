#include "frmMain.h"

#include "Funzioni.h"
#include "Impronta.h"
#include "Risorse.h"

using namespace forms;
using namespace Funzioni;

namespace {
constexpr int COLOR_WINDOW = 5, COLOR_BTNSHADOW = 16;
constexpr unsigned MB_ICONINFORMATION = 64;
constexpr const char* kTitolo = "Disinstallazione di QelPictura";
}  // namespace

frmMain::frmMain()
    : Form(kTitolo, 6960, 5130, IDI_PROGRAMMA, StartUp::CentreScreen),
      lblTop(*this, Label, {0, 0, 7290, 990}, ""),
      lblA(*this, Label, {375, 225, 3765, 195}, "QelSoftware - Disinstallazione di QelPictura"),
      lblB(*this, Label, {675, 570, 4950, 195},
           "Questa procedura ti permette di rimuovere QelPictura dal computer"),
      imgStan(*this, Picture, {6150, 225, 480, 480}, ""),
      Line1(*this, Line, {0, 960, 6900, 0}, ""),
      lblInfo(*this, Label, {375, 1350, 6210, 1710}, ""),
      lbl(*this, Label, {375, 3375, 5010, 195},
          "Clicca sul pulsante 'Rimuovi' per iniziare la procedura di disinstallazione"),
      Line2(*this, Line, {0, 4575, 6900, 0}, ""),
      Line3(*this, Line, {0, 4590, 6900, 0}, ""),
      cmdAiuto(*this, Button, {225, 4665, 1215, 390}, "&?"),
      cmdRimuovi(*this, Button, {4125, 4665, 1215, 390}, "&Rimuovi"),
      cmdAnnulla(*this, Button, {5475, 4665, 1215, 390}, "&Annulla") {
  lblTop.onBand();
  lblA.onBand().bold().autoSize();
  lblB.onBand().autoSize();
  imgStan.onBand().picture(IDI_EMBLEMA);
  Line1.colour(COLOR_BTNSHADOW);
  Line2.colour(COLOR_BTNSHADOW);
  Line3.colour(COLOR_WINDOW);
  lblInfo.wraps();
  lbl.autoSize();
  cmdAiuto.onClick([this] { cmdAiuto_Click(); });
  cmdRimuovi.onClick([this] { cmdRimuovi_Click(); });
  cmdAnnulla.onClick([this] { cmdAnnulla_Click(); });
  TabOrder({&cmdAnnulla, &cmdRimuovi, &cmdAiuto});
}

void frmMain::Form_Initialize() { platform::windows().InitCommonControls(); }

std::string frmMain::cartella() const { return platform::processes().OwnFolder(); }

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
  DoEvents();
  Show();
  DoEvents();
  platform::windows().ShowMessageBox(
      hWnd(),
      "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n" + cartella(),
      "QelSoftware", MB_ICONINFORMATION);
  Unload();
}

void frmMain::cmdAiuto_Click() {
  platform::windows().ShowMessageBox(
      hWnd(),
      "Cliccando sul pulsante 'Rimuovi', QelPictura verrà disinstallato\r\n"
      "Tutti i files relativi a questo programma, compresi i collegamenti, verranno rimossi "
      "dal computer\r\n"
      "Cliccando sul pulsante 'Annulla', si annullerà l'operazione di disinstallazione",
      kTitolo, MB_ICONINFORMATION);
}

void frmMain::cmdAnnulla_Click() { Unload(); }
