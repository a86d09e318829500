// The notifications of the PostgreSQL driver. Sent with pg_notify in the program's own
// session, so that a message about a change reaches the others only with its commit.
// Heard on a connection of its own, driven without waiting: connecting, LISTEN and
// reading the notifications advance a step whenever the program looks for messages (only
// the lookup of a host name, inside libpq's start of the connection, may wait).
#include "rdlspeicher_pg_nachrichten.h"
#include <chrono>
#include <poll.h>

namespace {

// A listener that has not got as far as listening after this long gives up; a connection
// made without waiting knows no connect_timeout of its own.
constexpr auto CAnmeldeFrist = std::chrono::seconds(30);
// The server refuses longer payloads (8000 bytes) and channel names (NAMEDATALEN - 1).
constexpr size_t CTextMax = 7999;
constexpr size_t CKanalMax = 63;

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

// Channels are this program's own names: checked, so that a bad one never fails (and
// thereby aborts) the caller's transaction on the server.
void KanalPruefen(const std::string& AKanal) {
    bool gut = !AKanal.empty() && AKanal.size() <= CKanalMax;
    for (char c : AKanal)
        gut = gut && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
    if (!gut)
        throw EDatenbankFehler("Eine Nachricht an andere Arbeitsplätze ist ungültig.", TDbFehlerArt::Allgemein, "",
                               "notification channel " + AKanal);
}

std::string LibpqText(PGconn* AConn) {
    std::string t = AConn ? PQerrorMessage(AConn) : "out of memory";
    while (!t.empty() && (t.back() == '\n' || t.back() == ' ')) t.pop_back();
    return "libpq: " + t;
}

class TPgLauscher : public IRDLLauscher {
public:
    TPgLauscher(PGconn* AVorbild, const std::string& AOrt, const std::string& AKanal)
        : FOrt(AOrt), FKanal(AKanal), FBeginn(std::chrono::steady_clock::now()) {
        KanalPruefen(FKanal);
        // The options the program's connection was made with, its password included.
        PQconninfoOption* optionen = PQconninfo(AVorbild);
        if (!optionen) throw Fehler(false, "PQconninfo failed");
        std::vector<std::string> namen, werte;
        bool keepalive = false;
        for (const PQconninfoOption* o = optionen; o->keyword; ++o) {
            const std::string name = o->keyword;
            if (!o->val || !*o->val || name == "application_name" || name == "client_encoding") continue;
            keepalive = keepalive || name.starts_with("keepalives_");
            namen.push_back(name);
            werte.push_back(o->val);
        }
        PQconninfoFree(optionen);
        // Named for the administrator's list of sessions.
        namen.insert(namen.end(), {"application_name", "client_encoding"});
        werte.insert(werte.end(), {"quendrix-nachrichten", "UTF8"});
        // An idle connection notices a server that went away only through keepalives.
        if (!keepalive) {
            namen.insert(namen.end(), {"keepalives_idle", "keepalives_interval", "keepalives_count"});
            werte.insert(werte.end(), {"60", "10", "3"});
        }
        std::vector<const char*> n, w;
        for (size_t i = 0; i < namen.size(); ++i) {
            n.push_back(namen[i].c_str());
            w.push_back(werte[i].c_str());
        }
        n.push_back(nullptr);
        w.push_back(nullptr);
        FConn = PQconnectStartParams(n.data(), w.data(), 0);
        if (!FConn || PQstatus(FConn) == CONNECTION_BAD) {
            auto e = Fehler(false, LibpqText(FConn));
            PQfinish(FConn);
            FConn = nullptr;
            throw e;
        }
    }
    ~TPgLauscher() override { PQfinish(FConn); }

    bool Abholen(std::vector<std::string>& ATexte) override {
        if (FStufe == TStufe::Verbinden) {
            if (!SocketBereit()) return Wartet();
            FWarten = PQconnectPoll(FConn);
            if (FWarten == PGRES_POLLING_FAILED) throw Fehler(false, LibpqText(FConn));
            if (FWarten != PGRES_POLLING_OK) return Wartet();
            PQsetnonblocking(FConn, 1);
            PQsetNoticeProcessor(FConn, [](void*, const char*) {}, nullptr);
            if (!PQsendQuery(FConn, ("LISTEN \"" + FKanal + "\"").c_str())) throw Fehler(false, LibpqText(FConn));
            FStufe = TStufe::Anmelden;
        }
        if (PQflush(FConn) < 0 || !PQconsumeInput(FConn) || PQstatus(FConn) == CONNECTION_BAD)
            throw Fehler(FStufe == TStufe::Lauscht, LibpqText(FConn));
        if (FStufe == TStufe::Anmelden) {
            while (FStufe == TStufe::Anmelden && !PQisBusy(FConn)) {
                PGresult* r = PQgetResult(FConn);
                if (!r) {
                    FStufe = TStufe::Lauscht;
                    break;
                }
                const bool gut = PQresultStatus(r) == PGRES_COMMAND_OK;
                std::string text = PQresultErrorMessage(r);
                PQclear(r);
                if (!gut) throw Fehler(false, "LISTEN: " + text);
            }
            if (FStufe != TStufe::Lauscht) return Wartet();
        }
        while (PGnotify* n = PQnotifies(FConn)) {
            if (FKanal == n->relname) ATexte.emplace_back(n->extra);
            PQfreemem(n);
        }
        return true;
    }

private:
    enum class TStufe { Verbinden, Anmelden, Lauscht };

    EDatenbankFehler Fehler(bool AAbgebrochen, const std::string& ADetails) const {
        return AAbgebrochen
                   ? EDatenbankFehler("Die Verbindung zum Datenbankserver " + Anfuehren(FOrt) +
                                          " für Nachrichten anderer Arbeitsplätze ist abgebrochen.",
                                      TDbFehlerArt::Abgebrochen, "", ADetails)
                   : EDatenbankFehler("Der Datenbankserver " + Anfuehren(FOrt) +
                                          " ist für Nachrichten anderer Arbeitsplätze nicht erreichbar.",
                                      TDbFehlerArt::Verbindung, "", ADetails);
    }
    // PQconnectPoll is called again only once the socket is ready for what it waits for.
    bool SocketBereit() const {
        const int fd = PQsocket(FConn);
        if (fd < 0) return true;
        pollfd p{fd, short(FWarten == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        return poll(&p, 1, 0) > 0;
    }
    bool Wartet() const {
        if (std::chrono::steady_clock::now() - FBeginn > CAnmeldeFrist)
            throw Fehler(false, "no answer within " + std::to_string(CAnmeldeFrist.count()) + " s");
        return false;
    }

    PGconn* FConn = nullptr;
    std::string FOrt;
    std::string FKanal;
    std::chrono::steady_clock::time_point FBeginn;
    TStufe FStufe = TStufe::Verbinden;
    // Right after PQconnectStartParams libpq counts as waiting to write.
    PostgresPollingStatusType FWarten = PGRES_POLLING_WRITING;
};

} // namespace

void RDLPgBenachrichtigen(IRDLVerbindung& AVerbindung, const std::string& AKanal, const std::string& AText) {
    KanalPruefen(AKanal);
    if (AText.size() > CTextMax || AText.find('\0') != std::string::npos)
        throw EDatenbankFehler("Eine Nachricht an andere Arbeitsplätze ist zu lang.", TDbFehlerArt::Allgemein, "",
                               "notification of " + std::to_string(AText.size()) + " bytes");
    auto a = AVerbindung.Vorbereiten("SELECT pg_notify(?, ?)", false);
    a->BindText(1, AKanal);
    a->BindText(2, AText);
    a->Schritt();
    a->Schliessen();
}

std::unique_ptr<IRDLLauscher> RDLPgLauschen(PGconn* AVorbild, const std::string& AOrt, const std::string& AKanal) {
    return std::make_unique<TPgLauscher>(AVorbild, AOrt, AKanal);
}
