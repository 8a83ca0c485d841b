// The uninstaller's only window: the thank-you note, help, and "Rimuovi".
#pragma once

#include <string>

#include "Banda.h"

class frmMain : public FinestraConBanda {
 public:
  frmMain();
  void Form_Initialize() override;

  forms::Label lblInfo, lbl;
  forms::CommandButton cmdAiuto, cmdRimuovi, cmdAnnulla;

 private:
  void Form_Load() override;
  void cmdAiuto_Click();
  void cmdAnnulla_Click();
  void cmdRimuovi_Click();  // the removal run, in Rimozione.cpp
  // The folder this program runs from, taken as the installation folder.
  std::string cartella() const;
};
