#include "rdlereignis.h"
#include "rdlbroadcast.h"

#include <map>

namespace {
std::map<int, int64_t>& Zaehler() {
    static std::map<int, int64_t> z;
    return z;
}
} // namespace

void KOV_SetEvent(int ANummer) {
    ++Zaehler()[ANummer];
    static const uint32_t nachricht = RDLRegisterWindowMessage("KOV_Event");
    RDLBroadcastSystemMessage(nachricht, uint64_t(ANummer), 0);
}

int64_t KOV_EventZaehler(int ANummer) {
    const auto it = Zaehler().find(ANummer);
    return it == Zaehler().end() ? 0 : it->second;
}
