#include "rdlfernsteuerung.h"

#include "rdlform.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlstapellauf.h"

#include <QByteArray>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// How often waiting requests look whether the window's work is done.
constexpr int CWartenMs = 100;

// Characters that are safe in a file name of every system the suite runs on.
std::string NamensTeil(std::string_view ATeil, bool AKlein) {
    std::string r;
    for (char c : ATeil) {
        if (AKlein && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        const bool gut = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                         c == '_' || c == '-';
        r += gut ? c : '_';
    }
    return r.empty() ? "_" : r;
}

// The account of the process, not $USER: a program started with another environment
// still finds the windows of its user.
std::string Kontoname() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    return std::to_string(geteuid());
}

// The other end of a local connection runs under this process's user. The socket's
// permissions already keep others out; this also catches a socket another user placed
// under the name before the window could.
bool GleicherBenutzer(qintptr ADeskriptor) {
    ucred c{};
    socklen_t n = sizeof c;
    return ADeskriptor >= 0 && getsockopt(int(ADeskriptor), SOL_SOCKET, SO_PEERCRED, &c, &n) == 0 &&
           c.uid == geteuid();
}

QByteArray Zeile(const char* AArt, const std::string& AText) {
    return QByteArray(AArt) + ' ' + QByteArray::fromStdString(AText);
}

void Notiz(const std::string& AText) { RDLInfo().LogSchreiben("Fernsteuerung: " + AText); }

} // namespace

std::string RDLFernsteuerungName(const std::string& AFenster) {
    return "quendrix-" + NamensTeil(Kontoname(), false) + "-" + NamensTeil(RDLInfo().RDLInfoTerminalID(), false) + "-" +
           NamensTeil(AFenster, true);
}

std::string RDLFernsteuerungPfad(const std::string& AFenster) {
    return QDir::tempPath().toStdString() + "/" + RDLFernsteuerungName(AFenster);
}

// --- the window's side ------------------------------------------------------------------

TRDLFernsteuerung::TRDLFernsteuerung(TRDLForm* AFenster, TSpeichern ASpeichern, std::string AFensterName)
    : QObject(AFenster), FFenster(AFenster), FSpeichern(std::move(ASpeichern)), FName(std::move(AFensterName)) {
    FWarten = new QTimer(this);
    FWarten->setInterval(CWartenMs);
    connect(FWarten, &QTimer::timeout, this, [this] { Abarbeiten(); });
    AFenster->installEventFilter(this);
}

TRDLFernsteuerung::~TRDLFernsteuerung() {
    KOV_Geschuetzt("TRDLFernsteuerung.Destroy", false, [&] {
        if (!FServer) return;
        // No signal of a connection may reach this half-gone object.
        for (QLocalSocket* s : FServer->findChildren<QLocalSocket*>()) QObject::disconnect(s, nullptr, this, nullptr);
        for (const TAnfrage& a : FWarteschlange)
            if (a.Socket) {
                a.Socket->write(Zeile(CRDLFern_Fehler, "Das Fenster wurde geschlossen.") + '\n');
                a.Socket->flush();
            }
        FWarteschlange.clear();
        delete FServer;
        FServer = nullptr;
    });
}

bool TRDLFernsteuerung::Lauscht() const { return FServer && FServer->isListening(); }

bool TRDLFernsteuerung::eventFilter(QObject* AObjekt, QEvent* AEvent) {
    if (AObjekt == FFenster) {
        if (RDLErgebnisNachrichtBehandeln(AEvent, FSpeichern)) return true;
        // Listening starts before the window's own show handler, so that a request during
        // the first selection waits for it. Minimising is no closing.
        if (AEvent->type() == QEvent::Show) Lauschen();
        else if (AEvent->type() == QEvent::Hide && !AEvent->spontaneous()) Beenden("Das Fenster wurde geschlossen.");
    }
    return QObject::eventFilter(AObjekt, AEvent);
}

void TRDLFernsteuerung::Lauschen() {
    KOV_Geschuetzt("TRDLFernsteuerung.Lauschen", false, [&] {
        if (Lauscht()) return;
        const QString pfad = QString::fromStdString(RDLFernsteuerungPfad(FName));
        // A window of the same name in another program of this user keeps the name; a
        // socket left behind by a program that ended is replaced.
        QLocalSocket probe;
        probe.connectToServer(pfad);
        if (probe.waitForConnected(1000)) {
            probe.abort();
            Notiz("Unter " + pfad.toStdString() + " nimmt schon ein anderes Fenster Anfragen an; dieses nicht.");
            return;
        }
        QLocalServer::removeServer(pfad);
        if (!FServer) {
            FServer = new QLocalServer(this);
            FServer->setSocketOptions(QLocalServer::UserAccessOption);
            connect(FServer, &QLocalServer::newConnection, this, [this] { NeueVerbindungen(); });
        }
        if (!FServer->listen(pfad))
            Notiz("Das Fenster nimmt keine Anfragen an (" + pfad.toStdString() + ": " +
                  FServer->errorString().toStdString() + ").");
    });
}

void TRDLFernsteuerung::Beenden(const std::string& AGrund) {
    KOV_Geschuetzt("TRDLFernsteuerung.Beenden", false, [&] {
        FWarten->stop();
        std::deque<TAnfrage> offen;
        offen.swap(FWarteschlange);
        for (const TAnfrage& a : offen) Antworten(a.Socket, Zeile(CRDLFern_Fehler, AGrund));
        std::vector<QLocalSocket*> halbe;
        for (const auto& [s, _] : FPuffer) halbe.push_back(s);
        for (QLocalSocket* s : halbe) s->abort();
        if (FServer) FServer->close();
    });
}

void TRDLFernsteuerung::NeueVerbindungen() {
    KOV_Geschuetzt("TRDLFernsteuerung.NeueVerbindungen", false, [&] {
        while (QLocalSocket* s = FServer->nextPendingConnection()) {
            if (!GleicherBenutzer(s->socketDescriptor())) {
                Notiz("Eine Verbindung eines anderen Benutzers wurde abgewiesen.");
                s->abort();
                s->deleteLater();
                continue;
            }
            FPuffer[s];
            connect(s, &QLocalSocket::readyRead, this, [this, s] { Lesen(s); });
            connect(s, &QLocalSocket::disconnected, this, [this, s] { Weg(s); });
            if (s->bytesAvailable() > 0) Lesen(s);
        }
    });
}

void TRDLFernsteuerung::Lesen(QLocalSocket* ASocket) {
    KOV_Geschuetzt("TRDLFernsteuerung.Lesen", false, [&] {
        const auto it = FPuffer.find(ASocket);
        if (it == FPuffer.end()) return; // its request is in, the rest is not read
        it->second += ASocket->readAll();
        const qsizetype ende = it->second.indexOf('\n');
        if (ende < 0) {
            if (it->second.size() > CRDLFern_ZeileMax) {
                FPuffer.erase(it);
                Antworten(ASocket, Zeile(CRDLFern_Fehler, "Die Anfrage ist zu lang."));
            }
            return;
        }
        QByteArray zeile = it->second.left(ende);
        FPuffer.erase(it);
        if (zeile.endsWith('\r')) zeile.chop(1);
        const qsizetype leer = zeile.indexOf(' ');
        const std::string nummer = zeile.left(leer < 0 ? zeile.size() : leer).toStdString();
        const std::string datei = leer < 0 ? std::string() : zeile.mid(leer + 1).toStdString();
        if (nummer != std::to_string(CRDL_Nachricht_ErgebnisSpeichern)) {
            Antworten(ASocket, Zeile(CRDLFern_Fehler, "Unbekannte Anfrage; erwartet wird \u201E" +
                                                          std::to_string(CRDL_Nachricht_ErgebnisSpeichern) +
                                                          " Dateiname\u201C."));
            return;
        }
        // The window's working folder is none of the requester's business.
        if (datei.empty() || datei.front() != '/' || datei.find('\0') != std::string::npos) {
            Antworten(ASocket, Zeile(CRDLFern_Fehler, "Der Dateiname muss vollst\u00E4ndig (absolut) angegeben sein."));
            return;
        }
        FWarteschlange.push_back({ASocket, datei, false});
        Abarbeiten();
    });
}

void TRDLFernsteuerung::Weg(QLocalSocket* ASocket) {
    KOV_Geschuetzt("TRDLFernsteuerung.Weg", false, [&] {
        FPuffer.erase(ASocket);
        // A requester that has gone has withdrawn its request.
        std::erase_if(FWarteschlange, [&](const TAnfrage& A) { return A.Socket == ASocket; });
        if (FWarteschlange.empty()) FWarten->stop();
        ASocket->deleteLater();
    });
}

void TRDLFernsteuerung::Abarbeiten() {
    // A message box of the write lets events through: the request in delivery ends first.
    if (FLiefert) return;
    KOV_Geschuetzt("TRDLFernsteuerung.Abarbeiten", false, [&] {
        while (!FWarteschlange.empty() && !RDLProgramm().Working(FFenster)) {
            const TAnfrage a = FWarteschlange.front();
            FWarteschlange.pop_front();
            const QPointer<QLocalSocket> socket(a.Socket);
            bool geschrieben = false;
            FLiefert = true;
            KOV_Geschuetzt("TRDLFernsteuerung.Abarbeiten", false, [&] {
                geschrieben = RDLTextNachrichtSenden(FFenster, CRDL_Nachricht_ErgebnisSpeichern, a.Datei);
            });
            FLiefert = false;
            if (!socket) continue;
            Antworten(socket, geschrieben ? Zeile(CRDLFern_Ok, a.Datei)
                                          : Zeile(CRDLFern_Fehler,
                                                  "Das Fenster hat kein vollst\u00E4ndiges Ergebnis, oder die Datei "
                                                  "konnte nicht geschrieben werden (Grund im Protokoll des "
                                                  "Auswertungs-Centers); eine vorhandene Datei ist unver\u00E4ndert."));
        }
        // The rest waits for the window's work; the requesters hear so once.
        for (TAnfrage& a : FWarteschlange)
            if (!a.LaeuftGesagt) {
                a.LaeuftGesagt = true;
                a.Socket->write(QByteArray(CRDLFern_Laeuft) + '\n');
                a.Socket->flush();
            }
        if (FWarteschlange.empty()) FWarten->stop();
        else if (!FWarten->isActive()) FWarten->start();
    });
}

void TRDLFernsteuerung::Antworten(QLocalSocket* ASocket, const QByteArray& AZeile) {
    if (!ASocket || ASocket->state() != QLocalSocket::ConnectedState) return;
    ASocket->write(AZeile + '\n');
    ASocket->flush();
    ASocket->disconnectFromServer();
}

TRDLFernsteuerung* RDLFernsteuerungEinrichten(TRDLForm* AFenster, TRDLFernsteuerung::TSpeichern ASpeichern,
                                              const std::string& AFensterName) {
    return new TRDLFernsteuerung(AFenster, std::move(ASpeichern),
                                 AFensterName.empty() ? AFenster->metaObject()->className() : AFensterName);
}

// --- the requesting side ------------------------------------------------------------------

TRDLFernAntwort RDLFernErgebnisAnfordern(const std::string& AFenster, const std::string& ADateiname, int ASekunden,
                                         const std::function<void()>& ALaeuft) {
    const std::string pfad = RDLFernsteuerungPfad(AFenster);
    if (ADateiname.empty()) return {TRDLFernErgebnis::Fehler, "Es ist kein Dateiname angegeben."};
    // The request is one line: a name with a line break would reach the window cut off.
    if (ADateiname.find_first_of(std::string("\n\r\0", 3)) != std::string::npos)
        return {TRDLFernErgebnis::Fehler, "Ein Dateiname mit Zeilenumbruch kann nicht angefordert werden."};
    std::error_code ec;
    const std::string datei = std::filesystem::absolute(ADateiname, ec).string();
    if (ec) return {TRDLFernErgebnis::Fehler, "Der Dateiname \u201E" + ADateiname + "\u201C ist nicht verwendbar."};
    const TRDLFernAntwort keinFenster{TRDLFernErgebnis::KeinFenster,
                                      "Kein Fenster \u201E" + AFenster +
                                          "\u201C dieses Benutzers nimmt auf diesem Arbeitsplatz Anfragen an (erwartet "
                                          "unter " +
                                          pfad + ")."};
    QLocalSocket s;
    s.connectToServer(QString::fromStdString(pfad));
    if (!s.waitForConnected(5000)) return keinFenster;
    if (!GleicherBenutzer(s.socketDescriptor())) {
        s.abort();
        return {TRDLFernErgebnis::KeinFenster,
                "Unter " + pfad + " nimmt ein Programm eines anderen Benutzers Anfragen an; es wurde nichts gesendet."};
    }
    s.write(QByteArray::number(CRDL_Nachricht_ErgebnisSpeichern) + ' ' + QByteArray::fromStdString(datei) + '\n');
    s.flush();

    TRDLFernAntwort antwort;
    bool fertig = false;
    QByteArray puffer;
    QEventLoop schleife;
    const auto fertigMit = [&](TRDLFernAntwort A) {
        if (fertig) return;
        antwort = std::move(A);
        fertig = true;
        schleife.quit();
    };
    const auto lesen = [&] {
        puffer += s.readAll();
        for (qsizetype ende; !fertig && (ende = puffer.indexOf('\n')) >= 0;) {
            const QByteArray z = puffer.left(ende);
            puffer.remove(0, ende + 1);
            if (z == CRDLFern_Laeuft) {
                if (ALaeuft) ALaeuft();
            } else if (z == CRDLFern_Ok || z.startsWith(QByteArray(CRDLFern_Ok) + ' ')) {
                fertigMit({TRDLFernErgebnis::Geschrieben, "Das Ergebnis steht in \u201E" + datei + "\u201C."});
            } else if (z.startsWith(QByteArray(CRDLFern_Fehler) + ' ')) {
                fertigMit({TRDLFernErgebnis::Fehler, z.mid(qsizetype(std::strlen(CRDLFern_Fehler)) + 1).toStdString()});
            } else {
                fertigMit({TRDLFernErgebnis::Fehler, "Das Fenster gab eine unverst\u00E4ndliche Antwort."});
            }
        }
    };
    QTimer uhr;
    uhr.setSingleShot(true);
    QObject::connect(&s, &QLocalSocket::readyRead, &schleife, lesen);
    const TRDLFernAntwort ohneAntwort{TRDLFernErgebnis::Fehler, "Das Fenster hat die Verbindung ohne Antwort beendet."};
    QObject::connect(&s, &QLocalSocket::disconnected, &schleife, [&] {
        lesen();
        fertigMit(ohneAntwort);
    });
    QObject::connect(&uhr, &QTimer::timeout, &schleife, [&] {
        fertigMit({TRDLFernErgebnis::Zeitablauf, "Keine Antwort von \u201E" + AFenster + "\u201C innerhalb von " +
                                                     std::to_string(ASekunden) +
                                                     " Sekunden; die Anfrage ist zur\u00FCckgezogen."});
    });
    uhr.start(std::max(1, ASekunden) * 1000);
    lesen();
    if (!fertig && s.state() != QLocalSocket::ConnectedState) fertigMit(ohneAntwort);
    if (!fertig) schleife.exec();
    // Closing withdraws a request the window has not carried out yet.
    QObject::disconnect(&s, nullptr, &schleife, nullptr);
    s.abort();
    return antwort;
}
