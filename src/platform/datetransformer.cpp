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

std::vector<TDate> TKOV_DatumsTransformatorVergleichstagVorjahre::Finden(TDate ADatum) {
    int j, m, d;
    DecodeDate(ADatum, j, m, d);
    TIsoWoche w = IsoWocheVon(ADatum);
    w.Jahr += Zieljahr - j;
    w.Woche = std::min(w.Woche, IsoWochenImJahr(w.Jahr));
    return {IsoWocheZuDatum(w)};
}

std::vector<TDate> TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge::Finden(TDate ADatum) {
    if (const auto name = FKalender.FeiertagDerFiliale(Mandant, OrgeID, ADatum); name)
        if (const auto tag = FKalender.FeiertagImJahr(Mandant, OrgeID, Zieljahr, *name); tag) return {*tag};
    const TDate vergleich = TKOV_DatumsTransformatorVergleichstagVorjahre::Finden(ADatum).front();
    for (const TDate kandidat : {vergleich, vergleich - 7, vergleich + 7})
        if (!FKalender.IstSchliesstag(Mandant, OrgeID, kandidat)) return {kandidat};
    return {vergleich};
}
