#include "Pagina.h"

#include "Risorse.h"
#include "frmMsg.h"

using namespace forms;

namespace {
constexpr int COLOR_WINDOW = 5, COLOR_BTNSHADOW = 16;
constexpr int IDYES = 6, IDNO = 7;
}  // namespace

Pagina::Pagina(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio, int larghezza,
               int altezza)
    : Form("Installazione di QelPictura", larghezza, altezza, IDI_PROGRAMMA, avvio),
      lblTop(*this, Label, {0, 0, 7290, 990}, ""),
      lblA(*this, Label, {375, 225, 3540, 195}, "QelSoftware - Installazione di QelPictura"),
      lblB(*this, Label, {675, 570, larghezzaSottotitolo, 195}, sottotitolo),
      Image1(*this, Picture, {6150, 225, 480, 480}, ""),
      Line1(*this, Line, {0, 960, 6900, 0}, ""),
      Line2(*this, Line, {0, 4575, 6900, 0}, ""),
      Line3(*this, Line, {0, 4590, 6900, 0}, "") {
  lblTop.onBand();
  lblA.onBand().bold().autoSize();
  lblB.onBand().autoSize();
  Image1.onBand().picture(IDI_EMBLEMA);
  Line1.colour(COLOR_BTNSHADOW);
  Line2.colour(COLOR_BTNSHADOW);
  Line3.colour(COLOR_WINDOW);
}

PaginaGuidata::PaginaGuidata(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio)
    : Pagina(sottotitolo, larghezzaSottotitolo, avvio),
      cmdAiuto(*this, Button, {225, 4665, 1215, 390}, "&?"),
      cmdAnnulla(*this, Button, {4050, 4665, 1215, 390}, "&Annulla") {
  cmdAiuto.onClick([this] { cmdAiuto_Click(); });
  cmdAnnulla.onClick([this] { cmdAnnulla_Click(); });
}

std::optional<int> PaginaGuidata::chiediAnnullamento() {
  frmMsg& msg = instance<frmMsg>();
  msg.Load();
  if (!msg.Loaded()) return std::nullopt;
  return msg.mMsgBox("\r\n\r\nSi desidera annullare l'installazione di QelPictura?", true, false);
}

// "Annulla": the page closes on "Si", and with it Setup; a question that cannot be shown
// does not keep the user in.
void PaginaGuidata::cmdAnnulla_Click() {
  std::optional<int> risposta = chiediAnnullamento();
  if (!risposta || *risposta == IDYES) Unload();
}

// Closing from the title bar asks the same question; every other cause of closing (the
// page's own code, the end of the session, the task manager) asks nothing.
void PaginaGuidata::Form_QueryUnload(int& Cancel, int UnloadMode) {
  if (UnloadMode != vbFormControlMenu) return;
  std::optional<int> risposta = chiediAnnullamento();
  if (!risposta || *risposta == IDNO) Cancel = 1;
}
