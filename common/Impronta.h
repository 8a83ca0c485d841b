// Every name and place of an installation, in one place: Setup lays them down,
// Uninstall takes them away.
#pragma once

#include <array>

namespace impronta {

inline constexpr char kProdotto[] = "QelPictura";

// Package files, taken from the folder Setup is started in, and where they go in the
// installation folder D.
inline constexpr char kProgramma[] = "QelPictura.exe";
inline constexpr char kAiuto[] = "help.htm";
inline constexpr char kTema[] = "happysmile.qelpictura";
inline constexpr char kDisinstallatore[] = "Uninstall.exe";
inline constexpr char kCartellaTemi[] = "temi";

// Runtime files for the system directory, in the order they are deployed; the first is
// the essential one.
inline constexpr std::array<const char*, 6> kFileSistema = {
    "msvbvm60.dll", "oleaut32.dll", "olepro32.dll", "asycfilt.dll", "stdole2.tlb", "comcat.dll"};
inline constexpr char kEssenziale[] = "msvbvm60.dll";
inline constexpr char kRegistrazione[] = "REGSVR32.EXE";

// Shortcuts: on the desktop, and in the product's Start-menu folder.
inline constexpr char kCartellaMenu[] = "QelPictura";  // under the programs folder
inline constexpr char kCollegamento[] = "QelPictura.lnk";
inline constexpr char kCollegamentoRimuovi[] = "Rimuovi QelPictura dal computer.lnk";
inline constexpr char kDescrizione[] = "Cattura le immagini dal desktop con QelPictura";
inline constexpr char kDescrizioneRimuovi[] = "Disinstalla il programma";

// The product's registry key under HKEY_LOCAL_MACHINE and its version value.
inline constexpr char kChiave[] = "SOFTWARE\\Qel\\Pictura";
inline constexpr char kValoreVersione[] = "HKLM\\SOFTWARE\\Qel\\Pictura\\Version";

}  // namespace impronta
