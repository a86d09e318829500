#pragma once
// Remote control of result windows by the suite's other programs. While a result window
// is shown it listens on a local socket that only its own user can reach; a request
// carries a file name, the window writes its current result there as message 2331 asks
// (what "Liste speichern" writes), signals event 3 and answers. A request that arrives
// while the window works (a selection runs, a dialog of a handler is open) is carried out
// when that work is done; a result the window does not have, or a write that failed, is
// answered as a failure, without event 3. Protocol and exit codes: docs/benutzerhandbuch.md,
// "Fernsteuerung der Ergebnisfenster".
#include <QObject>

#include <deque>
#include <functional>
#include <map>
#include <string>

class QByteArray;
class QEvent;
class QLocalServer;
class QLocalSocket;
class QTimer;
class TRDLForm;

// The lines of the protocol (UTF-8, one line each, ended by "\n"). Request: the message
// number, a blank, the absolute file name. Answers: "LAEUFT" while the window works (the
// final answer follows), then either "OK <file name>" or "FEHLER <German text>".
inline constexpr const char* CRDLFern_Laeuft = "LAEUFT";
inline constexpr const char* CRDLFern_Ok = "OK";
inline constexpr const char* CRDLFern_Fehler = "FEHLER";
// A request line longer than this is refused.
inline constexpr int CRDLFern_ZeileMax = 64 * 1024;

// The socket name of a window: "quendrix-<user>-<workstation>-<window>", the window's
// class name in lower case; characters other than letters, digits, ".", "_" and "-"
// become "_". The workstation is RDLInfoTerminalID ($QUENDRIX_TERMINAL or the host name).
std::string RDLFernsteuerungName(const std::string& AFenster);
// Where that socket lies: in the folder for temporary files ($TMPDIR, else /tmp).
std::string RDLFernsteuerungPfad(const std::string& AFenster);

// Answers message 2331 for one window and listens for requests while the window is shown.
// A child of the window: it goes with it.
class TRDLFernsteuerung : public QObject {
    Q_OBJECT
public:
    // ASpeichern writes the window's current result into the named file (true when written).
    using TSpeichern = std::function<bool(const std::string& ADateiname)>;
    TRDLFernsteuerung(TRDLForm* AFenster, TSpeichern ASpeichern, std::string AFensterName);
    ~TRDLFernsteuerung() override;
    TRDLFernsteuerung(const TRDLFernsteuerung&) = delete;
    TRDLFernsteuerung& operator=(const TRDLFernsteuerung&) = delete;

    const std::string& FensterName() const { return FName; }
    bool Lauscht() const;
    // Requests waiting for the window's work to end.
    int Wartende() const { return int(FWarteschlange.size()); }

protected:
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override;

private:
    void Lauschen();
    void Beenden(const std::string& AGrund);
    void NeueVerbindungen();
    void Lesen(QLocalSocket* ASocket);
    void Weg(QLocalSocket* ASocket);
    void Abarbeiten();
    void Antworten(QLocalSocket* ASocket, const QByteArray& AZeile);

    struct TAnfrage {
        QLocalSocket* Socket = nullptr;
        std::string Datei;
        bool LaeuftGesagt = false;
    };

    TRDLForm* FFenster;
    TSpeichern FSpeichern;
    std::string FName;
    QLocalServer* FServer = nullptr;
    QTimer* FWarten = nullptr; // looks again while requests wait for the window's work
    std::map<QLocalSocket*, QByteArray> FPuffer; // connections without a complete request yet
    std::deque<TAnfrage> FWarteschlange;
    bool FLiefert = false;
};

// The one line of a window's create handler: message 2331 (also from batch runs) is
// answered with ASpeichern, and while the window is shown other programs reach it under
// its class name (Q_OBJECT), or AFensterName when given.
TRDLFernsteuerung* RDLFernsteuerungEinrichten(TRDLForm* AFenster, TRDLFernsteuerung::TSpeichern ASpeichern,
                                              const std::string& AFensterName = {});

// --- the requesting side (quendrix-remote) ---------------------------------------------

enum class TRDLFernErgebnis {
    Geschrieben, // the window wrote the file and signalled event 3
    Fehler,      // the window answered with a failure, or broke off
    KeinFenster, // no window of this user listens under that name
    Zeitablauf,  // no answer in time; the request is withdrawn
};

struct TRDLFernAntwort {
    TRDLFernErgebnis Ergebnis = TRDLFernErgebnis::Fehler;
    std::string Text; // German, for the user
};

// Asks the window AFenster of this user on this workstation for its result in
// ADateiname (made absolute against the current folder, otherwise as given) and waits,
// handling the thread's events, at most ASekunden. ALaeuft is called when the window
// says that it is still working.
TRDLFernAntwort RDLFernErgebnisAnfordern(const std::string& AFenster, const std::string& ADateiname, int ASekunden,
                                         const std::function<void()>& ALaeuft = {});
