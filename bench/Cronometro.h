// What the timed programs (bench/cronometro.cpp) add up while they run, in a block of
// memory shared with the driver under one name: the milliseconds spent in the platform's
// work, by kind, in its pauses, in its questions and in the windows' operations.
#pragma once

#include <windows.h>

struct Cronometro {
  double pauses;     // Pause: the time really slept
  double starts;     // the registration programs started
  double copies;     // files copied and folders made
  double shortcuts;  // shortcuts written
  double deletions;  // files, folders and the registry key deleted
  double queries;    // the platform's questions: attributes, special folders, own folders
  double windows;    // the windows' operations: pumping events and painting, texts, states,
                     // windows and controls made and destroyed, message boxes
  double bar;        // of those, the progress bar's messages: each step repaints the bar
};

// The block, made by whichever side opens it first; nullptr when it cannot be had.
inline Cronometro* ApriCronometro() {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Cronometro), L"Local\\QelCronometro");
  if (!mapping) return nullptr;
  return static_cast<Cronometro*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Cronometro)));
}

inline double Adesso() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}
