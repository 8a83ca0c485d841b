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

// However the page closes, the installed program starts when its file was in place: as
// the one file the path names (a "C:\Program.exe" is never tried for "C:\Program
// Files\..."), in its own folder, with the user's own rights rather than Setup's.
void frmFinale::Form_Unload(int& /*Cancel*/) {
  if (Avvio.empty()) return;
  platform::processes().StartAsUser(Avvio, Avvio.substr(0, Avvio.find_last_of('\\')),
                                    SW_SHOWNORMAL);
}
