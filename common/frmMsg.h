// Setup's own message dialog: one text and either "&OK" or "&Si" / "&No".
#pragma once

#include <string>

#include "forms/Form.h"

class frmMsg : public forms::Form {
 public:
  frmMsg();
  // Shows the text modally and returns 1 (OK), 6 (Si) or 7 (No, or closed).
  int mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX);

  forms::Control lbl, cmdOk, cmdSi, cmdNo;

 private:
  void cmdOk_Click();
  void cmdSi_Click();
  void cmdNo_Click();
  void rispondi(int risposta);

  int Risposta = 7;
};

// The message dialog's one instance.
inline int mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX) {
  return forms::instance<frmMsg>().mMsgBox(std::move(iMsg), Si_No, AllineaSX);
}
