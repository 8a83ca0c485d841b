// The uninstaller's start-up and its removal run.
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "Ambiente.h"
#include "frmMain.h"

namespace {

using platform::Answer;
using platform::Csidl;
using platform::MessageBoxStyle;

constexpr char D[] = "C:\\Programmi\\QelPictura";
constexpr char kDesktopComune[] = "C:\\Users\\Public\\Desktop";
constexpr char kProgrammiComuni[] = "C:\\ProgramData\\Start Menu\\Programs";
constexpr char kDesktopUtente[] = "C:\\Users\\io\\Desktop";
constexpr char kProgrammiUtente[] = "C:\\Users\\io\\Start Menu\\Programs";
constexpr char kBarra[] = "msctls_progress32";

std::string sotto(const std::string& cartella, const std::string& nome) {
  return cartella + "\\" + nome;
}

// What the user sees, and what is left on the machine, while the run waits.
struct Istante {
  bool abilitata;
  std::string stato;
  int barra;
  bool chiave, collegamento, menu, programma;
  bool operator==(const Istante&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Istante& i) {
  return out << "{" << i.abilitata << ", \"" << i.stato << "\", " << i.barra << ", " << i.chiave
             << i.collegamento << i.menu << i.programma << "}";
}

// Pauses go on to the fake clock; at each one the test takes its look first.
class Sguardo : public platform::Processes {
 public:
  Sguardo(platform::Processes& inner, std::function<void()> guarda)
      : inner_(inner), guarda_(std::move(guarda)) {}
  bool Start(const std::string& a, const std::string& c, platform::ShowCommand s) override {
    return inner_.Start(a, c, s);
  }
  bool StartAsUser(const std::string& p, const std::string& f, platform::ShowCommand s) override {
    return inner_.StartAsUser(p, f, s);
  }
  std::string OwnFolder() override { return inner_.OwnFolder(); }
  void Pause(unsigned ms) override {
    guarda_();
    inner_.Pause(ms);
  }

 private:
  platform::Processes& inner_;
  std::function<void()> guarda_;
};

class Rimozione : public Ambiente {
 protected:
  void SetUp() override {
    fake.processes.ownFolder = D;
    auto& f = fake.files;
    for (const char* name : {"QelPictura.exe", "help.htm", "Uninstall.exe", "msvbvm60.dll"})
      f.AddFile(in(name), name);
    f.AddFile(in("temi\\happysmile.qelpictura"));
    f.AddFolder(kDesktopComune);
    f.AddFolder(kDesktopUtente);
    f.AddFolder(kProgrammiUtente);
    f.AddFile(sotto(kDesktopComune, "QelPictura.lnk"));
    f.AddFile(sotto(kProgrammiComuni, "QelPictura\\QelPictura.lnk"));
    f.AddFile(sotto(kProgrammiComuni, "QelPictura\\Rimuovi QelPictura dal computer.lnk"));
    fake.shell.specialFolders = {{Csidl::CommonDesktopDirectory, kDesktopComune},
                                 {Csidl::Desktop, kDesktopUtente},
                                 {Csidl::CommonPrograms, kProgrammiComuni},
                                 {Csidl::Programs, kProgrammiUtente}};
    fake.shell.machineKeys = {"SOFTWARE\\Qel", "SOFTWARE\\Qel\\Pictura",
                              "SOFTWARE\\Qel\\Pictura\\Altro"};
    fake.shell.machineValues["HKLM\\SOFTWARE\\Qel\\Pictura\\Version"] = {};
  }
  // The window goes before the spy it may be using.
  ~Rimozione() override { forms::ResetAll(); }

  frmMain& finestra() { return forms::instance<frmMain>(); }
  // As the program starts: the window is loaded, and shown unless loading closed it.
  void avvia() {
    finestra().Load();
    if (finestra().Loaded()) finestra().Show();
  }
  // "Rimuovi", with the answer the confirmation box gets; the timeline starts afresh.
  void rimuovi(Answer risposta) {
    inizio_ = fake.log.size();
    fake.windows.messageBoxAnswers.push_back(risposta);
    fake.windows.Click(finestra().hWnd(), "&Rimuovi");
  }
  std::string in(const char* nome) { return sotto(D, nome); }

  // The progress bar on the window, or 0.
  platform::Handle barra() {
    for (platform::Handle h : fake.windows.Children(finestra().hWnd()))
      if (fake.windows.Get(h)->className == kBarra) return h;
    return 0;
  }
  // From now on, every pause records an Istante.
  void osserva() {
    sguardo_ = std::make_unique<Sguardo>(fake.processes, [this] {
      platform::Handle b = barra();
      istanti.push_back({finestra().Enabled(), finestra().lbl.Caption(),
                         b ? fake.windows.Get(b)->position : -1,
                         fake.shell.machineKeys.count("SOFTWARE\\Qel\\Pictura\\Altro") != 0,
                         fake.files.IsFile(sotto(kDesktopComune, "QelPictura.lnk")),
                         fake.files.IsFolder(sotto(kProgrammiComuni, "QelPictura")),
                         fake.files.IsFile(in("QelPictura.exe"))});
      if (b) rettangoli.push_back(fake.windows.Get(b)->rect);
    });
    osservata_ = std::make_unique<platform::Platform>(
        platform::Platform{fake.files, fake.shell, *sguardo_, fake.windows});
    platform::Install(osservata_.get());
  }
  // The run's timeline since "Rimuovi": caption changes by control name, the bar's steps
  // gathered into the position they reach, events pumped and pauses.
  std::vector<std::string> corso() {
    std::map<std::string, std::string> nomi = {
        {std::to_string(finestra().lbl.hWnd()), "lbl"},
        {std::to_string(finestra().lblInfo.hWnd()), "lblInfo"},
        {std::to_string(finestra().lblB.hWnd()), "lblB"},
        {std::to_string(finestra().cmdAnnulla.hWnd()), "cmdAnnulla"}};
    std::vector<std::string> out;
    int posizione = 0;
    for (std::size_t i = inizio_; i < fake.log.size(); ++i) {
      const std::string& e = fake.log[i];
      if (e.rfind("step ", 0) == 0) {
        ++posizione;
        if (out.empty() || out.back().rfind("bar ", 0) != 0) out.push_back("");
        out.back() = "bar " + std::to_string(posizione);
      } else if (e.rfind("text ", 0) == 0) {
        std::size_t spazio = e.find(' ', 5);
        auto nome = nomi.find(e.substr(5, spazio - 5));
        out.push_back((nome == nomi.end() ? "?" : nome->second) + " " + e.substr(spazio + 1));
      } else {
        out.push_back(e);
      }
    }
    return out;
  }
  static std::vector<std::string> corsoCompleto() {
    return {"lbl Disinstallazione in corso...",
            "bar 20",
            "pump",
            "pause 500",
            "lbl Rimozione valori registro di sistema in corso...",
            "bar 40",
            "pump",
            "pause 500",
            "lbl Rimozione dei collegamenti in corso...",
            "bar 60",
            "pump",
            "pause 500",
            "lbl Rimozione dei files di installazione in corso...",
            "bar 80",
            "pump",
            "pause 500",
            "lblInfo \r\n\r\nDisinstallazione completata",
            "lblB La procedura di disinstallazione è stata portata a termine",
            "bar 100",
            "pump",
            "cmdAnnulla Chiudi"};
  }
  // Finished: enabled, no bar, the status line hidden, "Chiudi" the only button left.
  void attendiFinita() {
    frmMain& f = finestra();
    EXPECT_TRUE(f.Enabled());
    EXPECT_EQ(0, barra());
    EXPECT_FALSE(f.lbl.Visible());
    EXPECT_EQ("\r\n\r\nDisinstallazione completata", f.lblInfo.Caption());
    EXPECT_EQ("La procedura di disinstallazione è stata portata a termine", f.lblB.Caption());
    std::vector<std::string> pulsanti;
    for (platform::Handle h : fake.windows.Children(f.hWnd())) {
      auto* w = fake.windows.Get(h);
      if (w->look.kind == platform::ControlKind::Button && w->visible) pulsanti.push_back(w->text);
    }
    EXPECT_EQ(std::vector<std::string>{"Chiudi"}, pulsanti);
  }

  std::vector<Istante> istanti;
  std::vector<platform::Rect> rettangoli;

 private:
  std::size_t inizio_ = 0;
  std::unique_ptr<Sguardo> sguardo_;
  std::unique_ptr<platform::Platform> osservata_;
};

// The window, its help and its focus are proven end to end.
TEST_F(Rimozione, DecliningTheConfirmationChangesNothing) {
  avvia();
  const std::string stato = finestra().lbl.Caption();
  const std::size_t figli = fake.windows.Children(finestra().hWnd()).size();
  const int prima = fake.files.operations;
  // Cancel, Esc and the close box all answer Cancel; None is a box that could not be shown.
  for (Answer risposta : {Answer::Cancel, Answer::None}) {
    rimuovi(risposta);
    EXPECT_EQ(std::vector<std::string>{}, corso()) << static_cast<int>(risposta);
    EXPECT_EQ(prima, fake.files.operations);
    EXPECT_TRUE(fake.shell.deletedKeys.empty());
    EXPECT_EQ(0u, fake.processes.clock);
    EXPECT_EQ(figli, fake.windows.Children(finestra().hWnd()).size());
    EXPECT_TRUE(finestra().Enabled());
    EXPECT_EQ(stato, finestra().lbl.Caption());
    EXPECT_TRUE(finestra().cmdRimuovi.Visible() && finestra().cmdAiuto.Visible());
    EXPECT_EQ("&Annulla", finestra().cmdAnnulla.Caption());
  }
  ASSERT_EQ(2u, fake.windows.messageBoxes.size());
  for (const auto& box : fake.windows.messageBoxes) {
    EXPECT_EQ("QelPictura verrà ora rimosso dal computer", box.text);
    EXPECT_EQ("Disinstallazione di QelPictura", box.title);
    EXPECT_EQ(MessageBoxStyle::OkCancelSecondDefault, box.flags);
    EXPECT_EQ(finestra().hWnd(), box.owner);
  }
  // Still Ready: the run can take place.
  rimuovi(Answer::Ok);
  EXPECT_EQ(corsoCompleto(), corso());
}

TEST_F(Rimozione, FiveStepsEachWithItsTextBarPositionAndPause) {
  avvia();
  osserva();
  rimuovi(Answer::Ok);
  EXPECT_EQ(corsoCompleto(), corso());
  EXPECT_EQ(2000u, fake.processes.clock);
  // The window stays disabled while it waits; the key goes after the second wait, the
  // shortcuts after the third, the files after the fourth.
  EXPECT_EQ(
      std::vector<Istante>({
          {false, "Disinstallazione in corso...", 20, true, true, true, true},
          {false, "Rimozione valori registro di sistema in corso...", 40, true, true, true, true},
          {false, "Rimozione dei collegamenti in corso...", 60, false, true, true, true},
          {false, "Rimozione dei files di installazione in corso...", 80, false, false, false,
           true},
      }),
      istanti);
  ASSERT_EQ(4u, rettangoli.size());
  EXPECT_EQ((platform::Rect{25, 255, 416, 18}), rettangoli[0]);
  EXPECT_FALSE(fake.files.IsFile(in("QelPictura.exe")));
  attendiFinita();
}

TEST_F(Rimozione, RemovesWhatThePatternsNameAndEndsFinished) {
  fake.files.AddFile(sotto(kDesktopUtente, "QelPictura.lnk"));
  fake.files.AddFile(sotto(kProgrammiUtente, "QelPictura\\QelPictura.lnk"));
  fake.files.AddFile(sotto(kProgrammiComuni, "QelPictura\\Fatto da me.LNK"));
  fake.files.AddFile(in("temi\\mio.tema"));
  fake.files.AddFile(in("temi\\LEGGIMI"));
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_EQ(std::vector<std::string>{"SOFTWARE\\Qel\\Pictura"}, fake.shell.deletedKeys);
  EXPECT_EQ(std::set<std::string>{"SOFTWARE\\Qel"}, fake.shell.machineKeys);
  EXPECT_TRUE(fake.shell.machineValues.empty());
  // Only the all-users folders are searched when they exist.
  EXPECT_FALSE(fake.files.IsFile(sotto(kDesktopComune, "QelPictura.lnk")));
  EXPECT_FALSE(fake.files.IsFolder(sotto(kProgrammiComuni, "QelPictura")));
  EXPECT_TRUE(fake.files.IsFolder(kProgrammiComuni));
  EXPECT_TRUE(fake.files.IsFile(sotto(kDesktopUtente, "QelPictura.lnk")));
  EXPECT_TRUE(fake.files.IsFile(sotto(kProgrammiUtente, "QelPictura\\QelPictura.lnk")));
  EXPECT_EQ(std::vector<std::string>({"msvbvm60.dll", "Uninstall.exe"}), fake.files.List(D));

  attendiFinita();
  fake.windows.Click(finestra().hWnd(), "Chiudi");
  EXPECT_EQ(0, forms::LoadedCount());
}

TEST_F(Rimozione, WhatThePatternsDoNotNameStaysAndKeepsItsFolder) {
  fake.files.AddFile(sotto(kProgrammiComuni, "QelPictura\\nota.txt"));
  fake.files.AddFile(sotto(kProgrammiComuni, "QelPictura\\vecchio.lnk.bak"));
  fake.files.AddFile(in("temi\\scaricati\\altro.qelpictura"));
  fake.files.AddFile(in("temi\\mio.tema"));
  for (const char* nome : {"leggimi.txt", "QelPictura.ini", "help.htm.bak", "temi.txt"})
    fake.files.AddFile(in(nome));
  fake.files.AddFile(in("dati\\QelPictura.exe"));
  fake.files.AddFile(in("dati\\help.htm"));
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_EQ(std::vector<std::string>({"nota.txt", "vecchio.lnk.bak"}),
            fake.files.List(sotto(kProgrammiComuni, "QelPictura")));
  EXPECT_EQ(std::vector<std::string>{"scaricati"}, fake.files.List(in("temi")));
  EXPECT_TRUE(fake.files.IsFile(in("temi\\scaricati\\altro.qelpictura")));
  EXPECT_EQ(std::vector<std::string>({"dati", "help.htm.bak", "leggimi.txt", "msvbvm60.dll",
                                      "QelPictura.ini", "temi", "temi.txt", "Uninstall.exe"}),
            fake.files.List(D));
  EXPECT_EQ(std::vector<std::string>({"help.htm", "QelPictura.exe"}), fake.files.List(in("dati")));
  attendiFinita();
}

TEST_F(Rimozione, MissingOrStubbornItemsDoNotChangeTheCourse) {
  // Nothing left to remove but the product file, which goes before "Rimuovi".
  fake.shell.machineKeys = {"SOFTWARE\\Qel"};
  fake.files.DeleteFiles(sotto(kDesktopComune, "*.lnk"));
  fake.files.DeleteFiles(sotto(kProgrammiComuni, "QelPictura\\*.*"));
  fake.files.RemoveFolder(sotto(kProgrammiComuni, "QelPictura"));
  fake.files.DeleteFiles(in("temi\\*.*"));
  fake.files.RemoveFolder(in("temi"));
  fake.files.DeleteFiles(in("help.htm"));
  avvia();
  fake.files.DeleteFiles(in("QelPictura.exe"));
  rimuovi(Answer::Ok);
  EXPECT_EQ(corsoCompleto(), corso());
  EXPECT_EQ(std::set<std::string>{"SOFTWARE\\Qel"}, fake.shell.machineKeys);
  attendiFinita();
}

TEST_F(Rimozione, FilesInUseOrReadOnlyStayAndTheRunStillFinishes) {
  fake.files.SetInUse(in("QelPictura.exe"));
  fake.files.AddFile(in("temi\\protetto.tema"), "", 1);
  fake.files.SetInUse(sotto(kProgrammiComuni, "QelPictura\\QelPictura.lnk"));
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_EQ(corsoCompleto(), corso());
  EXPECT_TRUE(fake.files.IsFile(in("QelPictura.exe")));
  EXPECT_FALSE(fake.files.IsFile(in("help.htm")));
  EXPECT_EQ(std::vector<std::string>{"protetto.tema"}, fake.files.List(in("temi")));
  EXPECT_EQ(std::vector<std::string>{"QelPictura.lnk"},
            fake.files.List(sotto(kProgrammiComuni, "QelPictura")));
  attendiFinita();
}

TEST_F(Rimozione, WithoutTheAllUsersFoldersThePerUserOnesServeAndNoneIsMade) {
  fake.files.DeleteFiles(sotto(kDesktopComune, "*.lnk"));
  fake.files.RemoveFolder(kDesktopComune);
  fake.files.DeleteFiles(sotto(kDesktopUtente, "*.lnk"));
  fake.files.RemoveFolder(kDesktopUtente);
  fake.files.DeleteFiles(sotto(kProgrammiComuni, "QelPictura\\*.lnk"));
  fake.files.RemoveFolder(sotto(kProgrammiComuni, "QelPictura"));
  fake.files.RemoveFolder(kProgrammiComuni);
  fake.files.AddFile(sotto(kProgrammiUtente, "QelPictura\\QelPictura.lnk"));
  fake.files.AddFile(sotto(kProgrammiUtente, "QelPictura\\Rimuovi QelPictura dal computer.lnk"));
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_FALSE(fake.files.IsFolder(sotto(kProgrammiUtente, "QelPictura")));
  EXPECT_TRUE(fake.files.IsFolder(kProgrammiUtente));
  EXPECT_FALSE(fake.files.IsFolder(kDesktopComune));
  EXPECT_FALSE(fake.files.IsFolder(kDesktopUtente));
  EXPECT_FALSE(fake.files.IsFolder(kProgrammiComuni));
  attendiFinita();
}

TEST_F(Rimozione, EmptySpecialFoldersSkipTheirStepsInsteadOfUsingTheCurrentDirectory) {
  fake.shell.specialFolders.clear();
  fake.files.currentDirectory = "C:\\altrove";
  fake.files.AddFile("C:\\altrove\\QelPictura.lnk");
  fake.files.AddFile("C:\\altrove\\QelPictura\\QelPictura.lnk");
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_EQ(corsoCompleto(), corso());
  EXPECT_TRUE(fake.files.IsFile("C:\\altrove\\QelPictura.lnk"));
  EXPECT_TRUE(fake.files.IsFile("C:\\altrove\\QelPictura\\QelPictura.lnk"));
  EXPECT_FALSE(fake.files.IsFile(in("QelPictura.exe")));
  attendiFinita();
}

TEST_F(Rimozione, AnEmptyDesktopFolderSkipsOnlyTheDesktopStep) {
  fake.shell.specialFolders = {{Csidl::CommonPrograms, kProgrammiComuni}};
  fake.files.currentDirectory = "C:\\altrove";
  fake.files.AddFile("C:\\altrove\\QelPictura.lnk");
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_TRUE(fake.files.IsFile("C:\\altrove\\QelPictura.lnk"));
  EXPECT_TRUE(fake.files.IsFile(sotto(kDesktopComune, "QelPictura.lnk")));
  EXPECT_FALSE(fake.files.IsFolder(sotto(kProgrammiComuni, "QelPictura")));
}

TEST_F(Rimozione, NothingIsDeletedInsideAFolderThatIsALink) {
  fake.files.SetLink(kDesktopComune);
  fake.files.SetLink(sotto(kProgrammiComuni, "QelPictura"));
  fake.files.SetLink(in("temi"));
  avvia();
  rimuovi(Answer::Ok);
  EXPECT_TRUE(fake.files.IsFile(sotto(kDesktopComune, "QelPictura.lnk")));
  EXPECT_EQ(2u, fake.files.List(sotto(kProgrammiComuni, "QelPictura")).size());
  EXPECT_TRUE(fake.files.IsFile(in("temi\\happysmile.qelpictura")));
  EXPECT_FALSE(fake.files.IsFile(in("QelPictura.exe")));
  attendiFinita();
}

TEST_F(Rimozione, AProductAlreadyGoneIsReportedWithTheFolderAndTheProgramEnds) {
  // Gone; a folder of that name, which is not the product; no folder of its own known,
  // with the product's name in the current folder.
  for (int caso : {0, 1, 2}) {
    fake.files.DeleteFiles(in("QelPictura.exe"));
    if (caso == 1) fake.files.AddFolder(in("QelPictura.exe"));
    if (caso == 2) {
      fake.processes.ownFolder = "";
      fake.files.AddFile(sotto(fake.files.currentDirectory, "QelPictura.exe"));
    }
    fake.windows.messageBoxes.clear();
    avvia();
    EXPECT_FALSE(finestra().Loaded());
    ASSERT_EQ(1u, fake.windows.messageBoxes.size());
    EXPECT_EQ(std::string("QelPictura è già stato disinstallato\r\nRimuovere manualmente la "
                          "cartella\r\n") +
                  fake.processes.ownFolder,
              fake.windows.messageBoxes[0].text);
    EXPECT_EQ("QelSoftware", fake.windows.messageBoxes[0].title);
    EXPECT_EQ(MessageBoxStyle::Information, fake.windows.messageBoxes[0].flags);
    EXPECT_NE(0, fake.windows.messageBoxes[0].owner);
    EXPECT_TRUE(fake.windows.Forms().empty());
    EXPECT_TRUE(fake.shell.deletedKeys.empty());
    EXPECT_TRUE(fake.files.IsFile(in("help.htm")));
    EXPECT_TRUE(fake.files.IsFile(sotto(kDesktopComune, "QelPictura.lnk")));
    forms::ResetAll();
  }
}

}  // namespace
