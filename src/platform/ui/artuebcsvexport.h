#pragma once
// The suite's article CSV exporter: runs an article query and writes its rows in the fixed
// stock format (docs/benutzerhandbuch.md, "Format der Bestandsdatei"): ";" between fields,
// CR LF, Windows-1252, a field quoted when it holds ";", a quote or a line break. The file is
// written through TRDLErgebnisDatei, so a failed run leaves the old file as it was.
#include "rdlartquery.h"

#include <functional>
#include <memory>
#include <string>

// Asks for the target: false when there is no valid one.
using TKOV_ExportFileNameEvent = std::function<bool(std::string& AFileName)>;
// Told each article (product key) as its rows are written.
using TKOV_ArtProgressEvent = std::function<void(const TInt32Trio& AProduktID)>;

// Whether AName can name a file to write: not empty, at most 255 characters, no control
// characters, a name after the last "/", not a folder, and its folder exists.
bool IsValidFilePath(const std::string& AName);

// UTF-8 into Windows-1252 for the stock file: a character the code page lacks is written as
// its base letter where it has one ("ł" → "l", "ő" → "o", "ﬁ" → "fi"), else as "?".
std::string ArtUeb_Windows1252(const std::string& AText);

// The header line of the stock file, without line end (UTF-8).
std::string ArtUeb_CSV_Kopf();
// One row, without line end (UTF-8): AStichtag the cut-off day.
std::string ArtUeb_CSV_Zeile(const TRDL_ArtBestandZeile& AZeile, TDate AStichtag);

class TKOV_ArtUeb_CSV_Export {
public:
    TKOV_ArtUeb_CSV_Export(TKOV_ExportFileNameEvent AExportFileName, TKOV_ArtProgressEvent AOnProgress);
    TKOV_ArtUeb_CSV_Export(const TKOV_ArtUeb_CSV_Export&) = delete;
    TKOV_ArtUeb_CSV_Export& operator=(const TKOV_ArtUeb_CSV_Export&) = delete;

    void Set_Query(std::shared_ptr<IRDL_Query> AQuery) { FQuery = std::move(AQuery); }
    // The query stops: the exporter lets go of it and calls back no more.
    void OnStopped(const IRDL_Query* AQuery);
    // Drops both callbacks, before the objects they reach go.
    void Callbacks_Loesen();

    // Asks for the file, runs the query and writes the file. True only when the whole file
    // was written; otherwise the target is untouched and Fehlertext says why (German).
    bool Execute();

    const std::string& Fehlertext() const { return FFehlertext; }
    const std::string& DateiName() const { return FDateiName; }
    int64_t Zeilen() const { return FZeilen; }

private:
    TKOV_ExportFileNameEvent FExportFileName;
    TKOV_ArtProgressEvent FOnProgress;
    std::shared_ptr<IRDL_Query> FQuery;
    std::string FFehlertext, FDateiName;
    int64_t FZeilen = 0;
};
