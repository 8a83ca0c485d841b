// The folder and path routines, the proposed destination folder and the browse button.
#include "Ambiente.h"
#include "Funzioni.h"
#include "frmCartella.h"

using namespace funzioni;
using platform::BrowseStyle;
using platform::Csidl;

namespace {

constexpr std::uint32_t kSolaLettura = platform::kAttributeReadOnly,
                        kNascosto = platform::kAttributeHidden,
                        kSistema = platform::kAttributeSystem;

// ---------------------------------------------------------------- the proposed folder

struct Proposta {
  const char* nome;
  const char* programFiles;  // where the shell says Program Files is, or nullptr
  std::vector<const char*> cartelle;
  const char* attesa;
};
void PrintTo(const Proposta& c, std::ostream* os) { *os << c.nome; }

class CartellaProposta : public Ambiente, public ::testing::WithParamInterface<Proposta> {};

TEST_P(CartellaProposta, IsTheFirstExistingCandidateWithTheProductFolder) {
  const Proposta& p = GetParam();
  if (p.programFiles) fake.shell.specialFolders[Csidl::ProgramFiles] = p.programFiles;
  for (const char* c : p.cartelle) fake.files.AddFolder(c);
  EXPECT_EQ(p.attesa, forms::instance<frmCartella>().txtPercorso.Text());
}

INSTANTIATE_TEST_SUITE_P(
    Setup, CartellaProposta,
    ::testing::Values(
        Proposta{"shell",
                 "D:\\Applicazioni",
                 {"D:\\Applicazioni", "C:\\programmi", "C:\\Program Files"},
                 "D:\\Applicazioni\\QelPictura"},
        Proposta{"shellGivesAMissingFolder",
                 "D:\\Applicazioni",
                 {"C:\\programmi", "C:\\Program Files"},
                 "C:\\programmi\\QelPictura"},
        Proposta{"programFiles", nullptr, {"C:\\Program Files"}, "C:\\Program Files\\QelPictura"},
        Proposta{"none", nullptr, {"C:\\Programmi2"}, "C:\\QelPictura"},
        Proposta{"shellRootWithBackslash", "E:\\", {"E:\\"}, "E:\\QelPictura"}),
    [](const auto& info) { return std::string(info.param.nome); });

// ---------------------------------------------------------------- browsing

class Sfoglia : public Ambiente {
 protected:
  void SetUp() override {
    fake.files.AddFolder("C:\\Dati");
    pagina().Show();
    ASSERT_EQ("C:\\QelPictura", pagina().txtPercorso.Text());
  }
  frmCartella& pagina() { return forms::instance<frmCartella>(); }
  std::string sfoglia(std::optional<std::string> risposta) {
    fake.shell.browseAnswers.push_back(std::move(risposta));
    EXPECT_TRUE(fake.windows.Click(pagina().hWnd(), "sfoglia..."));
    return pagina().txtPercorso.Text();
  }
};

TEST_F(Sfoglia, AddsTheProductFolderToWhatIsPickedAndKeepsTheTextOtherwise) {
  EXPECT_EQ("C:\\QelPictura", sfoglia(std::nullopt));        // cancelled
  EXPECT_EQ("C:\\QelPictura", sfoglia("C:\\Sparita"));       // no such folder
  EXPECT_EQ("C:\\Dati\\QelPictura", sfoglia("C:\\Dati"));    // a folder
  EXPECT_EQ("C:\\Dati\\QelPictura", sfoglia(std::nullopt));  // cancelled again
  EXPECT_EQ("C:\\QelPictura", sfoglia("C:\\"));              // a drive root
  ASSERT_EQ(5u, fake.shell.browses.size());
  for (const auto& b : fake.shell.browses) {
    EXPECT_EQ("Scegli la cartella d'installazione di QelPictura", b.title);
    EXPECT_EQ(pagina().hWnd(), b.owner);
    EXPECT_EQ(BrowseStyle::FoldersOnly, b.flags);
  }
}

using Percorsi = Ambiente;

TEST_F(Percorsi, ScegliCartellaDropsOneFinalBackslashAndGivesNothingWhenCancelled) {
  fake.shell.browseAnswers = {std::string("C:\\"), std::string("C:\\Dati"), std::nullopt};
  EXPECT_EQ("C:", ScegliCartella("t", 7, true));
  EXPECT_EQ("C:\\Dati", ScegliCartella("t", 7, false));
  EXPECT_EQ("", ScegliCartella("t", 7, false));
  ASSERT_EQ(3u, fake.shell.browses.size());
  EXPECT_EQ(BrowseStyle::EditBoxNewDialog, fake.shell.browses[0].flags);
  EXPECT_EQ(BrowseStyle::FoldersOnly, fake.shell.browses[1].flags);
}

// ---------------------------------------------------------------- existence tests

TEST_F(Percorsi, EsisteFileAndEsisteCartellaLookAtTheFolderBitAlone) {
  fake.files.AddFile("C:\\pacchetto\\help.htm");
  fake.files.AddFile("C:\\nascosto.txt", "", kNascosto);
  fake.files.AddFile("C:\\bloccato.txt", "", kSolaLettura);
  fake.files.AddFolder("C:\\Nascosta");
  fake.files.SetAttributes("C:\\Nascosta", kNascosto | kSistema | kSolaLettura);
  struct Caso {
    const char* percorso;
    bool file, cartella;
  } casi[] = {
      {"C:\\pacchetto\\help.htm", true, false},
      {"C:\\pacchetto", false, true},
      {"C:\\pacchetto\\", false, true},
      {"C:\\manca", false, false},
      {"", false, false},
      {"    ", false, false},
      {"  C:\\pacchetto\\help.htm   ", true, false},
      {" C:\\pacchetto ", false, true},
      {"\tC:\\pacchetto", false, false},  // only spaces are trimmed
      {"C:\\nascosto.txt", true, false},
      {"C:\\bloccato.txt", true, false},
      {"C:\\Nascosta", false, true},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.percorso);
    EXPECT_EQ(c.file, EsisteFile(c.percorso));
    EXPECT_EQ(c.cartella, EsisteCartella(c.percorso));
  }
}

// ---------------------------------------------------------------- special folders

TEST_F(Percorsi, PercorsoSpecialeEndsWithOneBackslashOrIsEmpty) {
  fake.shell.specialFolders = {{Csidl::ProgramFiles, "C:\\Program Files"},
                               {Csidl::CommonDesktopDirectory, "C:\\Public\\Desktop"},
                               {Csidl::Desktop, "C:\\Utente\\Desktop"},
                               {Csidl::Programs, "E:\\"}};
  fake.files.AddFolder("C:\\Program Files");
  fake.files.AddFolder("E:\\");
  EXPECT_EQ("C:\\Program Files\\", PercorsoSpeciale(Csidl::ProgramFiles, false));
  EXPECT_EQ("E:\\", PercorsoSpeciale(Csidl::Programs, false));
  EXPECT_EQ("", PercorsoSpeciale(Csidl::CommonDesktopDirectory, false));  // missing, not created
  EXPECT_EQ("", PercorsoSpeciale(Csidl::CommonPrograms, true));           // unknown to the shell
  EXPECT_FALSE(fake.files.IsFolder("C:\\Public\\Desktop"));
  EXPECT_EQ("C:\\Utente\\Desktop\\", PercorsoSpeciale(Csidl::Desktop, true));
  EXPECT_TRUE(fake.files.IsFolder("C:\\Utente\\Desktop"));
}

TEST_F(Percorsi, CartellaSistemaEndsWithExactlyOneBackslash) {
  EXPECT_EQ("C:\\windows\\system32\\", CartellaSistema());
  fake.shell.systemDirectory = "C:\\WINNT\\System32\\";
  EXPECT_EQ("C:\\WINNT\\System32\\", CartellaSistema());
  fake.shell.systemDirectory = "";
  EXPECT_EQ("", CartellaSistema());
}

// ---------------------------------------------------------------- shortcuts

TEST_F(Percorsi, CreaCollegamentoIsTrueWhenTheLinkFileIsThereAfterwards) {
  fake.files.AddFolder("C:\\Menu");
  const std::string link = "C:\\Menu\\QelPictura.lnk";

  EXPECT_FALSE(CreaCollegamento("C:\\Manca\\QelPictura.lnk", "C:\\x.exe", "d"));
  EXPECT_FALSE(fake.files.IsFolder("C:\\Manca"));

  // The target is not looked at.
  EXPECT_TRUE(CreaCollegamento(link, "C:\\nessuno.exe", "primo"));
  // An existing link is written again.
  int pumps = fake.windows.pumps;
  EXPECT_TRUE(CreaCollegamento(link, "C:\\Q\\QelPictura.exe", "Cattura"));
  EXPECT_EQ(pumps + 1, fake.windows.pumps);
  const auto& s = fake.shell.shortcuts.at(link);
  EXPECT_EQ("C:\\Q\\QelPictura.exe", s.target);
  EXPECT_EQ(platform::ShowCommand::Normal, s.windowStyle);
  EXPECT_EQ("Cattura", s.description);

  fake.shell.refusedLinks.insert("C:\\Menu\\Rifiutato.lnk");
  EXPECT_FALSE(CreaCollegamento("C:\\Menu\\Rifiutato.lnk", "C:\\x.exe", "d"));
  fake.shell.scriptingObject = false;
  EXPECT_FALSE(CreaCollegamento("C:\\Menu\\Altro.lnk", "C:\\x.exe", "d"));
  EXPECT_FALSE(fake.files.IsFile("C:\\Menu\\Altro.lnk"));
}

}  // namespace
