// The installed-version check behind the welcome page's "Continua": a warning exactly
// when the registry names a version above 1, and the licence page in every case.
#include "Ambiente.h"
#include "frmLicenza.h"
#include "frmMain.h"
#include "frmMsg.h"

namespace {

using Kind = platform::RegistryValue::Kind;

constexpr char kValore[] = "HKLM\\SOFTWARE\\Qel\\Pictura\\Version";
constexpr char kAvviso[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\n"
    "Onde evitare conflitti è consigliabile non installare questa versione.\r\n"
    "In alternativa è possibile rimuovere la versione superiore e solo dopo eseguire "
    "l'installazione della presente versione";

struct Caso {
  const char* nome;
  std::optional<platform::RegistryValue> valore;  // nothing: no key
  bool avviso;
  char decimali = '.';
  bool oggetto = true;  // the scripting object can be made
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

platform::RegistryValue testo(const char* t) { return {Kind::Text, t, 0}; }
platform::RegistryValue numero(std::int32_t n) { return {Kind::Number, "", n}; }

class Versione : public Ambiente, public ::testing::WithParamInterface<Caso> {};

TEST_P(Versione, WarnsOnlyAboveOneAndGoesOnToTheLicence) {
  const Caso& c = GetParam();
  if (c.valore) fake.shell.machineValues[kValore] = *c.valore;
  fake.shell.scriptingObject = c.oggetto;
  fake.shell.decimalSeparator = c.decimali;
  fake.shell.thousandsSeparator = c.decimali == '.' ? ',' : '.';
  frmMain& benvenuto = forms::instance<frmMain>();
  benvenuto.Show();
  benvenuto.Move(900, 600);

  std::vector<std::string> avvisi;
  fake.windows.modalAnswers.push_back([&] {
    frmMsg& msg = forms::instance<frmMsg>();
    avvisi.push_back(msg.lbl.Caption());
    EXPECT_TRUE(msg.cmdOk.Visible());
    EXPECT_FALSE(msg.cmdSi.Visible());
    EXPECT_FALSE(fake.windows.Get(msg.lbl.hWnd())->centred);
    fake.windows.Click(msg.hWnd(), "&OK");
  });
  ASSERT_TRUE(fake.windows.Click(benvenuto.hWnd(), "&Continua"));

  if (c.avviso) {
    EXPECT_EQ(std::vector<std::string>{kAvviso}, avvisi);
  } else {
    EXPECT_TRUE(avvisi.empty()) << avvisi.front();
    fake.windows.modalAnswers.clear();
  }
  frmLicenza& licenza = forms::instance<frmLicenza>();
  ASSERT_TRUE(licenza.Loaded());
  EXPECT_TRUE(fake.windows.Get(licenza.hWnd())->visible);
  EXPECT_EQ(900, licenza.Left());
  EXPECT_EQ(600, licenza.Top());
  EXPECT_FALSE(benvenuto.Loaded());
  EXPECT_EQ(1, forms::LoadedCount());
}

INSTANTIATE_TEST_SUITE_P(
    Setup, Versione,
    ::testing::Values(Caso{"testo2", testo("2"), true}, Caso{"testo1", testo("1"), false},
                      Caso{"testo0", testo("0"), false}, Caso{"negativo", testo("-3"), false},
                      Caso{"unoVirgolaCinqueSaleADue", testo("1.5"), true},
                      Caso{"unoVirgolaQuattroScendeAUno", testo("1.4"), false},
                      Caso{"dueVirgolaCinqueRestaDue", testo("2.5"), true},
                      Caso{"separatoreVirgola", testo("1,5"), true, ','},
                      Caso{"separatoreVirgolaUnoVirgolaQuattro", testo("1,4"), false, ','},
                      Caso{"lettere", testo("abc"), false}, Caso{"vuoto", testo(""), false},
                      Caso{"fuoriScala", testo("40000"), false}, Caso{"numero2", numero(2), true},
                      Caso{"numero1", numero(1), false},
                      Caso{"numeroFuoriScala", numero(40000), false},
                      Caso{"datiBinariOElenco", platform::RegistryValue{}, false},
                      Caso{"nessunaChiave", std::nullopt, false},
                      Caso{"nessunOggetto", testo("2"), false, '.', false}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
