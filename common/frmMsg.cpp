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
  return mostra(std::move(iMsg), Si_No, false, AllineaSX);
}

Answer frmMsg::mRiprova(std::string iMsg) { return mostra(std::move(iMsg), true, true, false); }

// The pair's captions are set at every call, so a question after a retry reads "Si" / "No".
Answer frmMsg::mostra(std::string iMsg, bool coppia, bool riprova, bool AllineaSX) {
  lbl.Caption(iMsg);
  lbl.Alignment(!AllineaSX);
  cmdOk.Visible(!coppia);
  cmdSi.Caption(riprova ? "&Riprova" : "&Si");
  cmdNo.Caption(riprova ? "&Annulla" : "&No");
  cmdSi.Visible(coppia);
  cmdNo.Visible(coppia);
  riprova_ = riprova;
  Risposta = riprova ? Answer::Cancel : Answer::No;
  ShowModal();
  return Risposta;
}

void frmMsg::cmdOk_Click() { rispondi(Answer::Ok); }
void frmMsg::cmdSi_Click() { rispondi(riprova_ ? Answer::Retry : Answer::Yes); }
void frmMsg::cmdNo_Click() { rispondi(riprova_ ? Answer::Cancel : Answer::No); }

void frmMsg::rispondi(Answer risposta) {
  Risposta = risposta;
  Unload();
}
