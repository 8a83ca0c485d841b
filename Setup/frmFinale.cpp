#include "frmFinale.h"

using namespace forms;

frmFinale::frmFinale()
    : Pagina("Resoconto dell'installazione di QelPictura", 3015, StartUp::Manual, 6930, 5100) {
  lblC = label({375, 1950, 6225, 435}, "").wraps();
  Errori = listBox({375, 2400, 6240, 1425}).tab(2);
  lblD =
      label({375, 3825, 3465, 195}, "Il programma verrà subito avviato, buon lavoro!").autoSize();
  lblE = label({375, 4770, 2355, 195}, "Grazie per la fiducia");
  cmdChiudi = button(avanti(), "&Chiudi").tab(1).onClick(&frmFinale::cmdChiudi_Click);
}

void frmFinale::cmdChiudi_Click() { Unload(); }

// However the page closes, the installed program starts when its file was in place: as
// the one file the path names (a "C:\Program.exe" is never tried for "C:\Program
// Files\..."), in its own folder, with the user's own rights rather than Setup's.
void frmFinale::Form_Unload(int& /*Cancel*/) {
  if (Avvio.empty()) return;
  platform::installation().StartAsUser(Avvio, Avvio.substr(0, Avvio.find_last_of('\\')),
                                       platform::ShowCommand::Normal);
}
