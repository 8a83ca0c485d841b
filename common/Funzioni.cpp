// The routines both programs hold.
#include "Funzioni.h"

namespace funzioni {

namespace {

std::string senzaSpazi(const std::string& testo) {
  std::size_t primo = testo.find_first_not_of(' ');
  if (primo == std::string::npos) return {};
  return testo.substr(primo, testo.find_last_not_of(' ') - primo + 1);
}

}  // namespace

std::string PercorsoSpeciale(platform::Csidl csidl, bool crea) {
  std::string percorso = platform::shell().SpecialFolder(csidl, crea);
  if (!percorso.empty() && percorso.back() != '\\') percorso += '\\';
  return percorso;
}

std::string CartellaCondivisa(platform::Csidl comune, platform::Csidl utente, bool crea) {
  std::string condivisa = PercorsoSpeciale(comune, false);
  bool esiste = EsisteCartella(condivisa);
  std::string personale = PercorsoSpeciale(utente, crea);
  return esiste ? condivisa : personale;
}

bool EsisteFile(std::string percorso) {
  auto attributi = platform::files().Attributes(senzaSpazi(percorso));
  return attributi && !(*attributi & platform::kAttributeFolder);
}

bool EsisteCartella(std::string percorso) {
  auto attributi = platform::files().Attributes(senzaSpazi(percorso));
  return attributi && (*attributi & platform::kAttributeFolder);
}

}  // namespace funzioni
