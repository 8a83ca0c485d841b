#include "Banda.h"

#include "Risorse.h"

using namespace forms;

FinestraConBanda::FinestraConBanda(const char* caption, Testata testata, StartUp avvio,
                                   int larghezza, int altezza)
    : Form(caption, larghezza, altezza, IDI_PROGRAMMA, avvio) {
  lblTop = label({0, 0, 7290, 990}, "").onBand();
  lblA = label({375, 225, testata.larghezzaTitolo, 195}, testata.titolo).onBand().bold().autoSize();
  lblB =
      label({675, 570, testata.larghezzaSottotitolo, 195}, testata.sottotitolo).onBand().autoSize();
  Image1 = image({6150, 225, 480, 480}, IDI_EMBLEMA).onBand().named("QelPictura");
  Line1 = line({0, 960, 6900, 0}, SysColour::ButtonShadow);
  Line2 = line({0, 4575, 6900, 0}, SysColour::ButtonShadow);
  Line3 = line({0, 4590, 6900, 0}, SysColour::Window);
}
