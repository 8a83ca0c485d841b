// The destination page: the proposed folder, the browse button, and "Conferma", which
// performs the installation.
#pragma once

#include <string>

#include "Pagina.h"

class frmCartella : public PaginaGuidata {
 public:
  frmCartella();

  forms::Label lblC, lblD, lblE;
  forms::TextBox txtPercorso;
  forms::CommandButton cmdSfoglia, cmdConferma;
  bool bErrori = false;

 private:
  void Form_Load() override;
  void cmdSfoglia_Click();
  void cmdAiuto_Click() override;
  void cmdConferma_Click();  // the installation run, in Installazione.cpp
};
