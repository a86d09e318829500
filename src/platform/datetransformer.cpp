#include "datetransformer.h"
#include "exceptions.h"
#include "rdldatum.h"
#include <algorithm>
#include <cmath>

TIsoWoche IsoWocheVon(TDate ADatum) {
    const TDate tag = std::floor(ADatum);
    const int wt = DayOfTheWeek(tag);
    // The week belongs to the year of its Thursday.
    const TDate donnerstag = tag - (wt - 1) + 3;
    int j, m, d;
    DecodeDate(donnerstag, j, m, d);
    return {j, int(donnerstag - EncodeDate(j, 1, 1)) / 7 + 1, wt};
}

int IsoWochenImJahr(int AJahr) { return IsoWocheVon(EncodeDate(AJahr, 12, 28)).Woche; }

TDate IsoWocheZuDatum(const TIsoWoche& W) {
    if (W.Woche < 1 || W.Woche > IsoWochenImJahr(W.Jahr) || W.Tag < 1 || W.Tag > 7)
        throw EArgumentOutOfRangeException("Die Kalenderwoche " + std::to_string(W.Woche) + "/" +
                                           std::to_string(W.Jahr) + " gibt es nicht.");
    const TDate jan4 = EncodeDate(W.Jahr, 1, 4);
    const TDate montag1 = jan4 - (DayOfTheWeek(jan4) - 1);
    return montag1 + 7 * (W.Woche - 1) + (W.Tag - 1);
}

TDate GleichesDatumImJahr(TDate ADatum, int AJahr) {
    int j, m, d;
    DecodeDate(ADatum, j, m, d);
    return EncodeDate(AJahr, m, std::min(d, DaysInMonth(AJahr, m)));
}

void TKOV_DatumsTransformator_Base::PassendeDatumswerteFinden(TDate ADatum) {
    FErgebnis.clear();
    if (Zieljahr < 1 || Zieljahr > 9998)
        throw EArgumentOutOfRangeException("Das Zieljahr " + std::to_string(Zieljahr) + " ist ungültig.");
    FErgebnis = Finden(std::floor(ADatum));
}

namespace {

// Short days every year, whether the branch entered them or not.
bool IstHeiligabendOderSilvester(TDate ADatum) {
    int j, m, d;
    DecodeDate(ADatum, j, m, d);
    return m == 12 && (d == 24 || d == 31);
}

} // namespace

std::vector<TDate> TKOV_DatumsTransformatorVergleichstagVorjahre::Finden(TDate ADatum) {
    int j, m, d;
    DecodeDate(ADatum, j, m, d);
    TIsoWoche w = IsoWocheVon(ADatum);
    w.Jahr += Zieljahr - j;
    TDate tag;
    if (w.Woche > IsoWochenImJahr(w.Jahr)) {
        // Week 53 without a week 53: the week after week 52, whose first days close the year.
        w.Woche = 52;
        tag = IsoWocheZuDatum(w) + 7;
    } else {
        tag = IsoWocheZuDatum(w);
    }
    while (tag < EncodeDate(Zieljahr, 1, 1)) tag += 7;
    // The same weekday a week earlier is the comparison of the week before: Silvester with Silvester.
    if (tag > EncodeDate(Zieljahr, 12, 31)) tag = GleichesDatumImJahr(ADatum, Zieljahr);
    return {tag};
}

bool TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge::IstBesondererTag(TDate ADatum) {
    return IstHeiligabendOderSilvester(ADatum) || FKalender.IstSchliesstag(Mandant, OrgeID, ADatum);
}

std::vector<TDate> TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge::Finden(TDate ADatum) {
    if (IstHeiligabendOderSilvester(ADatum)) return {GleichesDatumImJahr(ADatum, Zieljahr)};
    if (const auto name = FKalender.FeiertagDerFiliale(Mandant, OrgeID, ADatum); name)
        if (const auto tag = FKalender.FeiertagImJahr(Mandant, OrgeID, Zieljahr, *name, ADatum); tag) return {*tag};
    const TDate vergleich = TKOV_DatumsTransformatorVergleichstagVorjahre::Finden(ADatum).front();
    const TDate erster = EncodeDate(Zieljahr, 1, 1), letzter = EncodeDate(Zieljahr, 12, 31);
    for (const TDate kandidat : {vergleich, vergleich - 7, vergleich + 7})
        if (kandidat >= erster && kandidat <= letzter && !IstBesondererTag(kandidat)) return {kandidat};
    // Both neighbours special or outside the year (e.g. around Christmas): a day of a
    // different weekday still says more than a closed or short one.
    if (const TDate datum = GleichesDatumImJahr(ADatum, Zieljahr); !IstBesondererTag(datum)) return {datum};
    return {vergleich};
}
