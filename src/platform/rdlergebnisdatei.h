#pragma once
// The one writer of result files (CSV exports, PDF prints, statements, stock files).
//
// The content goes into a new file beside the target ("NAME.entsteht-XXXXXX"), which is
// synced to disk and renamed over the target only when every write succeeded, so the
// target is either the old file, untouched, or the complete new one. A failed or
// dropped write removes the temporary file and nothing else.
//
// Refused, with a German text naming the file: a target that exists and is not a regular
// file (a folder, a device, a pipe, a socket), a symbolic link (replacing it would cut the
// link, writing through it would put the file somewhere the name does not say; the user
// names the link's target instead), and a write-protected file (the same as a direct write
// would be refused). A new file gets the usual permissions (umask); a replaced one keeps
// the old file's.
//
// Success is what the writer reports (every write, the sync and the rename), never what
// the file system shows afterwards.
#include "exceptions.h"

#include <string>
#include <string_view>

// A result file that could not be written; what() is the German text for the user.
class EErgebnisDatei : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EErgebnisDatei"; }
};

class TRDLErgebnisDatei {
public:
    // Checks the target and creates the temporary file; raises EErgebnisDatei.
    explicit TRDLErgebnisDatei(std::string APfad);
    // Without Abschliessen the temporary file is removed; the target stays as it was.
    ~TRDLErgebnisDatei();
    TRDLErgebnisDatei(const TRDLErgebnisDatei&) = delete;
    TRDLErgebnisDatei& operator=(const TRDLErgebnisDatei&) = delete;

    // Raises EErgebnisDatei; after a failure the temporary file is gone and every further
    // call raises the same text.
    void Schreiben(std::string_view ADaten);
    // Syncs the temporary file and renames it over the target; raises EErgebnisDatei.
    void Abschliessen();
    // Drops what was written: the temporary file goes, the target stays.
    void Verwerfen() noexcept;

private:
    [[noreturn]] void Scheitern(int AErrno);
    [[noreturn]] void Scheitern(const std::string& AText);

    std::string FPfad;
    std::string FTemp;
    int FFd = -1;
    bool FZielBestand = false; // the target existed when writing began
    bool FFertig = false;
    std::string FFehler;
};

// The whole content at once; raises EErgebnisDatei.
void RDLErgebnisDateiSchreiben(const std::string& APfad, std::string_view AInhalt);
// The same for callers that answer true or false and tell the user themselves (1108):
// false when not written, the German reason then goes to the log under ATraceName.
bool RDLErgebnisDateiGeschrieben(const std::string& APfad, std::string_view AInhalt, std::string_view ATraceName);

// --- for tests ------------------------------------------------------------------------
// While an object lives, the result files of this process fail as on a full disk: at the
// ANummer-th Schreiben or Abschliessen call from now on (1 the first). Once.
enum class TRDLErgebnisStoerStelle { Schreiben, Abschluss };

class TRDLErgebnisDateiStoerung {
public:
    explicit TRDLErgebnisDateiStoerung(TRDLErgebnisStoerStelle AStelle, int ANummer = 1);
    ~TRDLErgebnisDateiStoerung();
    TRDLErgebnisDateiStoerung(const TRDLErgebnisDateiStoerung&) = delete;
    TRDLErgebnisDateiStoerung& operator=(const TRDLErgebnisDateiStoerung&) = delete;
    // Whether the failure has been dealt out.
    bool Ausgeloest() const { return FAusgeloest; }

private:
    friend class TRDLErgebnisDatei;
    // True when this step of a writer is to fail.
    static bool Trifft(TRDLErgebnisStoerStelle AStelle);

    TRDLErgebnisStoerStelle FStelle;
    int FRest;
    bool FAusgeloest = false;
    TRDLErgebnisDateiStoerung* FVorige;
};
