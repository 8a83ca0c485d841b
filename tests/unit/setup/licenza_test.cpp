// The licence page: the tick box that unlocks "Continua", its help, and the way on to
// the destination page.
#include "Ambiente.h"
#include "frmCartella.h"
#include "frmLicenza.h"
#include "frmMsg.h"

namespace {

class Licenza : public Ambiente {
 protected:
  void SetUp() override { pagina().Show(); }
  frmLicenza& pagina() { return forms::instance<frmLicenza>(); }
  bool continua() { return fake.windows.Click(pagina().hWnd(), "&Continua"); }
};

TEST_F(Licenza, TheTickBoxGatesContinuaEachTime) {
  EXPECT_EQ(0, pagina().ckAccetto.Value());
  EXPECT_FALSE(pagina().cmdContinua.Enabled());
  EXPECT_EQ(pagina().cmdAnnulla.hWnd(), fake.windows.Focused());
  EXPECT_FALSE(continua());

  const platform::Handle f = pagina().hWnd();
  for (bool spuntata : {true, false, true}) {
    ASSERT_TRUE(fake.windows.Click(f, "Accett&o le condizioni del contratto"));
    EXPECT_EQ(spuntata, pagina().cmdContinua.Enabled());
    EXPECT_EQ(spuntata, fake.windows.Enabled(pagina().cmdContinua.hWnd()));
  }
  EXPECT_TRUE(pagina().Loaded());
  EXPECT_FALSE(forms::instance<frmCartella>().Loaded());
}

TEST_F(Licenza, TheAgreementCannotBeTypedInto) {
  const auto& look = fake.windows.Get(pagina().Text1.hWnd())->look;
  EXPECT_TRUE(look.readOnly);
  EXPECT_TRUE(look.multiLine);
  EXPECT_TRUE(look.scrollBars);
}

TEST_F(Licenza, HelpShowsItsTextWithOneOkButtonLeftAligned) {
  int pumps = fake.windows.pumps;
  fake.windows.modalAnswers.push_back([this] {
    frmMsg& msg = forms::instance<frmMsg>();
    EXPECT_EQ(
        "Per continuare l'installazione è necessario accettare tutte le condizioni specificate "
        "nel presente contratto di licenza\r\n\r\n"
        "Selezionando la relativa casella, verrà abilitato il pulsante 'Continua', che "
        "permette di continuare l'installazione del programma",
        msg.lbl.Caption());
    EXPECT_TRUE(msg.cmdOk.Visible());
    EXPECT_FALSE(msg.cmdSi.Visible());
    EXPECT_FALSE(fake.windows.Get(msg.lbl.hWnd())->centred);
    fake.windows.Click(msg.hWnd(), "&OK");
  });
  fake.windows.Click(pagina().hWnd(), "&?");
  EXPECT_TRUE(fake.windows.modalAnswers.empty());
  EXPECT_EQ(pumps, fake.windows.pumps);  // no pump before the message
  EXPECT_TRUE(pagina().Loaded());
}

TEST_F(Licenza, ContinuaOpensTheFilledDestinationPageHereAndCloses) {
  fake.shell.specialFolders[platform::Csidl::ProgramFiles] = "C:\\Program Files";
  fake.files.AddFolder("C:\\Program Files");
  pagina().Move(2250, 1200);
  const platform::Rect designed = fake.windows.GetRect(pagina().hWnd());
  fake.windows.Click(pagina().hWnd(), "Accett&o le condizioni del contratto");
  ASSERT_TRUE(continua());

  EXPECT_FALSE(pagina().Loaded());
  frmCartella& cartella = forms::instance<frmCartella>();
  ASSERT_TRUE(cartella.Loaded());
  EXPECT_EQ(1, forms::LoadedCount());
  EXPECT_EQ("C:\\Program Files\\QelPictura", cartella.txtPercorso.Text());
  const platform::Rect r = fake.windows.GetRect(cartella.hWnd());
  EXPECT_EQ(platform::Rect({150, 80, designed.width, designed.height}), r);
  EXPECT_TRUE(fake.windows.Get(cartella.hWnd())->visible);
  EXPECT_EQ(cartella.cmdConferma.hWnd(), fake.windows.Focused());
  EXPECT_TRUE(fake.files.List("C:\\Program Files").empty());  // nothing made yet
}

}  // namespace
