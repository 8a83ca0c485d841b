// The band across the top of a window: the white band with the title, the subtitle and
// the picture on it, the rule under it, and the etched rule above the buttons. Every page
// of Setup and the uninstaller's window stand on it; they differ in their texts.
#pragma once

#include "forms/Form.h"

class FinestraConBanda : public forms::Form {
 public:
  forms::Label lblTop, lblA, lblB;
  forms::Image Image1;
  forms::Line Line1, Line2, Line3;

 protected:
  // The title and the subtitle with their designed widths: both grow with their text.
  struct Testata {
    const char* titolo;
    int larghezzaTitolo;
    const char* sottotitolo;
    int larghezzaSottotitolo;
  };
  FinestraConBanda(const char* caption, Testata testata, StartUp avvio, int larghezza = 6960,
                   int altezza = 5130);
};
