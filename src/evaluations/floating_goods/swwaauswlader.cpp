// The four loaders of the floating-goods window and their look-ups.
#include "swwaauswfrm.h"

#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"

#include <cmath>

namespace {
const std::string CName = "TKOV_SchwWarefrm.";

std::string TrioText(const TIntTrio& T) {
    return std::to_string(T.A) + "/" + std::to_string(T.B) + "/" + std::to_string(T.C);
}

// The date of a list row, or none (NaN, beyond the calendar).
bool DatumLesbar(TDateTime ADatum) {
    static const TDateTime erster = EncodeDate(1, 1, 1), letzter = EncodeDate(9999, 12, 31) + 1;
    return std::isfinite(ADatum) && ADatum >= erster && ADatum < letzter;
}

// "4711-2403/2": the number, the year's last two digits, the month, and the third key part
// when there is one. The year is taken modulo 100, so every year (0 too) has two digits.
std::string AGANummer(int32_t ABelegNr, int32_t AJahr, int32_t AMonat, int16_t ATeil) {
    const int jj = (AJahr % 100 + 100) % 100;
    std::string r = std::to_string(ABelegNr) + "-" + (jj < 10 ? "0" : "") + std::to_string(jj) +
                    (AMonat < 10 ? "0" : "") + std::to_string(AMonat);
    if (ATeil > 0) r += "/" + std::to_string(ATeil);
    return r;
}

} // namespace

void TKOV_SchwWarefrm::Datenfehler(const std::string& ATraceName, const std::string& AText) {
    ++FDatenfehler;
    RDLInfo().RegisterException(ATraceName, Exception(AText), false);
}

// --- open credit requests ---------------------------------------------------------------------

void TKOV_SchwWarefrm::SW_AGA_laden() {
    const std::string trace = CName + "SW_AGA_laden";
    const bool ok = KOV_Geschuetzt(trace, true, [&] {
        FBKListeServer->Selektion_Setzen({CRDL_BelegTyp_Gutschriftsanforderung, FMinDate, FMaxDate, 'N'});
        FBKListeServer->Laden();
        for (const TRDL_BelegKopfZeile& z : FBKListeServer->Zeilen()) {
            if (FAbbruch) break;
            ++FStatusElementeGefunden;
            ++FStatusElementeGeprueft;
            FortschrittZeigen();
            // Each row on its own: one that fails is registered, the others still come.
            if (!KOV_Geschuetzt(trace, true, [&] {
                    TKOV_SW sw;
                    sw.init();
                    sw.Datum = DatumLesbar(z.Datum) ? DateOf(z.Datum) : rdl_Now();
                    sw.LiefGePNr = z.Lieferant;
                    sw.Mandant = Mandant_4_MandNr(z.MandNr);
                    sw.EKWert = z.Wert;
                    sw.Waehrung = z.Waehrung;
                    sw.VorgangsID = z.VorgangsID;
                    sw.Nummer = AGANummer(z.BelegNr, z.Jahr, z.Monat, z.VorgangsID.C);
                    sw.Barcode = Barcode_4_Vorgang(sw.VorgangsID);
                    FSW_AGA_Liste.Add(sw);
                }))
                FLoaderFehler = true;
        }
    });
    if (!ok) FLoaderFehler = true;
}

// --- quick-captured invoices ------------------------------------------------------------------

bool TKOV_SchwWarefrm::SchluesselPasst() {
    return KOV_GeschuetztWert("SchluesselPasst", true, false,
                              [&] { return FATPLFile->Found() && FATPLFile->LarID.GetWert() == FLarfileKey; });
}

bool TKOV_SchwWarefrm::StelleATKFileEin(const TIntTrio& AAtpbID) {
    return KOV_GeschuetztWert(CName + "StelleATKFileEin", true, false, [&] {
        FATPBFile->SucheInit();
        FATPBFile->KeyNr_Set(Tatpbfile::KeyAtpb);
        FATPBFile->AtpbID.SetKeyWert(AAtpbID);
        if (!FATPBFile->Get_eq() || FATPBFile->AtpbID.GetWert() != AAtpbID) return false;
        const TIntTrio atpk = FATPBFile->AtpkID.GetWert();
        FATPKFile->SucheInit();
        FATPKFile->KeyNr_Set(Tatpkfile::KeyAtpk);
        FATPKFile->AtpkID.SetKeyWert(atpk);
        if (!FATPKFile->Get_eq() || FATPKFile->AtpkID.GetWert() != atpk) return false;
        FATKFile->SucheInit();
        FATKFile->KeyNr_Set(Tatkfile::KeyAtk);
        FATKFile->AtkID.SetKeyWert(FATPKFile->AtkID.GetWert());
        return FATKFile->Get_eq();
    });
}

void TKOV_SchwWarefrm::SW_SER_laden() {
    if (!FLarfileKeyDefiniert) return;
    const std::string trace = CName + "SW_SER_laden";
    const bool ok = KOV_Geschuetzt(trace, true, [&] {
        FATPLFile->SucheInit();
        FATPLFile->KeyNr_Set(Tatplfile::KeyLar);
        FATPLFile->LarID.SetKeyWert(FLarfileKey);
        FATPLFile->Get_eq();
        while (SchluesselPasst()) {
            ++FStatusElementeGeprueft;
            TKOV_SW sw;
            sw.init();
            sw.EKWert = FATPLFile->Wert.GetWert();
            const TIntTrio atpb = FATPLFile->AtpbID.GetWert();
            if (StelleATKFileEin(atpb)) {
                const Tatkfile& k = *FATKFile;
                sw.Mandant = Mandant_4_MandNr(k.MandNr.GetWert());
                const TRDL_Phase* phase = FPhasen->PhasenKuerzel_2_AllgPhasPhase(k.Phase.GetWert());
                sw.Nummer = Formatiere_Belegnummer(phase, Char_2_BelegStornoKz(k.StornoKz.GetWert()), k.BelegNr.GetWert(),
                                                   k.Jahr.GetWert(), k.Monat.GetWert(), k.TeilNr.GetWert(), "", 0);
                sw.Datum = k.Datum.GetWert();
                sw.Waehrung = RDLProgramm().GetWaehrung();
                sw.LiefGePNr = CMand_SV_Seite(phase) == 2 ? k.GepNr2.GetWert() : k.GepNr1.GetWert();
                const TIntTrio atk = k.AtkID.GetWert();
                sw.VorgangsID = atk;
                sw.Barcode = Barcode_4_Vorgang({atk.A, atk.B, 0});
                if (FMinDate <= sw.Datum && sw.Datum <= FMaxDate) {
                    ++FStatusElementeGefunden;
                    FSW_SER_Liste.Add(sw);
                }
            } else {
                // Without its header a position has no date, client or number of its own.
                Datenfehler(trace, "Zur schnellerfassten Rechnungsposition " + TrioText(atpb) +
                                       " fehlt der Rechnungskopf; sie wird übergangen.");
            }
            FortschrittZeigen();
            FATPLFile->Get_next();
        }
    });
    if (!ok) FLoaderFehler = true;
}

// --- goods receipts and dispositions ----------------------------------------------------------

void TKOV_SchwWarefrm::SW_DISPO_laden() {
    const bool ok = KOV_Geschuetzt(CName + "SW_DISPO_laden", true, [&] {
        // Goods receipts not checked yet.
        FArksfile->SucheInit();
        FArksfile->KeyNr_Set(Tarksfile::KeyVorgang);
        for (bool da = FArksfile->Get_first(); da;) {
            const char status = FArksfile->Status.GetWert();
            if (FArksfile->Art.GetWert() == 'W' && (status == 'O' || status == ' ' || status == '\0')) {
                WEHinzufuegen(FArksfile->VorgangsID.GetWert());
                FortschrittZeigen();
            }
            da = FArksfile->Get_next();
            FortschrittZeigen();
            if (FAbbruch) break;
        }

        // Dispositions assigned to an invoice of the period.
        const TRDL_BKSelektion rechnungen{CRDL_BelegTyp_Rechnung, FMinDate, FMaxDate, 'N'};
        FBKListeServer->Selektion_Setzen(rechnungen);
        FBKListeServer->Laden();
        TKOVBelegLaden_Options optionen = TKOVBelegLaden_Options::None();
        optionen.MitDispos = true;
        // The invoices' positions in one read for the period, not one per invoice.
        if (!FAbbruch && !FBKListeServer->Zeilen().empty()) FBeleg->Vorladen(rechnungen, optionen);
        for (const TRDL_BelegKopfZeile& z : FBKListeServer->Zeilen()) {
            if (FAbbruch) break;
            ++FStatusElementeGefunden;
            ++FStatusElementeGeprueft;
            FortschrittZeigen();
            if (!FBeleg->Laden(z.VorgangsID, optionen)) continue; // gone since the list was read
            const TRDL_Beleg& beleg = FBeleg->Beleg();
            TBelegPosIterator it(beleg);
            for (it.Move_First(); !it.Eof(); it.Move_Next()) {
                const auto* pos = dynamic_cast<const TRDL_BelegPosArtikel*>(it.Current());
                if (!pos) continue;
                for (const TRDL_BelegPosDispo& d : pos->Dispos) {
                    if (DispoHinzufuegen(beleg.Kopf.Key(), d.DispoID, beleg.Kopf.Datum)) ++FStatusElementeGefunden;
                    ++FStatusElementeGeprueft;
                    FortschrittZeigen();
                }
            }
        }
        FATKFile->SucheInit();
    });
    if (!ok) FLoaderFehler = true;
}

void TKOV_SchwWarefrm::WEHinzufuegen(const TIntTrio& AVorgangsID) {
    if (!KOV_Geschuetzt("WEHinzufuegen", true, [&] {
            if (FWE_Vorgaenge.count(AVorgangsID)) return;
            TKOV_DispoWE_Info details;
            if (!FArtvToolsDispoWEMani->Lese_DispoWE_Details(AVorgangsID, CLeeresIntPair, false, details)) {
                Datenfehler("WEHinzufuegen",
                            "Die Disposition " + TrioText(AVorgangsID) + " des Wareneingangs gibt es nicht.");
                return;
            }
            ++FStatusElementeGeprueft;
            if (FMinDate < details.WEDatum && details.WEDatum < FMaxDate) {
                ++FStatusElementeGefunden;
                TKOV_SW sw;
                sw.init();
                sw.VorgangsID = AVorgangsID;
                sw.Datum = details.WEDatum;
                if (!SW_Detail_setzen(sw, details)) return;
                FSW_WE_Liste.Add(sw);
                FWE_Vorgaenge.insert(AVorgangsID);
            }
        }))
        FLoaderFehler = true;
}

bool TKOV_SchwWarefrm::DispoHinzufuegen(const TIntPair& ABelegKey, const TIntTrio& ADispo, TDateTime ADatum) {
    const std::string trace = CName + "SW_DISPO_laden.DispoHinzufuegen";
    bool fehler = false;
    const bool r = KOV_GeschuetztWert(trace, true, false, [&] {
        fehler = true;
        TKOV_DispoWE_Info details;
        if (!FArtvToolsDispoWEMani->Lese_DispoWE_Details(ADispo, CLeeresIntPair, false, details)) {
            fehler = false;
            Datenfehler(trace, "Die Disposition " + TrioText(ADispo) + " der Rechnung " + std::to_string(ABelegKey.A) +
                                   "/" + std::to_string(ABelegKey.B) + " gibt es nicht.");
            return false;
        }
        TKOV_SW sw;
        sw.init();
        sw.VorgangsID = ADispo;
        sw.Datum = ADatum;
        const bool schwimmend = details.Status == CDispoStatus_Zugewiesen ||
                                (details.Status == CDispoStatus_Eingegangen && details.WEDatum > FMaxDate);
        fehler = false;
        if (!schwimmend) return false;
        sw.Barcode = Barcode_4_Vorgang({ABelegKey.A, ABelegKey.B, 0});
        if (!SW_Detail_setzen(sw, details)) return false;
        FSW_DI_Liste.Add(sw);
        return true;
    });
    if (fehler) FLoaderFehler = true;
    return r;
}

bool TKOV_SchwWarefrm::SW_Detail_setzen(TKOV_SW& ASW, const TKOV_DispoWE_Info& D) {
    const std::string trace = CName + "SW_DISPO_laden.SW_Detail_setzen";
    const bool ok = KOV_Geschuetzt(trace, true, [&] {
        ASW.ProduktID = D.ProduktID;
        ASW.Waehrung = D.Preis.Waehrung;
        for (const TKOV_DispoWE_Filiale& f : D.Filialen) {
            if (f.Filiale <= 0) continue;
            bool ausserhalb = false;
            for (int k = f.GrIndVon; k <= f.GrIndBis; ++k) {
                // Only sizes the suite knows: a bound beyond them is registered, never read.
                if (k < 1 || k > CRDL_MaxGrInd) {
                    ausserhalb = true;
                    continue;
                }
                const int32_t q = f.Menge_4_Index(k);
                if (q > 0) {
                    ASW.Menge += q;
                    ASW.EKWert += (long double)q * D.Preis.Preis_4_Index(k);
                }
            }
            if (ausserhalb)
                Datenfehler(trace, "Die Disposition " + TrioText(ASW.VorgangsID) + " nennt für die Filiale " +
                                       std::to_string(f.Filiale) + " die Größenindizes " + std::to_string(f.GrIndVon) +
                                       " bis " + std::to_string(f.GrIndBis) + "; gezählt werden nur 1 bis " +
                                       std::to_string(CRDL_MaxGrInd) + ".");
            if (!FFiliaTab || !FFiliaTab->Filialen().GetFilialeByNr(f.Filiale))
                Datenfehler(trace, "Die Disposition " + TrioText(ASW.VorgangsID) + " nennt die Filiale " +
                                       std::to_string(f.Filiale) + ", die es nicht gibt.");
            ASW.Filialen += (ASW.Filialen.empty() ? "" : ", ") + std::to_string(f.Filiale);
        }
        ASW.LiefGePNr = D.LiefGePNr;
        for (const TKOV_DispoWE_Filiale& f : D.Filialen)
            if (f.Filiale > 0 && f.GrIndVon <= f.GrIndBis) {
                ASW.Mandant = Mandant_4_Filiale(f.Filiale);
                break;
            }
    });
    if (!ok) FLoaderFehler = true;
    return ok;
}

// --- look-ups ---------------------------------------------------------------------------------

std::string TKOV_SchwWarefrm::Barcode_4_Vorgang(const TIntTrio& AVorgangsID) {
    const std::string satz = TInt32Trio{AVorgangsID.A, AVorgangsID.B, AVorgangsID.C}.ToTextUnformatted(9);
    if (const auto it = FBarcodes.find(satz); it != FBarcodes.end()) return it->second;
    std::string barcode;
    FZOFile->SucheInit();
    FZOFile->KeyNr_Set(Tzofile::KeyMerkmal);
    FZOFile->Datei.SetKeyWert("ATK");
    FZOFile->Satz.SetKeyWert(satz);
    FZOFile->Merkmal.SetKeyWert("BARCODE");
    if (FZOFile->Get_ge() && FZOFile->Datei.GetWert() == "ATK" && FZOFile->Satz.GetWert() == satz &&
        FZOFile->Merkmal.GetWert() == "BARCODE")
        barcode = FZOFile->Wert.GetWert();
    FBarcodes.emplace(satz, barcode);
    return barcode;
}

std::string TKOV_SchwWarefrm::HerstellerName_4_GEPNr(const TIntPair& AGepNr) {
    if (const auto it = FLieferantenNamen.find(AGepNr); it != FLieferantenNamen.end()) return it->second;
    const std::string name = KOV_GeschuetztWert(CName + "HerstellerName_4_GEPNr", true, std::string(), [&] {
        std::string r;
        FGepFile->SucheInit();
        FGepFile->KeyNr_Set(TGepFile::KeyGepNr);
        FGepFile->GepNr.SetKeyWert(AGepNr);
        if (!FGepFile->Get_eq()) return r;
        r = FGepFile->Name1.GetWert();
        FKuliFile->SucheInit();
        FKuliFile->KeyNr_Set(Tkulifile::KeyGepNr);
        FKuliFile->GepNr.SetKeyWert(AGepNr);
        if (FKuliFile->Get_ge() && FKuliFile->GepNr.GetWert() == AGepNr)
            r = "[" + std::to_string(FKuliFile->Nummer.GetWert()) + "] " + r;
        return r;
    });
    FLieferantenNamen.emplace(AGepNr, name);
    return name;
}

TMandant TKOV_SchwWarefrm::Mandant_4_MandNr(int32_t AMandNr) {
    if (const auto it = FMandantenNachNr.find(AMandNr); it != FMandantenNachNr.end()) return it->second;
    // The client number is the first part of the client's key.
    TMandant m;
    for (int i = 0; i < FMandListeServer->GetCount(); ++i)
        if (FMandListeServer->GetMandant(i).Key.A == AMandNr) {
            m = FMandListeServer->GetMandantByKey(FMandListeServer->GetMandant(i).Key);
            break;
        }
    FMandantenNachNr.emplace(AMandNr, m);
    return m;
}

TMandant TKOV_SchwWarefrm::Mandant_4_Filiale(int16_t AFiliale) {
    const TFiliale* f = FFiliaTab ? FFiliaTab->Filialen().GetFilialeByNr(AFiliale) : nullptr;
    return f ? FMandListeServer->GetMandantByKey(f->Mandant) : TMandant{};
}

std::string TKOV_SchwWarefrm::ProduktID_2_ArtNr_Formatted(const TInt32Trio& AProduktID, bool AMitFarbe) {
    return FArtikelnummern->ProduktID_2_ArtNr_Formatted(AProduktID, AMitFarbe);
}
