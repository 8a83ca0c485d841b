// The frame that the wizard's pages share: the band with Setup's title, the forward
// button's place, and (on the first three pages) the help and cancel buttons with the
// cancel confirmation.
#pragma once

#include <optional>

#include "Banda.h"

class Pagina : public FinestraConBanda {
 protected:
  Pagina(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio = StartUp::Manual,
         int larghezza = 6960, int altezza = 5130);
  // The forward button in the bottom right corner.
  static forms::Twips avanti() { return {5475, 4665, 1215, 390}; }
};

class PaginaGuidata : public Pagina {
 public:
  forms::CommandButton cmdAiuto, cmdAnnulla;

 protected:
  // The places of "&?" and "&Annulla" in the page's focus order.
  struct OrdineDelFuoco {
    int aiuto, annulla;
  };
  PaginaGuidata(const char* sottotitolo, int larghezzaSottotitolo, OrdineDelFuoco posti,
                StartUp avvio = StartUp::Manual);
  virtual void cmdAiuto_Click() = 0;
  void cmdAnnulla_Click();
  void Form_QueryUnload(int& Cancel, forms::UnloadMode UnloadMode) override;

 private:
  // The cancel question's answer, or nothing when it cannot be shown at all.
  std::optional<platform::Answer> chiediAnnullamento();
};
