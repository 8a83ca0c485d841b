#include "frmLicenza.h"

#include "frmCartella.h"
#include "frmMsg.h"

using namespace forms;

namespace {

const char kSottotitolo[] = "Contratto di licenza del software con l'utente finale";

const char kContratto[] =
    "Contratto di licenza con l'utente finale\r\n"
    "\r\n"
    "QelPictura è un software gratuito, destinato sia agli utenti privati sia ai\r\n"
    "professionisti, che possono utilizzarlo liberamente.\r\n"
    "QelPictura può essere liberamente scambiato e distribuito sul web, a condizione che non\r\n"
    "vi sia alcuno scopo di lucro, diretto o indiretto.\r\n"
    "Accettando le condizioni del presente contratto, l'utente si assume ogni responsabilità\r\n"
    "per danni di qualsiasi natura, a sé stesso o a terzi, che dovessero derivare dall'uso\r\n"
    "del software.\r\n"
    "L'autore non è in alcun modo responsabile per danni di qualsiasi natura dovuti\r\n"
    "all'utilizzo del software.\r\n"
    "Per qualsiasi problema tecnico nell'uso di QelPictura è disponibile un servizio di\r\n"
    "assistenza tecnica gratuita all'indirizzo:\r\n"
    "\r\n"
    "https://www.example.org/qelpictura/assistenza\r\n"
    "\r\n"
    "L'autore può essere contattato anche all'indirizzo di posta elettronica:\r\n"
    "\r\n"
    "autore@example.org\r\n";

}  // namespace

frmLicenza::frmLicenza() : PaginaGuidata(kSottotitolo, 3660, {.aiuto = 2, .annulla = 1}) {
  // Screen readers announce the box by the page's subtitle, the text that names it.
  Text1 = textBox({150, 1125, 6660, 2865}, kContratto)
              .multiLine()
              .bothScrollBars()
              .readOnly()
              .named(kSottotitolo)
              .tab(5);
  ckAccetto = checkBox({225, 4125, 2790, 390}, "Accett&o le condizioni del contratto")
                  .tab(4)
                  .onClick(&frmLicenza::ckAccetto_Click);
  cmdContinua =
      button(avanti(), "&Continua").disabled().tab(3).onClick(&frmLicenza::cmdContinua_Click);
}

void frmLicenza::ckAccetto_Click() { cmdContinua.Enabled(ckAccetto.Value() != 0); }

void frmLicenza::cmdAiuto_Click() {
  mMsgBox(
      "Per continuare l'installazione è necessario accettare tutte le condizioni specificate "
      "nel presente contratto di licenza\r\n\r\n"
      "Selezionando la relativa casella, verrà abilitato il pulsante 'Continua', che permette "
      "di continuare l'installazione del programma",
      false, true);
}

void frmLicenza::cmdContinua_Click() {
  frmCartella& cartella = instance<frmCartella>();
  cartella.TakePlaceOf(*this, false);
  cartella.Show();
  Unload();
}
