// The welcome page, the program's first window.
#pragma once

#include "Pagina.h"

class frmMain : public PaginaGuidata {
 public:
  frmMain();
  void Form_Initialize() override;

  forms::Label lblC, lblD;
  forms::CommandButton cmdContinua;

 private:
  void Form_Load() override;
  void cmdAiuto_Click() override;
  void cmdContinua_Click();
  void ControllaVersione();
};
