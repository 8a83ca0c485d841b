// The uninstaller's only window: the thank-you note, help, and "Rimuovi".
#pragma once

#include <string>

#include "forms/Form.h"

class frmMain : public forms::Form {
 public:
  frmMain();
  void Form_Initialize() override;

  forms::Control lblTop, lblA, lblB, imgStan, Line1, lblInfo, lbl, Line2, Line3, cmdAiuto,
      cmdRimuovi, cmdAnnulla;

 private:
  void Form_Load() override;
  void cmdAiuto_Click();
  void cmdAnnulla_Click();
  void cmdRimuovi_Click();
  // The folder this program runs from, taken as the installation folder.
  std::string cartella() const;
};
