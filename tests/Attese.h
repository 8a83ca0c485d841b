// The two runs as the user sees them, checked on the fake clock and on the real programs:
// one row each time the program handles its events, with the status text then shown, the
// bar's position (-1: no bar yet) and the pause that follows (ms).
#pragma once

#include <string>
#include <vector>

namespace attese {

// The texts the tests look for in more than one place.
inline constexpr char kTitolo[] = "Installazione di QelPictura";
inline constexpr char kTitoloRimozione[] = "Disinstallazione di QelPictura";
inline constexpr char kAccetto[] = "Accett&o le condizioni del contratto";
inline constexpr char kClicca[] = "Clicca sul pulsante 'Conferma' per installare QelPictura";
inline constexpr char kCollegamenti[] = "Problemi nella creazione dei collegamenti";
inline constexpr char kPrincipale[] =
    "Non è stato possibile copiare il file principale dell'applicazione";
inline constexpr char kRimossa[] =
    "QelPictura è già stato disinstallato\r\nRimuovere manualmente la cartella\r\n";
inline constexpr char kRiuscita[] = "Installazione eseguita correttamente";
inline constexpr char kFallita[] =
    "L'installazione non è stata completata correttamente\r\nErrori:";
inline constexpr char kAvviso[] =
    "Nel computer in uso è stata rilevata una versione superiore di QelPictura\r\nOnde evitare "
    "conflitti è consigliabile non installare questa versione.\r\nIn alternativa è possibile "
    "rimuovere la versione superiore e solo dopo eseguire l'installazione della presente versione";
// The runtime files for the system directory, in the order they are copied and registered.
inline constexpr const char* kRuntime[] = {"msvbvm60.dll", "oleaut32.dll", "olepro32.dll",
                                           "asycfilt.dll", "stdole2.tlb",  "comcat.dll"};

struct Tappa {
  std::string stato;
  int barra;
  unsigned pausa;
  bool operator==(const Tappa&) const = default;
};

// Into the folder D, with the system directory S (ending in "\").
inline std::vector<Tappa> Installazione(const std::string& D, const std::string& S) {
  auto copia = [](const std::string& p) { return "Copia dei files in corso...\r\n" + p; };
  const std::string P = copia(D + "\\QelPictura.exe"), A = copia(D + "\\help.htm"),
                    T = copia(D + "\\temi\\happysmile.qelpictura"),
                    U = copia(D + "\\Uninstall.exe");
  std::vector<Tappa> t = {{kClicca, -1, 0}, {"Installazione in corso...", 6, 800},
                          {P, 12, 60},      {P, 18, 60},
                          {A, 24, 60},      {A, 30, 60},
                          {A, 36, 60},      {T, 42, 60},
                          {T, 42, 0},       {U, 48, 60},
                          {U, 54, 60},      {U, 54, 60}};
  int barra = 54;
  for (const char* nome : kRuntime) t.insert(t.end(), 2, {copia(S + nome), barra += 6, 0});
  const char* collegamenti = "Creazione dei collegamenti in corso...";
  t.insert(t.end(), {{collegamenti, 96, 600}, {collegamenti, 96, 0}, {collegamenti, 96, 0}});
  t.insert(t.end(), {{collegamenti, 96, 0},
                     {"Completamento dell'installazione in corso...", 96, 800},
                     {"Completamento dell'installazione in corso...", 100, 0}});
  return t;
}

// The removal; its last row is the end, with the status text hidden.
inline std::vector<Tappa> Rimozione() {
  return {{"Disinstallazione in corso...", 20, 500},
          {"Rimozione valori registro di sistema in corso...", 40, 500},
          {"Rimozione dei collegamenti in corso...", 60, 500},
          {"Rimozione dei files di installazione in corso...", 80, 500},
          {"", 100, 0}};
}

}  // namespace attese
