#include "rdlergebnisdatei.h"

#include "rdldatum.h"
#include "rdlinfo.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TRDLErgebnisDateiStoerung* GStoerung = nullptr;

std::string Anf(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

std::string Ordner(const std::string& APfad) {
    const std::filesystem::path p = std::filesystem::path(APfad).parent_path();
    if (!p.empty()) return p.string();
    std::error_code ec;
    const auto hier = std::filesystem::current_path(ec);
    return ec ? std::string(".") : hier.string();
}

// The system's own texts follow the process locale and are English under C.
std::string Grund(int AErrno, const std::string& APfad) {
    switch (AErrno) {
    case ENOSPC:
    case EDQUOT: return "auf dem Datenträger ist kein Platz mehr";
    case EACCES:
    case EPERM: return "keine Berechtigung, im Ordner " + Anf(Ordner(APfad)) + " zu schreiben";
    case EROFS: return "der Datenträger ist schreibgeschützt";
    case ENOENT: return "der Ordner " + Anf(Ordner(APfad)) + " existiert nicht";
    case ENOTDIR: return "ein Teil des Pfads ist kein Ordner";
    case EISDIR: return "unter diesem Namen steht ein Ordner";
    case ENAMETOOLONG: return "der Name ist zu lang";
    case EIO: return "der Datenträger meldet einen Ein-/Ausgabefehler";
    default: return "Systemfehler " + std::to_string(AErrno);
    }
}

std::string Verweigert(const std::string& APfad, const std::string& AGrund) {
    return "Die Datei " + Anf(APfad) + " wurde nicht geschrieben: " + AGrund + ".";
}

// Why a target that exists may not be replaced; empty when it may.
std::string ZielEinwand(const struct stat& AZiel) {
    if (S_ISREG(AZiel.st_mode)) return {};
    if (S_ISDIR(AZiel.st_mode)) return "unter diesem Namen steht ein Ordner";
    if (S_ISLNK(AZiel.st_mode))
        return "unter diesem Namen steht eine Verknüpfung; bitte die Datei angeben, auf die sie zeigt";
    if (S_ISCHR(AZiel.st_mode) || S_ISBLK(AZiel.st_mode)) return "unter diesem Namen steht ein Gerät, keine Datei";
    if (S_ISFIFO(AZiel.st_mode)) return "unter diesem Namen steht eine Pipe, keine Datei";
    if (S_ISSOCK(AZiel.st_mode)) return "unter diesem Namen steht ein Socket, keine Datei";
    return "unter diesem Namen steht keine gewöhnliche Datei";
}

std::string Zufallsteil() {
    static constexpr char CZeichen[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device zufall;
    std::string r;
    for (int i = 0; i < 6; ++i) r += CZeichen[zufall() % (sizeof(CZeichen) - 1)];
    return r;
}

} // namespace

TRDLErgebnisDatei::TRDLErgebnisDatei(std::string APfad) : FPfad(std::move(APfad)) {
    if (FPfad.empty()) throw EErgebnisDatei("Es ist keine Datei angegeben, in die geschrieben werden soll.");
    struct stat ziel {};
    if (::lstat(FPfad.c_str(), &ziel) == 0) {
        if (const std::string einwand = ZielEinwand(ziel); !einwand.empty()) throw EErgebnisDatei(Verweigert(FPfad, einwand));
        // The effective ids decide, as they would for a direct write.
        if (::faccessat(AT_FDCWD, FPfad.c_str(), W_OK, AT_EACCESS) != 0) {
            const int e = errno;
            throw EErgebnisDatei(Verweigert(FPfad, e == EACCES ? "sie ist schreibgeschützt" : Grund(e, FPfad)));
        }
        FZielBestand = true;
    } else if (errno != ENOENT) {
        Scheitern(errno);
    }
    const std::filesystem::path pfad(FPfad);
    if (!pfad.has_filename()) throw EErgebnisDatei(Verweigert(FPfad, "der Name nennt keine Datei"));

    for (int versuch = 0; FFd < 0; ++versuch) {
        FTemp = (pfad.parent_path() / (pfad.filename().string() + ".entsteht-" + Zufallsteil())).string();
        // O_EXCL: never a file someone else made; 0666 lets the umask decide as for any new file.
        FFd = ::open(FTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (FFd < 0 && (errno != EEXIST || versuch >= 100)) {
            const int e = errno;
            FTemp.clear();
            Scheitern(e);
        }
    }
    if (FZielBestand) {
        // A replaced file keeps its permissions and, where allowed, its owner.
        if (::fchmod(FFd, ziel.st_mode & 07777) != 0) Scheitern(errno);
        if (::fchown(FFd, ziel.st_uid, ziel.st_gid) != 0) {
            // Only root may give a file away; anyone else writes the file as their own.
        }
    }
}

TRDLErgebnisDatei::~TRDLErgebnisDatei() { Verwerfen(); }

void TRDLErgebnisDatei::Verwerfen() noexcept {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
    if (!FTemp.empty()) ::unlink(FTemp.c_str());
    FTemp.clear();
}

void TRDLErgebnisDatei::Scheitern(int AErrno) {
    Scheitern("Die Datei " + Anf(FPfad) + " konnte nicht geschrieben werden: " + Grund(AErrno, FPfad) + "." +
              (FZielBestand ? " Die bisherige Datei ist unverändert." : ""));
}

void TRDLErgebnisDatei::Scheitern(const std::string& AText) {
    Verwerfen();
    FFehler = AText;
    throw EErgebnisDatei(AText);
}

void TRDLErgebnisDatei::Schreiben(std::string_view ADaten) {
    if (!FFehler.empty()) throw EErgebnisDatei(FFehler);
    if (FFertig) throw EErgebnisDatei("Die Datei " + Anf(FPfad) + " ist bereits abgeschlossen.");
    if (TRDLErgebnisDateiStoerung::Trifft(TRDLErgebnisStoerStelle::Schreiben)) Scheitern(ENOSPC);
    while (!ADaten.empty()) {
        const ssize_t n = ::write(FFd, ADaten.data(), ADaten.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            Scheitern(errno);
        }
        ADaten.remove_prefix(static_cast<size_t>(n));
    }
}

void TRDLErgebnisDatei::Abschliessen() {
    if (!FFehler.empty()) throw EErgebnisDatei(FFehler);
    if (FFertig) return;
    if (TRDLErgebnisDateiStoerung::Trifft(TRDLErgebnisStoerStelle::Abschluss)) Scheitern(ENOSPC);
    // A file system may report a full disk only when the data goes out: at the sync or the close.
    if (::fsync(FFd) != 0) Scheitern(errno);
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) Scheitern(errno);
    // What was put in the target's place meanwhile is not ours to replace either.
    struct stat ziel {};
    if (::lstat(FPfad.c_str(), &ziel) == 0) {
        if (const std::string einwand = ZielEinwand(ziel); !einwand.empty()) Scheitern(Verweigert(FPfad, einwand));
    }
    if (::rename(FTemp.c_str(), FPfad.c_str()) != 0) Scheitern(errno);
    FTemp.clear();
    FFertig = true;
    // Makes the rename itself durable. Best effort: the new file is in place and complete,
    // and a failure here could not give the old one back.
    const std::string ordner = Ordner(FPfad);
    if (const int dir = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void RDLErgebnisDateiSchreiben(const std::string& APfad, std::string_view AInhalt) {
    TRDLErgebnisDatei datei(APfad);
    datei.Schreiben(AInhalt);
    datei.Abschliessen();
}

bool RDLErgebnisDateiGeschrieben(const std::string& APfad, std::string_view AInhalt, std::string_view ATraceName) {
    try {
        RDLErgebnisDateiSchreiben(APfad, AInhalt);
        return true;
    } catch (const EErgebnisDatei& E) {
        RDLInfo().LogSchreiben(DateTimeToStr(rdl_Now()) + "\t" + std::string(ATraceName) + "\t" + E.ClassName() +
                               ": " + E.what());
        return false;
    }
}

// --- test hook ------------------------------------------------------------------------

TRDLErgebnisDateiStoerung::TRDLErgebnisDateiStoerung(TRDLErgebnisStoerStelle AStelle, int ANummer)
    : FStelle(AStelle), FRest(ANummer < 1 ? 1 : ANummer), FVorige(GStoerung) {
    GStoerung = this;
}

TRDLErgebnisDateiStoerung::~TRDLErgebnisDateiStoerung() { GStoerung = FVorige; }

bool TRDLErgebnisDateiStoerung::Trifft(TRDLErgebnisStoerStelle AStelle) {
    TRDLErgebnisDateiStoerung* s = GStoerung;
    if (!s || s->FAusgeloest || s->FStelle != AStelle || --s->FRest > 0) return false;
    s->FAusgeloest = true;
    return true;
}
