// The welcome page, its help and the cancel confirmation that the first pages share.
#include <algorithm>

#include "Ambiente.h"
#include "frmLicenza.h"
#include "frmMain.h"
#include "frmMsg.h"

namespace {

constexpr char kTitolo[] = "Installazione di QelPictura";
constexpr char kDomanda[] = "\r\n\r\nSi desidera annullare l'installazione di QelPictura?";

class Benvenuto : public Ambiente {
 protected:
  void SetUp() override { forms::instance<frmMain>().Show(); }
  frmMain& pagina() { return forms::instance<frmMain>(); }
  platform::Handle finestra() { return fake.windows.FindForm(kTitolo); }
  // Queues the answer to the next message dialog and remembers what it showed.
  void rispondi(const std::string& pulsante) {
    fake.windows.modalAnswers.push_back([this, pulsante] {
      frmMsg& msg = forms::instance<frmMsg>();
      domande.push_back(msg.lbl.Caption());
      if (pulsante.empty()) {
        fake.windows.CloseFromTitleBar(msg.hWnd());
      } else {
        EXPECT_TRUE(fake.windows.Click(msg.hWnd(), pulsante)) << pulsante;
      }
    });
  }
  std::vector<std::string> domande;
};

TEST_F(Benvenuto, ShowsTheWelcomeTextInTwoLinesWithAnEmptyLineBetween) {
  EXPECT_EQ(
      "QelPictura cattura le immagini dallo schermo\r\n\r\n"
      "Potrai effettuare 'screen shot' con estrema facilità",
      pagina().lblC.Caption());
  EXPECT_EQ(1, fake.windows.commonControlsInitialised);
  EXPECT_EQ(pagina().cmdContinua.hWnd(), fake.windows.Focused());
}

// The welcome page needs no COM; the version check behind "Continua" initialises it before
// it makes the scripting object, which Windows would refuse otherwise.
TEST_F(Benvenuto, InitialisesComOnlyWhenTheVersionCheckNeedsIt) {
  EXPECT_FALSE(fake.shell.comInitialised);
  ASSERT_TRUE(fake.windows.Click(finestra(), "&Continua"));
  auto at = [&](const char* e) { return std::find(fake.log.begin(), fake.log.end(), e); };
  ASSERT_NE(fake.log.end(), at("object WScript.shell"));
  EXPECT_LT(at("com"), at("object WScript.shell"));
}

// The names screen readers announce where the caption is not one: help, the picture, and
// the agreement named by the licence page's subtitle; the other controls by their caption.
TEST_F(Benvenuto, ControlsWithoutARightCaptionAreNamed) {
  auto nome = [this](forms::Control& c) { return fake.windows.Get(c.hWnd())->look.name; };
  frmLicenza& licenza = forms::instance<frmLicenza>();
  EXPECT_EQ("Aiuto", nome(pagina().cmdAiuto));
  EXPECT_EQ("QelPictura", nome(pagina().Image1));
  EXPECT_EQ("", nome(pagina().cmdContinua));
  EXPECT_EQ("Aiuto", nome(licenza.cmdAiuto));
  EXPECT_EQ(licenza.lblB.Caption(), nome(licenza.Text1));
  EXPECT_EQ("", nome(licenza.ckAccetto));
}

TEST_F(Benvenuto, OpensCentredOnTheScreen) {
  platform::Rect r = fake.windows.GetRect(pagina().hWnd());
  EXPECT_EQ((1024 - r.width) / 2, r.left);
  EXPECT_EQ((768 - r.height) / 2, r.top);
  EXPECT_EQ(464 + platform::fake::FakeWindows::kFrameWidth, r.width);
}

TEST_F(Benvenuto, AnnullaAnsweredNoKeepsThePageAndYesEndsSetup) {
  rispondi("&No");
  EXPECT_TRUE(fake.windows.Click(finestra(), "&Annulla"));
  EXPECT_EQ(std::vector<std::string>{kDomanda}, domande);
  EXPECT_TRUE(pagina().Loaded());
  EXPECT_TRUE(fake.windows.Enabled(pagina().hWnd()));

  rispondi("&Si");
  fake.windows.Click(finestra(), "&Annulla");
  EXPECT_EQ(0, forms::LoadedCount());
  EXPECT_EQ(0, fake.files.operations);
}

TEST_F(Benvenuto, TitleBarCloseAsksAndStaysOnNoOrOnTheDialogsOwnCloseBox) {
  rispondi("&No");
  fake.windows.CloseFromTitleBar(finestra());
  EXPECT_TRUE(pagina().Loaded());
  rispondi("");
  fake.windows.CloseFromTitleBar(finestra());
  EXPECT_TRUE(pagina().Loaded());
  rispondi("&Si");
  fake.windows.CloseFromTitleBar(finestra());
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_EQ(3u, domande.size());
}

TEST_F(Benvenuto, CodeTaskManagerAndEndOfSessionCloseWithoutAsking) {
  fake.windows.CloseFromTaskManager(finestra());
  EXPECT_FALSE(pagina().Loaded());
  pagina().Show();
  fake.windows.EndSession();
  EXPECT_FALSE(pagina().Loaded());
  pagina().Show();
  pagina().Unload();
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_TRUE(domande.empty());
}

TEST_F(Benvenuto, AQuestionThatCannotBeShownLetsAnnullaCloseButNotTheTitleBar) {
  fake.windows.refuseForm = [this](const std::string&) { return pagina().Loaded(); };
  fake.windows.CloseFromTitleBar(finestra());
  EXPECT_TRUE(pagina().Loaded());
  fake.windows.Click(finestra(), "&Annulla");
  EXPECT_FALSE(pagina().Loaded());
}

TEST_F(Benvenuto, HelpPumpsFirstThenShowsItsTextWithOneOkButton) {
  fake.windows.modalAnswers.push_back([this] {
    frmMsg& msg = forms::instance<frmMsg>();
    EXPECT_EQ("pump", fake.log.at(fake.log.size() - 2));
    EXPECT_TRUE(msg.cmdOk.Visible());
    EXPECT_FALSE(msg.cmdSi.Visible());
    EXPECT_EQ(
        "Premendo il pulsante 'Continua', verrà visualizzata un'ulteriore schermata nella quale "
        "è richiesta l'accettazione del contratto di licenza che verrà visualizzato\r\n\r\n"
        "Se invece vuoi annullare l'installazione, clicca sul pulsante 'Annulla' e clicca su "
        "'Si' al successivo messaggio.",
        msg.lbl.Caption());
    fake.windows.Click(msg.hWnd(), "&OK");
  });
  fake.windows.Click(finestra(), "&?");
  EXPECT_TRUE(fake.windows.modalAnswers.empty());
  EXPECT_TRUE(pagina().Loaded());
}

TEST_F(Benvenuto, ContinuaNeverAsksAndShowsTheLicenceWhereTheWelcomePageWas) {
  pagina().Move(1500, 3000);
  fake.windows.Click(finestra(), "&Continua");
  EXPECT_FALSE(pagina().Loaded());
  frmLicenza& licenza = forms::instance<frmLicenza>();
  ASSERT_TRUE(licenza.Loaded());
  EXPECT_EQ(1500, licenza.Left());
  EXPECT_EQ(3000, licenza.Top());
  EXPECT_TRUE(fake.windows.Get(licenza.hWnd())->visible);
  EXPECT_TRUE(domande.empty());
  EXPECT_EQ(1, forms::LoadedCount());
}

}  // namespace
