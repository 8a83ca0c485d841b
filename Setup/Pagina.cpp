#include "Pagina.h"

#include "frmMsg.h"

using namespace forms;
using platform::Answer;

Pagina::Pagina(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio, int larghezza,
               int altezza)
    : FinestraConBanda(
          "Installazione di QelPictura",
          {"QelSoftware - Installazione di QelPictura", 3540, sottotitolo, larghezzaSottotitolo},
          avvio, larghezza, altezza) {}

PaginaGuidata::PaginaGuidata(const char* sottotitolo, int larghezzaSottotitolo,
                             OrdineDelFuoco posti, StartUp avvio)
    : Pagina(sottotitolo, larghezzaSottotitolo, avvio) {
  cmdAiuto = button({225, 4665, 1215, 390}, "&?")
                 .named("Aiuto")
                 .tab(posti.aiuto)
                 .onClick(&PaginaGuidata::cmdAiuto_Click);
  cmdAnnulla = button({4050, 4665, 1215, 390}, "&Annulla")
                   .tab(posti.annulla)
                   .onClick(&PaginaGuidata::cmdAnnulla_Click);
}

std::optional<Answer> PaginaGuidata::chiediAnnullamento() {
  frmMsg& msg = instance<frmMsg>();
  msg.Load();
  if (!msg.Loaded()) return std::nullopt;
  return msg.mMsgBox("\r\n\r\nSi desidera annullare l'installazione di QelPictura?", true, false);
}

// "Annulla": the page closes on "Si", and with it Setup; a question that cannot be shown
// does not keep the user in, as "Annulla" is the page's own way out.
void PaginaGuidata::cmdAnnulla_Click() {
  std::optional<Answer> risposta = chiediAnnullamento();
  if (!risposta || *risposta == Answer::Yes) Unload();
}

// Closing from the title bar asks the same question and closes only on "Si": one that
// cannot be shown keeps the page, which "Annulla" still closes. Every other cause of
// closing (the page's own code, the end of the session, a close from outside the window)
// asks nothing.
void PaginaGuidata::Form_QueryUnload(int& Cancel, UnloadMode UnloadMode) {
  if (UnloadMode != UnloadMode::ControlMenu) return;
  std::optional<Answer> risposta = chiediAnnullamento();
  if (!risposta || *risposta == Answer::No) Cancel = 1;
}
