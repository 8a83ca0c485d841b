// The routines both programs hold.
#include "Funzioni.h"

namespace Funzioni {

namespace {

constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 16;

std::string senzaSpazi(const std::string& testo) {
  std::size_t primo = testo.find_first_not_of(' ');
  if (primo == std::string::npos) return {};
  return testo.substr(primo, testo.find_last_not_of(' ') - primo + 1);
}

}  // namespace

std::string PercorsoSpeciale(int csidl, bool crea) {
  std::string percorso = platform::shell().SpecialFolder(csidl, crea);
  if (!percorso.empty() && percorso.back() != '\\') percorso += '\\';
  return percorso;
}

std::string CartellaCondivisa(int comune, int utente, bool crea) {
  std::string condivisa = PercorsoSpeciale(comune, false);
  bool esiste = EsisteCartella(condivisa);
  std::string personale = PercorsoSpeciale(utente, crea);
  return esiste ? condivisa : personale;
}

bool EsisteFile(std::string percorso) {
  auto attributi = platform::files().Attributes(senzaSpazi(percorso));
  return attributi && !(*attributi & FILE_ATTRIBUTE_DIRECTORY);
}

bool EsisteCartella(std::string percorso) {
  auto attributi = platform::files().Attributes(senzaSpazi(percorso));
  return attributi && (*attributi & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace Funzioni
