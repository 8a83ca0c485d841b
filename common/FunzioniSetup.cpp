// The routines only Setup holds: the folder browser, the system directory and the
// shortcut maker.
#include "Funzioni.h"

namespace funzioni {

std::string ScegliCartella(std::string titolo, platform::Handle proprietario, bool nuovoStile) {
  auto scelta = platform::installation().BrowseForFolder(
      proprietario, titolo,
      nuovoStile ? platform::BrowseStyle::EditBoxNewDialog : platform::BrowseStyle::FoldersOnly);
  if (!scelta) return {};
  std::string percorso = *scelta;
  if (!percorso.empty() && percorso.back() == '\\') percorso.pop_back();
  return percorso;
}

std::string CartellaSistema() {
  std::string cartella = platform::installation().SystemDirectory(255);
  if (!cartella.empty() && cartella.back() != '\\') cartella += '\\';
  return cartella;
}

bool CreaCollegamento(std::string collegamento, std::string destinazione, std::string descrizione) {
  if (!platform::installation().WriteShortcut(collegamento, destinazione,
                                              platform::ShowCommand::Normal, descrizione))
    return false;
  bool creato = EsisteFile(collegamento);
  DoEvents();
  return creato;
}

}  // namespace funzioni
