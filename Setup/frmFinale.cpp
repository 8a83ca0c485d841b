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

// However the page closes, the installed program starts when its file was in place. The
// path is started as the one file it names, quoted on its command line, so that a
// "C:\Program.exe" is never tried for "C:\Program Files\...".
void frmFinale::Form_Unload(int& /*Cancel*/) {
  if (!Avvio.empty())
    platform::processes().Start(Avvio, "\"" + Avvio + "\"", platform::ShowCommand::Normal);
}
