#pragma once
// Build and incremental update of the statistics file. The first build counts every day
// of a span of past days for all branches; afterwards an update finds the sales-line
// transactions written since the last run (per client and computer), collects the days
// and branches they touch and counts those days anew.
//
// What makes a run safe to interrupt or to run beside the tills:
// - a booking replaces the figures of its key, and a day is always counted as a whole
//   from the sales lines, so counting a day twice gives the same figures;
// - the processing state is written only after every day was booked and committed, so
//   a run that is killed, fails or is cancelled leaves the state as it was and the next
//   run counts the same days again;
// - the highest transaction numbers are taken before the days are collected; the tills
//   write a transaction's lines in one transaction and a computer's transactions in
//   number order (docs/schema.md), so every line up to those numbers is there, and later
//   ones are collected by the next run (a day counted meanwhile is counted again then).
#include "rdlprogress.h"
#include "umsatzbasemani_base.h"
#include "umsatzhelper_versfilausw.h"

#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <vector>

// Day to the branch numbers to count anew for it, in day order.
class TDictionary_Datum_2_OrgeKnrListe {
public:
    void AddPaar(TDate ADatum, int16_t AOrgeKnr) { FTage[int64_t(DateOf(ADatum))].insert(AOrgeKnr); }
    // Every day from AVon to ABis (both included).
    void AddZeitraum(TDate AVon, TDate ABis, int16_t AOrgeKnr) {
        for (int64_t d = int64_t(DateOf(AVon)); d <= int64_t(DateOf(ABis)); ++d) FTage[d].insert(AOrgeKnr);
    }
    int Count() const { return int(FTage.size()); }
    auto begin() const { return FTage.begin(); }
    auto end() const { return FTage.end(); }

private:
    std::map<int64_t, std::set<int16_t>> FTage;
};

// Client and computer: transaction numbers ascend per both.
struct TKOV_MandantRechner {
    TIntPair Mandant;
    int32_t Rechner = 0;
    auto operator<=>(const TKOV_MandantRechner&) const = default;
};
// 64 bits: a number beyond 32 bits that SQLite took is passed (it is rejected, not counted).
using TKOV_TransaktionsStand = std::map<TKOV_MandantRechner, int64_t>;

// A statistics that counts with the ignore-before dates: its identifier, and how a manager
// of its own rebooks it after a change of the dates (inside the changer's booking).
struct TKOV_AendZuIgnor_Statistik {
    const char* Kennung;
    bool (*Umbuchen)(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& AAlt,
                     const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ANeu);
};
// Every such statistics, in the order their locks are taken (defined at the end of this
// file, where their managers are known): a change of the dates rebooks them all.
inline const std::vector<TKOV_AendZuIgnor_Statistik>& AendZuIgnor_Statistiken();

template <class TUmsatzDaten, class TUmsDataOp, class TUmsStatFile, class THelper>
class TKOV_Umsatz_UmszMani_Base : public TKOV_UmsatzBaseMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper> {
public:
    using TBasis = TKOV_UmsatzBaseMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper>;
    using typename TBasis::TIgnorDict;
    using typename TBasis::TTagesauswertung;
    using TTagesauswertungen = std::map<int16_t, std::unique_ptr<TTagesauswertung>>;

    TKOV_Umsatz_UmszMani_Base() {
        // Bookings are collected and committed once per day.
        this->FHelper->ManualCommitStatfile_Set(true);
    }
    ~TKOV_Umsatz_UmszMani_Base() override {
        KOV_Geschuetzt(Trace("Destroy"), false, [&] { FProgressDialog.reset(); });
    }

    virtual bool UpdateStatistikfiles(int AAnzahlZurueckliegendeTage, bool ANachfrageOb,
                                      const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig) {
        // Messages wait until the lock is let go: no other workstation waits while the user reads.
        struct TNachDerSperre {
            TKOV_Umsatz_UmszMani_Base* M;
            ~TNachDerSperre() { M->GemerkteMeldungenZeigen(); }
        } nachDerSperre{this};
        return KOV_GeschuetztWert(Trace("UpdateStatistikfiles"), true, false, [&] {
            // Asked before the lock is taken, so that no other workstation waits for the answer.
            if (!this->UmsStatFileGeneriert() && ANachfrageOb &&
                RDLInfo().ShowDlgMeldung("PEP", 1705, {}, mkFrage) != mrYes)
                return false;
            const auto sperre = StatistikSperren(this->FHelper->StatistikKennung());
            if (!sperre) return false;
            FMeldungenMerken = true;
            // What another workstation built or booked while we waited counts.
            this->FUmsStatFileGeneriert.reset();
            // A failed or cancelled update is no success: the caller decides about the old state.
            if (this->UmsStatFileGeneriert()) return UmsStatFileUndUmsvFileUpdaten();
            const TDate heute = DateOf(rdl_Now());
            return ErstelleUmsStatFile_FirstTime(AUmsatzConfig, heute - AAnzahlZurueckliegendeTage, heute - 1);
        });
    }
    bool UpdateStatistikfiles(int AAnzahlZurueckliegendeTage, bool ANachfrageOb) {
        TKOV_PEP_UmsatzAnzeigeOptionen o;
        o.Init();
        return UpdateStatistikfiles(AAnzahlZurueckliegendeTage, ANachfrageOb, o);
    }

    TIgnorDict* ZuIgnorierendeUmsaetze_Get() { return TBasis::ZuIgnorierendeUmsaetze_Get(); }

    // Replaces the ignore-before dates: writes the setting and rebooks, in every statistics
    // that counts with them, the days whose membership in an ignored span changes, in one
    // booking (all or nothing); then tells the other engine objects. False when nothing
    // was changed.
    bool ZuIgnorierendeUmsaetze_Set(std::unique_ptr<TIgnorDict> AValue) {
        bool ergebnis = false;
        KOV_Geschuetzt(Trace("ZuIgnorierendeUmsaetze_Set"), true, [&] {
            const TIgnorDict neu = AValue ? *AValue : TIgnorDict();
            // Every statistics is locked before the booking takes the write lock: no update
            // counts a day with the old dates meanwhile, and nobody waits in a circle.
            std::vector<std::string> kennungen;
            for (const TKOV_AendZuIgnor_Statistik& s : AendZuIgnor_Statistiken()) kennungen.push_back(s.Kennung);
            const std::string eigene = this->FHelper->StatistikKennung();
            if (std::find(kennungen.begin(), kennungen.end(), eigene) == kennungen.end()) kennungen.push_back(eigene);
            std::vector<std::unique_ptr<TRDLSperre>> sperren;
            for (const std::string& k : kennungen) {
                sperren.push_back(StatistikSperren(k));
                if (!sperren.back()) return;
            }
            // Compared with the stored dates, with which the statistics were counted: read
            // anew under the locks, another workstation may have changed them.
            this->FZuIgnorierendeUmsaetze.reset();
            this->ZuIgnorierendeUmsaetze_Get();
            std::unique_ptr<TIgnorDict> alt = std::move(this->FZuIgnorierendeUmsaetze);
            if (!alt) alt = std::make_unique<TIgnorDict>();
            this->FZuIgnorierendeUmsaetze = std::make_unique<TIgnorDict>(neu);
            bool ok = false;
            {
                RDLBuchung buchung;
                // The setting first: whatever reads it inside the booking (an engine object
                // told of another change meanwhile) counts with the new dates.
                ok = KOV_Geschuetzt(Trace("ZuIgnorierendeUmsaetze_Set.Einstellung"), true,
                                    [&] { IgnorUmsaetzeEinstellungSchreiben(neu); });
                if (ok) ok = AenderungenZuIgnorierendeUmsaetze_UpdateUmsStatFile(*alt, neu);
                for (const TKOV_AendZuIgnor_Statistik& s : AendZuIgnor_Statistiken())
                    if (ok && s.Kennung != eigene) ok = s.Umbuchen(*alt, neu);
                if (ok)
                    ok = KOV_Geschuetzt(Trace("ZuIgnorierendeUmsaetze_Set.Buchung"), true,
                                        [&] { buchung.Beenden(true); });
                else
                    buchung.Beenden(false);
            }
            if (!ok) {
                // Nothing was kept: the object goes on with the dates the files were counted with.
                this->FZuIgnorierendeUmsaetze = std::move(alt);
                return;
            }
            alt.reset();
            // After the commit, so that the others read the new setting.
            IgnorUmsaetzeAenderungMelden(this->OwnHandle());
            ergebnis = true;
        });
        return ergebnis;
    }

    TRDLStdProgressDialog& ProgressDialog_GoC() {
        if (!FProgressDialog) {
            FProgressDialog = std::make_unique<TRDLStdProgressDialog>(nullptr);
            FProgressDialog->SetHeight(160);
            FProgressDialog->SetWidth(480);
            FProgressDialog->SetCaption("Berechne aggregierte Umsatzdaten");
            FProgressDialog->AddBar("barTage", "Tage").SetDisplayOption(pdoPositionVonGesamt);
            FProgressDialog->SetAllowCancel(true);
        }
        return *FProgressDialog;
    }

    // --- the steps (public for the engine's tests) ---

    // Counts and books every day from AVon to ABis; the processing state follows at the end.
    bool ErstelleUmsStatFile_FirstTime(const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig, TDate AVon, TDate ABis) {
        bool ergebnis = false;
        KOV_Geschuetzt(Trace("ErstelleUmsStatFile_FirstTime"), true, [&] {
            struct TVerbergen {
                TKOV_Umsatz_UmszMani_Base* M;
                ~TVerbergen() { M->DialogVerbergen(); }
            } verbergen{this};
            const std::string zeitraum = "vom " + DateToStr(DateOf(AVon)) + " bis " + DateToStr(DateOf(ABis));
            const std::string was = "Die aggregierten Umsatzdaten " + zeitraum + " werden erstellt.";
            ProgressDialog_GoC().SetCaption("Berechne aggregierte Umsatzdaten");
            TagSetzen(was, 0);
            DialogZeigen();
            TKOV_TransaktionsStand zuVerarbeiten;
            if (!ZuVerarbeitendeTransaktionenDictErzeugenUndFuellen(zuVerarbeiten)) return;
            const int64_t von = int64_t(DateOf(AVon)), bis = int64_t(DateOf(ABis));
            TFilialen& filialen = this->FilialTabelle_GoC().Filialen();
            // Counted days are booked in packets: one transaction and one look at the
            // existing records per branch for several days. The memory stays that of a
            // packet, and the write lock is held only while a packet is booked.
            TTagesPaket paket;
            for (int64_t d = von; d <= bis; ++d) {
                TTagesauswertungen tage;
                for (int i = 0; i < filialen.GetCount(); ++i) {
                    const TFiliale* f = filialen.GetItem(i);
                    auto a = std::make_unique<TTagesauswertung>();
                    if (!this->CreateUmsatzTagesAuswertungFuerFiliale(TDate(d), f->Nr, AUmsatzConfig, *a)) a->Clear();
                    a->FDatum = TDate(d);
                    a->KonsistenzSicherstellen(true);
                    tage[f->Nr] = std::move(a);
                }
                BerechneUmsaetzeFuerTag_AlleFilialen(tage, TDate(d));
                paket.emplace_back(TDate(d), std::move(tage));
                if (int(paket.size()) >= FPaketTage) BucheTageInsUmsStatFile(paket);
                if (Abgebrochen()) {
                    AbbruchMelden("Der Aufbau der aggregierten Umsatzdaten " + zeitraum +
                                  " wurde abgebrochen. Die Umsatzstatistik wurde nicht erstellt; es ist nichts "
                                  "verloren gegangen. Sie wird beim nächsten Start der Auswertung neu aufgebaut.");
                    return;
                }
                TagSetzen(was, TDate(d));
                BalkenSetzen(int(d - von) + 1, int(bis - von) + 1);
                RDLInfo().RDLInfoProcessMessages(300);
            }
            BucheTageInsUmsStatFile(paket);
            // Lines dated outside the calendar lie on no day a build counts.
            this->FHelper->Abgelehnt().AusserhalbDesKalendersSuchen(this->Lstfile_Get());
            this->FHelper->Abgelehnt().Schreiben(this->Lstfile_Get().Datenbank());
            if (!UMSVFileUpdaten(zuVerarbeiten)) return;
            this->FUmsStatFileGeneriert = true;
            ergebnis = true;
        });
        if (ergebnis && !RDLProgramm().OhneDialoge())
            NachDerSperre([] { RDLInfo().ShowMeldung("STANDARD", 997, {"Aggregierte Umsätze erfolgreich erstellt!"}, mkInfo); });
        if (ergebnis)
            NachDerSperre([this] {
                KOV_Geschuetzt(Trace("ErstelleUmsStatFile_FirstTime.Abgelehnt"), true,
                               [&] { TUmsatzAbgelehnt::Melden(this->Lstfile_Get().Datenbank()); });
            });
        return ergebnis;
    }

    // The update; true when the processing state was brought forward.
    bool UmsStatFileUndUmsvFileUpdaten() {
        bool ergebnis = false;
        KOV_Geschuetzt(Trace("UmsStatFileUndUmsvFileUpdaten"), true, [&] {
            if (!this->UmsStatFileGeneriert())
                RDLInfo().FehlerRaise("VerarbeitungsstandIstNull", "PEP", 1903);
            struct TVerbergen {
                TKOV_Umsatz_UmszMani_Base* M;
                ~TVerbergen() { M->DialogVerbergen(); }
            } verbergen{this};
            DialogZeigen();
            TKOV_TransaktionsStand verarbeitet, zuVerarbeiten;
            if (!VerarbeiteteTransaktionenDictErzeugenUndFuellen(verarbeitet)) return;
            // Taken before collecting: what is written meanwhile waits for the next run.
            if (!ZuVerarbeitendeTransaktionenDictErzeugenUndFuellen(zuVerarbeiten)) return;
            TDictionary_Datum_2_OrgeKnrListe paare;
            // A cancelled, failed or interrupted run records nothing as processed.
            if (!GetUpzudatendeDatumFilialPaare(verarbeitet, zuVerarbeiten, paare)) return;
            if (!Update_UmsStatFile_FuerAlleNoetigenFilialeUndTagesdatis(paare)) return;
            ergebnis = UMSVFileUpdaten(zuVerarbeiten);
        });
        if (!ergebnis && Abgebrochen())
            AbbruchMelden("Die Aktualisierung der aggregierten Umsatzdaten wurde abgebrochen. Es ist nichts verloren "
                          "gegangen; die neuen Verkäufe werden beim nächsten Start übernommen.");
        return ergebnis;
    }

    // Every (client, computer) gets 0, then the state recorded for this statistics.
    bool VerarbeiteteTransaktionenDictErzeugenUndFuellen(TKOV_TransaktionsStand& AVerarbeitet) {
        return KOV_Geschuetzt(Trace("VerarbeiteteTransaktionenDictErzeugenUndFuellen"), true, [&] {
            AVerarbeitet.clear();
            IRDL_MandListeServer& mandanten = this->FMandlisteServer_Get();
            for (const TRVRInfoUmfang& r : TRVRTab::Alle())
                for (int m = 0; m < mandanten.GetCount(); ++m) AVerarbeitet[{mandanten.GetMandant(m).Key, r.Rechner}] = 0;
            Tumsvfile& v = this->Umsvfile_GoC();
            v.SucheInit();
            v.KeyNr_Set(Tumsvfile::KeyStatistik);
            v.Kennung.SetKeyWertAndFilter(this->FHelper->StatistikKennung());
            for (bool ok = v.Get_ge(); ok; ok = v.Get_next())
                AVerarbeitet[{v.Mandant.GetWert(), v.Rechner.GetWert()}] = v.TransNr.GetWert();
        });
    }

    // The highest transaction number per client and computer; none without transactions.
    bool ZuVerarbeitendeTransaktionenDictErzeugenUndFuellen(TKOV_TransaktionsStand& AZuVerarbeiten) {
        return KOV_Geschuetzt(Trace("ZuVerarbeitendeTransaktionenDictErzeugenUndFuellen"), true, [&] {
            AZuVerarbeiten.clear();
            IRDL_MandListeServer& mandanten = this->FMandlisteServer_Get();
            Tlstfile& lst = this->Lstfile_Get();
            for (const TRVRInfoUmfang& r : TRVRTab::Alle()) {
                const int32_t rechner = r.Rechner;
                for (int m = 0; m < mandanten.GetCount(); ++m) {
                    const TIntPair mandant = mandanten.GetMandant(m).Key;
                    // The last line of the pair in key order, whatever its number: a
                    // highest key value would stop below a number SQLite took beyond 32
                    // bits, and the state would never pass it.
                    lst.SucheInit();
                    lst.KeyNr_Set(Tlstfile::KeyTransaktion);
                    lst.Mandant.SetKeyWertAndFilter(mandant);
                    lst.Rechner.SetKeyWertAndFilter(rechner);
                    lst.ExtendedMaxReceive_Set(1);
                    if (lst.Get_last() && lst.TransNr.GetWert() > 0)
                        AZuVerarbeiten[{mandant, rechner}] = lst.TransNr.GetWert();
                }
            }
        });
    }

    // The (day, branch) pairs the new transactions touch. False when cancelled or failed.
    bool GetUpzudatendeDatumFilialPaare(const TKOV_TransaktionsStand& AVerarbeitet,
                                        const TKOV_TransaktionsStand& AZuVerarbeiten,
                                        TDictionary_Datum_2_OrgeKnrListe& APaare) {
        bool vollstaendig = false;
        KOV_Geschuetzt(Trace("GetUpzudatendeDatumFilialPaare"), true, [&] {
            struct TZurueck {
                TKOV_Umsatz_UmszMani_Base* M;
                ~TZurueck() {
                    if (M->FProgressDialog) {
                        M->FProgressDialog->Bar("barTage")->SetCaption(
                            "Die aggregierten Umsatzdaten werden um die neuen Verkäufe ergänzt.");
                        M->FProgressDialog->SetCaption("Update aggregierte Umsatzdaten");
                    }
                }
            } zurueck{this};
            Tlstfile& lst = this->Lstfile_Get();
            for (const auto& [schluessel, verarbeitet] : AVerarbeitet) {
                if (FProgressDialog) {
                    FProgressDialog->Bar("barTage")->SetCaption("Neue Verkäufe werden gesucht.\nRechner " +
                                                                std::to_string(schluessel.Rechner));
                    FProgressDialog->SetCaption("Stelle neue Verkäufe zusammen");
                }
                // Lines numbered below 1 are never new by number: looked for each time.
                this->FHelper->Abgelehnt().OhneTransaktionsnummerSuchen(lst, schluessel.Mandant, schluessel.Rechner);
                const auto z = AZuVerarbeiten.find(schluessel);
                if (z == AZuVerarbeiten.end()) continue;
                const int64_t bis = z->second;
                const int64_t n = bis - verarbeitet;
                if (n <= 0) continue;
                lst.SucheInit();
                lst.KeyNr_Set(Tlstfile::KeyTransaktion);
                lst.Mandant.SetKeyWert(schluessel.Mandant);
                lst.Rechner.SetKeyWert(schluessel.Rechner);
                // From the end of the last booked transaction: every line of the next one
                // lies beyond, whatever its position number.
                lst.TransNr.SetKeyWert(verarbeitet);
                lst.PosNr.SetKeyWert(lst.PosNr.GroessterWert());
                lst.Mandant.SetWert(schluessel.Mandant);
                lst.ExtendedFilterAdd(lst.Mandant, fvGleich, fkUnd);
                lst.Rechner.SetWert(schluessel.Rechner);
                lst.ExtendedFilterAdd(lst.Rechner, fvGleich, fkUnd);
                lst.TransNr.SetWert(verarbeitet + 1);
                lst.ExtendedFilterAdd(lst.TransNr, fvGroesserGleich, fkUnd);
                lst.TransNr.SetWert(bis);
                lst.ExtendedFilterAdd(lst.TransNr, fvKleinerGleich, fkEnde);
                int c = 0;
                for (bool ok = lst.Get_ge_extMode(); ok; ok = lst.Get_next_extMode(), ++c) {
                    // A line out of the rules touches no day: it is registered, and the
                    // state passes it like any other.
                    if (!this->FHelper->Abgelehnt().Pruefen(lst)) {
                        const TDate tag = DateOf(lst.Datum.GetWert());
                        const int16_t b = this->FHelper->FilialeAusLstSatz(lst);
                        if (TBasis::Kunde(CKundeTavrin) && b == 15) {
                            Tavrin_Umsatzstatistiken_Sonderlocke();
                            APaare.AddPaar(tag, 16);
                        } else if (TBasis::Kunde(CKundeMosbek) && b == 2 && tag < CMosbekFiliale33Ab) {
                            Mosbek_Umsatzstatistiken_Sonderlocke();
                            APaare.AddPaar(tag, 33);
                        }
                        APaare.AddPaar(tag, b);
                    }
                    if (Abgebrochen()) return;
                    BalkenSetzen(c, int(std::min<int64_t>(n, std::numeric_limits<int>::max())));
                    if (c % 50 == 0) RDLInfo().RDLInfoProcessMessages(300);
                }
            }
            vollstaendig = true;
        });
        // What was found stays registered after a cancel too; it is told once the
        // collecting is complete. Not registered, the lines are not passed either.
        if (!KOV_Geschuetzt(Trace("GetUpzudatendeDatumFilialPaare.Abgelehnt"), true, [&] {
                TRDLDatenbank& db = this->Lstfile_Get().Datenbank();
                this->FHelper->Abgelehnt().Schreiben(db);
                if (vollstaendig)
                    NachDerSperre([this] {
                        KOV_Geschuetzt(Trace("GetUpzudatendeDatumFilialPaare.Abgelehnt"), true,
                                       [&] { TUmsatzAbgelehnt::Melden(this->Lstfile_Get().Datenbank()); });
                    });
            }))
            vollstaendig = false;
        return vollstaendig;
    }

    // Counts every collected day anew for its branches and books it. False when
    // cancelled or when a day failed.
    bool Update_UmsStatFile_FuerAlleNoetigenFilialeUndTagesdatis(const TDictionary_Datum_2_OrgeKnrListe& APaare) {
        bool vollstaendig = false;
        KOV_Geschuetzt(Trace("Update_UmsStatFile_FuerAlleNoetigenFilialeUndTagesdatis"), true, [&] {
            const int t = APaare.Count();
            int a = 0;
            for (const auto& [tag, filialen] : APaare) {
                if (Abgebrochen()) return;
                TagSetzen("Die aggregierten Umsatzdaten werden um die neuen Verkäufe ergänzt.", TDate(tag));
                TTagesauswertungen tage;
                GetUpzudatendeTagesAbschnitte(filialen, tage, TDate(tag));
                BerechneUmsaetzeFuerTag_AlleFilialen(tage, TDate(tag));
                BucheTagesDatenInsUmsStatFile(tage, TDate(tag));
                ++a;
                BalkenSetzen(a, t);
                RDLInfo().RDLInfoProcessMessages(300);
            }
            vollstaendig = true;
        });
        return vollstaendig;
    }

    // A day is counted again with the windows the file holds for it.
    void GetUpzudatendeTagesAbschnitte(const std::set<int16_t>& AFilialen, TTagesauswertungen& ATage, TDate ADatum) {
        TKOV_Tagesabschnitte abschnitte;
        for (int16_t nr : AFilialen) {
            const TFiliale* f = this->FilialTabelle_GoC().Filialen().GetFilialeByNr(nr);
            if (!f) continue;
            abschnitte.Clear();
            abschnitte.Datum = ADatum;
            this->FHelper->TagesabschnitteLaden(*f, abschnitte, ADatum);
            abschnitte.KonsistenzUeberPruefen(false, true);
            auto a = std::make_unique<TTagesauswertung>(abschnitte);
            a->FDatum = ADatum;
            a->KonsistenzSicherstellen(false);
            ATage[nr] = std::move(a);
        }
    }

    // One read of the day's lines for all branches of ATage.
    void BerechneUmsaetzeFuerTag_AlleFilialen(TTagesauswertungen& ATage, TDate ADatum) {
        const TDate tag = DateOf(ADatum);
        // Once per day: a changed ignore-before setting of another process counts from here.
        RDLNachrichtenVerarbeiten();
        Tlstfile& lst = this->Lstfile_Get();
        lst.SucheInit();
        lst.KeyNr_Set(Tlstfile::KeyDatum);
        // The whole day as a range (a date with a time counts on its day). The key starts
        // just below the day, so its branch part bounds nothing: a line of any branch
        // number is read, and one out of the rules is registered.
        lst.Datum.SetKeyWert(std::nextafter(tag, -std::numeric_limits<double>::infinity()));
        lst.Datum.SetWert(tag);
        lst.ExtendedFilterAdd(lst.Datum, fvGroesserGleich, fkUnd);
        lst.Datum.SetWert(tag + 1);
        lst.ExtendedFilterAdd(lst.Datum, fvKleiner, fkEnde);
        lst.LeseFelder_Set(this->FHelper->LstLeseFelder(lst));
        const bool tavrin = TBasis::Kunde(CKundeTavrin);
        const bool mosbek = TBasis::Kunde(CKundeMosbek) && tag < CMosbekFiliale33Ab;
        TUmsatzAbgelehnt& abgelehnt = this->FHelper->Abgelehnt();
        int c = 0;
        for (bool ok = lst.Get_ge_extMode(); ok; ok = lst.Get_next_extMode(), ++c) {
            if (!abgelehnt.Pruefen(lst)) {
                int16_t b = this->FHelper->FilialeAusLstSatz(lst);
                if (!this->FHelper->LstSatzIgnorieren(lst, b)) {
                    if (tavrin && b == 15) {
                        Tavrin_Umsatzstatistiken_Sonderlocke();
                        b = int16_t(this->GetRichtigeFilialeFuerVerkaufInFiliale15(lst.ProdId.GetWert()));
                    } else if (mosbek && b == 2) {
                        Mosbek_Umsatzstatistiken_Sonderlocke();
                        Zaehlen(ATage, 33, tag, lst);
                    }
                    Zaehlen(ATage, b, tag, lst);
                }
            }
            // Each call asks the message socket: a day's lines are read in a few milliseconds.
            if (c % 500 == 0) RDLInfo().RDLInfoProcessMessages(300);
        }
        // After the read, between the days' bookings: no batch is open here.
        if (abgelehnt.Vorgemerkt() > 0) abgelehnt.Schreiben(lst.Datenbank());
    }

    // Books every evaluation of the day and commits them together; a failure rolls the
    // whole day back, so no day is left half booked.
    void BucheTagesDatenInsUmsStatFile(const TTagesauswertungen& ATage, TDate ADatum) {
        if (ATage.empty()) return;
        InEinerBuchung(ADatum, ADatum, [&] {
            for (const auto& [nr, a] : ATage) this->BucheDatenInsUmsStatFile(nr, *a, ADatum);
        });
    }

    // Days counted in a row, in day order; booked together and then emptied.
    using TTagesPaket = std::vector<std::pair<TDate, TTagesauswertungen>>;
    // Days per booking transaction of the first build (at least 1).
    void PaketTage_Set(int ATage) { FPaketTage = std::max(1, ATage); }
    void BucheTageInsUmsStatFile(TTagesPaket& APaket) {
        if (APaket.empty()) return;
        InEinerBuchung(APaket.front().first, APaket.back().first, [&] {
            for (const auto& [tag, tage] : APaket)
                for (const auto& [nr, a] : tage) this->BucheDatenInsUmsStatFile(nr, *a, tag);
        });
        APaket.clear();
    }

    // Records the state in one transaction.
    bool UMSVFileUpdaten(const TKOV_TransaktionsStand& AZuVerarbeiten) {
        return KOV_Geschuetzt(Trace("UMSVFileUpdaten"), true, [&] {
            RDLBuchung buchung;
            Tumsvfile& v = this->Umsvfile_GoC();
            const std::string kennung = this->FHelper->StatistikKennung();
            for (const auto& [schluessel, transNr] : AZuVerarbeiten) {
                v.SucheInit();
                v.KeyNr_Set(Tumsvfile::KeyStatistik);
                v.Kennung.SetKeyWert(kennung);
                v.Mandant.SetKeyWert(schluessel.Mandant);
                v.Rechner.SetKeyWert(schluessel.Rechner);
                const bool gefunden = v.Get_eq();
                v.Kennung.SetWert(kennung);
                v.Mandant.SetWert(schluessel.Mandant);
                v.Rechner.SetWert(schluessel.Rechner);
                v.TransNr.SetWert(transNr);
                if (gefunden)
                    v.Update();
                else
                    v.Insert();
            }
        });
    }

    // Rebooks the days whose membership in an ignored span differs between the dates.
    bool AenderungenZuIgnorierendeUmsaetze_UpdateUmsStatFile(const TIgnorDict& AAlt, const TIgnorDict& ANeu) {
        bool ok = false;
        KOV_Geschuetzt(Trace("AenderungenZuIgnorierendeUmsaetze_UpdateUmsStatFile"), true, [&] {
            struct TVerbergen {
                TKOV_Umsatz_UmszMani_Base* M;
                ~TVerbergen() {
                    M->DialogVerbergen();
                    if (M->FProgressDialog) M->FProgressDialog->SetAllowCancel(true);
                }
            } verbergen{this};
            // All or nothing: the rebooking cannot be cancelled halfway.
            ProgressDialog_GoC().SetAllowCancel(false);
            ProgressDialog_GoC().SetCaption("Update aggregierte Umsatzdaten");
            DialogZeigen();
            TDictionary_Datum_2_OrgeKnrListe paare;
            if (!AendZuIgnor_GetUpzudatendeDatumFilialPaare(AAlt, ANeu, paare)) return;
            ok = Update_UmsStatFile_FuerAlleNoetigenFilialeUndTagesdatis(paare);
        });
        return ok;
    }

    bool AendZuIgnor_GetUpzudatendeDatumFilialPaare(const TIgnorDict& AAlt, const TIgnorDict& ANeu,
                                                    TDictionary_Datum_2_OrgeKnrListe& APaare) {
        return KOV_Geschuetzt(Trace("AendZuIgnor_GetUpzudatendeDatumFilialPaare"), true, [&] {
            for (const auto& [fil, neu] : ANeu) {
                TDate alt = 0;
                if (!AAlt.TryGetValue(fil, alt))
                    AendZuIgnor_AddAbschnittToDictionary(fil, APaare, 0, neu);
                else if (DateOf(alt) != DateOf(neu))
                    AendZuIgnor_AddAbschnittToDictionary(fil, APaare, alt, neu);
            }
            for (const auto& [fil, alt] : AAlt)
                if (!ANeu.ContainsKey(fil)) AendZuIgnor_AddAbschnittToDictionary(fil, APaare, 0, alt);
        });
    }

    // The days from the earlier to the day before the later date, from the branch's first
    // statistics day on and up to today: a date years ahead must not book empty future days.
    void AendZuIgnor_AddAbschnittToDictionary(int16_t AOrgeKnr, TDictionary_Datum_2_OrgeKnrListe& APaare, TDate A,
                                              TDate B) {
        const TDate von = DateOf(std::min(A, B)), bis = std::min(DateOf(std::max(A, B)) - 1, rdl_Today());
        const TFiliale* f = this->FilialTabelle_GoC().Filialen().GetFilialeByNr(AOrgeKnr);
        TDate erster = 0;
        if (!f || !this->FHelper->ErsterStatistikTag(*f, erster)) return;
        if (bis < erster) return;
        APaare.AddZeitraum(std::max(erster, von), bis, AOrgeKnr);
    }

    // This statistics' part of a change of the dates that another statistics' manager
    // makes, inside its booking and under its locks; counted with the new dates from now on.
    bool AendZuIgnor_Umbuchen(const TIgnorDict& AAlt, const TIgnorDict& ANeu) {
        this->FZuIgnorierendeUmsaetze = std::make_unique<TIgnorDict>(ANeu);
        return AenderungenZuIgnorierendeUmsaetze_UpdateUmsStatFile(AAlt, ANeu);
    }

    // The lock of a statistics (by identifier) over processes and workstations, held for
    // a whole build, update or rebooking: two at once would count the same lines, and the
    // one that ends last could write its older processing state or figures over newer
    // ones. Another holder is waited for as long as for a busy database, the wait shown
    // and open to cancel; after it the state is read anew, so the second finds the work
    // done. When the lock stays taken, nothing is done and the user is told.
    std::unique_ptr<TRDLSperre> StatistikSperren(const std::string& AKennung) {
        bool gewartet = false;
        std::string titel, zeile;
        auto sperre = TRDLSperre::Nehmen(RDLProgramm().DatenbankShared(), AKennung, RDLWartezeit(), [&] {
            if (!gewartet) {
                gewartet = true;
                TRDLStdProgressDialog& d = ProgressDialog_GoC();
                titel = d.Caption();
                zeile = d.Bar("barTage")->Caption();
                d.SetCaption("Update aggregierte Umsatzdaten");
                d.Bar("barTage")->SetCaption(CAndererArbeitsplatz + std::string("\nEs wird gewartet, bis er fertig ist."));
                DialogZeigen();
            }
            RDLInfo().RDLInfoProcessMessages(100);
            return !Abgebrochen();
        });
        if (gewartet) {
            DialogVerbergen();
            ProgressDialog_GoC().SetCaption(titel);
            ProgressDialog_GoC().Bar("barTage")->SetCaption(zeile);
        }
        if (!sperre) {
            if (gewartet && Abgebrochen())
                RDLInfo().ShowMeldung("STANDARD", 997,
                                      {"Das Warten wurde abgebrochen. " + std::string(CAndererArbeitsplatz) +
                                       " Es wurde nichts geändert."},
                                      mkInfo);
            else
                RDLInfo().ShowMeldung("STANDARD", 997,
                                      {std::string(CAndererArbeitsplatz) +
                                       " Es wurde nichts geändert; bitte versuchen Sie es in einigen Minuten noch einmal."},
                                      mkWarnung);
        }
        return sperre;
    }
    static constexpr const char* CAndererArbeitsplatz =
        "Die aggregierten Umsatzdaten werden gerade an einem anderen Arbeitsplatz aktualisiert.";

private:
    static std::string Trace(const char* AOperation) {
        return std::string("TKOV_Umsatz_UmszMani_Base<  TUmsatzDaten; TUmsDataOp; TUmsStatFile; THelper>.") + AOperation;
    }

    void Zaehlen(TTagesauswertungen& ATage, int16_t AOrgeKnr, TDate ATag, Tlstfile& ALst) {
        // The base rule only: the retrieval's customer split is done by the caller here.
        if (TBasis::IstUmsatzZuIgnorieren(AOrgeKnr, ATag)) return;
        const auto it = ATage.find(AOrgeKnr);
        if (it == ATage.end()) return;
        it->second->AddUmsatz(ALst.Uhrzeit.GetWert(), this->FHelper->UmsatzAusLstSatz(ALst, AOrgeKnr));
    }

    // The bookings of the days AVon..ABis in one transaction, the helper told of the span.
    template <class F>
    void InEinerBuchung(TDate AVon, TDate ABis, F&& ABuchen) {
        RDLBuchung buchung;
        // The packet's inserts may travel queued (server store): a failed one fails the
        // packet at its commit at the latest, as any failed write of it does.
        struct TTagesbuchung {
            THelper& H;
            ~TTagesbuchung() {
                H.EinfuegenSammelnStatfile_Set(false);
                H.TagesbuchungBeenden();
            }
        } tagesbuchung{*this->FHelper};
        this->FHelper->EinfuegenSammelnStatfile_Set(true);
        this->FHelper->TagesbuchungBeginnen(AVon, ABis);
        ABuchen();
        this->FHelper->CommitStatfile();
    }

    // Runs without dialogs cannot be cancelled; their progress is the display's terminal
    // line, drawn only when standard error is a terminal.
    static bool MitDialog() { return !RDLProgramm().OhneDialoge(); }
    void DialogZeigen() {
        ProgressDialog_GoC().ResetCancelled();
        ProgressDialog_GoC().Show();
    }
    void DialogVerbergen() {
        if (FProgressDialog) FProgressDialog->Hide();
    }
    bool Abgebrochen() const { return MitDialog() && FProgressDialog && FProgressDialog->Cancelled(); }
    // The line above the bar: what is being built, and the day at work (0: none yet).
    void TagSetzen(const std::string& AWas, TDate ATag) {
        TRDLProgressBar* b = ProgressDialog_GoC().Bar("barTage");
        b->SetCaption(ATag > 0 ? AWas + "\nTag " + DateToStr(ATag) : AWas);
    }
    // A cancel by the user is no failure to hide: he learns what it left behind.
    void AbbruchMelden(const std::string& AText) {
        DialogVerbergen(); // the message, not a stopped bar, is what the user looks at
        NachDerSperre([AText] { RDLInfo().ShowMeldung("STANDARD", 997, {AText}, mkInfo); });
    }
    // Shown at once, or, while the statistics lock is held, once it is let go.
    void NachDerSperre(std::function<void()> AMeldung) {
        if (FMeldungenMerken)
            FGemerkteMeldungen.push_back(std::move(AMeldung));
        else
            AMeldung();
    }
    void GemerkteMeldungenZeigen() {
        FMeldungenMerken = false;
        auto meldungen = std::move(FGemerkteMeldungen);
        FGemerkteMeldungen.clear();
        for (auto& m : meldungen) KOV_Geschuetzt(Trace("GemerkteMeldungenZeigen"), false, [&] { m(); });
    }
    void BalkenSetzen(int APosition, int AGesamt) {
        if (!FProgressDialog) return;
        TRDLProgressBar* b = FProgressDialog->Bar("barTage");
        b->SetTotal(AGesamt);
        b->SetPosition(APosition);
    }

    std::unique_ptr<TRDLStdProgressDialog> FProgressDialog;
    bool FMeldungenMerken = false;                         // the statistics lock is held
    std::vector<std::function<void()>> FGemerkteMeldungen; // shown once it is let go
    int FPaketTage = 16;
};

using TKOV_Umsatz_UmszMani_UmsAusw = TKOV_Umsatz_UmszMani_Base<TKOV_Umsatzdaten_UmsAusw, TKOV_UmsDataOperator_UmsAusw,
                                                               Tumstfile, TKOV_UmsatzHelper_UmsAusw>;

// A manager of its own rebooks its statistics for another's change of the dates.
template <class TMani>
bool AendZuIgnor_StatistikUmbuchen(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& AAlt,
                                   const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ANeu) {
    return KOV_GeschuetztWert("AendZuIgnor_StatistikUmbuchen", true, false, [&] {
        TMani m;
        return m.AendZuIgnor_Umbuchen(AAlt, ANeu);
    });
}

inline const std::vector<TKOV_AendZuIgnor_Statistik>& AendZuIgnor_Statistiken() {
    using TVersFil = TKOV_Umsatz_UmszMani_Base<TKOV_Umsatzdaten_Erw_VersFilAusw, TKOV_UmsDataOperator_VersFilAusw,
                                               Tumstvffile, TKOV_UmsatzHelper_VersFilAusw>;
    static const std::vector<TKOV_AendZuIgnor_Statistik> statistiken{
        {TKOV_UmsatzHelper_UmsAusw::CStatistikKennung, &AendZuIgnor_StatistikUmbuchen<TKOV_Umsatz_UmszMani_UmsAusw>},
        {TKOV_UmsatzHelper_VersFilAusw::CStatistikKennung, &AendZuIgnor_StatistikUmbuchen<TVersFil>},
    };
    return statistiken;
}
