// Setup's own message dialog: one text and either "&OK" or "&Si" / "&No".
#pragma once

#include <string>

#include "forms/Form.h"

class frmMsg : public forms::Form {
 public:
  frmMsg();
  // Shows the text modally and returns Ok, Yes (Si) or No (No, or closed).
  platform::Answer mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX);

  forms::Label lbl;
  forms::CommandButton cmdOk, cmdSi, cmdNo;

 private:
  void cmdOk_Click();
  void cmdSi_Click();
  void cmdNo_Click();
  void rispondi(platform::Answer risposta);

  platform::Answer Risposta = platform::Answer::No;
};

// The message dialog's one instance.
inline platform::Answer mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX) {
  return forms::instance<frmMsg>().mMsgBox(std::move(iMsg), Si_No, AllineaSX);
}
