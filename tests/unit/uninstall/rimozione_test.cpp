// The uninstaller's start-up and its removal run.
#include "Ambiente.h"
#include "frmMain.h"

namespace {

constexpr char D[] = "C:\\Programmi\\QelPictura";
constexpr char kDesktopComune[] = "C:\\Users\\Public\\Desktop";
constexpr char kProgrammiComuni[] = "C:\\ProgramData\\Start Menu\\Programs";
constexpr char kDesktopUtente[] = "C:\\Users\\io\\Desktop";
constexpr char kProgrammiUtente[] = "C:\\Users\\io\\Start Menu\\Programs";

class Rimozione : public Ambiente {
 protected:
  void SetUp() override {
    fake.processes.ownFolder = D;
    auto& f = fake.files;
    for (const char* name : {"QelPictura.exe", "help.htm", "Uninstall.exe", "msvbvm60.dll"})
      f.AddFile(std::string(D) + "\\" + name, name);
    f.AddFile(std::string(D) + "\\temi\\happysmile.qelpictura");
    f.AddFolder(kDesktopComune);
    f.AddFolder(kDesktopUtente);
    f.AddFolder(kProgrammiUtente);
    f.AddFile(std::string(kDesktopComune) + "\\QelPictura.lnk");
    f.AddFile(std::string(kDesktopUtente) + "\\QelPictura.lnk");
    f.AddFile(std::string(kProgrammiComuni) + "\\QelPictura\\QelPictura.lnk");
    f.AddFile(std::string(kProgrammiComuni) + "\\QelPictura\\Rimuovi QelPictura dal computer.lnk");
    fake.shell.specialFolders = {
        {25, kDesktopComune}, {0, kDesktopUtente}, {23, kProgrammiComuni}, {2, kProgrammiUtente}};
    fake.shell.machineKeys = {"SOFTWARE\\Qel", "SOFTWARE\\Qel\\Pictura",
                              "SOFTWARE\\Qel\\Pictura\\Altro"};
  }
  frmMain& finestra() { return forms::instance<frmMain>(); }
  // As the program starts: the window is loaded, and shown unless loading closed it.
  void avvia() {
    finestra().Load();
    if (finestra().Loaded()) finestra().Show();
  }
  void rimuovi(int risposta) {
    fake.windows.messageBoxAnswers.push_back(risposta);
    fake.windows.Click(finestra().hWnd(), "&Rimuovi");
  }
  std::string in(const char* nome) { return std::string(D) + "\\" + nome; }
};

TEST_F(Rimozione, OpensReadyWithTheFocusOnAnnulla) {
  avvia();
  ASSERT_TRUE(finestra().Loaded());
  EXPECT_NE("", finestra().lblInfo.Caption());
  EXPECT_EQ(finestra().cmdAnnulla.hWnd(), fake.windows.Focused());
  EXPECT_TRUE(fake.windows.messageBoxes.empty());
}

TEST_F(Rimozione, DecliningTheConfirmationChangesNothing) {
  avvia();
  int prima = fake.files.operations;
  rimuovi(2);
  ASSERT_EQ(1u, fake.windows.messageBoxes.size());
  EXPECT_EQ("QelPictura verrà ora rimosso dal computer", fake.windows.messageBoxes[0].text);
  EXPECT_EQ(0x101u, fake.windows.messageBoxes[0].flags);
  EXPECT_EQ(prima, fake.files.operations);
  EXPECT_TRUE(fake.shell.deletedKeys.empty());
  EXPECT_TRUE(finestra().cmdRimuovi.Visible());
  EXPECT_EQ("&Annulla", finestra().cmdAnnulla.Caption());
}

TEST_F(Rimozione, RemovesWhatThePatternsNameAndEndsFinished) {
  avvia();
  fake.files.AddFile(std::string(kProgrammiComuni) + "\\QelPictura\\nota.txt");
  fake.files.AddFile(in("temi\\mio.tema"));
  rimuovi(1);
  EXPECT_EQ(std::vector<std::string>({"Disinstallazione in corso...",
                                      "Rimozione valori registro di sistema in corso...",
                                      "Rimozione dei collegamenti in corso...",
                                      "Rimozione dei files di installazione in corso..."}),
            [&] {
              std::vector<std::string> testi;
              std::string prefisso = std::to_string(finestra().lbl.hWnd()) + " ";
              for (const auto& t : log("text "))
                if (t.rfind(prefisso, 0) == 0) testi.push_back(t.substr(prefisso.size()));
              return testi;
            }());
  EXPECT_EQ(2000u, fake.processes.clock);
  EXPECT_EQ(100u, log("step ").size());
  EXPECT_EQ(std::vector<std::string>{"SOFTWARE\\Qel\\Pictura"}, fake.shell.deletedKeys);
  EXPECT_EQ(std::set<std::string>{"SOFTWARE\\Qel"}, fake.shell.machineKeys);
  EXPECT_FALSE(fake.files.IsFile(std::string(kDesktopComune) + "\\QelPictura.lnk"));
  EXPECT_TRUE(fake.files.IsFile(std::string(kDesktopUtente) + "\\QelPictura.lnk"));
  EXPECT_EQ(std::vector<std::string>{"nota.txt"},
            fake.files.List(std::string(kProgrammiComuni) + "\\QelPictura"));
  EXPECT_FALSE(fake.files.IsFile(in("QelPictura.exe")));
  EXPECT_FALSE(fake.files.IsFile(in("help.htm")));
  EXPECT_FALSE(fake.files.IsFolder(in("temi")));
  EXPECT_TRUE(fake.files.IsFile(in("Uninstall.exe")));
  EXPECT_TRUE(fake.files.IsFile(in("msvbvm60.dll")));
  EXPECT_TRUE(fake.files.IsFolder(D));

  EXPECT_FALSE(finestra().lbl.Visible());
  EXPECT_FALSE(finestra().cmdAiuto.Visible());
  EXPECT_FALSE(finestra().cmdRimuovi.Visible());
  EXPECT_EQ("Chiudi", finestra().cmdAnnulla.Caption());
  EXPECT_EQ("\r\n\r\nDisinstallazione completata", finestra().lblInfo.Caption());
  EXPECT_TRUE(finestra().Enabled());
  fake.windows.Click(finestra().hWnd(), "Chiudi");
  EXPECT_EQ(0, forms::LoadedCount());
}

TEST_F(Rimozione, EmptySpecialFoldersSkipTheirStepsInsteadOfUsingTheCurrentDirectory) {
  fake.shell.specialFolders.clear();
  fake.files.currentDirectory = "C:\\altrove";
  fake.files.AddFile("C:\\altrove\\QelPictura.lnk");
  avvia();
  rimuovi(1);
  EXPECT_TRUE(fake.files.IsFile("C:\\altrove\\QelPictura.lnk"));
  EXPECT_EQ("Chiudi", finestra().cmdAnnulla.Caption());
}

TEST_F(Rimozione, AProductAlreadyGoneIsReportedWithTheFolderAndTheProgramEnds) {
  fake.files.DeleteFiles(in("QelPictura.exe"));
  fake.files.AddFolder(in("QelPictura.exe"));  // a folder of that name is not the product
  avvia();
  EXPECT_FALSE(finestra().Loaded());
  ASSERT_EQ(1u, fake.windows.messageBoxes.size());
  EXPECT_EQ(std::string("QelPictura è già stato disinstallato\r\nRimuovere manualmente la "
                        "cartella\r\n") +
                D,
            fake.windows.messageBoxes[0].text);
  EXPECT_EQ("QelSoftware", fake.windows.messageBoxes[0].title);
  EXPECT_EQ(64u, fake.windows.messageBoxes[0].flags);
}

}  // namespace
