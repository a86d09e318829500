#pragma once
// Prints the tree of a result grid: title and remark lines on the first page, a header
// row of the printed columns and the rows in tree order down to a chosen depth (groups
// whose members are printed in bold), a footer with page and print date on every page.
// In the GUI through Qt's preview and print dialogs, in batch runs and tests into a PDF.
//
// The table keeps its point size: columns that do not fit on the page's width continue
// on further pages, with the first printed column (the tree's captions) repeated on the
// left of each, as spreadsheet programs print wide tables. Pages run down, then across:
// all rows of the first column band, then all rows of the next.
#include <QFont>
#include <QString>

#include <utility>
#include <vector>

class QPagedPaintDevice;
class TVTRDLVRList;

// Below this the figures of a print cannot be read any more.
inline constexpr int CKOV_MindestSchriftgroesse = 7;

struct TKOV_VirtualTreePrinterOptions {
    int Drucktiefe = -1;                  // deepest tree level printed (0 top level); -1 all
    std::vector<int> AusgelasseneSpalten; // logical column indices left out of the print
    bool Querformat = false;              // landscape even when the columns fit upright
    int Schriftgroesse = 9;               // point size of the table, never below CKOV_MindestSchriftgroesse
};

class TKOV_VirtualTreePrinter {
public:
    // The flag keeps the windows' call form (they pass false); it changes nothing.
    explicit TKOV_VirtualTreePrinter(bool AFlag = false);

    void Tree_Set(TVTRDLVRList* ATree) { FTree = ATree; } // not owned
    TVTRDLVRList* Tree_Get() const { return FTree; }

    // --- header --------------------------------------------------------------------
    void Titel_Set(const QString& ATitel) { FTitel = ATitel; }
    const QString& Titel_Get() const { return FTitel; }
    void BemerkungAdd(const QString& ALabel, const QString& AWert) { FBemerkungen.emplace_back(ALabel, AWert); }
    void BemerkungenClear() { FBemerkungen.clear(); }
    const std::vector<std::pair<QString, QString>>& Bemerkungen() const { return FBemerkungen; }

    TKOV_VirtualTreePrinterOptions& Options_Get() { return FOptions; }
    const TKOV_VirtualTreePrinterOptions& Options_Get() const { return FOptions; }

    // --- output --------------------------------------------------------------------
    // Target of Print in runs without dialogs.
    void PdfDatei_Set(const QString& APfad) { FPdfDatei = APfad; }
    // Writes an A4 PDF, landscape when asked or when the columns need it, through a temporary
    // file that replaces the target only when complete. Raises when it cannot be written.
    void PrintToPdf(const QString& APfad);
    // GUI: the print dialog, then the printer. Without dialogs: the PDF of PdfDatei_Set
    // (raises EKatalogFehler when none is set).
    void Print();
    // GUI: Qt's print preview (which can print). Without dialogs: like Print.
    void Vorschau();
    // The windows' print call: the preview with its own printer choice.
    void VirtualTreeDrucken() { Vorschau(); }

    // Paints all pages onto a device whose page layout is already set.
    void Render(QPagedPaintDevice& AGeraet) const;
    // Whether the printed columns are wider than an upright page of this device.
    bool BrauchtQuerformat(QPagedPaintDevice& AGeraet) const;
    // The printed columns: visible ones in grid order, minus those left out.
    std::vector<int> DruckSpalten() const;

private:
    static bool MitDialogen();

    TVTRDLVRList* FTree = nullptr;
    QString FTitel;
    std::vector<std::pair<QString, QString>> FBemerkungen;
    TKOV_VirtualTreePrinterOptions FOptions;
    QString FPdfDatei;
};
