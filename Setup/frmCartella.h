// The destination page: the proposed folder, the browse button, and "Conferma", which
// performs the installation.
#pragma once

#include <string>

#include "Pagina.h"

class frmCartella : public PaginaGuidata {
 public:
  frmCartella();

  forms::Control lblC, lblD, txtPercorso, cmdSfoglia, lblE, cmdConferma;
  bool bErrori = false;

 private:
  void Form_Load() override;
  void cmdSfoglia_Click();
  void cmdAiuto_Click() override;
  void cmdConferma_Click();
  void CopiaFileSistema(const std::string& nome);
  void testoCopia(const std::string& percorso);
};
