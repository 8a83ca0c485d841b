// Setup's own message dialog: one text and either "&OK", "&Si" / "&No" or, on the same
// two buttons, "&Riprova" / "&Annulla".
#pragma once

#include <string>

#include "forms/Form.h"

class frmMsg : public forms::Form {
 public:
  frmMsg();
  // Shows the text modally and returns Ok, Yes (Si) or No (No, or closed).
  platform::Answer mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX);
  // Shows the text centred, modally, with "&Riprova" and "&Annulla": Retry, or Cancel
  // (Annulla, closed, or not shown at all).
  platform::Answer mRiprova(std::string iMsg);

  forms::Label lbl;
  forms::CommandButton cmdOk, cmdSi, cmdNo;

 private:
  void cmdOk_Click();
  void cmdSi_Click();
  void cmdNo_Click();
  void rispondi(platform::Answer risposta);
  platform::Answer mostra(std::string iMsg, bool coppia, bool riprova, bool AllineaSX);

  platform::Answer Risposta = platform::Answer::No;
  bool riprova_ = false;  // the pair offers to retry or to cancel
};

// The message dialog's one instance.
inline platform::Answer mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX) {
  return forms::instance<frmMsg>().mMsgBox(std::move(iMsg), Si_No, AllineaSX);
}
