#include "frmMsg.h"

#include "Risorse.h"

using namespace forms;

namespace {
constexpr int IDOK = 1, IDYES = 6, IDNO = 7;
}

frmMsg::frmMsg()
    : Form("Installazione di QelPictura", 6315, 2265, IDI_PROGRAMMA, StartUp::CentreOwner),
      lbl(*this, Label, {150, 150, 6015, 1590}, ""),
      cmdOk(*this, Button, {2565, 1800, 1215, 390}, "&OK"),
      cmdSi(*this, Button, {1875, 1800, 1215, 390}, "&Si"),
      cmdNo(*this, Button, {3225, 1800, 1215, 390}, "&No") {
  lbl.wraps().centred();
  cmdOk.onClick([this] { cmdOk_Click(); });
  cmdSi.onClick([this] { cmdSi_Click(); });
  cmdNo.onClick([this] { cmdNo_Click(); });
  TabOrder({&cmdOk, &cmdSi, &cmdNo});
}

int frmMsg::mMsgBox(std::string iMsg, bool Si_No, bool AllineaSX) {
  lbl.Caption(iMsg);
  lbl.Alignment(!AllineaSX);
  cmdOk.Visible(!Si_No);
  cmdSi.Visible(Si_No);
  cmdNo.Visible(Si_No);
  Risposta = IDNO;
  ShowModal();
  return Risposta;
}

void frmMsg::cmdOk_Click() { rispondi(IDOK); }
void frmMsg::cmdSi_Click() { rispondi(IDYES); }
void frmMsg::cmdNo_Click() { rispondi(IDNO); }

void frmMsg::rispondi(int risposta) {
  Risposta = risposta;
  Unload();
}
