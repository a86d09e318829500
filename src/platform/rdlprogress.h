#pragma once
// Progress displays: TRDLStdProgressDialog (named bars, cancel) and TKOV_PEP_Progress
// (caption and detail). The model lives here, free of Qt, so the statistics engine can
// use it; the windows come from a back-end that the Qt layer installs
// (RDLProgressFenster_Installieren in rdlprogressfenster.h). In runs without dialogs
// (RDLProgramm().OhneDialoge(), or no back-end able to show windows) no window is ever
// made: the display is one line on the terminal that is redrawn in place, and only when
// standard error is a terminal; otherwise the batch form stays quiet, so logs of
// scheduled runs stay clean.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Owners and windows are passed through as opaque pointers; only the back-end knows Qt.
class QWidget;

// Where the batch form writes. Terminal false: nothing is written.
struct TRDLFortschrittsTerminal {
    std::ostream* Strom = nullptr;
    bool Terminal = false;
};
// The default is standard error, written when it is a terminal. Returns the one replaced.
TRDLFortschrittsTerminal RDLFortschrittsTerminal_Setzen(TRDLFortschrittsTerminal ANeu);

class TRDLStdProgressDialog;
class TKOV_PEP_Progress;

// The window of one display, made by the back-end; it reads the display's state.
class IRDLFortschrittsFenster {
public:
    virtual ~IRDLFortschrittsFenster() = default;
    virtual void Zeigen() = 0;
    virtual void Verbergen() = 0;
    virtual void Aktualisieren() = 0;
    virtual QWidget* Widget() const = 0;
};

// Makes the windows of the displays; installed by the window layer.
class IRDLFortschrittsFensterBackend {
public:
    virtual ~IRDLFortschrittsFensterBackend() = default;
    // True when windows can be shown now (e.g. an application object exists).
    virtual bool Verfuegbar() const = 0;
    virtual std::unique_ptr<IRDLFortschrittsFenster> StdDialogFenster(TRDLStdProgressDialog& ADialog,
                                                                      QWidget* AOwner) = 0;
    virtual std::unique_ptr<IRDLFortschrittsFenster> PepFenster(TKOV_PEP_Progress& AProgress, QWidget* AOwner) = 0;
};

// Installs the back-end (none: terminal form only). Returns the one replaced.
std::shared_ptr<IRDLFortschrittsFensterBackend>
RDLFortschrittsFensterBackend_Setzen(std::shared_ptr<IRDLFortschrittsFensterBackend> ANeu);

// True when displays show windows now (a usable back-end, and dialogs allowed).
bool RDLFortschrittMitFenster();

// One redrawn terminal line: a new text overwrites the old one in place ("\r"), padded
// when shorter; Beenden ends the line. Unchanged texts are not written again, so a
// loop may update on every round.
class TRDLTerminalZeile {
public:
    void Zeigen(const std::string& AText);
    void Beenden();
    ~TRDLTerminalZeile() { Beenden(); }

private:
    std::string FLetzte;
    bool FOffen = false;
};

// Display options of a bar: no text, percent, or position of total ("5 / 10").
inline constexpr int pdoKeinText = 0;
inline constexpr int pdoProzent = 1;
inline constexpr int pdoPositionVonGesamt = 2;

class TRDLProgressBar {
public:
    const std::string& Name() const { return FName; }
    const std::string& Caption() const { return FCaption; }
    int Position() const { return FPosition; }
    int Total() const { return FTotal; }
    int DisplayOption() const { return FAnzeige; }
    void SetCaption(const std::string& A);
    void SetPosition(int A);
    void SetTotal(int A);
    void SetDisplayOption(int A);
    void StepIt() { SetPosition(FPosition + 1); }
    // The bar as text, e.g. "Tage: 5 / 10".
    std::string AlsText() const;

private:
    friend class TRDLStdProgressDialog;
    TRDLProgressBar(TRDLStdProgressDialog* ADialog, std::string AName, std::string ACaption)
        : FDialog(ADialog), FName(std::move(AName)), FCaption(std::move(ACaption)) {}
    TRDLStdProgressDialog* FDialog;
    std::string FName;
    std::string FCaption;
    int FPosition = 0;
    int FTotal = 100;
    int FAnzeige = pdoProzent;
};

class TRDLStdProgressDialog {
public:
    explicit TRDLStdProgressDialog(QWidget* AOwner = nullptr);
    ~TRDLStdProgressDialog();
    TRDLStdProgressDialog(const TRDLStdProgressDialog&) = delete;
    TRDLStdProgressDialog& operator=(const TRDLStdProgressDialog&) = delete;

    void SetHeight(int A);
    void SetWidth(int A);
    void SetCaption(const std::string& A);
    const std::string& Caption() const { return FCaption; }
    int Height() const { return FHoehe; }
    int Width() const { return FBreite; }

    // Bars in display order; the name finds a bar again.
    TRDLProgressBar& AddBar(const std::string& AName, const std::string& ACaption);
    TRDLProgressBar* Bar(const std::string& AName);
    int BarCount() const { return int(FBars.size()); }

    // The option that offers cancelling: a button "Abbrechen" in the window.
    void SetAllowCancel(bool A);
    bool AllowCancel() const { return FAbbruchErlaubt; }
    // What the button does; ignored while cancelling is not allowed.
    void Abbrechen();
    // Polled by loops (after RDLInfoProcessMessages, which lets the click land).
    bool Cancelled() const { return FAbgebrochen; }
    void ResetCancelled() { FAbgebrochen = false; }

    // Show decides between window and terminal line; Hide ends either.
    void Show();
    void Hide();
    bool Showing() const { return FSichtbar; }
    bool MitFenster() const { return FFenster != nullptr; }
    // The window while shown with one (tests find its controls), else none.
    QWidget* Fenster() const;
    // The batch form's line as it is now.
    std::string AlsText() const;
    // The bars in display order (for the window back-end).
    const TRDLProgressBar& BarAt(int AIndex) const { return *FBars.at(size_t(AIndex)); }

private:
    friend class TRDLProgressBar;
    void Aktualisieren();
    QWidget* FOwner;
    std::string FCaption;
    int FHoehe = 200;
    int FBreite = 300;
    bool FAbbruchErlaubt = false;
    bool FAbgebrochen = false;
    bool FSichtbar = false;
    std::vector<std::unique_ptr<TRDLProgressBar>> FBars;
    std::unique_ptr<IRDLFortschrittsFenster> FFenster;
    TRDLTerminalZeile FZeile;
};

// A small window with a caption and a detail line (e.g. the branch and day at work).
class TKOV_PEP_Progress {
public:
    explicit TKOV_PEP_Progress(QWidget* AOwner = nullptr);
    ~TKOV_PEP_Progress();
    TKOV_PEP_Progress(const TKOV_PEP_Progress&) = delete;
    TKOV_PEP_Progress& operator=(const TKOV_PEP_Progress&) = delete;

    void SetCaption(const std::string& A);
    void SetDetail(const std::string& A);
    const std::string& Caption() const { return FCaption; }
    const std::string& Detail() const { return FDetail; }
    void Show();
    void Hide();
    bool Showing() const { return FSichtbar; }
    bool MitFenster() const { return FFenster != nullptr; }
    std::string AlsText() const;

private:
    void Aktualisieren();
    QWidget* FOwner;
    std::string FCaption;
    std::string FDetail;
    bool FSichtbar = false;
    std::unique_ptr<IRDLFortschrittsFenster> FFenster;
    TRDLTerminalZeile FZeile;
};
