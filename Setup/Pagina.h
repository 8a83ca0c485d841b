// The frame that the wizard's pages share: the white band with its title, subtitle and
// picture, the etched rule above the buttons, and (on the first three pages) the help
// and cancel buttons with the cancel confirmation.
#pragma once

#include <optional>

#include "forms/Form.h"

class Pagina : public forms::Form {
 public:
  forms::Control lblTop, lblA, lblB, Image1, Line1, Line2, Line3;

 protected:
  Pagina(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio = StartUp::Manual,
         int larghezza = 6960, int altezza = 5130);
  // The forward button in the bottom right corner.
  forms::Twips avanti() const { return {5475, 4665, 1215, 390}; }
};

class PaginaGuidata : public Pagina {
 public:
  forms::Control cmdAiuto, cmdAnnulla;

 protected:
  PaginaGuidata(const char* sottotitolo, int larghezzaSottotitolo, StartUp avvio = StartUp::Manual);
  virtual void cmdAiuto_Click() = 0;
  void cmdAnnulla_Click();
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;

 private:
  // The cancel question's answer, or nothing when it cannot be shown at all.
  std::optional<int> chiediAnnullamento();
};
