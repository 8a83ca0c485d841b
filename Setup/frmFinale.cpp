#include "frmFinale.h"

using namespace forms;

namespace {
constexpr int SW_SHOWNORMAL = 1;
}

frmFinale::frmFinale()
    : Pagina("Resoconto dell'installazione di QelPictura", 3015, StartUp::Manual, 6930, 5100),
      lblC(*this, Label, {375, 1950, 6225, 435}, ""),
      Errori(*this, ListBox, {375, 2400, 6240, 1425}, ""),
      lblD(*this, Label, {375, 3825, 3465, 195}, "Il programma verrà subito avviato, buon lavoro!"),
      lblE(*this, Label, {375, 4770, 2355, 195}, "QelSoftware - Grazie per la fiducia"),
      cmdChiudi(*this, Button, avanti(), "&Chiudi") {
  lblC.wraps();
  lblD.autoSize();
  lblE.autoSize();
  cmdChiudi.onClick([this] { cmdChiudi_Click(); });
  TabOrder({&cmdChiudi, &Errori});
}

void frmFinale::cmdChiudi_Click() { Unload(); }

// However the page closes, the installed program starts when its file was in place. The
// path is started as the one file it names, quoted on its command line, so that a
// "C:\Program.exe" is never tried for "C:\Program Files\...".
void frmFinale::Form_Unload(int& /*Cancel*/) {
  if (!Avvio.empty()) platform::processes().Start(Avvio, "\"" + Avvio + "\"", SW_SHOWNORMAL);
}
