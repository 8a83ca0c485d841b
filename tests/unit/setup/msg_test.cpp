// The message dialog: its answers, its buttons in each mode and the preset answer.
#include "Ambiente.h"
#include "frmMsg.h"

namespace {

using platform::Answer;

class Messaggio : public Ambiente {
 protected:
  frmMsg& msg() { return forms::instance<frmMsg>(); }
  void premi(const std::string& pulsante) {
    fake.windows.modalAnswers.push_back(
        [this, pulsante] { EXPECT_TRUE(fake.windows.Click(msg().hWnd(), pulsante)); });
  }
  void chiudi() {
    fake.windows.modalAnswers.push_back([this] { fake.windows.CloseFromTitleBar(msg().hWnd()); });
  }
};

TEST_F(Messaggio, AnswersOkYesOrNoAndNoWhenClosed) {
  premi("&OK");
  EXPECT_EQ(Answer::Ok, mMsgBox("a", false, true));
  premi("&Si");
  EXPECT_EQ(Answer::Yes, mMsgBox("b", true, false));
  premi("&No");
  EXPECT_EQ(Answer::No, mMsgBox("c", true, false));
  chiudi();
  EXPECT_EQ(Answer::No, mMsgBox("d", false, true));
  chiudi();
  EXPECT_EQ(Answer::No, mMsgBox("e", true, false));
  EXPECT_FALSE(msg().Loaded());
}

TEST_F(Messaggio, EachCallStartsFromNoAndLoadsAfresh) {
  premi("&Si");
  mMsgBox("", true, false);
  fake.windows.modalAnswers.push_back([this] {
    EXPECT_EQ("", msg().lbl.Caption());
    fake.windows.CloseFromTitleBar(msg().hWnd());
  });
  EXPECT_EQ(Answer::No, mMsgBox("", true, false));
}

TEST_F(Messaggio, ShowsOneButtonOrTheTwoAndFocusesTheFirstVisible) {
  fake.windows.modalAnswers.push_back([this] {
    EXPECT_TRUE(msg().cmdOk.Visible());
    EXPECT_FALSE(msg().cmdSi.Visible());
    EXPECT_FALSE(msg().cmdNo.Visible());
    EXPECT_FALSE(fake.windows.Get(msg().lbl.hWnd())->centred);
    EXPECT_EQ(msg().cmdOk.hWnd(), fake.windows.Focused());
    fake.windows.Click(msg().hWnd(), "&OK");
  });
  mMsgBox("testo", false, true);
  fake.windows.modalAnswers.push_back([this] {
    EXPECT_FALSE(msg().cmdOk.Visible());
    EXPECT_TRUE(msg().cmdSi.Visible());
    EXPECT_TRUE(msg().cmdNo.Visible());
    EXPECT_TRUE(fake.windows.Get(msg().lbl.hWnd())->centred);
    EXPECT_EQ(msg().cmdSi.hWnd(), fake.windows.Focused());
    fake.windows.Click(msg().hWnd(), "&Si");
  });
  mMsgBox("testo", true, false);
}

TEST_F(Messaggio, KeepsItsSizeWhateverTheText) {
  fake.windows.modalAnswers.push_back([this] {
    platform::Rect r = fake.windows.GetRect(msg().hWnd());
    EXPECT_EQ(421 + platform::fake::FakeWindows::kFrameWidth, r.width);
    EXPECT_EQ(platform::Rect({10, 10, 401, 106}), fake.windows.GetRect(msg().lbl.hWnd()));
    EXPECT_EQ(platform::Rect({171, 120, 81, 26}), fake.windows.GetRect(msg().cmdOk.hWnd()));
    EXPECT_EQ(platform::Rect({125, 120, 81, 26}), fake.windows.GetRect(msg().cmdSi.hWnd()));
    EXPECT_EQ(platform::Rect({215, 120, 81, 26}), fake.windows.GetRect(msg().cmdNo.hWnd()));
    fake.windows.CloseFromTitleBar(msg().hWnd());
  });
  mMsgBox(std::string(5000, 'x'), false, true);
}

TEST_F(Messaggio, BelongsToTheWindowThatIsActiveAndCentresOnIt) {
  platform::Handle pagina = fake.windows.CreateForm(nullptr, "pagina", 10, 10, 1, 0);
  fake.windows.SetVisible(pagina, true);
  fake.windows.modalAnswers.push_back([this, pagina] {
    platform::Rect r = fake.windows.GetRect(msg().hWnd());
    platform::Rect p = fake.windows.GetRect(pagina);
    EXPECT_EQ(pagina, fake.windows.Get(msg().hWnd())->owner);
    EXPECT_EQ(p.left + (p.width - r.width) / 2, r.left);
    fake.windows.Click(msg().hWnd(), "&OK");
  });
  mMsgBox("x", false, true);
}

}  // namespace
