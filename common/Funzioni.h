// Folders and paths, the folder browser and the shortcut maker. No routine keeps state
// or reports an error: every failure ends in an empty text or in false.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace funzioni {

// A shell special folder ending with "\", or empty.
std::string PercorsoSpeciale(platform::Csidl csidl, bool crea);
// The all-users folder when it exists, else the current user's (created when `crea`);
// both are looked up whichever way the choice goes. The rule by which the shortcuts are
// placed and found again.
std::string CartellaCondivisa(platform::Csidl comune, platform::Csidl utente, bool crea);
bool EsisteFile(std::string percorso);
bool EsisteCartella(std::string percorso);
// The folder the user picks, without a final "\" (a drive root comes back as "C:"), or
// empty when the user cancels.
std::string ScegliCartella(std::string titolo, platform::Handle proprietario, bool nuovoStile);
// The system directory ending with "\", or empty.
std::string CartellaSistema();
// Writes a shortcut; true when the link file exists afterwards.
bool CreaCollegamento(std::string collegamento, std::string destinazione, std::string descrizione);

// Lets every waiting window event run, painting included.
inline void DoEvents() { platform::windows().Pump(); }
inline void Pausa(unsigned millisecondi) { platform::processes().Pause(millisecondi); }

}  // namespace funzioni
