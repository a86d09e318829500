#include "rdlwaehrung.h"
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "rdlprogramm.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double CKeinKurs = std::numeric_limits<double>::quiet_NaN();

std::string OhneRand(const std::string& AText) {
    const auto anfang = AText.find_first_not_of(' ');
    if (anfang == std::string::npos) return {};
    return AText.substr(anfang, AText.find_last_not_of(' ') - anfang + 1);
}

std::string DatumText(TDate ADatum) { return std::isfinite(ADatum) ? DateToStr(ADatum) : "?"; }

} // namespace

EWaehrungsFehler::EWaehrungsFehler(std::string AWaehrung, TDate ADatum, const std::string& AHauswaehrung)
    : Exception("F\u00FCr die W\u00E4hrung " + AWaehrung + " ist zum " + DatumText(ADatum) +
                " kein Umrechnungskurs in " + AHauswaehrung + " hinterlegt."),
      FWaehrung(std::move(AWaehrung)), FDatum(ADatum) {}

TRDLWaehrungsrechner::TRDLWaehrungsrechner(TRDLDatenbank& ADb)
    : TRDLWaehrungsrechner(ADb, RDLProgramm().GetWaehrung()) {}

TRDLWaehrungsrechner::TRDLWaehrungsrechner(TRDLDatenbank& ADb, std::string AHauswaehrung)
    : FDb(ADb), FHauswaehrung(OhneRand(AHauswaehrung)) {}

const std::vector<TRDLWaehrungsrechner::TKurs>& TRDLWaehrungsrechner::Kurse(const std::string& AWaehrung) {
    if (auto it = FKurse.find(AWaehrung); it != FKurse.end()) return it->second;
    std::vector<TKurs> kurse;
    auto st = FDb.Prepare("SELECT gueltig_ab, kurs FROM wechselkurs WHERE waehrung = ? ORDER BY gueltig_ab");
    st.Bind(1, AWaehrung);
    // Stepped to its end: the cursor closes and holds no snapshot.
    while (st.Step()) {
        // A rate the table's check should have kept out (another writer's 0, a negative
        // value, NaN or infinity) ends the previous rate without giving one.
        const double wert = st.ColIsNull(1) ? CKeinKurs : st.ColDouble(1);
        kurse.push_back({std::floor(st.ColDouble(0)), std::isfinite(wert) && wert > 0 ? wert : CKeinKurs});
    }
    return FKurse.emplace(AWaehrung, std::move(kurse)).first->second;
}

double TRDLWaehrungsrechner::Suchen(const std::string& AWaehrung, TDate ADatum) {
    if (AWaehrung.empty() || AWaehrung == FHauswaehrung) return 1.0;
    if (!std::isfinite(ADatum)) return CKeinKurs;
    const auto& kurse = Kurse(AWaehrung);
    const double tag = std::floor(ADatum);
    // The last row from that day or before.
    const auto it = std::upper_bound(kurse.begin(), kurse.end(), tag, [](double t, const TKurs& k) { return t < k.Ab; });
    return it == kurse.begin() ? CKeinKurs : std::prev(it)->Wert;
}

double TRDLWaehrungsrechner::Kurs(const std::string& AWaehrung, TDate ADatum) {
    const std::string waehrung = OhneRand(AWaehrung);
    const double kurs = Suchen(waehrung, ADatum);
    if (std::isnan(kurs)) throw EWaehrungsFehler(waehrung, ADatum, FHauswaehrung);
    return kurs;
}

bool TRDLWaehrungsrechner::KursVorhanden(const std::string& AWaehrung, TDate ADatum) {
    return !std::isnan(Suchen(OhneRand(AWaehrung), ADatum));
}

double TRDLWaehrungsrechner::InHauswaehrung(double ABetrag, const std::string& AWaehrung, TDate ADatum) {
    return ABetrag * Kurs(AWaehrung, ADatum);
}
