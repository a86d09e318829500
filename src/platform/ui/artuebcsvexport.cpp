#include "artuebcsvexport.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlergebnisdatei.h"
#include "rdlinfo.h"
#include "vrlisthelfer.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace {

constexpr char CTrenner = ';';
// Written in pieces of this size: the rows stream into the file, never all in memory.
constexpr size_t CPuffer = 64 * 1024;

std::string Ganzzahl(int64_t AWert) { return std::to_string(AWert); }

// Two decimals with a comma, no thousands separator: what a spreadsheet reads back as a number.
std::string Betrag(double AWert) {
    double w = std::round(AWert * 100.0) / 100.0;
    if (w == 0) w = 0; // no "-0,00"
    char puffer[64];
    const auto [p, ec] = std::to_chars(puffer, puffer + sizeof puffer, w, std::chars_format::fixed, 2);
    std::string t(puffer, ec == std::errc() ? p : puffer);
    for (char& c : t)
        if (c == '.') c = ',';
    return t;
}

} // namespace

std::string ArtUeb_Windows1252(const std::string& AText) {
    return Utf8_2_Windows1252(AText, [](char32_t cp) -> std::string {
        // Letters with a stroke have no decomposition; their base letter is what a reader expects.
        static const std::pair<char32_t, const char*> CStrich[] = {
            {0x0141, "L"}, {0x0142, "l"}, {0x0110, "D"}, {0x0111, "d"}, {0x0126, "H"}, {0x0127, "h"},
            {0x0131, "i"}, {0x0166, "T"}, {0x0167, "t"}, {0x0180, "b"}, {0x01B5, "Z"}, {0x01B6, "z"}};
        const auto strich = std::find_if(std::begin(CStrich), std::end(CStrich), [cp](const auto& P) { return P.first == cp; });
        if (strich != std::end(CStrich)) return strich->second;
        // The compatibility decomposition without its accents: the letter a reader expects.
        const QString zerlegt = QString::fromUcs4(&cp, 1).normalized(QString::NormalizationForm_KD);
        std::string ersatz;
        for (const char32_t t : zerlegt.toUcs4()) {
            if (QChar::isMark(t)) continue;
            const char b = Windows1252Zeichen(t);
            if (b == 0) return "?";
            ersatz += b;
        }
        return ersatz.empty() ? std::string("?") : ersatz;
    });
}

bool IsValidFilePath(const std::string& AName) {
    namespace fs = std::filesystem;
    if (AName.empty() || QString::fromUtf8(AName.data(), qsizetype(AName.size())).size() > 255) return false;
    for (const unsigned char c : AName)
        if (c < 0x20 || c == 0x7F) return false;
    const fs::path p(AName);
    const std::string name = p.filename().string();
    if (name.empty() || name == "." || name == ".." || name.find_first_not_of(' ') == std::string::npos) return false;
    std::error_code ec;
    if (fs::is_directory(p, ec)) return false;
    const fs::path ordner = p.parent_path();
    return ordner.empty() || fs::is_directory(ordner, ec);
}

std::string ArtUeb_CSV_Kopf() {
    return "Stichtag;Mandant;Filiale;Artikelnummer;Farbe;Bezeichnung;Warengruppe;Lieferant;Größe;Anfangsbestand;"
           "Zugang;Verkauf;Korrektur;Bestand;EK;Bestandswert";
}

std::string ArtUeb_CSV_Zeile(const TRDL_ArtBestandZeile& Z, TDate AStichtag) {
    const auto feld = [](const std::string& t) { return CSVFeld(t, CTrenner); };
    std::string r;
    r.reserve(160);
    r += DateToStr(AStichtag);
    r += CTrenner;
    // The client's name: a key "1/1" would become a date in a spreadsheet.
    if (Z.Stufe != opsGesamt)
        r += feld(!Z.MandantName.empty() ? Z.MandantName
                                         : "Mandant " + std::to_string(Z.Mandant.A) + "/" + std::to_string(Z.Mandant.B));
    r += CTrenner;
    if (Z.Stufe == opsFiliale) r += std::to_string(Z.Filiale);
    r += CTrenner;
    r += feld(Z.ArtNr.empty() ? std::to_string(Z.ProduktID.A) + "/" + std::to_string(Z.ProduktID.B) + "/" +
                                    std::to_string(Z.ProduktID.C)
                              : Z.ArtNr);
    r += CTrenner;
    r += feld(Z.Farbe) + CTrenner + feld(Z.Bezeichnung) + CTrenner + std::to_string(Z.Warengruppe) + CTrenner;
    r += feld(Z.Lieferant) + CTrenner;
    r += feld(Z.Groesse.empty() ? std::to_string(Z.GrInd) : Z.Groesse) + CTrenner;
    r += Ganzzahl(Z.Anfang) + CTrenner + Ganzzahl(Z.Zugang) + CTrenner + Ganzzahl(Z.Verkauf) + CTrenner +
         Ganzzahl(Z.Korrektur) + CTrenner + Ganzzahl(Z.Bestand) + CTrenner;
    r += Betrag(Z.EK) + CTrenner + Betrag(Z.EK * double(Z.Bestand));
    return r;
}

TKOV_ArtUeb_CSV_Export::TKOV_ArtUeb_CSV_Export(TKOV_ExportFileNameEvent AExportFileName,
                                               TKOV_ArtProgressEvent AOnProgress)
    : FExportFileName(std::move(AExportFileName)), FOnProgress(std::move(AOnProgress)) {}

void TKOV_ArtUeb_CSV_Export::OnStopped(const IRDL_Query* AQuery) {
    if (!AQuery || AQuery == FQuery.get()) {
        FQuery.reset();
        Callbacks_Loesen();
    }
}

void TKOV_ArtUeb_CSV_Export::Callbacks_Loesen() {
    FExportFileName = nullptr;
    FOnProgress = nullptr;
}

bool TKOV_ArtUeb_CSV_Export::Execute() {
    FFehlertext.clear();
    FZeilen = 0;
    FDateiName.clear();
    std::string name;
    if (!FExportFileName || !FExportFileName(name) || !IsValidFilePath(name)) {
        FFehlertext = "Der Dateiname ist ungültig.";
        return false;
    }
    FDateiName = name;
    if (!FQuery) {
        FFehlertext = "Es ist keine Artikelabfrage angegeben.";
        return false;
    }
    try {
        const TDate stichtag = FQuery->Zeitraum_Get().Bis;
        TRDLErgebnisDatei datei(name);
        std::string puffer = ArtUeb_Windows1252(ArtUeb_CSV_Kopf()) + "\r\n";
        TInt32Trio letzter{-1, -1, -1};
        auto zuletztGepumpt = std::chrono::steady_clock::now();
        FQuery->Durchlaufen([&](const TRDL_ArtBestandZeile& Z) {
            if (Z.ProduktID != letzter) {
                letzter = Z.ProduktID;
                if (FOnProgress) FOnProgress(Z.ProduktID);
                // A repaint is served now and then, not per article.
                const auto jetzt = std::chrono::steady_clock::now();
                if (jetzt - zuletztGepumpt > std::chrono::milliseconds(50)) {
                    RDLInfo().RDLInfoProcessMessages(300);
                    zuletztGepumpt = jetzt;
                }
            }
            puffer += ArtUeb_Windows1252(ArtUeb_CSV_Zeile(Z, stichtag));
            puffer += "\r\n";
            ++FZeilen;
            if (puffer.size() >= CPuffer) {
                datei.Schreiben(puffer);
                puffer.clear();
            }
            return true;
        });
        datei.Schreiben(puffer);
        datei.Abschliessen();
        return true;
    } catch (const std::exception& E) {
        // The caller tells the user (1108); the reason goes to the log.
        RDLInfo().RegisterException("TKOV_ArtUeb_CSV_Export.Execute", E, false);
        FFehlertext = E.what();
        return false;
    }
}
