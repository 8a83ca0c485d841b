#include "frmMsg.h"

#include "Risorse.h"

using namespace forms;
using platform::Answer;

frmMsg::frmMsg()
    : Form("Installazione di QelPictura", 6315, 2265, IDI_PROGRAMMA, StartUp::CentreOwner) {
  lbl = label({150, 150, 6015, 1590}, "").wraps().centred();
  cmdOk = button({2565, 1800, 1215, 390}, "&OK").tab(1).onClick(&frmMsg::cmdOk_Click);
  cmdSi = button({1875, 1800, 1215, 390}, "&Si").tab(2).onClick(&frmMsg::cmdSi_Click);
  cmdNo = button({3225, 1800, 1215, 390}, "&No").tab(3).onClick(&frmMsg::cmdNo_Click);
}

Answer frmMsg::mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX) {
  lbl.Caption(iMsg);
  lbl.Alignment(!AllineaSX);
  cmdOk.Visible(!Si_No);
  cmdSi.Visible(Si_No);
  cmdNo.Visible(Si_No);
  Risposta = Answer::No;
  ShowModal();
  return Risposta;
}

void frmMsg::cmdOk_Click() { rispondi(Answer::Ok); }
void frmMsg::cmdSi_Click() { rispondi(Answer::Yes); }
void frmMsg::cmdNo_Click() { rispondi(Answer::No); }

void frmMsg::rispondi(Answer risposta) {
  Risposta = risposta;
  Unload();
}
