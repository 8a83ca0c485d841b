// What Wine cannot show of the welcome page: COM made ready only when needed, the end of
// the session, and a cancel question that cannot be shown. The rest is proven end to end.
#include <algorithm>

#include "Ambiente.h"
#include "frmMain.h"

namespace {

constexpr char kTitolo[] = "Installazione di QelPictura";

class Benvenuto : public Ambiente {
 protected:
  void SetUp() override { forms::instance<frmMain>().Show(); }
  frmMain& pagina() { return forms::instance<frmMain>(); }
  platform::Handle finestra() { return fake.windows.FindForm(kTitolo); }
};

// The welcome page needs no COM; the version check behind "Continua" initialises it before
// it makes the scripting object, which Windows would refuse otherwise.
TEST_F(Benvenuto, InitialisesComOnlyWhenTheVersionCheckNeedsIt) {
  EXPECT_FALSE(fake.shell.comInitialised);
  ASSERT_TRUE(fake.windows.Click(finestra(), "&Continua"));
  auto at = [&](const char* e) { return std::find(fake.log.begin(), fake.log.end(), e); };
  ASSERT_NE(fake.log.end(), at("object WScript.shell"));
  EXPECT_LT(at("com"), at("object WScript.shell"));
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
}

TEST_F(Benvenuto, AQuestionThatCannotBeShownLetsAnnullaCloseButNotTheTitleBar) {
  fake.windows.refuseForm = [this](const std::string&) { return pagina().Loaded(); };
  fake.windows.CloseFromTitleBar(finestra());
  EXPECT_TRUE(pagina().Loaded());
  fake.windows.Click(finestra(), "&Annulla");
  EXPECT_FALSE(pagina().Loaded());
}

}  // namespace
