#pragma once
// Progress displays: TRDLStdProgressDialog (named bars, cancel) and TKOV_PEP_Progress
// (caption and detail). In runs without dialogs (RDLProgramm().OhneDialoge(), or no
// application object) no window is ever made: the display is one line on the terminal
// that is redrawn in place, and only when standard error is a terminal; otherwise the
// batch form stays quiet, so logs of scheduled runs stay clean.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class QWidget;

// Where the batch form writes. Terminal false: nothing is written.
struct TRDLFortschrittsTerminal {
    std::ostream* Strom = nullptr;
    bool Terminal = false;
};
// The default is standard error, written when it is a terminal. Returns the one replaced.
TRDLFortschrittsTerminal RDLFortschrittsTerminal_Setzen(TRDLFortschrittsTerminal ANeu);

// True when displays show windows now (an application object, and dialogs allowed).
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

class TRDLStdProgressDialog;

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

private:
    friend class TRDLProgressBar;
    void Aktualisieren();
    struct TFenster;
    QWidget* FOwner;
    std::string FCaption;
    int FHoehe = 200;
    int FBreite = 300;
    bool FAbbruchErlaubt = false;
    bool FAbgebrochen = false;
    bool FSichtbar = false;
    std::vector<std::unique_ptr<TRDLProgressBar>> FBars;
    std::unique_ptr<TFenster> FFenster;
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
    QWidget* Fenster() const;
    std::string AlsText() const;

private:
    void Aktualisieren();
    struct TFenster;
    QWidget* FOwner;
    std::string FCaption;
    std::string FDetail;
    bool FSichtbar = false;
    std::unique_ptr<TFenster> FFenster;
    TRDLTerminalZeile FZeile;
};
