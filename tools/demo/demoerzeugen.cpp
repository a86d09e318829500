#include "demomodell.h"
#include "rdldatum.h"
#include "rdlprogramm.h"

std::string DemoOptionenFehler(const TDemoOptionen& O) {
    if (O.Filialen < 1 || O.Filialen > 500) return "Die Zahl der Filialen muss zwischen 1 und 500 liegen.";
    if (O.Tage < 1 || O.Tage > 5000) return "Die Zahl der Tage muss zwischen 1 und 5000 liegen.";
    if (O.RTyp < 0 || O.RTyp > 7) return "Der Installationstyp muss zwischen 0 und 7 liegen.";
    if (O.Kundenkennung.size() != 8) return "Die Kundenkennung muss genau 8 Zeichen lang sein.";
    for (unsigned char c : O.Kundenkennung)
        if (c <= ' ' || c >= 0x7F) return "Die Kundenkennung darf nur Buchstaben, Ziffern und Satzzeichen enthalten.";
    if (O.Heute != 0 && (O.Heute - O.Tage < EncodeDate(1900, 1, 1) || O.Heute > EncodeDate(9998, 12, 31)))
        return "Das Tagesdatum liegt außerhalb des möglichen Bereichs.";
    return {};
}

TDemoErgebnis DemoErzeugen(TRDLDatenbank& ADb, const TDemoOptionen& O, const TDemoFortschritt& AFortschritt) {
    if (auto fehler = DemoOptionenFehler(O); !fehler.empty()) throw EArgumentOutOfRangeException(fehler);
    const TDateTime heute = O.Heute != 0 ? DateOf(O.Heute) : rdl_Today();
    TDemoModell M = DemoModellBilden(O, heute);
    TDemoErgebnis E;
    E.ErsterTag = M.ErsterTag;
    E.LetzterTag = M.LetzterTag;

    // One transaction: the installation appears whole or not at all, and the bulk loader
    // needs one around it anyway.
    RDLBuchung buchung(ADb);
    DemoStammdatenSchreiben(ADb, O, M, E);
    DemoKalenderSchreiben(ADb, M, E);
    DemoVerkaeuferSchreiben(ADb, M, E);
    DemoBenutzerSchreiben(ADb, O.Benutzer.empty() ? LoginName() : O.Benutzer, E);
    DemoUmsaetzeSchreiben(ADb, O, M, E, AFortschritt);
    DemoSchwimmendeWareSchreiben(ADb, O, M, E);
    DemoPersonalSchreiben(ADb, O, M, E);
    DemoBestandSchreiben(ADb, O, M, E); // last: it reads every sales line written before
    buchung.Beenden();
    return E;
}
