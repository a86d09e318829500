#include "rdlbroadcast.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <map>
#include <poll.h>
#include <random>
#include <set>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using THandler = TRDLNachrichtenEmpfaenger::THandler;

// A datagram: identifier, first and second parameter, the sender's number of the
// message, the sender, then the message's name.
constexpr char CKennung[4] = {'Q', 'X', 'N', '2'};
constexpr size_t CAbsenderLaenge = 16;
constexpr size_t CKopf = sizeof CKennung + 8 + 8 + 8 + CAbsenderLaenge;
constexpr size_t CNameMax = 256;
// How long a sender waits for a receiver whose queue is full.
constexpr int CSendeWartezeitMs = 1000;

// The notifications of a server database: one channel (notifications stay within their
// database), the text "QXN1 <sender> <number> <wparam> <lparam> <name>" (docs/schema.md).
constexpr const char* CKanal = "quendrix_nachricht";
constexpr std::string_view CTextKennung = "QXN1";
// After a failed connection the listener tries again after this long.
constexpr auto CNeuerVersuch = std::chrono::seconds(5);
// Messages of other processes remembered, to hand over one that arrives both ways once.
constexpr size_t CGesehenMax = 1024;

using TNachrichtId = std::pair<std::string, uint64_t>;

struct TZustand {
    pid_t Pid = 0;
    uint32_t Zaehler = 0;
    // Names this process as a sender, and counts its messages.
    std::string Absender;
    uint64_t Lfd = 0;
    std::map<uint64_t, THandler> Empfaenger;
    int Fd = -1;
    std::string Ordner;
    std::string SocketPfad;
    std::unique_ptr<IRDLLauscher> Lauscher;
    std::weak_ptr<TRDLDatenbank> LauscherDb;
    bool Lauscht = false;
    bool LauscherFehlerGemeldet = false;
    bool FormatFehlerGemeldet = false; // once per database listened to
    std::chrono::steady_clock::time_point NaechsterVersuch;
    std::set<TNachrichtId> Gesehen;
    std::deque<TNachrichtId> GesehenReihe;
};

struct TNamen {
    std::map<std::string, uint32_t> Nummern;
    std::map<uint32_t, std::string> Namen;
    uint32_t Naechste = 0xC000; // the range Windows gives registered messages
};

bool OrdnerFehlerGemeldet = false;

TNamen& Namen() {
    static TNamen n;
    return n;
}

TZustand& Zustand() {
    static TZustand z;
    // A forked child inherits the parent's socket, listener and receivers, which are not
    // its own; the parent's listening session is not the child's to end.
    if (z.Pid != getpid()) {
        if (z.Fd >= 0) close(z.Fd);
        (void)z.Lauscher.release();
        z = TZustand{};
        z.Pid = getpid();
        std::random_device zufall;
        const uint64_t id = (uint64_t(zufall()) << 32) ^ zufall();
        z.Absender.assign(CAbsenderLaenge, '0');
        char hex[CAbsenderLaenge];
        const auto ende = std::to_chars(hex, hex + sizeof hex, id, 16).ptr;
        std::copy(hex, ende, z.Absender.end() - (ende - hex));
        z.Zaehler = zufall();
    }
    return z;
}

void Melden(const std::string& AText) {
    RDLInfo().RegisterException("RDLBroadcastSystemMessage", Exception(AText), false);
}

// Without the folder messages stay within this process; said once per process.
void OrdnerFehler(const std::string& AOrdner, const std::string& AGrund) {
    if (OrdnerFehlerGemeldet) return;
    OrdnerFehlerGemeldet = true;
    Melden("Der Ordner \"" + AOrdner + "\" für Nachrichten zwischen Programmen ist nicht nutzbar (" + AGrund +
           "); Nachrichten erreichen nur dieses Programm.");
}

bool AdresseSetzen(const std::string& APfad, sockaddr_un& AAdresse) {
    std::memset(&AAdresse, 0, sizeof AAdresse);
    AAdresse.sun_family = AF_UNIX;
    if (APfad.size() >= sizeof AAdresse.sun_path) return false;
    std::memcpy(AAdresse.sun_path, APfad.c_str(), APfad.size());
    return true;
}

// Creates the folder if needed; only a folder of this user is trusted (it may lie in /tmp).
bool OrdnerBereit(std::string& AOrdner) {
    AOrdner = RDLNachrichtenOrdner();
    if (mkdir(AOrdner.c_str(), 0700) != 0 && errno != EEXIST) {
        OrdnerFehler(AOrdner, std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (lstat(AOrdner.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        OrdnerFehler(AOrdner, "kein eigener Ordner");
        return false;
    }
    sockaddr_un probe;
    if (!AdresseSetzen(AOrdner + "/4294967295", probe)) {
        OrdnerFehler(AOrdner, "Pfad zu lang");
        return false;
    }
    return true;
}

void SocketSchliessen(TZustand& z) {
    if (z.Fd < 0) return;
    close(z.Fd);
    unlink(z.SocketPfad.c_str());
    z.Fd = -1;
    z.SocketPfad.clear();
    z.Ordner.clear();
}

// The process's own socket, bound while it has receivers.
void SocketSicherstellen(TZustand& z) {
    std::string ordner;
    if (!OrdnerBereit(ordner)) return;
    if (z.Fd >= 0 && z.Ordner == ordner) return;
    SocketSchliessen(z);
    const std::string pfad = ordner + "/" + std::to_string(z.Pid);
    sockaddr_un a;
    AdresseSetzen(pfad, a);
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        OrdnerFehler(ordner, std::strerror(errno));
        return;
    }
    // A file under this process's id can only be left over from a dead process.
    unlink(pfad.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        OrdnerFehler(ordner, std::strerror(errno));
        close(fd);
        return;
    }
    z.Fd = fd;
    z.Ordner = ordner;
    z.SocketPfad = pfad;
}

// Every receiver alive when the message arrives, each on its own guard, so that one
// failing handler does not keep the message from the others.
void Zustellen(uint32_t AMsg, uint64_t AWParam, int64_t ALParam) {
    std::vector<uint64_t> handles;
    for (const auto& [h, _] : Zustand().Empfaenger) handles.push_back(h);
    for (uint64_t h : handles) {
        auto& empf = Zustand().Empfaenger;
        auto it = empf.find(h);
        if (it == empf.end()) continue; // gone during an earlier handler
        THandler handler = it->second;  // a copy: the handler may destroy its receiver
        KOV_Geschuetzt("TRDLNachrichtenEmpfaenger.Handler", false, [&] { handler(AMsg, AWParam, ALParam); });
    }
}

// A name never registered here has no receiver that could wait for it.
void NachNameZustellen(const std::string& AName, uint64_t AWParam, int64_t ALParam) {
    const auto& nummern = Namen().Nummern;
    if (auto it = nummern.find(AName); it != nummern.end()) Zustellen(it->second, AWParam, ALParam);
}

// A socket whose process is gone is removed, unless its id already names a new process.
void VerwaisteEntfernen(const std::string& APfad, pid_t APid) {
    if (kill(APid, 0) != 0 && errno == ESRCH) unlink(APfad.c_str());
}

void AnProzessSenden(const std::string& APfad, pid_t APid, const std::string& ADaten) {
    sockaddr_un a;
    if (!AdresseSetzen(APfad, a)) return;
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Melden(std::string("Nachricht nicht gesendet: ") + std::strerror(errno));
        return;
    }
    // Connected, so that poll can wait for room in the receiver's queue.
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    if (ok) {
        ssize_t n = send(fd, ADaten.data(), ADaten.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, CSendeWartezeitMs) > 0) n = send(fd, ADaten.data(), ADaten.size(), MSG_NOSIGNAL);
        }
        ok = n >= 0;
    }
    if (!ok) {
        if (errno == ECONNREFUSED) VerwaisteEntfernen(APfad, APid);
        else if (errno != ENOENT)
            Melden("Nachricht an Prozess " + std::to_string(APid) + " nicht zugestellt: " + std::strerror(errno));
    }
    close(fd);
}

void AnAndereSenden(const std::string& AName, uint64_t AWParam, int64_t ALParam, uint64_t ALfd) {
    std::string ordner;
    if (!OrdnerBereit(ordner)) return;
    std::string daten(CKopf, '\0');
    std::memcpy(daten.data(), CKennung, sizeof CKennung);
    std::memcpy(daten.data() + 4, &AWParam, 8);
    std::memcpy(daten.data() + 12, &ALParam, 8);
    std::memcpy(daten.data() + 20, &ALfd, 8);
    std::memcpy(daten.data() + 28, Zustand().Absender.data(), CAbsenderLaenge);
    daten += AName;
    DIR* d = opendir(ordner.c_str());
    if (!d) return;
    std::vector<std::pair<std::string, pid_t>> ziele;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.empty() || name.size() > 10 || name.find_first_not_of("0123456789") != std::string::npos) continue;
        const long pid = std::strtol(name.c_str(), nullptr, 10);
        if (pid <= 0 || pid == getpid()) continue;
        ziele.emplace_back(ordner + "/" + name, pid_t(pid));
    }
    closedir(d);
    for (const auto& [pfad, pid] : ziele) AnProzessSenden(pfad, pid, daten);
}

// --- the server database's notifications ------------------------------------------------

std::string ServerText(const std::string& AName, uint64_t AWParam, int64_t ALParam, uint64_t ALfd) {
    return std::string(CTextKennung) + " " + Zustand().Absender + " " + std::to_string(ALfd) + " " +
           std::to_string(AWParam) + " " + std::to_string(ALParam) + " " + AName;
}

// Sent in the program's session: a message that follows a change inside a transaction
// reaches the other workstations with its commit, never before.
void ServerBenachrichtigen(const std::string& AName, uint64_t AWParam, int64_t ALParam, uint64_t ALfd) {
    auto& p = RDLProgramm();
    if (!p.HatDatenbank()) return;
    try {
        p.Datenbank().Verbindung().Benachrichtigen(CKanal, ServerText(AName, AWParam, ALParam, ALfd));
    } catch (const std::exception& E) {
        RDLInfo().RegisterException("RDLBroadcastSystemMessage", E, false);
    }
}

struct TServerNachricht {
    std::string Absender;
    uint64_t Lfd = 0;
    uint64_t WParam = 0;
    int64_t LParam = 0;
    std::string Name;
};

template <class T>
bool ZahlLesen(std::string_view AText, T& AWert) {
    const auto r = std::from_chars(AText.data(), AText.data() + AText.size(), AWert);
    return r.ec == std::errc() && r.ptr == AText.data() + AText.size();
}

bool ServerTextLesen(std::string_view AText, TServerNachricht& AN) {
    std::string_view felder[5];
    for (auto& f : felder) {
        const auto leer = AText.find(' ');
        if (leer == std::string_view::npos || leer == 0) return false;
        f = AText.substr(0, leer);
        AText.remove_prefix(leer + 1);
    }
    AN.Absender = felder[1];
    AN.Name = AText;
    return felder[0] == CTextKennung && AN.Absender.size() <= 64 && ZahlLesen(felder[2], AN.Lfd) &&
           ZahlLesen(felder[3], AN.WParam) && ZahlLesen(felder[4], AN.LParam) && !AN.Name.empty() &&
           AN.Name.size() <= CNameMax;
}

// False for a message of another process that was handed over already (it came both ways).
bool ErstesMal(TZustand& z, const std::string& AAbsender, uint64_t ALfd) {
    TNachrichtId id{AAbsender, ALfd};
    if (!z.Gesehen.insert(id).second) return false;
    z.GesehenReihe.push_back(std::move(id));
    if (z.GesehenReihe.size() > CGesehenMax) {
        z.Gesehen.erase(z.GesehenReihe.front());
        z.GesehenReihe.pop_front();
    }
    return true;
}

void LauscherBeenden(TZustand& z) {
    z.Lauscher.reset();
    z.Lauscht = false;
}

// The listener follows the program's database while the process has receivers.
void LauscherPruefen(TZustand& z) {
    std::shared_ptr<TRDLDatenbank> db;
    if (!z.Empfaenger.empty() && RDLProgramm().HatDatenbank()) db = RDLProgramm().DatenbankShared();
    if (!db || z.LauscherDb.lock() != db) {
        LauscherBeenden(z);
        z.LauscherDb = db;
        z.NaechsterVersuch = {};
        z.LauscherFehlerGemeldet = false;
        z.FormatFehlerGemeldet = false;
        if (!db) return;
    }
    const auto jetzt = std::chrono::steady_clock::now();
    if (z.Lauscher || jetzt < z.NaechsterVersuch) return;
    try {
        z.Lauscher = db->Verbindung().Lauschen(CKanal);
        // A store without notifications is not asked again.
        if (!z.Lauscher) z.NaechsterVersuch = std::chrono::steady_clock::time_point::max();
    } catch (const std::exception& E) {
        z.NaechsterVersuch = jetzt + CNeuerVersuch;
        if (!z.LauscherFehlerGemeldet) RDLInfo().RegisterException("RDLNachrichtenVerarbeiten", E, false);
        z.LauscherFehlerGemeldet = true;
    }
}

// Said once until it listens again: after a loss the first new attempt comes at once.
void LauscherGescheitert(TZustand& z, const std::exception& AE) {
    const bool lief = z.Lauscht;
    LauscherBeenden(z);
    z.NaechsterVersuch = std::chrono::steady_clock::now() + (lief ? std::chrono::seconds(0) : CNeuerVersuch);
    if (!z.LauscherFehlerGemeldet) RDLInfo().RegisterException("RDLNachrichtenVerarbeiten", AE, false);
    z.LauscherFehlerGemeldet = true;
}

std::vector<std::string> ServerTexteAbholen(TZustand& z) {
    std::vector<std::string> texte;
    LauscherPruefen(z);
    if (!z.Lauscher) return texte;
    try {
        z.Lauscht = z.Lauscher->Abholen(texte);
        if (z.Lauscht) z.LauscherFehlerGemeldet = false;
    } catch (const std::exception& E) {
        LauscherGescheitert(z, E);
    }
    return texte;
}

} // namespace

std::string RDLNachrichtenOrdner() {
    if (const char* o = std::getenv("QUENDRIX_NACHRICHTENORDNER"); o && *o) return o;
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x) return std::string(x) + "/quendrix";
    return "/tmp/quendrix-" + std::to_string(geteuid());
}

uint32_t RDLRegisterWindowMessage(const std::string& AName) {
    auto& n = Namen();
    if (auto it = n.Nummern.find(AName); it != n.Nummern.end()) return it->second;
    const uint32_t nr = n.Naechste++;
    n.Nummern.emplace(AName, nr);
    n.Namen.emplace(nr, AName);
    return nr;
}

TRDLNachrichtenEmpfaenger::TRDLNachrichtenEmpfaenger(THandler AHandler) {
    auto& z = Zustand();
    FHandle = (uint64_t(uint32_t(z.Pid)) << 32) | ++z.Zaehler;
    z.Empfaenger.emplace(FHandle, std::move(AHandler));
    SocketSicherstellen(z);
    // Starts connecting now, so that it listens by the time the receiver asks.
    LauscherPruefen(z);
}

TRDLNachrichtenEmpfaenger::~TRDLNachrichtenEmpfaenger() {
    auto& z = Zustand();
    z.Empfaenger.erase(FHandle);
    // A process without receivers takes no messages: others need not send to it.
    if (z.Empfaenger.empty()) {
        SocketSchliessen(z);
        LauscherBeenden(z);
    }
}

void RDLBroadcastSystemMessage(uint32_t AMsg, uint64_t AWParam, int64_t ALParam) {
    Zustellen(AMsg, AWParam, ALParam);
    const auto& namen = Namen().Namen;
    auto it = namen.find(AMsg);
    // Only registered messages have a name other processes can know.
    if (it == namen.end() || it->second.size() > CNameMax) return;
    const std::string name = it->second;
    const uint64_t lfd = ++Zustand().Lfd;
    AnAndereSenden(name, AWParam, ALParam, lfd);
    ServerBenachrichtigen(name, AWParam, ALParam, lfd);
}

int RDLNachrichtenVerarbeiten() {
    int anzahl = 0;
    char puffer[CKopf + CNameMax + 1];
    while (Zustand().Fd >= 0) {
        const ssize_t n = recv(Zustand().Fd, puffer, sizeof puffer, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            break; // drained (EAGAIN) or unusable
        }
        if (size_t(n) < CKopf || std::memcmp(puffer, CKennung, sizeof CKennung) != 0) continue;
        uint64_t w, lfd;
        int64_t l;
        std::memcpy(&w, puffer + 4, 8);
        std::memcpy(&l, puffer + 12, 8);
        std::memcpy(&lfd, puffer + 20, 8);
        const std::string absender(puffer + 28, CAbsenderLaenge);
        if (!ErstesMal(Zustand(), absender, lfd)) continue;
        ++anzahl;
        NachNameZustellen(std::string(puffer + CKopf, size_t(n) - CKopf), w, l);
    }
    // Collected first: a receiver may look for messages itself, or go.
    for (const std::string& text : ServerTexteAbholen(Zustand())) {
        TServerNachricht m;
        if (!ServerTextLesen(text, m)) {
            if (!Zustand().FormatFehlerGemeldet)
                RDLInfo().RegisterException(
                    "RDLNachrichtenVerarbeiten",
                    Exception("Eine Nachricht eines anderen Programms hat ein unbekanntes Format und wird übergangen: " +
                              text.substr(0, 80)),
                    false);
            Zustand().FormatFehlerGemeldet = true;
            continue;
        }
        // The sender handed its own message over at once.
        if (m.Absender == Zustand().Absender || !ErstesMal(Zustand(), m.Absender, m.Lfd)) continue;
        ++anzahl;
        NachNameZustellen(m.Name, m.WParam, m.LParam);
    }
    return anzahl;
}

bool RDLNachrichtenUeberServer() { return Zustand().Lauscht; }
