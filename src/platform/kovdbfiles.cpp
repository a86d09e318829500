#include "kovdbfiles.h"

KOV_TYPED_FILE_CTORS(Tlstfile, "lst")
void Tlstfile::Keys() {
    KeyDefinieren(KeyTransaktion, {&Mandant, &Rechner, &TransNr, &PosNr});
    KeyDefinieren(KeyDatum, {&Datum, &Filiale});
}

KOV_TYPED_FILE_CTORS(Tumstfile, "umst")
void Tumstfile::Keys() {
    KeyDefinieren(KeyStatistik, {&Kennung, &Mandant, &OrgeID, &Datum, &Ganztag, &Von, &Bis});
    KeyDefinieren(KeyFiliale, {&Kennung, &Filiale, &Datum});
}

KOV_TYPED_FILE_CTORS(Tumsvfile, "umsv")
void Tumsvfile::Keys() { KeyDefinieren(KeyStatistik, {&Kennung, &Rechner}); }

KOV_TYPED_FILE_CTORS(Tmaskfile, "mask")
void Tmaskfile::Keys() { KeyDefinieren(KeyMask, {&Sprache, &Bereich, &Name, &Zusatz, &Nr}); }

KOV_TYPED_FILE_CTORS(Tawgsfile, "awgs")
void Tawgsfile::Keys() { KeyDefinieren(KeyWgs, {&System, &ProdId, &Code}); }
