// The progress bar component in its two settings.
#include "Ambiente.h"
#include "QelBarraProgressi.h"

namespace {

using platform::ProgressMessage;

class Barra : public Ambiente {
 protected:
  void SetUp() override { padre = fake.windows.CreateForm(nullptr, "padre", 464, 342, 1, 0); }
  int posizione(const QelBarraProgressi& b) { return fake.windows.Get(b.hWnd())->position; }
  platform::Handle padre = 0;
};

TEST_F(Barra, WithoutAParentNothingIsCreatedAndStepsDoNothing) {
  QelBarraProgressi barra(kBarraSetup);
  EXPECT_EQ(0, barra.HandleParent());
  EXPECT_FALSE(barra.CrateProgress(25, 215, 416, 18));
  EXPECT_EQ(0, barra.hWnd());
  barra.Increment();
  barra.LievIncrement();
  EXPECT_TRUE(fake.windows.Children(padre).empty());
  EXPECT_TRUE(fake.windows.sent.empty());
}

TEST_F(Barra, IsAVisibleChildWithTheDefaultRangeAndAStepOfOne) {
  QelBarraProgressi barra(kBarraSetup);
  barra.HandleParent(padre);
  EXPECT_EQ(padre, barra.HandleParent());
  EXPECT_TRUE(barra.CrateProgress(25, 215, 416, 18));
  ASSERT_EQ(std::vector<platform::Handle>{barra.hWnd()}, fake.windows.Children(padre));
  const auto* w = fake.windows.Get(barra.hWnd());
  EXPECT_EQ("msctls_progress32", w->className);
  EXPECT_EQ("1", w->text);
  EXPECT_EQ(platform::ChildStyle::ChildVisible, w->style);
  EXPECT_EQ(platform::Rect({25, 215, 416, 18}), w->rect);
  EXPECT_EQ(1, w->id);
  EXPECT_EQ(1, w->instance);
  EXPECT_EQ(1, w->createData);
  EXPECT_EQ(0, w->position);
  EXPECT_EQ(1, w->step);
}

TEST_F(Barra, IncrementIsSixOneUnitStepsInSetupAndTwentyInUninstall) {
  for (auto [impostazioni, passo] : {std::pair{kBarraSetup, 6}, std::pair{kBarraUninstall, 20}}) {
    fake.windows.sent.clear();
    QelBarraProgressi barra(impostazioni);
    barra.HandleParent(padre);
    barra.CrateProgress(0, 0, 100, 10);
    barra.Increment();
    EXPECT_EQ(passo, posizione(barra));
    barra.LievIncrement();
    EXPECT_EQ(passo + 1, posizione(barra));
    std::size_t passi = 0;
    for (const auto& m : fake.windows.sent) {
      EXPECT_EQ(barra.hWnd(), m.window);
      EXPECT_TRUE(m.message == ProgressMessage::StepIt ||
                  (m.message == ProgressMessage::SetStep && m.wParam == 1));
      passi += m.message == ProgressMessage::StepIt;
    }
    EXPECT_EQ(static_cast<std::size_t>(passo + 1), passi);
  }
}

TEST_F(Barra, PastTheTopTheBarStartsAgainFromTheBottom) {
  QelBarraProgressi barra(kBarraSetup);
  barra.HandleParent(padre);
  barra.CrateProgress(0, 0, 100, 10);
  for (int i = 0; i < 16; ++i) barra.Increment();
  for (int i = 0; i < 4; ++i) barra.LievIncrement();
  EXPECT_EQ(100, posizione(barra));
  barra.Increment();  // 101 wraps to 1, then 2 to 6
  EXPECT_EQ(6, posizione(barra));
}

TEST_F(Barra, AFailedCreationStillSetsTheStepAndLeavesTheStepsIdle) {
  fake.windows.refuseChildren = true;
  QelBarraProgressi barra(kBarraSetup);
  barra.HandleParent(padre);
  EXPECT_FALSE(barra.CrateProgress(25, 215, 416, 18));
  EXPECT_EQ(0, barra.hWnd());
  barra.Increment();
  barra.LievIncrement();
  ASSERT_EQ(1u, fake.windows.sent.size());
  EXPECT_EQ(0, fake.windows.sent[0].window);
  EXPECT_EQ(ProgressMessage::SetStep, fake.windows.sent[0].message);
  EXPECT_EQ(1u, fake.windows.sent[0].wParam);
}

TEST_F(Barra, OnlyTheUninstallSettingDestroysTheBar) {
  QelBarraProgressi setup(kBarraSetup), uninstall(kBarraUninstall);
  for (QelBarraProgressi* b : {&setup, &uninstall}) {
    b->HandleParent(padre);
    b->CrateProgress(0, 0, 100, 10);
    b->Destroy();
  }
  EXPECT_TRUE(fake.windows.IsWindow(setup.hWnd()));
  EXPECT_FALSE(fake.windows.IsWindow(uninstall.hWnd()));
}

}  // namespace
