// The welcome page: what QelPictura does, help, and the way on to the licence.
#include "frmMain.h"

#include "Funzioni.h"
#include "Impronta.h"
#include "frmLicenza.h"
#include "frmMsg.h"

using namespace forms;

namespace {
constexpr int kVersioneDiQuestoSetup = 1;
}

frmMain::frmMain()
    : PaginaGuidata("Questa procedura ti permette di installare QelPictura nel tuo sistema", 5025,
                    {.aiuto = 2, .annulla = 3}, StartUp::CentreScreen) {
  lblC = label({375, 1650, 5850, 945}, "#").wraps();
  lblD = label({375, 3825, 4395, 195},
               "Clicca sul pulsante 'Continua' per procedere con l'installazione")
             .autoSize();
  cmdContinua = button(avanti(), "&Continua").tab(1).onClick(&frmMain::cmdContinua_Click);
}

void frmMain::Form_Initialize() { platform::windows().InitCommonControls(); }

void frmMain::Form_Load() {
  lblC.Caption(
      "QelPictura cattura le immagini dallo schermo\r\n\r\n"
      "Potrai effettuare 'screen shot' con estrema facilità");
}

void frmMain::cmdAiuto_Click() {
  funzioni::DoEvents();
  mMsgBox(
      "Premendo il pulsante 'Continua', verrà visualizzata un'ulteriore schermata nella quale è "
      "richiesta l'accettazione del contratto di licenza che verrà visualizzato\r\n\r\n"
      "Se invece vuoi annullare l'installazione, clicca sul pulsante 'Annulla' e clicca su 'Si' "
      "al successivo messaggio.",
      false, true);
}

// The version check only warns: the licence page follows whatever it finds.
void frmMain::cmdContinua_Click() {
  ControllaVersione();
  frmLicenza& licenza = instance<frmLicenza>();
  licenza.TakePlaceOf(*this, false);
  licenza.Show();
  Unload();
}

// Warns when the registry names an installed version newer than this one. Whatever
// cannot be read ends the check silently.
void frmMain::ControllaVersione() {
  auto valore = platform::installation().RegRead(impronta::kValoreVersione);
  if (!valore) return;
  std::string testo;
  switch (valore->kind) {
    case platform::RegistryValue::Kind::Text:
      testo = valore->text;
      break;
    case platform::RegistryValue::Kind::Number:
      testo = std::to_string(valore->number);
      break;
    case platform::RegistryValue::Kind::Other:
      return;
  }
  auto versione = platform::installation().TextToInt16(testo);
  if (!versione || *versione <= kVersioneDiQuestoSetup) return;
  mMsgBox(
      "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
      "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
      "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
      "l'installazione della presente versione",
      false, true);
}
