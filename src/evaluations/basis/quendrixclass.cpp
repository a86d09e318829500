#include "quendrixclass.h"
#include "exceptions.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include <vector>

namespace {

std::vector<TKOV_Quendrix_Auswertung_Class>& Auswerter() {
    // Constructed on first use, so it exists before the first registration.
    static std::vector<TKOV_Quendrix_Auswertung_Class> a;
    return a;
}

// Short names are ASCII; a locale must not change the comparison.
bool GleichOhneGrossKlein(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

} // namespace

// --- class functions -----------------------------------------------------------

std::string TKOV_Quendrix_AuswertungKlasse::Kurzname() const { AbstractError(); }
std::string TKOV_Quendrix_AuswertungKlasse::Bezeichnung() const { AbstractError(); }
std::string TKOV_Quendrix_AuswertungKlasse::Beschreibung() const { AbstractError(); }
std::string TKOV_Quendrix_AuswertungKlasse::Schlagworte() const { AbstractError(); }
TKOV_WPF_Recht TKOV_Quendrix_AuswertungKlasse::AuswertungsRecht() const { AbstractError(); }

TRTypen TKOV_Quendrix_AuswertungKlasse::ActiveOnTypes() const { return C_RTypen_Alle; }

bool TKOV_Quendrix_AuswertungKlasse::Active() const {
    return ActiveOnTypes().Contains(RDLProgramm().GetRTyp());
}

bool TKOV_Quendrix_AuswertungKlasse::RechtFuerAuswertungVorhanden() const {
    const TKOV_WPF_Recht recht = AuswertungsRecht();
    if (recht == 0) return true;
    return Rechtdialog::UserRechtePruefen({CRecht_Quendrix, recht}, "",
                                          TKOV_Rect_FnktType_Erw::ftAusfuehren, false,
                                          TKOV_Rect_ReaktionKeinRecht::rkMeldung);
}

TKOV_Quendrix_AuswertungPtr TKOV_Quendrix_AuswertungKlasse::Create() const {
    TKOV_Quendrix_AuswertungPtr a;
    KOV_Geschuetzt("TKOV_Quendrix_Auswertung.Create", true, [&] {
        a = Erzeugen();
        if (a) a->FKlasse = this;
    });
    return a;
}

// --- instance --------------------------------------------------------------------

void TKOV_Quendrix_AuswertungFreigabe::operator()(TKOV_Quendrix_Auswertung* AAuswertung) const noexcept {
    // delete frees the memory and the base parts even when a destructor throws.
    KOV_Geschuetzt("TKOV_Quendrix_Auswertung.Destroy", false, [&] { delete AAuswertung; });
}

void TKOV_Quendrix_Auswertung::Init() {
    KOV_Geschuetzt("TKOV_Quendrix_Auswertung.Init", true, [&] {
        Resources_Create();
        Resources_AfterCreate();
    });
}

void TKOV_Quendrix_Auswertung::Done() {
    // Separate blocks: Resources_Destroy must run even when the step before failed.
    KOV_Geschuetzt("TKOV_Quendrix_Auswertung.Done", false, [&] { Resources_BeforeDestroy(); });
    KOV_Geschuetzt("TKOV_Quendrix_Auswertung.Done", false, [&] { Resources_Destroy(); });
}

bool TKOV_Quendrix_Auswertung::Autoreport() {
    return KOV_GeschuetztWert("TKOV_Quendrix_Auswertung.Autoreport", true, false,
                              [&] { return Execute(); });
}

bool TKOV_Quendrix_Auswertung::Execute() { AbstractError(); }

// --- registry ----------------------------------------------------------------------

void TKOV_Glob_Quendrix_Controller::RegisterAuswerter(TKOV_Quendrix_Auswertung_Class AAuswerterClass) {
    Auswerter().push_back(AAuswerterClass);
}

void TKOV_Glob_Quendrix_Controller::EnumQuendrixAuswerter(const TEnumAKQuendrixAuswerterProc& AEnumProc) {
    // Read once: classes registered by the callback are not part of this enumeration.
    const int anzahl = Anzahl();
    for (int i = 0; i < anzahl; ++i) AEnumProc(Auswerter()[size_t(i)], i);
}

bool TKOV_Glob_Quendrix_Controller::GetAuswerterByIdx(int AIdx, TKOV_Quendrix_Auswertung_Class& AAuswerterClass) {
    AAuswerterClass = nullptr;
    return KOV_GeschuetztWert("TKOV_Glob_Quendrix_Controller.GetAuswerterByIdx", true, false, [&] {
        if (AIdx < 0 || AIdx > Anzahl() - 1) return false;
        AAuswerterClass = Auswerter().at(size_t(AIdx));
        return true;
    });
}

bool TKOV_Glob_Quendrix_Controller::GetAuswerterByKurzname(const std::string& AKurzname,
                                                           TKOV_Quendrix_Auswertung_Class& AAuswerterClass) {
    AAuswerterClass = nullptr;
    return KOV_GeschuetztWert("TKOV_Glob_Quendrix_Controller.GetAuswerterByKurzname", true, false, [&] {
        for (TKOV_Quendrix_Auswertung_Class k : Auswerter()) {
            if (GleichOhneGrossKlein(k->Kurzname(), AKurzname)) {
                AAuswerterClass = k;
                return true;
            }
        }
        return false;
    });
}

int TKOV_Glob_Quendrix_Controller::Anzahl() { return int(Auswerter().size()); }

void TKOV_Glob_Quendrix_Controller::Leeren() { Auswerter().clear(); }

bool KOV_AuswertungNochNichtVerfuegbar() {
    RDLInfo().ShowMeldung("STANDARD", 994, {"Diese Auswertung ist noch nicht verfügbar."});
    return false;
}
