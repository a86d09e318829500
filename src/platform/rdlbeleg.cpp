#include "rdlbeleg.h"

#include "rdlprogramm.h"
#include "suitetabellen.h"

#include <charconv>

// --- phases -------------------------------------------------------------------------------

TRDLPhasen::TRDLPhasen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT kuerzel, phase, bezeichnung, mand_sv_seite, nummernformat FROM phase");
    while (st.Step()) {
        TRDL_Phase p{st.ColText(0), int32_t(st.ColInt(1)), st.ColText(2), int32_t(st.ColInt(3)), st.ColText(4)};
        FPhasen.emplace(p.Kuerzel, std::move(p));
    }
}

const TRDL_Phase* TRDLPhasen::PhasenKuerzel_2_AllgPhasPhase(const std::string& AKuerzel) const {
    const auto it = FPhasen.find(AKuerzel);
    return it == FPhasen.end() ? nullptr : &it->second;
}

int32_t CMand_SV_Seite(const TRDL_Phase* APhase) { return APhase && APhase->MandSVSeite == 2 ? 2 : 1; }

TBelegStornoKz Char_2_BelegStornoKz(char AZeichen) {
    return AZeichen == 'S' ? TBelegStornoKz::Storno : TBelegStornoKz::Keins;
}

namespace {

std::string Zahl(int64_t AWert, int AStellen) {
    char puffer[24];
    const auto ende = std::to_chars(puffer, puffer + sizeof puffer, AWert < 0 ? -AWert : AWert).ptr;
    std::string s(puffer, ende);
    if (int(s.size()) < AStellen) s.insert(0, size_t(AStellen) - s.size(), '0');
    return AWert < 0 ? "-" + s : s;
}

} // namespace

std::string Formatiere_Belegnummer(const TRDL_Phase* APhase, TBelegStornoKz AStornoKz, int32_t ABelegNr,
                                   int32_t AJahr, int32_t AMonat, int32_t ATeilNr, const std::string& AZusatz,
                                   int AStellen) {
    const std::string format =
        APhase && !APhase->Nummernformat.empty() ? APhase->Nummernformat : std::string("{Nr}-{JJ}{MM}{Teil}");
    const std::pair<const char*, std::string> felder[] = {
        {"{Nr}", Zahl(ABelegNr, AStellen)},
        {"{Jahr}", Zahl(AJahr, 0)},
        {"{JJ}", Zahl((AJahr % 100 + 100) % 100, 2)},
        {"{MM}", Zahl(AMonat, 2)},
        {"{Teil}", ATeilNr > 0 ? "/" + Zahl(ATeilNr, 0) : std::string()},
        {"{Storno}", AStornoKz == TBelegStornoKz::Storno ? "S" : ""},
    };
    std::string r;
    for (size_t i = 0; i < format.size();) {
        bool ersetzt = false;
        for (const auto& [name, wert] : felder)
            if (format.compare(i, std::char_traits<char>::length(name), name) == 0) {
                r += wert;
                i += std::char_traits<char>::length(name);
                ersetzt = true;
                break;
            }
        if (!ersetzt) r += format[i++];
    }
    return AZusatz.empty() ? r : r + " " + AZusatz;
}

// --- document-header list server ----------------------------------------------------------

namespace {

class TBKListeServer : public IRDL_BKListeServer {
public:
    explicit TBKListeServer(TRDLDatenbank& ADb) : FDb(ADb) {}
    void Selektion_Setzen(const TRDL_BKSelektion& ASelektion) override { FSelektion = ASelektion; }
    void Laden() override {
        FZeilen.clear();
        const TRDLPhasen phasen(FDb);
        std::string sql = "SELECT atk_a, atk_b, atk_c, datum, gep1_a, gep1_b, gep2_a, gep2_b, phase, mandnr, wert,"
                          " waehrung, belegnr, jahr, monat FROM atk WHERE belegtyp = ? AND datum >= ? AND datum <= ?";
        if (FSelektion.Erledigt == 'J') sql += " AND erledigt = 'J'";
        else if (FSelektion.Erledigt != 0) sql += " AND erledigt <> 'J'";
        auto st = FDb.Prepare(sql + " ORDER BY datum, atk_a, atk_b, atk_c");
        st.Bind(1, int64_t(FSelektion.BelegTyp));
        st.Bind(2, FSelektion.Von);
        st.Bind(3, FSelektion.Bis);
        while (st.Step()) {
            TRDL_BelegKopfZeile z;
            z.VorgangsID = {int32_t(st.ColInt(0)), int32_t(st.ColInt(1)), int16_t(st.ColInt(2))};
            z.Datum = st.ColDouble(3);
            const bool zweite = CMand_SV_Seite(phasen.PhasenKuerzel_2_AllgPhasPhase(st.ColText(8))) == 2;
            z.Lieferant = zweite ? TIntPair{int32_t(st.ColInt(6)), int32_t(st.ColInt(7))}
                                 : TIntPair{int32_t(st.ColInt(4)), int32_t(st.ColInt(5))};
            z.MandNr = int32_t(st.ColInt(9));
            z.Wert = st.ColDouble(10);
            z.Waehrung = st.ColText(11);
            z.BelegNr = int32_t(st.ColInt(12));
            z.Jahr = int32_t(st.ColInt(13));
            z.Monat = int32_t(st.ColInt(14));
            FZeilen.push_back(std::move(z));
        }
    }
    const std::vector<TRDL_BelegKopfZeile>& Zeilen() const override { return FZeilen; }

private:
    TRDLDatenbank& FDb;
    TRDL_BKSelektion FSelektion;
    std::vector<TRDL_BelegKopfZeile> FZeilen;
};

// --- document server ----------------------------------------------------------------------

// Header, positions and their dispositions in one read: one row per disposition entry,
// a position without one (or a header without positions) once.
const char* const CBelegSql =
    "SELECT k.atk_a, k.atk_b, k.atk_c, k.datum, k.mandnr, k.belegtyp, k.phase,"
    " p.atpk_a, p.atpk_b, p.atpk_c, p.posnr, p.postyp, p.prod_a, p.prod_b, p.prod_c, p.menge,"
    " d.dispo_a, d.dispo_b, d.dispo_c, d.menge"
    " FROM atk k"
    " LEFT JOIN atpk p ON p.atk_a = k.atk_a AND p.atk_b = k.atk_b AND p.atk_c = k.atk_c"
    " LEFT JOIN atpk_dispo d ON d.atpk_a = p.atpk_a AND d.atpk_b = p.atpk_b AND d.atpk_c = p.atpk_c";
const char* const CBelegOrdnung = " ORDER BY k.atk_a, k.atk_b, k.atk_c, p.posnr, p.id, d.lfdnr";

class TBelegEditServer : public IRDL_BelegEditServer {
public:
    explicit TBelegEditServer(TRDLDatenbank& ADb) : FDb(ADb) {}

    bool Laden(const TIntTrio& AVorgangsID, const TKOVBelegLaden_Options& AOptionen) override {
        FBeleg = TRDL_Beleg{};
        if (FVorgeladenMitDispos >= AOptionen.MitDispos) {
            const auto it = FVorgeladen.find(AVorgangsID);
            if (it != FVorgeladen.end()) {
                FBeleg = it->second;
                return true;
            }
        }
        auto st = FDb.Prepare(std::string(CBelegSql) + " WHERE k.atk_a = ? AND k.atk_b = ? AND k.atk_c = ?" +
                              CBelegOrdnung);
        st.Bind(1, int64_t(AVorgangsID.A));
        st.Bind(2, int64_t(AVorgangsID.B));
        st.Bind(3, int64_t(AVorgangsID.C));
        std::map<TIntTrio, TRDL_Beleg> belege;
        Lesen(st, AOptionen, belege);
        if (belege.empty()) return false;
        FBeleg = std::move(belege.begin()->second);
        return true;
    }

    const TRDL_Beleg& Beleg() const override { return FBeleg; }

    void Vorladen(const TRDL_BKSelektion& S, const TKOVBelegLaden_Options& AOptionen) override {
        FVorgeladen.clear();
        FVorgeladenMitDispos = false;
        std::string sql = std::string(CBelegSql) + " WHERE k.belegtyp = ? AND k.datum >= ? AND k.datum <= ?";
        if (S.Erledigt == 'J') sql += " AND k.erledigt = 'J'";
        else if (S.Erledigt != 0) sql += " AND k.erledigt <> 'J'";
        auto st = FDb.Prepare(sql + CBelegOrdnung);
        st.Bind(1, int64_t(S.BelegTyp));
        st.Bind(2, S.Von);
        st.Bind(3, S.Bis);
        Lesen(st, AOptionen, FVorgeladen);
        FVorgeladenMitDispos = AOptionen.MitDispos;
    }

private:
    static void Lesen(TRDLStatement& st, const TKOVBelegLaden_Options& AOptionen, std::map<TIntTrio, TRDL_Beleg>& ABelege) {
        TRDL_Beleg* beleg = nullptr;
        std::shared_ptr<TRDL_BelegPos> pos;
        TIntTrio posKey;
        while (st.Step()) {
            const TIntTrio key{int32_t(st.ColInt(0)), int32_t(st.ColInt(1)), int16_t(st.ColInt(2))};
            if (!beleg || beleg->Kopf.AtkID != key) {
                beleg = &ABelege[key];
                beleg->Kopf.AtkID = key;
                beleg->Kopf.Datum = st.ColDouble(3);
                beleg->Kopf.MandNr = int32_t(st.ColInt(4));
                beleg->Kopf.BelegTyp = int32_t(st.ColInt(5));
                beleg->Kopf.Phase = st.ColText(6);
                pos.reset();
            }
            if (st.ColIsNull(7)) continue;
            const TIntTrio pk{int32_t(st.ColInt(7)), int32_t(st.ColInt(8)), int16_t(st.ColInt(9))};
            if (!pos || posKey != pk) {
                posKey = pk;
                const int32_t typ = int32_t(st.ColInt(11));
                if (typ == CRDL_PosTyp_Artikel) {
                    auto a = std::make_shared<TRDL_BelegPosArtikel>();
                    a->ProduktID = {int32_t(st.ColInt(12)), int32_t(st.ColInt(13)), int32_t(st.ColInt(14))};
                    a->Menge = int32_t(st.ColInt(15));
                    pos = a;
                } else {
                    pos = std::make_shared<TRDL_BelegPos>();
                }
                pos->AtpkID = pk;
                pos->PosNr = int32_t(st.ColInt(10));
                pos->PosTyp = typ;
                beleg->Positionen.push_back(pos);
            }
            if (!AOptionen.MitDispos || st.ColIsNull(16)) continue;
            if (auto* a = dynamic_cast<TRDL_BelegPosArtikel*>(pos.get()))
                a->Dispos.push_back({{int32_t(st.ColInt(16)), int32_t(st.ColInt(17)), int16_t(st.ColInt(18))},
                                     int32_t(st.ColInt(19))});
        }
    }

    TRDLDatenbank& FDb;
    TRDL_Beleg FBeleg;
    std::map<TIntTrio, TRDL_Beleg> FVorgeladen;
    bool FVorgeladenMitDispos = false;
};

} // namespace

IRDL_BKListeServer* TRDLServerFactory::BKListeServer_Get() { return new TBKListeServer(RDLProgramm().Datenbank()); }

void TRDLServerFactory::BKListeServer_Release(IRDL_BKListeServer*& AServer) {
    delete AServer;
    AServer = nullptr;
}

IRDL_BelegEditServer* TRDLServerFactory::BelegEditServer_Get() {
    return new TBelegEditServer(RDLProgramm().Datenbank());
}

void TRDLServerFactory::BelegEditServer_Release(IRDL_BelegEditServer*& AServer) {
    delete AServer;
    AServer = nullptr;
}
