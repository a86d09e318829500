#pragma once
// The suite's numbered events: a result window signals event 3 when a selection or an
// outside request for its result is done, so a program that drives it knows when to
// read. Counted in this process and told to the program's other processes.
#include <cstdint>

inline constexpr int CKOV_Event_ErgebnisBereit = 3;

void KOV_SetEvent(int ANummer);
// How often the event was signalled in this process.
int64_t KOV_EventZaehler(int ANummer);
