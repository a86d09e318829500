#include "rdlprogramm.h"
#include "rdlinfo.h"
#include "suitetabellen.h"
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace {
std::unique_ptr<TRDLProgramm>& ProgrammInstanz() {
    static std::unique_ptr<TRDLProgramm> p = std::make_unique<TRDLProgramm>();
    return p;
}

std::string PfadText(const std::vector<TKOV_WPF_Recht>& APfad) {
    std::string s;
    for (auto r : APfad) {
        if (!s.empty()) s += '.';
        s += std::to_string(r);
    }
    return s;
}
} // namespace

TRDLProgramm& RDLProgramm() { return *ProgrammInstanz(); }

std::unique_ptr<TRDLProgramm> RDLProgramm_Ersetzen(std::unique_ptr<TRDLProgramm> ANeu) {
    std::swap(ProgrammInstanz(), ANeu);
    return ANeu;
}

std::string LoginName() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    return "";
}

TRDLProgramm::TRDLProgramm() : FSuiteTabellen(std::make_unique<TSuiteTabellen>()) {}
TRDLProgramm::~TRDLProgramm() = default;

void TRDLProgramm::DatenbankSetzen(std::shared_ptr<TRDLDatenbank> ADb) { FDb = std::move(ADb); }

TRDLDatenbank& TRDLProgramm::Datenbank() const {
    if (!FDb) throw EDatenbankFehler("Es ist keine Datenbank geöffnet.");
    return *FDb;
}

bool TRDLProgramm::Init(const std::string& AProgrammKennung, TEnumProzessTypen, TPVR_InstanceCount,
                        int, bool) {
    FProgrammKennung = AProgrammKennung;
    if (FBenutzer.empty()) FBenutzer = LoginName();
    if (FDb) {
        auto& db = *FDb;
        FRTyp = std::atoi(db.Einstellung("RTYP", "0").c_str());
        FKundenkennung = db.Einstellung("KUNDENKENNUNG");
        FUnternehmensgruppe = db.Einstellung("UNTERNEHMENSGRUPPE");
        FWaehrung = db.Einstellung("WAEHRUNG", "EUR");
        TIntPair erster;
        if (TIntPair::TryFromText(db.Einstellung("MANDANT_ERSTER", "1/1"), erster)) FMandantErster = erster;
        if (!FDb->Pfad().empty() && FDb->Pfad() != ":memory:") RDLInfo().LogDateiSetzen(LogDateiZu(FDb->Pfad()));
    }
    return true;
}

std::string LogDateiZu(const std::string& ADatenbank) {
    std::string log = ADatenbank;
    for (const char* schema : {"postgresql://", "postgres://"}) {
        if (log.rfind(schema, 0) != 0) continue;
        // A server's database has no folder beside it: the log lives in the user's state
        // folder, named after the database.
        std::string name = log.substr(log.rfind('/') + 1);
        name = name.substr(0, name.find('?'));
        if (name.empty()) name = "postgres";
        const char* state = std::getenv("XDG_STATE_HOME");
        const char* home = std::getenv("HOME");
        const std::filesystem::path ordner =
            (state && *state ? std::filesystem::path(state)
                             : std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "state") /
            "quendrix";
        std::error_code ec;
        std::filesystem::create_directories(ordner, ec);
        return (ordner / (name + ".log")).string();
    }
    const auto punkt = log.rfind('.');
    const auto slash = log.rfind('/');
    if (punkt != std::string::npos && (slash == std::string::npos || punkt > slash)) log.resize(punkt);
    return log + ".log";
}

void TRDLProgramm::InstallationSetzen(int ARTyp, std::string AKundenkennung, std::string AWaehrung,
                                      TIntPair AMandantErster, std::string AGruppe) {
    FRTyp = ARTyp;
    FKundenkennung = std::move(AKundenkennung);
    FWaehrung = std::move(AWaehrung);
    FMandantErster = AMandantErster;
    FUnternehmensgruppe = std::move(AGruppe);
}

bool TRDLProgramm::HatRecht(const std::vector<TKOV_WPF_Recht>& APfad) const {
    if (!FDb || APfad.empty()) return false;
    auto st = FDb->Prepare(
        "SELECT 1 FROM benutzer b WHERE b.name = ? AND (b.alle_rechte <> 0 OR EXISTS"
        " (SELECT 1 FROM benutzerrecht r WHERE r.benutzer = b.name AND r.recht = ?))");
    st.Bind(1, FBenutzer);
    st.Bind(2, PfadText(APfad));
    const bool r = st.Step();
    st.Reset();
    return r;
}

bool TRDLProgramm::UserRechtePruefen(const std::vector<TKOV_WPF_Recht>& APfad, const std::string& AText,
                                     TKOV_Rect_FnktType_Erw, bool, TKOV_Rect_ReaktionKeinRecht AReaktion) {
    bool vorhanden = false;
    std::string grund;
    try {
        vorhanden = HatRecht(APfad);
    } catch (const EDatenbankFehler&) {
        throw; // a damaged or unreachable database is no missing right
    } catch (const std::exception& E) {
        grund = E.what();
    }
    if (vorhanden) return true;
    switch (AReaktion) {
    case TKOV_Rect_ReaktionKeinRecht::rkStill:
        break;
    case TKOV_Rect_ReaktionKeinRecht::rkException:
        RDLInfo().FehlerRaise("TRDLProgramm.UserRechtePruefen", "STANDARD", 1200,
                              {FBenutzer, PfadText(APfad)});
    case TKOV_Rect_ReaktionKeinRecht::rkMeldung:
        if (!grund.empty())
            RDLInfo().ShowMeldung("STANDARD", 1201, {grund}, mkFehler);
        else if (AText.empty())
            RDLInfo().ShowMeldung("STANDARD", 1200, {FBenutzer, PfadText(APfad)}, mkFehler);
        else
            RDLInfo().ShowMeldung("STANDARD", 1202, {FBenutzer, PfadText(APfad), AText}, mkFehler);
        break;
    }
    return false;
}

void TRDLProgramm::ShowException(const std::exception& E, bool) {
    RDLInfo().ShowMeldung("STANDARD", 991, {E.what()}, mkFehler);
}

void TRDLProgramm::SetTitle(const std::string& ATitel) {
    FTitel = ATitel;
    if (OnTitleChanged) OnTitleChanged(FTitel);
}

bool TRDLProgramm::WorkStartTry(const void* AOwner, const std::string& ATraceName, int AModus) {
    if (FWork.count(AOwner)) return false;
    FWork[AOwner] = TWork{ATraceName, AModus};
    return true;
}

void TRDLProgramm::WorkDone(const void* AOwner) { FWork.erase(AOwner); }

bool TRDLProgramm::Working(const void* AOwner) const { return FWork.count(AOwner) != 0; }

namespace Rechtdialog {
bool UserRechtePruefen(const std::vector<TKOV_WPF_Recht>& APfad, const std::string& AText,
                       TKOV_Rect_FnktType_Erw AFunktion, bool AFlag, TKOV_Rect_ReaktionKeinRecht AReaktion) {
    return RDLProgramm().UserRechtePruefen(APfad, AText, AFunktion, AFlag, AReaktion);
}
} // namespace Rechtdialog

