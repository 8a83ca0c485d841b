// The result page: however it closes, it starts the installed program when there is one.
#include <functional>

#include "Ambiente.h"
#include "frmFinale.h"

namespace {

constexpr char kProgramma[] = "C:\\Program Files\\QelPictura\\QelPictura.exe";

struct Chiusura {
  const char* nome;
  std::function<void(platform::fake::FakeWindows&, frmFinale&)> chiudi;
};
void PrintTo(const Chiusura& c, std::ostream* os) { *os << c.nome; }

class Finale : public Ambiente, public ::testing::WithParamInterface<Chiusura> {
 protected:
  frmFinale& pagina() { return forms::instance<frmFinale>(); }
};

TEST_P(Finale, StartsTheProgramOnceWhateverClosesThePageAndAsksNothing) {
  pagina().Avvio = kProgramma;
  pagina().Show();
  EXPECT_EQ(pagina().cmdChiudi.hWnd(), fake.windows.Focused());
  GetParam().chiudi(fake.windows, pagina());
  EXPECT_FALSE(pagina().Loaded());  // no question: nothing queued was needed
  ASSERT_EQ(1u, fake.processes.started.size());
  const auto& p = fake.processes.started[0];
  EXPECT_EQ(kProgramma, p.application);
  EXPECT_EQ(std::string("\"") + kProgramma + "\"", p.commandLine);
  EXPECT_EQ(platform::ShowCommand::Normal, p.showCommand);
  EXPECT_EQ("C:\\Program Files\\QelPictura", p.folder);
}

TEST_P(Finale, StartsNothingWithoutAProgram) {
  pagina().Show();
  GetParam().chiudi(fake.windows, pagina());
  EXPECT_FALSE(pagina().Loaded());
  EXPECT_TRUE(fake.processes.started.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Finale,
    ::testing::Values(
        Chiusura{"chiudi",
                 [](auto& w, frmFinale& f) { EXPECT_TRUE(w.Click(f.hWnd(), "&Chiudi")); }},
        Chiusura{"barraDelTitolo", [](auto& w, frmFinale& f) { w.CloseFromTitleBar(f.hWnd()); }},
        Chiusura{"taskManager", [](auto& w, frmFinale& f) { w.CloseFromTaskManager(f.hWnd()); }},
        Chiusura{"fineSessione", [](auto& w, frmFinale&) { w.EndSession(); }},
        Chiusura{"codice", [](auto&, frmFinale& f) { f.Unload(); }}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
