#include "rdlprogress.h"
#include "rdlprogramm.h"

#include <iostream>
#include <unistd.h>

namespace {

TRDLFortschrittsTerminal& Terminal() {
    static TRDLFortschrittsTerminal t{&std::cerr, isatty(STDERR_FILENO) != 0};
    return t;
}

std::shared_ptr<IRDLFortschrittsFensterBackend>& Backend() {
    static std::shared_ptr<IRDLFortschrittsFensterBackend> b;
    return b;
}

// Counts characters, not bytes, so the padding of umlauts fits.
size_t Zeichen(const std::string& A) {
    size_t n = 0;
    for (unsigned char c : A)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace

TRDLFortschrittsTerminal RDLFortschrittsTerminal_Setzen(TRDLFortschrittsTerminal ANeu) {
    auto alt = Terminal();
    Terminal() = ANeu;
    return alt;
}

std::shared_ptr<IRDLFortschrittsFensterBackend>
RDLFortschrittsFensterBackend_Setzen(std::shared_ptr<IRDLFortschrittsFensterBackend> ANeu) {
    auto alt = std::move(Backend());
    Backend() = std::move(ANeu);
    return alt;
}

bool RDLFortschrittMitFenster() {
    return Backend() && Backend()->Verfuegbar() && !RDLProgramm().OhneDialoge();
}

void TRDLTerminalZeile::Zeigen(const std::string& AText) {
    const auto& t = Terminal();
    if (!t.Terminal || !t.Strom || (FOffen && AText == FLetzte)) return;
    std::string zeile = "\r" + AText;
    const size_t alt = Zeichen(FLetzte), neu = Zeichen(AText);
    if (FOffen && neu < alt) zeile += std::string(alt - neu, ' ');
    *t.Strom << zeile << std::flush;
    FLetzte = AText;
    FOffen = true;
}

void TRDLTerminalZeile::Beenden() {
    const auto& t = Terminal();
    if (FOffen && t.Terminal && t.Strom) *t.Strom << '\n' << std::flush;
    FOffen = false;
    FLetzte.clear();
}

// ---- TRDLProgressBar ----

void TRDLProgressBar::SetCaption(const std::string& A) { FCaption = A; FDialog->Aktualisieren(); }
void TRDLProgressBar::SetPosition(int A) { FPosition = A; FDialog->Aktualisieren(); }
void TRDLProgressBar::SetTotal(int A) { FTotal = A; FDialog->Aktualisieren(); }
void TRDLProgressBar::SetDisplayOption(int A) { FAnzeige = A; FDialog->Aktualisieren(); }

std::string TRDLProgressBar::AlsText() const {
    // A terminal line has room for the caption's last line only (the day at work).
    const size_t umbruch = FCaption.rfind('\n');
    std::string s = umbruch == std::string::npos ? FCaption : FCaption.substr(umbruch + 1);
    switch (FAnzeige) {
    case pdoPositionVonGesamt:
        s += ": " + std::to_string(FPosition) + " / " + std::to_string(FTotal);
        break;
    case pdoProzent:
        s += ": " + std::to_string(FTotal > 0 ? int(100LL * FPosition / FTotal) : 0) + " %";
        break;
    default:
        break;
    }
    return s;
}

// ---- TRDLStdProgressDialog ----

TRDLStdProgressDialog::TRDLStdProgressDialog(QWidget* AOwner) : FOwner(AOwner) {}
TRDLStdProgressDialog::~TRDLStdProgressDialog() { Hide(); }

void TRDLStdProgressDialog::SetHeight(int A) { FHoehe = A; Aktualisieren(); }
void TRDLStdProgressDialog::SetWidth(int A) { FBreite = A; Aktualisieren(); }
void TRDLStdProgressDialog::SetCaption(const std::string& A) { FCaption = A; Aktualisieren(); }
void TRDLStdProgressDialog::SetAllowCancel(bool A) { FAbbruchErlaubt = A; Aktualisieren(); }

TRDLProgressBar& TRDLStdProgressDialog::AddBar(const std::string& AName, const std::string& ACaption) {
    FBars.push_back(std::unique_ptr<TRDLProgressBar>(new TRDLProgressBar(this, AName, ACaption)));
    // A window made already is rebuilt with the new bar when next shown.
    if (FFenster) {
        FFenster.reset();
        if (FSichtbar) Show();
    }
    return *FBars.back();
}

TRDLProgressBar* TRDLStdProgressDialog::Bar(const std::string& AName) {
    for (auto& b : FBars)
        if (b->Name() == AName) return b.get();
    return nullptr;
}

void TRDLStdProgressDialog::Abbrechen() {
    if (FAbbruchErlaubt) FAbgebrochen = true;
}

QWidget* TRDLStdProgressDialog::Fenster() const { return FFenster ? FFenster->Widget() : nullptr; }

std::string TRDLStdProgressDialog::AlsText() const {
    std::string s = FCaption;
    for (const auto& b : FBars) s += (s.empty() ? "" : " - ") + b->AlsText();
    return s;
}

void TRDLStdProgressDialog::Show() {
    FSichtbar = true;
    if (!RDLFortschrittMitFenster()) {
        Aktualisieren();
        return;
    }
    if (!FFenster) FFenster = Backend()->StdDialogFenster(*this, FOwner);
    Aktualisieren();
    if (FFenster) FFenster->Zeigen();
}

void TRDLStdProgressDialog::Hide() {
    FSichtbar = false;
    if (FFenster) FFenster->Verbergen();
    FZeile.Beenden();
}

void TRDLStdProgressDialog::Aktualisieren() {
    if (!FSichtbar) return;
    if (!FFenster) {
        FZeile.Zeigen(AlsText());
        return;
    }
    FFenster->Aktualisieren();
}

// ---- TKOV_PEP_Progress ----

TKOV_PEP_Progress::TKOV_PEP_Progress(QWidget* AOwner) : FOwner(AOwner) {}
TKOV_PEP_Progress::~TKOV_PEP_Progress() { Hide(); }

void TKOV_PEP_Progress::SetCaption(const std::string& A) { FCaption = A; Aktualisieren(); }
void TKOV_PEP_Progress::SetDetail(const std::string& A) { FDetail = A; Aktualisieren(); }

std::string TKOV_PEP_Progress::AlsText() const {
    if (FDetail.empty()) return FCaption;
    return FCaption.empty() ? FDetail : FCaption + ": " + FDetail;
}

void TKOV_PEP_Progress::Show() {
    FSichtbar = true;
    if (RDLFortschrittMitFenster() && !FFenster) FFenster = Backend()->PepFenster(*this, FOwner);
    Aktualisieren();
    if (FFenster) FFenster->Zeigen();
}

void TKOV_PEP_Progress::Hide() {
    FSichtbar = false;
    if (FFenster) FFenster->Verbergen();
    FZeile.Beenden();
}

void TKOV_PEP_Progress::Aktualisieren() {
    if (!FSichtbar) return;
    if (!FFenster) {
        FZeile.Zeigen(AlsText());
        return;
    }
    FFenster->Aktualisieren();
}
