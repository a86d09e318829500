#include "rdlinfo.h"
#include "rdlbroadcast.h"
#include "rdldatum.h"
#include "rdlprogramm.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <unistd.h>

namespace {

std::unique_ptr<TRDLInfo>& InfoInstanz() {
    static std::unique_ptr<TRDLInfo> i = std::make_unique<TRDLInfo>();
    return i;
}

TRDLRegistrierungsBeobachter& Beobachter() {
    static TRDLRegistrierungsBeobachter b;
    return b;
}

// The message catalogue: German texts by group and number. "%s" and "%d" take the
// arguments in order.
const std::map<std::pair<std::string, int>, std::string>& Katalog() {
    static const std::map<std::pair<std::string, int>, std::string> k = {
        {{"STANDARD", 991}, "Es ist ein Fehler aufgetreten:\n%s"},
        {{"STANDARD", 994}, "%s"},
        {{"STANDARD", 997}, "%s"},
        {{"STANDARD", 1107}, "Die Datei \u201E%s\u201C wurde geschrieben.\nMöchten Sie sie jetzt öffnen?"},
        {{"STANDARD", 1108}, "Die Datei \u201E%s\u201C konnte nicht geschrieben werden."},
        {{"STANDARD", 1200}, "Der Benutzer \u201E%s\u201C hat das Recht %s nicht.\n"
                             "Bitte wenden Sie sich an Ihren Administrator."},
        {{"STANDARD", 1201}, "Die Rechte konnten nicht geprüft werden:\n%s"},
        {{"STANDARD", 1202}, "Der Benutzer \u201E%s\u201C hat das Recht %s (%s) nicht.\n"
                             "Bitte wenden Sie sich an Ihren Administrator."},
        {{"STANDARD", 1210}, "Das Programm wurde in einem unsauberen Zustand beendet (%s)."},
        {{"STANDARD", 1211}, "Beim Aufräumen (%s) sind %s Fehler aufgetreten; Einzelheiten stehen im Fehlerprotokoll."},
        {{"PEP", 1705}, "Die aggregierten Umsatzdaten wurden noch nicht erstellt.\n"
                        "Sollen sie jetzt erstellt werden? Das kann einige Zeit dauern."},
        {{"PEP", 1900}, "Ungültiger Tagesabschnitt am %s: Beginn %s liegt nach dem Ende %s."},
        {{"PEP", 1902}, "Die Tagesabschnitte vom %s überschneiden sich."},
        {{"PEP", 1903}, "Die aggregierten Umsatzdaten wurden noch nicht erstellt; "
                        "ein Update ist nicht möglich."},
        {{"PEP", 1904}, "Ungültiger Zählzeitraum am %s: Beginn %s liegt nach dem Ende %s."},
        {{"PEP", 1905}, "Die Zählzeiträume vom %s überschneiden sich."},
        {{"PEP", 1906}, "Ungültiger Zeitraum am %s: Beginn %s liegt nach dem Ende %s."},
        {{"QUENDRIX", 1000}, "Der Dateiname ist ungültig. Bitte geben Sie einen gültigen Dateipfad an."},
    };
    return k;
}

std::string Fuellen(const std::string& AVorlage, const std::vector<std::string>& AArgs) {
    std::string r;
    size_t arg = 0;
    for (size_t i = 0; i < AVorlage.size(); ++i) {
        if (AVorlage[i] == '%' && i + 1 < AVorlage.size()) {
            const char c = AVorlage[i + 1];
            if (c == 's' || c == 'd') {
                if (arg < AArgs.size()) r += AArgs[arg];
                ++arg;
                ++i;
                continue;
            }
            if (c == '%') {
                r += '%';
                ++i;
                continue;
            }
        }
        r += AVorlage[i];
    }
    return r;
}

// Log lines stay single lines with tab-separated fields.
std::string EineZeile(std::string AText) {
    for (char& c : AText)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return AText;
}

} // namespace

TRDLInfo& RDLInfo() { return *InfoInstanz(); }

std::unique_ptr<TRDLInfo> RDLInfo_Ersetzen(std::unique_ptr<TRDLInfo> ANeu) {
    std::swap(InfoInstanz(), ANeu);
    return ANeu;
}

TRDLRegistrierungsBeobachter RDLRegistrierungsBeobachterSetzen(TRDLRegistrierungsBeobachter ABeobachter) {
    std::swap(Beobachter(), ABeobachter);
    return ABeobachter;
}

int TRDLTerminalAusgabe::Zeigen(const TRDLMeldung& M) {
    std::cerr << M.Text << std::endl;
    return M.Art == mkFrage ? FAntwort : mrOk;
}

int TRDLMeldungsRekorder::Zeigen(const TRDLMeldung& M) {
    Meldungen.push_back(M);
    if (M.Art != mkFrage) return mrOk;
    if (FAntworten.empty()) return mrNo;
    const int a = FAntworten.front();
    FAntworten.erase(FAntworten.begin());
    return a;
}

TRDLInfo::TRDLInfo() : FAusgabe(std::make_shared<TRDLTerminalAusgabe>()) {}

void TRDLInfo::RegisterException(std::string_view ATraceName, const std::exception& E, bool AFlag) {
    TRDLRegistrierteException r;
    r.Zeit = DateTimeToStr(rdl_Now());
    r.TraceName = std::string(ATraceName);
    const auto* kov = dynamic_cast<const Exception*>(&E);
    r.Klasse = kov ? kov->ClassName() : "std::exception";
    r.Text = E.what();
    r.Flag = AFlag;
    std::string zeile = r.Zeit + "\t" + r.TraceName + "\t" + r.Klasse + ": " + r.Text;
    if (const auto* db = dynamic_cast<const EDatenbankFehler*>(&E)) {
        // For whoever repairs the database; the user is shown the German text only.
        if (!db->Code().empty()) zeile += "\tCode " + db->Code();
        if (!db->Details().empty()) zeile += "\t" + EineZeile(db->Details());
    }
    LogSchreiben(zeile);
    // A script's reader gets the German text; trace names, codes and SQL are for the log.
    if (FBatch) std::cerr << r.Text << LogHinweis() << std::endl;
    ++FOffeneFehler[r.TraceName];
    if (Beobachter()) Beobachter()(r);
    FRegistriert.push_back(std::move(r));
    // Only ordinary operations tell the user; destructors and clean-up stay silent.
    if (!AFlag || FBatch) return;
    // A loop that fails the same way on every round shows its message once; after a
    // user action or a pause the same failure is news again.
    const std::string anzeige = std::string(ATraceName) + "\n" + E.what();
    const bool wiederholung = anzeige == FZuletztGezeigt && FUhr() - FZuletztGezeigtUm < CWiederholungsPause;
    if (!wiederholung) {
        FZuletztGezeigt = anzeige;
        try {
            ShowMeldung("STANDARD", 991, {std::string(E.what())}, mkFehler);
        } catch (...) {
        }
    }
    // Counted from the end of the last occurrence: reading the message takes no pause.
    FZuletztGezeigtUm = FUhr();
}

bool TRDLInfo::MeldungBekannt(const std::string& AGruppe, int ANummer) const {
    return Katalog().count({AGruppe, ANummer}) != 0;
}

std::string TRDLInfo::MeldungsText(const std::string& AGruppe, int ANummer,
                                   const std::vector<std::string>& AArgs) const {
    const auto it = Katalog().find({AGruppe, ANummer});
    if (it != Katalog().end()) return Fuellen(it->second, AArgs);
    std::string t = "Meldung " + AGruppe + " " + std::to_string(ANummer);
    for (const auto& a : AArgs) t += " " + a;
    return t;
}

std::string TRDLInfo::LogHinweis() const {
    return FLogDatei.empty() ? std::string() : " (Einzelheiten im Protokoll " + FLogDatei + ")";
}

void TRDLInfo::LogSchreiben(const std::string& AZeile) const {
    if (FLogDatei.empty()) return;
    std::ofstream log(FLogDatei, std::ios::app);
    log << AZeile << '\n';
}

int TRDLInfo::ShowMeldung(const std::string& AGruppe, int ANummer, const std::vector<std::string>& AArgs,
                          int AArt) {
    TRDLMeldung m{AGruppe, ANummer, AArt, MeldungsText(AGruppe, ANummer, AArgs)};
    // While the user reads, other programs must not wait for this one's database.
    if (FAusgabe->WartetAufBenutzer() && RDLProgramm().HatDatenbank() &&
        RDLProgramm().Datenbank().VorBenutzerWarten())
        LogSchreiben(DateTimeToStr(rdl_Now()) + "\tTRDLInfo.ShowMeldung\tOffene Änderungen vor einer Meldung zurückgenommen");
    return FAusgabe->Zeigen(m);
}

void TRDLInfo::FehlerRaise(const std::string& ATraceName) {
    throw EKatalogFehler(ATraceName, "", 0, "Fehler in " + ATraceName);
}

void TRDLInfo::FehlerRaise(const std::string& ATraceName, const std::string& AGruppe, int ANummer,
                           const std::vector<std::string>& AArgs) {
    throw EKatalogFehler(ATraceName, AGruppe, ANummer, MeldungsText(AGruppe, ANummer, AArgs));
}

void TRDLInfo::FehlerKontrolle(const std::string& ATraceName) {
    const auto it = FOffeneFehler.find(ATraceName);
    if (it == FOffeneFehler.end() || it->second == 0) return;
    const std::string anzahl = std::to_string(it->second);
    it->second = 0;
    FehlerRaise(ATraceName, "STANDARD", 1211, {ATraceName, anzahl});
}

void TRDLInfo::FehlerTerminate(const std::string& ATraceName, int ACode, const std::string& AText1,
                               const std::string& AText2, int AWert1, int AWert2) {
    if (ACode == 0 && AText1.empty() && AText2.empty() && AWert1 == 0 && AWert2 == 0) return;
    std::string info = std::to_string(ACode);
    for (const auto& t : {AText1, AText2})
        if (!t.empty()) info += ", " + t;
    info += ", " + std::to_string(AWert1) + ", " + std::to_string(AWert2);
    RegisterException(ATraceName + ".Kontrolle",
                      EKatalogFehler(ATraceName, "STANDARD", 1210, MeldungsText("STANDARD", 1210, {info})),
                      true);
}

void TRDLInfo::RDLInfoProcessMessages(int AMillisekunden) {
    // Long loops call this; runs without a window hear the other processes here too.
    RDLNachrichtenVerarbeiten();
    if (FProcessMessages) FProcessMessages(AMillisekunden);
}

std::string TRDLInfo::RDLInfoTerminalID() const {
    if (const char* t = std::getenv("QUENDRIX_TERMINAL"); t && *t) return t;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0]) return host;
    return "LOKAL";
}
