// The PostgreSQL driver of the storage interface: the server store for installations
// with many workstations and tills. Values travel as text (blobs as binary), so the
// driver needs no knowledge of the server's type oids.
#include "rdlspeicher.h"
#include "rdlspeicher_pg_nachrichten.h"
#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>
#include <cerrno>
#include <mutex>
#include <unordered_set>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <deque>
#include <optional>
#include <cstring>
#include <limits>
#include <thread>
#include <unordered_map>

namespace {

std::atomic<int64_t> GAbbrueche{0};

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

// The address without a password, for messages and the log.
std::string OhnePasswort(const std::string& AAdresse) {
    std::string r = AAdresse;
    const auto schema = r.find("://");
    if (schema != std::string::npos) {
        const auto start = schema + 3;
        const auto at = r.find('@', start);
        const auto slash = r.find('/', start);
        if (at != std::string::npos && (slash == std::string::npos || at < slash)) {
            const auto doppel = r.find(':', start);
            if (doppel != std::string::npos && doppel < at) r.erase(doppel, at - doppel);
        }
    }
    for (auto p = r.find("password="); p != std::string::npos; p = r.find("password=", p + 1)) {
        const auto ende = r.find('&', p);
        r.replace(p + 9, (ende == std::string::npos ? r.size() : ende) - (p + 9), "***");
    }
    return r;
}

// "?" placeholders become "$1", "$2", ... outside quoted text.
std::string Platzhalter(const std::string& ASql, int& AAnzahl) {
    std::string r;
    r.reserve(ASql.size() + 16);
    char quote = 0;
    AAnzahl = 0;
    for (char c : ASql) {
        if (quote) {
            if (c == quote) quote = 0;
            r += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            r += c;
        } else if (c == '?') {
            r += '$' + std::to_string(++AAnzahl);
        } else {
            r += c;
        }
    }
    return r;
}

bool VerbindungWeg(PGconn* AConn) { return PQstatus(AConn) == CONNECTION_BAD; }

std::atomic<int> GAntwortzeit{60000};

// Connections given up because the server stayed silent (their errors say so).
std::mutex GStummMutex;
std::unordered_set<const PGconn*> GStumm;
bool Verstummt(const PGconn* AConn) {
    std::lock_guard<std::mutex> l(GStummMutex);
    return GStumm.count(AConn) != 0;
}

// The next answer of the server, waiting at most the answer time without a byte from
// it. A server that stays silent (stopped, frozen, the network gone without a word) is
// given up: the connection is shut, so that this and every later call fails at once
// instead of waiting forever. nullptr at the end of the answers or after giving up.
PGresult* Antwort(PGconn* AConn) {
    while (PQisBusy(AConn)) {
        pollfd p{PQsocket(AConn), POLLIN, 0};
        if (p.fd < 0) break;
        // A write may wait for another program's lock as long as the lock timeout allows.
        const int rc = poll(&p, 1, std::max(GAntwortzeit.load(), RDLWartezeit() + 5000));
        if (rc < 0 && errno == EINTR) continue;
        if (rc == 0) {
            {
                std::lock_guard<std::mutex> l(GStummMutex);
                GStumm.insert(AConn);
            }
            shutdown(p.fd, SHUT_RDWR);
            PQconsumeInput(AConn);
            while (PGresult* r = PQgetResult(AConn)) PQclear(r);
            return nullptr;
        }
        if (!PQconsumeInput(AConn)) break;
    }
    return PQgetResult(AConn);
}

// PQexec with the answer time: the last result of ASql (nullptr when none came).
PGresult* AusfuehrenWartend(PGconn* AConn, const char* ASql) {
    if (!PQsendQuery(AConn, ASql)) return nullptr;
    PGresult* letztes = nullptr;
    while (PGresult* r = Antwort(AConn)) {
        PQclear(letztes);
        letztes = r;
        const auto status = PQresultStatus(r);
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) break;
    }
    return letztes;
}

EDatenbankFehler PgFehler(PGconn* AConn, const PGresult* ARes, const std::string& AOrt, const std::string& ASql) {
    const char* state = ARes ? PQresultErrorField(ARes, PG_DIAG_SQLSTATE) : nullptr;
    const std::string code = state ? state : "";
    std::string eigen = ARes ? PQresultErrorMessage(ARes) : "";
    if (eigen.empty()) eigen = PQerrorMessage(AConn);
    while (!eigen.empty() && (eigen.back() == '\n' || eigen.back() == ' ')) eigen.pop_back();
    std::string details = "PostgreSQL " + (code.empty() ? std::string("-") : code) + ": " + eigen;
    if (!ASql.empty()) details += " | SQL: " + ASql;
    if (Verstummt(AConn))
        return EDatenbankFehler("Der Datenbankserver " + Anfuehren(AOrt) + " antwortet nicht (seit " +
                                    std::to_string(GAntwortzeit.load() / 1000) +
                                    " Sekunden); die Verbindung wurde beendet. Was nicht abgeschlossen war, wurde "
                                    "nicht gespeichert.",
                                TDbFehlerArt::Abgebrochen, code, details + " | no answer within the answer time");
    if (VerbindungWeg(AConn) || code.rfind("08", 0) == 0 || code.rfind("57P", 0) == 0)
        return EDatenbankFehler("Die Verbindung zum Datenbankserver " + Anfuehren(AOrt) +
                                    " ist abgebrochen. Was nicht abgeschlossen war, wurde nicht gespeichert.",
                                TDbFehlerArt::Abgebrochen, code, details);
    if (code == "42P01" || code == "42703")
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) +
                                    " ist beschädigt: eine Tabelle des Auswertungs-Centers fehlt oder ist unvollständig.",
                                TDbFehlerArt::Beschaedigt, code, details);
    if (code == "55P03" || code == "40P01" || code == "40001")
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) +
                                    " ist durch ein anderes Programm gesperrt. Bitte versuchen Sie es später noch einmal.",
                                TDbFehlerArt::Gesperrt, code, details);
    if (code.rfind("23", 0) == 0)
        return EDatenbankFehler("Ein Satz verletzt eine Regel der Datenbank (doppelter Schlüssel oder fehlender Wert).",
                                TDbFehlerArt::Allgemein, code, details);
    if (code == "42501")
        return EDatenbankFehler("Keine Berechtigung für diesen Zugriff auf die Datenbank " + Anfuehren(AOrt) + ".",
                                TDbFehlerArt::KeinSchreibrecht, code, details);
    if (code == "53100")
        return EDatenbankFehler("Der Datenträger des Datenbankservers ist voll.", TDbFehlerArt::Allgemein, code, details);
    return EDatenbankFehler("Ein Zugriff auf die Datenbank ist gescheitert; Einzelheiten stehen im Fehlerprotokoll.",
                            TDbFehlerArt::Allgemein, code, details);
}

struct TErgebnis {
    PGresult* R = nullptr;
    ~TErgebnis() { PQclear(R); }
};

class TPgAbfrage;

// The session: the connection, its prepared statements and the statement whose rows are
// streaming on it. Any other use of the connection first lets that statement take its
// remaining rows into memory.
struct TPgSitzung {
    PGconn* Conn = nullptr;
    std::string Ort;
    TPgAbfrage* Strom = nullptr;
    // Writes sent in pipeline mode whose answers are still to be read, in order (nullptr:
    // the statement is gone, its answer is dropped).
    std::deque<TPgAbfrage*> Reihe;
    // A failure of a queued write met where nothing could raise it; the next use raises it.
    std::optional<EDatenbankFehler> ReiheFehler;
    // Before any other use of the connection: a streaming read takes its remaining rows
    // into memory, and the queued writes are answered (raising the first failure).
    void Freigeben();
    // The same without raising: a failure is kept for the next Freigeben, or dropped
    // (AVerwerfen) when the transaction is being rolled back anyway.
    void FreigebenStill(bool AVerwerfen) noexcept;
    // Reads the answers of every queued write and leaves pipeline mode.
    void Abgleichen();
    // Queued writes are answered at the latest after this many, so that neither side's
    // socket buffer fills while the other waits.
    static constexpr size_t CReiheMax = 256;
    // Writes since the transaction began (see TPgVerbindung::Festschreiben).
    int64_t Schreibvorgaenge = 0;

    // A statement prepared on the server, shared by every query of the same text.
    struct TVorbereitet {
        std::string Name;
        int Parameter = 0;
        int Nutzer = 0; // live queries; a statement without one may be dropped
    };
    // Prepares ASql on the server once per connection (one round trip the first time).
    TVorbereitet& Vorbereiten(const std::string& ASql, const std::string& AOrt);
    void Loslassen(const std::string& ASql);
    // After the tables were dropped: the unused statements go (the server re-plans the
    // others when they next run).
    void UngenutzteVergessen();

private:
    std::unordered_map<std::string, TVorbereitet> FVorbereitet;
    int FNr = 0;
};

class TPgAbfrage : public IRDLAbfrage {
public:
    TPgAbfrage(TPgSitzung& ASitzung, const std::string& AOrt, std::string ASql, bool AStrom)
        : FS(ASitzung), FConn(ASitzung.Conn), FOrt(AOrt), FSql(std::move(ASql)) {
        auto& v = FS.Vorbereiten(FSql, FOrt);
        FName = v.Name;
        const int anzahl = v.Parameter;
        FWerte.resize(size_t(anzahl));
        FNull.assign(size_t(anzahl), true);
        FFormat.assign(size_t(anzahl), 0);
        FZeiger.resize(size_t(anzahl));
        FLaengen.resize(size_t(anzahl));
        // Reads of unknown length stream row by row; bounded reads come whole.
        size_t i = 0;
        while (i < FSql.size() && std::isspace(static_cast<unsigned char>(FSql[i]))) ++i;
        FStromFaehig = AStrom && FSql.compare(i, 6, "SELECT") == 0;
    }
    ~TPgAbfrage() override {
        if (FEingereiht > 0)
            for (auto*& e : FS.Reihe)
                if (e == this) e = nullptr;
        Schliessen();
        FS.Loslassen(FSql);
    }

    void BindInt(int i, int64_t v) override {
        auto& w = Platz(i, 0);
        w.resize(24);
        w.resize(size_t(std::to_chars(w.data(), w.data() + w.size(), v).ptr - w.data()));
    }
    void BindDouble(int i, double v) override {
        auto& w = Platz(i, 0);
        w.resize(32);
        w.resize(size_t(std::to_chars(w.data(), w.data() + w.size(), v).ptr - w.data()));
    }
    void BindText(int i, std::string_view v) override { Platz(i, 0).assign(v); }
    void BindBlob(int i, std::string_view v) override { Platz(i, 1).assign(v); }
    void BindNull(int i) override {
        Platz(i, 0);
        FNull[size_t(i - 1)] = true;
    }

    bool Schritt() override {
        if (FArt == TArt::Leer) Ausfuehren();
        switch (FArt) {
        case TArt::Ganz:
            if (++FZeile < FZeilen) return true;
            break;
        case TArt::Strom: {
            PQclear(FZeilenErgebnis);
            FZeilenErgebnis = nullptr;
            PGresult* r = Antwort(FConn);
            if (PQresultStatus(r) == PGRES_SINGLE_TUPLE) {
                FZeilenErgebnis = r;
                return true;
            }
            StromEnde(r);
            break;
        }
        case TArt::Puffer:
            PQclear(FZeilenErgebnis);
            FZeilenErgebnis = nullptr;
            if (FPuffer.empty()) break;
            FZeilenErgebnis = FPuffer.front();
            FPuffer.pop_front();
            return true;
        case TArt::Leer:
            break;
        }
        Schliessen();
        if (FFehler) {
            auto e = *FFehler;
            FFehler.reset();
            throw e;
        }
        return false;
    }
    bool Einreihen() override {
        if (FStromFaehig) return false;
        if (FS.Strom) FS.Strom->Puffern();
        if (PQpipelineStatus(FConn) == PQ_PIPELINE_OFF) {
            // Outside a transaction a write runs at once, so that its failure is raised by it.
            if (FS.ReiheFehler || PQtransactionStatus(FConn) != PQTRANS_INTRANS) return false;
            if (!PQenterPipelineMode(FConn)) return false;
        }
        Schliessen();
        Werte();
        if (!PQsendQueryPrepared(FConn, FName.c_str(), int(FWerte.size()), FZeiger.data(), FLaengen.data(),
                                 FFormat.data(), 0)) {
            auto e = PgFehler(FConn, nullptr, FOrt, FSql);
            FS.FreigebenStill(true);
            throw e;
        }
        FS.Reihe.push_back(this);
        ++FS.Schreibvorgaenge;
        ++FEingereiht;
        if (FS.Reihe.size() >= TPgSitzung::CReiheMax) FS.Abgleichen();
        return true;
    }
    // The answer of a queued run (nullptr when the answers were dropped).
    void Beantwortet(PGresult* AErgebnis) {
        --FEingereiht;
        Schliessen();
        if (!AErgebnis) return;
        FErgebnis = AErgebnis;
        const char* tupel = PQcmdTuples(FErgebnis);
        FGeaendert = (tupel && *tupel) ? std::atoll(tupel) : 0;
        FZeilen = PQntuples(FErgebnis);
        FZeile = 0; // the row of a RETURNING is current, as after Schritt
        FArt = TArt::Ganz;
    }
    // Answers the queued runs first, so that the last one's row is current.
    int64_t LetzteId() const {
        if (FEingereiht > 0) FS.Abgleichen();
        return Offen() && FZeile >= 0 && FZeile < FZeilen ? Int(0) : 0;
    }
    void Schliessen() override {
        if (FArt == TArt::Strom) {
            // A read left early. What has arrived is taken without asking the server; only
            // rows still pending there are cancelled (a cancel costs a new connection).
            if (!VerbindungWeg(FConn) && !RestSchonDa())
                if (PGcancel* c = PQgetCancel(FConn)) {
                    ++GAbbrueche;
                    char fehler[256];
                    PQcancel(c, fehler, sizeof fehler);
                    PQfreeCancel(c);
                }
            while (PGresult* r = Antwort(FConn)) PQclear(r);
            FS.Strom = nullptr;
        }
        for (auto* r : FPuffer) PQclear(r);
        FPuffer.clear();
        PQclear(FZeilenErgebnis);
        FZeilenErgebnis = nullptr;
        PQclear(FErgebnis);
        FErgebnis = nullptr;
        FZeile = -1;
        FZeilen = 0;
        FArt = TArt::Leer;
    }
    bool Offen() const override { return FArt != TArt::Leer; }
    // Another statement needs the connection: the remaining rows come into memory.
    void Puffern() {
        FS.Strom = nullptr;
        FArt = TArt::Puffer;
        for (;;) {
            PGresult* r = Antwort(FConn);
            if (PQresultStatus(r) == PGRES_SINGLE_TUPLE) {
                FPuffer.push_back(r);
                continue;
            }
            StromEnde(r);
            FArt = TArt::Puffer;
            return;
        }
    }
    int64_t Int(int c) const override {
        int64_t v = 0;
        const auto t = Text(c);
        if (std::from_chars(t.data(), t.data() + t.size(), v).ec != std::errc()) {
            double d = 0;
            std::from_chars(t.data(), t.data() + t.size(), d);
            v = int64_t(d);
        }
        return v;
    }
    double Double(int c) const override {
        double v = 0;
        const auto t = Text(c);
        std::from_chars(t.data(), t.data() + t.size(), v);
        return v;
    }
    std::string_view Text(int c) const override {
        const PGresult* r = FZeilenErgebnis ? FZeilenErgebnis : FErgebnis;
        const int z = FZeilenErgebnis ? 0 : FZeile;
        return std::string_view(PQgetvalue(r, z, c), size_t(PQgetlength(r, z, c)));
    }
    std::string Blob(int c) const override {
        // bytea in text form: "\x" and two hex digits per byte.
        const auto t = Text(c);
        std::string r;
        if (t.size() < 2 || t[0] != '\\' || t[1] != 'x') return std::string(t);
        r.reserve((t.size() - 2) / 2);
        auto hex = [](char h) { return h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10; };
        for (size_t i = 2; i + 1 < t.size(); i += 2) r += char(hex(t[i]) * 16 + hex(t[i + 1]));
        return r;
    }
    bool IstNull(int c) const override {
        const PGresult* r = FZeilenErgebnis ? FZeilenErgebnis : FErgebnis;
        return PQgetisnull(r, FZeilenErgebnis ? 0 : FZeile, c) != 0;
    }
    int64_t Geaendert() const override { return FGeaendert; }
    const std::string& Sql() const override { return FSql; }

private:
    enum class TArt { Leer, Ganz, Strom, Puffer };

    // Takes the stream's rows that have reached the client, without waiting for more;
    // true when its end was among them.
    bool RestSchonDa() {
        if (!PQconsumeInput(FConn)) return false;
        while (!PQisBusy(FConn)) {
            PGresult* r = Antwort(FConn);
            const auto status = PQresultStatus(r);
            PQclear(r);
            if (status != PGRES_SINGLE_TUPLE) return true;
        }
        return false;
    }

    void Werte() {
        for (size_t i = 0; i < FWerte.size(); ++i) {
            FZeiger[i] = FNull[i] ? nullptr : FWerte[i].data();
            FLaengen[i] = int(FWerte[i].size());
        }
    }
    void Ausfuehren() {
        FS.Freigeben();
        Werte();
        if (!FStromFaehig) ++FS.Schreibvorgaenge; // reads counted too: a cheap upper bound
        if (FStromFaehig) {
            if (!PQsendQueryPrepared(FConn, FName.c_str(), int(FWerte.size()), FZeiger.data(), FLaengen.data(),
                                     FFormat.data(), 0))
                throw PgFehler(FConn, nullptr, FOrt, FSql);
            PQsetSingleRowMode(FConn);
            FArt = TArt::Strom;
            FS.Strom = this;
            return;
        }
        if (PQsendQueryPrepared(FConn, FName.c_str(), int(FWerte.size()), FZeiger.data(), FLaengen.data(),
                                FFormat.data(), 0))
            while (PGresult* r = Antwort(FConn)) {
                PQclear(FErgebnis);
                FErgebnis = r;
            }
        const auto status = PQresultStatus(FErgebnis);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            auto e = PgFehler(FConn, FErgebnis, FOrt, FSql);
            Schliessen();
            throw e;
        }
        const char* tupel = PQcmdTuples(FErgebnis);
        FGeaendert = (tupel && *tupel) ? std::atoll(tupel) : 0;
        FZeilen = PQntuples(FErgebnis);
        FZeile = -1;
        FArt = TArt::Ganz;
    }
    // The result after the last row: the end or a failure, which the next step raises.
    void StromEnde(PGresult* ALetztes) {
        if (PQresultStatus(ALetztes) != PGRES_TUPLES_OK) FFehler = PgFehler(FConn, ALetztes, FOrt, FSql);
        PQclear(ALetztes);
        while (PGresult* r = Antwort(FConn)) PQclear(r);
        FS.Strom = nullptr;
        FArt = TArt::Leer;
    }
    std::string& Platz(int i, int AFormat) {
        if (i < 1 || size_t(i) > FWerte.size())
            throw EDatenbankFehler("Ein Zugriff auf die Datenbank ist gescheitert; Einzelheiten stehen im Fehlerprotokoll.",
                                   TDbFehlerArt::Allgemein, "",
                                   "parameter " + std::to_string(i) + " out of range | SQL: " + FSql);
        FNull[size_t(i - 1)] = false;
        FFormat[size_t(i - 1)] = AFormat;
        return FWerte[size_t(i - 1)];
    }

    TPgSitzung& FS;
    PGconn* FConn;
    std::string FOrt;
    std::string FSql;
    std::string FName;
    bool FStromFaehig = false;
    std::vector<std::string> FWerte;
    std::vector<bool> FNull;
    std::vector<int> FFormat;
    std::vector<const char*> FZeiger;
    std::vector<int> FLaengen;
    TArt FArt = TArt::Leer;
    PGresult* FErgebnis = nullptr;      // a whole result
    PGresult* FZeilenErgebnis = nullptr; // the current streamed row
    std::deque<PGresult*> FPuffer;
    std::optional<EDatenbankFehler> FFehler;
    int FZeile = -1;
    int FZeilen = 0;
    int64_t FGeaendert = 0;
    int FEingereiht = 0; // runs whose answers are pending
};

void TPgSitzung::Freigeben() {
    if (Strom) Strom->Puffern();
    if (!Reihe.empty() || PQpipelineStatus(Conn) != PQ_PIPELINE_OFF) Abgleichen();
    if (ReiheFehler) {
        auto e = std::move(*ReiheFehler);
        ReiheFehler.reset();
        throw e;
    }
}

void TPgSitzung::FreigebenStill(bool AVerwerfen) noexcept {
    try {
        if (Strom) Strom->Puffern();
        if (!Reihe.empty() || PQpipelineStatus(Conn) != PQ_PIPELINE_OFF) Abgleichen();
    } catch (const EDatenbankFehler& e) {
        if (!ReiheFehler) ReiheFehler = e;
    } catch (...) {
    }
    if (AVerwerfen) ReiheFehler.reset();
}

void TPgSitzung::Abgleichen() {
    std::optional<EDatenbankFehler> fehler;
    auto merken = [&](const PGresult* r, TPgAbfrage* e) {
        if (!fehler) fehler = PgFehler(Conn, r, Ort, e ? e->Sql() : std::string("pipeline"));
    };
    bool verbunden = PQpipelineSync(Conn) == 1;
    auto reihe = std::move(Reihe);
    Reihe.clear();
    for (TPgAbfrage* e : reihe) {
        PGresult* r = verbunden ? Antwort(Conn) : nullptr;
        if (!r) verbunden = false; // the connection broke: no further answer will come
        const auto status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
        if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
            if (e) e->Beantwortet(r);
            else PQclear(r);
            r = nullptr;
        } else {
            // After the first failure the server skips the rest up to the sync.
            if (status != PGRES_PIPELINE_ABORTED) merken(r, e);
            if (e) e->Beantwortet(nullptr);
        }
        PQclear(r);
        if (verbunden) PQclear(Antwort(Conn)); // the end of this statement's results
    }
    if (verbunden)
        // Up to the sync's own answer.
        while (PGresult* r = Antwort(Conn)) {
            const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync) break;
        }
    else
        merken(nullptr, nullptr);
    PQexitPipelineMode(Conn);
    if (fehler) throw *fehler;
}

TPgSitzung::TVorbereitet& TPgSitzung::Vorbereiten(const std::string& ASql, const std::string& AOrt) {
    auto it = FVorbereitet.find(ASql);
    if (it == FVorbereitet.end()) {
        // Statements whose text carries values would pile up: past a bound, the unused go.
        if (FVorbereitet.size() >= 4096) UngenutzteVergessen();
        TVorbereitet v;
        v.Name = "q" + std::to_string(++FNr);
        const std::string text = Platzhalter(ASql, v.Parameter);
        Freigeben();
        TErgebnis r;
        if (PQsendPrepare(Conn, v.Name.c_str(), text.c_str(), v.Parameter, nullptr))
            while (PGresult* e = Antwort(Conn)) {
                PQclear(r.R);
                r.R = e;
            }
        if (PQresultStatus(r.R) != PGRES_COMMAND_OK) throw PgFehler(Conn, r.R, AOrt, ASql);
        it = FVorbereitet.emplace(ASql, std::move(v)).first;
    }
    ++it->second.Nutzer;
    return it->second;
}

void TPgSitzung::Loslassen(const std::string& ASql) {
    if (auto it = FVorbereitet.find(ASql); it != FVorbereitet.end() && it->second.Nutzer > 0) --it->second.Nutzer;
}

void TPgSitzung::UngenutzteVergessen() {
    if (VerbindungWeg(Conn)) return;
    Freigeben();
    for (auto i = FVorbereitet.begin(); i != FVorbereitet.end();)
        if (i->second.Nutzer == 0) {
            PQclear(AusfuehrenWartend(Conn, ("DEALLOCATE " + i->second.Name).c_str()));
            i = FVorbereitet.erase(i);
        } else {
            ++i;
        }
}
class TPgMassenladen : public IRDLMassenladen {
public:
    TPgMassenladen(PGconn* AConn, const std::string& AOrt, const std::string& ATabelle,
                   const std::vector<std::string>& ASpalten)
        : FConn(AConn), FOrt(AOrt) {
        std::string sql = "COPY " + ATabelle + " (";
        for (size_t i = 0; i < ASpalten.size(); ++i) sql += (i ? ", " : "") + ASpalten[i];
        sql += ") FROM STDIN";
        TErgebnis r{AusfuehrenWartend(FConn, sql.c_str())};
        if (PQresultStatus(r.R) != PGRES_COPY_IN) throw PgFehler(FConn, r.R, FOrt, sql);
        FPuffer.reserve(1 << 20);
    }
    ~TPgMassenladen() override {
        if (!FFertig) {
            PQputCopyEnd(FConn, "abgebrochen");
            while (PGresult* r = Antwort(FConn)) PQclear(r);
        }
    }
    void Int(int64_t v) override {
        Trenner();
        char b[24];
        FPuffer.append(b, size_t(std::to_chars(b, b + sizeof b, v).ptr - b));
    }
    void Double(double v) override {
        Trenner();
        char b[32];
        FPuffer.append(b, size_t(std::to_chars(b, b + sizeof b, v).ptr - b));
    }
    void Text(std::string_view v) override {
        Trenner();
        for (char c : v) {
            switch (c) {
            case '\\': FPuffer += "\\\\"; break;
            case '\t': FPuffer += "\\t"; break;
            case '\n': FPuffer += "\\n"; break;
            case '\r': FPuffer += "\\r"; break;
            default: FPuffer += c;
            }
        }
    }
    void ZeileEnde() override {
        FPuffer += '\n';
        FErste = true;
        if (FPuffer.size() >= (1 << 20)) Senden();
    }
    void Abschliessen() override {
        Senden();
        FFertig = true;
        if (PQputCopyEnd(FConn, nullptr) != 1) throw PgFehler(FConn, nullptr, FOrt, "COPY");
        TErgebnis r{Antwort(FConn)};
        const bool gut = PQresultStatus(r.R) == PGRES_COMMAND_OK;
        auto fehler = gut ? EDatenbankFehler("") : PgFehler(FConn, r.R, FOrt, "COPY");
        while (PGresult* rest = Antwort(FConn)) PQclear(rest);
        if (!gut) throw fehler;
    }

private:
    void Trenner() {
        if (!FErste) FPuffer += '\t';
        FErste = false;
    }
    void Senden() {
        if (FPuffer.empty()) return;
        if (PQputCopyData(FConn, FPuffer.data(), int(FPuffer.size())) != 1)
            throw PgFehler(FConn, nullptr, FOrt, "COPY");
        FPuffer.clear();
    }
    PGconn* FConn;
    std::string FOrt;
    std::string FPuffer;
    bool FErste = true;
    bool FFertig = false;
};

// The lock of a server database is a session-level advisory lock under the key (this
// program's application id "QDRX", FNV-1a hash of the name): the server releases it when
// the session ends, also when the program was killed or its connection broke.
constexpr int32_t CSperrKlasse = 0x51445258;

int32_t SperrSchluessel(const std::string& AName) {
    uint32_t h = 2166136261u;
    for (unsigned char c : AName) h = (h ^ c) * 16777619u;
    return int32_t(h);
}

class TPgVerbindung;

class TPgSperre : public IRDLSperre {
public:
    TPgSperre(TPgVerbindung& AVerbindung, int32_t ASchluessel) : FV(AVerbindung), FSchluessel(ASchluessel) {}
    ~TPgSperre() override;

private:
    TPgVerbindung& FV;
    int32_t FSchluessel;
};

class TPgVerbindung : public IRDLVerbindung {
    static constexpr int64_t CPlaeneVerwerfenAb = 200;

public:
    explicit TPgVerbindung(const std::string& AAdresse) : FOrt(OhnePasswort(AAdresse)) {
        char* fehler = nullptr;
        PQconninfoOption* optionen = PQconninfoParse(AAdresse.c_str(), &fehler);
        if (!optionen) {
            const std::string details = fehler ? fehler : "";
            PQfreemem(fehler);
            throw EDatenbankFehler("Die Datenbankadresse " + Anfuehren(FOrt) + " ist ungültig.",
                                   TDbFehlerArt::Verbindung, "", "libpq: " + details);
        }
        PQconninfoFree(optionen);
        // Defaults first: what the address sets itself wins. Keepalives find a connection
        // whose network went away while it waits; the answer time covers a silent server.
        const char* schluessel[] = {"fallback_application_name", "connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval",
                                    "keepalives_count", "tcp_user_timeout", "dbname", nullptr};
        const std::string antwort = std::to_string(GAntwortzeit.load());
        const char* werte[] = {"quendrix", "10", "1", "15", "5", "3", antwort.c_str(), AAdresse.c_str(), nullptr};
        FConn = PQconnectdbParams(schluessel, werte, 1);
        if (PQstatus(FConn) != CONNECTION_OK) {
            std::string text = PQerrorMessage(FConn);
            while (!text.empty() && text.back() == '\n') text.pop_back();
            const bool anmeldung = PQconnectionNeedsPassword(FConn) ||
                                   text.find("authentication failed") != std::string::npos ||
                                   text.find("no password supplied") != std::string::npos ||
                                   text.find("role \"") != std::string::npos;
            const bool fehlt = text.find("database \"") != std::string::npos &&
                               text.find("does not exist") != std::string::npos;
            const bool ungueltig = text.find("invalid ") != std::string::npos;
            PQfinish(FConn);
            FConn = nullptr;
            if (ungueltig)
                throw EDatenbankFehler("Die Datenbankadresse " + Anfuehren(FOrt) + " ist ungültig.",
                                       TDbFehlerArt::Verbindung, "", "libpq: " + text);
            if (fehlt)
                throw EDatenbankFehler("Die Datenbank " + Anfuehren(FOrt) + " gibt es auf dem Server nicht.",
                                       TDbFehlerArt::NichtGefunden, "", "libpq: " + text);
            if (anmeldung)
                throw EDatenbankFehler("Die Anmeldung am Datenbankserver " + Anfuehren(FOrt) +
                                           " wurde abgelehnt: Benutzer oder Passwort ist falsch.",
                                       TDbFehlerArt::Verbindung, "", "libpq: " + text);
            throw EDatenbankFehler("Der Datenbankserver " + Anfuehren(FOrt) + " ist nicht erreichbar.",
                                   TDbFehlerArt::Verbindung, "", "libpq: " + text);
        }
        FS.Conn = FConn;
        FS.Ort = FOrt;
        PQsetClientEncoding(FConn, "UTF8");
        // Quiet notices (e.g. "table does not exist, skipping") stay out of the terminal.
        PQsetNoticeProcessor(FConn, [](void*, const char*) {}, nullptr);
        Ausfuehren("SET lock_timeout = " + std::to_string(RDLWartezeit()));
    }
    ~TPgVerbindung() override {
        {
            std::lock_guard<std::mutex> l(GStummMutex);
            GStumm.erase(FConn);
        }
        PQfinish(FConn);
    }
    bool Verloren() const override { return FConn && VerbindungWeg(FConn); }

    TRDLSpeicherArt Art() const override { return TRDLSpeicherArt::PostgreSQL; }
    const std::string& Ort() const override { return FOrt; }

    std::unique_ptr<IRDLAbfrage> Vorbereiten(const std::string& ASql, bool AStrom = false) override {
        return std::make_unique<TPgAbfrage>(FS, FOrt, ASql, AStrom);
    }
    void Ausfuehren(const std::string& ASql) override {
        // A rollback drops what the queued writes answered: they are undone with it.
        if (ASql.rfind("ROLLBACK", 0) == 0) FS.FreigebenStill(true);
        else FS.Freigeben();
        TErgebnis r{AusfuehrenWartend(FConn, ASql.c_str())};
        const auto status = PQresultStatus(r.R);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw PgFehler(FConn, r.R, FOrt, ASql);
    }
    void SchreibenBeginnen() override {
        Ausfuehren("BEGIN");
        FS.Schreibvorgaenge = 0;
    }
    void Festschreiben() override {
        FS.Freigeben();
        TErgebnis r{AusfuehrenWartend(FConn, "COMMIT")};
        SperrenNachholen();
        if (PQresultStatus(r.R) != PGRES_COMMAND_OK) throw PgFehler(FConn, r.R, FOrt, "COMMIT");
        // A transaction that had failed ends with ROLLBACK instead.
        if (std::strcmp(PQcmdStatus(r.R), "ROLLBACK") == 0)
            throw EDatenbankFehler("Die Änderungen wurden zurückgenommen, weil ein Schreibvorgang gescheitert ist.",
                                   TDbFehlerArt::Allgemein, "25P02", "COMMIT answered ROLLBACK");
        // The statements live as long as the connection, and the server keeps the plan it
        // chose for a statement after a few runs: made while a table was still empty (a
        // statistics table before its first build), it is a full scan for all the rows
        // that came later. After a transaction that wrote much, the next runs plan anew
        // with the tables' present size.
        if (FS.Schreibvorgaenge >= CPlaeneVerwerfenAb) Ausfuehren("DISCARD PLANS");
        FS.Schreibvorgaenge = 0;
    }
    void Zurueckrollen() override {
        // A lost connection has rolled back on the server already.
        FS.FreigebenStill(true);
        if (VerbindungWeg(FConn)) return;
        if (PQtransactionStatus(FConn) != PQTRANS_IDLE) Ausfuehren("ROLLBACK");
        SperrenNachholen();
    }

    std::string SpaltenTyp(TRDLSpaltenTyp ATyp) const override {
        switch (ATyp) {
        case TRDLSpaltenTyp::Id: return "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
        case TRDLSpaltenTyp::Ganzzahl: return "INTEGER"; // the suite's values are 32 bits wide
        case TRDLSpaltenTyp::Gleitkomma: return "DOUBLE PRECISION";
        // Byte order, as SQLite compares: key order is the same on both stores.
        case TRDLSpaltenTyp::Text: return "TEXT COLLATE \"C\"";
        case TRDLSpaltenTyp::Blob: return "BYTEA";
        }
        return "";
    }
    std::string EinfuegenRueckgabe() const override { return " RETURNING id"; }
    int64_t EingefuegteId(const IRDLAbfrage& AAbfrage) const override {
        return static_cast<const TPgAbfrage&>(AAbfrage).LetzteId();
    }
    int64_t LeseBlock() const override { return 2000; }
    bool IndexMitId() const override { return true; }

    bool SchemaKennungLesen(int32_t& AAnwendung, int& AVersion) override {
        AAnwendung = 0;
        AVersion = 0;
        TPgAbfrage da(FS, FOrt, "SELECT to_regclass('quendrix_schema') IS NOT NULL", false);
        if (!da.Schritt() || da.Text(0) != "t") return false;
        da.Schliessen();
        TPgAbfrage a(FS, FOrt, "SELECT anwendung, version FROM quendrix_schema", false);
        if (!a.Schritt()) return false;
        AAnwendung = int32_t(a.Int(0));
        AVersion = int(a.Int(1));
        a.Schliessen();
        return true;
    }
    void SchemaKennungSchreiben(int32_t AAnwendung, int AVersion) override {
        Ausfuehren("CREATE TABLE IF NOT EXISTS quendrix_schema (anwendung BIGINT NOT NULL, version BIGINT NOT NULL)");
        Ausfuehren("DELETE FROM quendrix_schema");
        Ausfuehren("INSERT INTO quendrix_schema (anwendung, version) VALUES (" + std::to_string(AAnwendung) + ", " +
                   std::to_string(AVersion) + ")");
    }
    std::vector<std::string> Tabellen() override {
        std::vector<std::string> r;
        TPgAbfrage a(FS, FOrt, "SELECT tablename FROM pg_tables WHERE schemaname = current_schema()", false);
        while (a.Schritt()) r.emplace_back(a.Text(0));
        return r;
    }
    void TabellenEntfernen(const std::vector<std::string>& ATabellen) override {
        // Without CASCADE: another program's view on our tables stops the drop instead of
        // disappearing with it.
        for (const auto& t : ATabellen) Ausfuehren("DROP TABLE IF EXISTS " + t);
        Ausfuehren("DROP TABLE IF EXISTS quendrix_schema");
        FS.UngenutzteVergessen();
    }
    void Einrichten() override {}
    void LogEntlasten() override {}
    std::unique_ptr<IRDLMassenladen> Massenladen(const std::string& ATabelle,
                                                 const std::vector<std::string>& ASpalten) override {
        FS.Freigeben();
        return std::make_unique<TPgMassenladen>(FConn, FOrt, ATabelle, ASpalten);
    }
    void NachMassenladen() override { Ausfuehren("ANALYZE"); }

    // Polled with pg_try_advisory_lock: a waiting pg_advisory_lock would end with the lock
    // timeout as an error that aborts an open transaction.
    std::unique_ptr<IRDLSperre> SperreNehmen(const std::string& AName, int AWarteMs) override {
        const int32_t schluessel = SperrSchluessel(AName);
        const std::string sql = "SELECT pg_try_advisory_lock(" + std::to_string(CSperrKlasse) + ", " +
                                std::to_string(schluessel) + ")";
        const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, AWarteMs));
        for (;;) {
            FS.Freigeben();
            TErgebnis r{AusfuehrenWartend(FConn, sql.c_str())};
            if (PQresultStatus(r.R) != PGRES_TUPLES_OK) throw PgFehler(FConn, r.R, FOrt, sql);
            if (std::strcmp(PQgetvalue(r.R, 0, 0), "t") == 0) return std::make_unique<TPgSperre>(*this, schluessel);
            if (std::chrono::steady_clock::now() >= ende) return nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Never raises. In a failed transaction nothing can be asked of the server until it
    // ends: the release waits for its end (SperrenNachholen).
    void SperreFreigeben(int32_t ASchluessel) noexcept {
        if (VerbindungWeg(FConn)) return; // the session is gone, and its locks with it
        FS.FreigebenStill(false);
        if (PQtransactionStatus(FConn) == PQTRANS_INERROR) {
            FOffeneFreigaben.push_back(ASchluessel);
            return;
        }
        const std::string sql = "SELECT pg_advisory_unlock(" + std::to_string(CSperrKlasse) + ", " +
                                std::to_string(ASchluessel) + ")";
        PQclear(AusfuehrenWartend(FConn, sql.c_str()));
    }

    void Benachrichtigen(const std::string& AKanal, const std::string& AText) override {
        RDLPgBenachrichtigen(*this, AKanal, AText);
    }
    std::unique_ptr<IRDLLauscher> Lauschen(const std::string& AKanal) override {
        return RDLPgLauschen(FConn, FOrt, AKanal);
    }

private:
    void SperrenNachholen() noexcept {
        const auto offen = std::move(FOffeneFreigaben);
        FOffeneFreigaben.clear();
        for (int32_t s : offen) SperreFreigeben(s);
    }

    PGconn* FConn = nullptr;
    TPgSitzung FS;
    std::string FOrt;
    std::vector<int32_t> FOffeneFreigaben;
};

TPgSperre::~TPgSperre() { FV.SperreFreigeben(FSchluessel); }

} // namespace

int64_t RDLServerAbbrueche() { return GAbbrueche; }

void RDLServerAntwortzeitSetzen(int AMillisekunden) { GAntwortzeit = std::max(1, AMillisekunden); }
int RDLServerAntwortzeit() { return GAntwortzeit.load(); }

std::unique_ptr<IRDLVerbindung> RDLPostgresVerbinden(const std::string& AAdresse) {
    return std::make_unique<TPgVerbindung>(AAdresse);
}
