#include "frmCartella.h"

#include "Funzioni.h"
#include "Impronta.h"
#include "frmMsg.h"

using namespace forms;
using namespace funzioni;
using platform::Csidl;

frmCartella::frmCartella()
    : PaginaGuidata("Confermare il percorso di installazione dell'applicazione", 3900,
                    {.aiuto = 2, .annulla = 3}) {
  lblC = label({375, 1800, 3735, 195}, "Il programma verrà installato nella seguente cartella")
             .autoSize();
  lblD = label({375, 2025, 4695, 195},
               "Se vuoi installarlo in un'altra cartella, clicca sul pulsante 'sfoglia...'")
             .autoSize();
  txtPercorso = textBox({375, 2250, 4890, 315}).readOnly().tab(5);
  cmdSfoglia =
      button({5520, 2235, 1140, 345}, "sfoglia...").tab(4).onClick(&frmCartella::cmdSfoglia_Click);
  lblE = label({375, 3825, 6315, 675}, "Clicca sul pulsante 'Conferma' per installare QelPictura")
             .wraps();
  cmdConferma = button(avanti(), "&Conferma").tab(1).onClick(&frmCartella::cmdConferma_Click);
}

// The first folder that exists among Program Files as the shell knows it, "C:\programmi"
// and "C:\Program Files", with the product's own subfolder; else "C:\QelPictura".
void frmCartella::Form_Load() {
  if (EsisteCartella(PercorsoSpeciale(Csidl::ProgramFiles, false)))
    txtPercorso.Text(PercorsoSpeciale(Csidl::ProgramFiles, false));
  else if (EsisteCartella("C:\\programmi"))
    txtPercorso.Text("C:\\programmi\\");
  else if (EsisteCartella("C:\\Program Files"))
    txtPercorso.Text("C:\\Program Files\\");
  if (!txtPercorso.Text().empty())
    txtPercorso.Text(txtPercorso.Text() + impronta::kProdotto);
  else
    txtPercorso.Text("C:\\QelPictura");
}

void frmCartella::cmdSfoglia_Click() {
  std::string scelta =
      ScegliCartella("Scegli la cartella d'installazione di QelPictura", hWnd(), false);
  if (!EsisteCartella(scelta)) return;
  txtPercorso.Text(scelta + "\\" + impronta::kProdotto);
}

void frmCartella::cmdAiuto_Click() {
  mMsgBox(
      "La casella di testo mostra la cartella dove verrà installato il programma\r\n"
      "Se per qualunque motivo non ti dovesse andare bene la cartella riportata, puoi cliccare "
      "sul pulsante 'sfoglia' per scegliere una cartella d'installazione differente\r\n"
      "Se hai dei dubbi, lascia pure la cartella che vedi\r\n"
      "\r\n"
      "Ora è possibile installare il programma cliccando sul pulsante 'Conferma'\r\n"
      "Se invece vuoi annullare l'installazione, clicca sul pulsante 'Annulla'",
      false, true);
}

// cmdConferma_Click, the installation run, follows in Installazione.cpp.
