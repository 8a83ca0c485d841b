// The licence page: the agreement, and the tick box that unlocks "Continua".
#pragma once

#include "Pagina.h"

class frmLicenza : public PaginaGuidata {
 public:
  frmLicenza();

  forms::TextBox Text1;
  forms::CheckBox ckAccetto;
  forms::CommandButton cmdContinua;

 private:
  void ckAccetto_Click();
  void cmdAiuto_Click() override;
  void cmdContinua_Click();
};
