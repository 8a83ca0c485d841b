// The licence page: the agreement, and the tick box that unlocks "Continua".
#pragma once

#include "Pagina.h"

class frmLicenza : public PaginaGuidata {
 public:
  frmLicenza();

  forms::Control Text1, ckAccetto, cmdContinua;

 private:
  void ckAccetto_Click();
  void cmdAiuto_Click() override;
  void cmdContinua_Click();
};
