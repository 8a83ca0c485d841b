// The result page: what the installation achieved; closing it starts the program.
#pragma once

#include <string>

#include "Pagina.h"

class frmFinale : public Pagina {
 public:
  frmFinale();

  forms::Label lblC;
  forms::ListBox Errori;
  forms::Label lblD, lblE;
  forms::CommandButton cmdChiudi;
  std::string Avvio;  // the program to start when the page closes

 private:
  void cmdChiudi_Click();
  void Form_Unload(int& Cancel) override;
};
