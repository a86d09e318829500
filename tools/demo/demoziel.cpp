// Where the demo installation goes: the leftovers of killed runs, and the durable swap of a finished file.
#include "demo.h"
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const CSeitenDateien[] = {"-wal", "-shm", "-journal"};

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

void Synchronisieren(const std::string& APfad, bool AOrdner) {
    const int fd = ::open(APfad.c_str(), O_RDONLY | O_CLOEXEC | (AOrdner ? O_DIRECTORY : 0));
    int rc = fd < 0 ? -1 : ::fsync(fd);
    const int fehler = errno;
    if (fd >= 0) ::close(fd);
    // Some file systems cannot sync a folder; its entries are then as safe as they get.
    if (rc != 0 && !(AOrdner && fehler == EINVAL))
        throw Exception("Die Datei " + Anfuehren(APfad) + " kann nicht auf den Datenträger geschrieben werden: " +
                        std::strerror(fehler) + ".");
}

fs::path Ordner(const fs::path& AZiel) { return AZiel.has_parent_path() ? AZiel.parent_path() : fs::path("."); }

} // namespace

int DemoResteEntfernen(const std::string& AZiel) {
    const fs::path ziel(AZiel);
    const std::string praefix = ziel.filename().string() + ".entsteht-";
    std::error_code ec;
    std::vector<fs::path> weg;
    for (const auto& e : fs::directory_iterator(Ordner(ziel), ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() <= praefix.size() || name.compare(0, praefix.size(), praefix) != 0) continue;
        const char* anfang = name.data() + praefix.size();
        const char* ende = name.data() + name.size();
        long long pid = 0;
        const auto [rest, fehler] = std::from_chars(anfang, ende, pid);
        if (fehler != std::errc() || rest == anfang || pid <= 0 || pid > INT32_MAX) continue;
        const std::string_view endung(rest, size_t(ende - rest));
        if (!endung.empty() && std::find(std::begin(CSeitenDateien), std::end(CSeitenDateien), endung) ==
                                   std::end(CSeitenDateien))
            continue;
        // Only a run that is gone: a running generator keeps its file.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        weg.push_back(e.path());
    }
    int anzahl = 0;
    for (const auto& p : weg)
        if (fs::remove(p, ec)) ++anzahl;
    return anzahl;
}

void DemoDateiEinsetzen(const std::string& ATemp, const std::string& AZiel) {
    std::error_code ec;
    // The database must lie whole in its file: a log left beside it would not move along.
    if (fs::exists(ATemp + "-wal", ec) && fs::file_size(ATemp + "-wal", ec) > 0)
        throw Exception("Die neue Datenbank " + Anfuehren(ATemp) +
                        " ist noch nicht vollständig in ihre Datei geschrieben.");
    for (const char* endung : CSeitenDateien) fs::remove(ATemp + endung, ec);
    Synchronisieren(ATemp, false);

    const std::string ordner = Ordner(fs::path(AZiel)).string();
    // The old file's log would be replayed into the new file: it goes first, for good.
    bool entfernt = false;
    for (const char* endung : CSeitenDateien) entfernt |= fs::remove(AZiel + endung, ec);
    if (entfernt) Synchronisieren(ordner, true);
    fs::rename(ATemp, AZiel);
    Synchronisieren(ordner, true);
}
