#include "kovdbfiles_ausw.h"

// Same constructors as in kovdbfiles.cpp; the macro stays local to each file.
KOV_TYPED_FILE_CTORS(TGepFile, "gep")
void TGepFile::Keys() { KeyDefinieren(KeyGepNr, {&GepNr}); }

KOV_TYPED_FILE_CTORS(Tkulifile, "kuli")
void Tkulifile::Keys() { KeyDefinieren(KeyGepNr, {&GepNr, &Mandant}); }

KOV_TYPED_FILE_CTORS(Tarksfile, "arks")
void Tarksfile::Keys() { KeyDefinieren(KeyVorgang, {&VorgangsID}); }

KOV_TYPED_FILE_CTORS(Tlarfile, "lar")
void Tlarfile::Keys() { KeyDefinieren(KeyKennung, {&Kennung}); }

KOV_TYPED_FILE_CTORS(Tatplfile, "atpl")
void Tatplfile::Keys() { KeyDefinieren(KeyLar, {&LarID}); }

KOV_TYPED_FILE_CTORS(Tatpbfile, "atpb")
void Tatpbfile::Keys() { KeyDefinieren(KeyAtpb, {&AtpbID}); }

KOV_TYPED_FILE_CTORS(Tatpkfile, "atpk")
void Tatpkfile::Keys() { KeyDefinieren(KeyAtpk, {&AtpkID}); }

KOV_TYPED_FILE_CTORS(Tatkfile, "atk")
void Tatkfile::Keys() { KeyDefinieren(KeyAtk, {&AtkID}); }

KOV_TYPED_FILE_CTORS(Tazbfile, "azb")
void Tazbfile::Keys() { KeyDefinieren(KeyAtk, {&AtkID, &LfdNr}); }

KOV_TYPED_FILE_CTORS(Tzofile, "zo")
void Tzofile::Keys() { KeyDefinieren(KeyMerkmal, {&Datei, &Satz, &Merkmal}); }

KOV_TYPED_FILE_CTORS(Tmitafile, "mita")
void Tmitafile::Keys() { KeyDefinieren(KeyGepNr, {&GepNr, &Mandant}); }

KOV_TYPED_FILE_CTORS(Tlfnrfile, "lfnr")
void Tlfnrfile::Keys() { KeyDefinieren(KeyMitarbeiter, {&Mandant, &GepNr, &BonNr}); }

KOV_TYPED_FILE_CTORS(Tpupfile, "pup")
void Tpupfile::Keys() { KeyDefinieren(KeyPeriode, {&Jahr, &Monat, &Mandant, &Filiale, &MitaNr}); }

KOV_TYPED_FILE_CTORS(Tgmerfile, "gmer")
void Tgmerfile::Keys() { KeyDefinieren(KeySatzTyp, {&SatzTyp, &MerkmalA, &MerkmalB}); }

KOV_TYPED_FILE_CTORS(Tgnumfile, "gnum")
void Tgnumfile::Keys() { KeyDefinieren(KeyPerson, {&GepNr, &MerkmalA, &MerkmalB}); }

KOV_TYPED_FILE_CTORS(Tsrvfile, "srv")
void Tsrvfile::Keys() { KeyDefinieren(KeySRVTyp, {&SRVTyp, &Datum}); }
