#pragma once
// The suite's form base: every window derives from TRDLForm. RDLFormInit gives the
// form its name and brings back where it stood on this workstation; the form stores
// its place again whenever it is hidden (closed). It also carries what every window
// repeats: the protected, one-at-a-time handler (Bewacht), the header panel, and a
// window that cannot be closed while it works.
#include "exceptions.h"
#include "rdlprogramm.h"

#include <QDialog>
#include <string>

class QLabel;

// What a form remembers per workstation.
inline constexpr int fpsKeine = 0;             // nothing
inline constexpr int fpsPosition = 1;          // position (the default)
inline constexpr int fpsPositionUndGroesse = 2; // position and size

class TRDLForm : public QDialog {
    Q_OBJECT
public:
    // ATraceKlasse: the class name the trace names of Bewacht begin with ("TKOV_XFrm").
    explicit TRDLForm(QWidget* AEltern = nullptr, std::string ATraceKlasse = "TRDLForm");

    // Call before RDLFormInit.
    void SetRDLFormPosStoreMode(int AModus) { FModus = AModus; }
    int RDLFormPosStoreMode() const { return FModus; }

    // Names the form (object name and settings section) and, with APositionLaden,
    // restores its stored place. A place that lies on no screen any more is ignored.
    void RDLFormInit(const std::string& AFormName, bool APositionLaden);
    const std::string& RDLFormName() const { return FFormName; }

    // Stores the current place now (done by hiding as well).
    void RDLFormPosSpeichern();

    // Settings area of the stored places; keys Left, Top, Width, Height.
    static constexpr const char* CBereich = "FORMPOS";

protected:
    // Runs a handler under the trace name "<class>.<AName>": an exception is reported and
    // logged, never passed on; while another handler of this form works, nothing runs.
    template <class F>
    void Bewacht(const char* AName, F&& ABody) {
        const std::string trace = FTraceKlasse + "." + AName;
        KOV_Geschuetzt(trace, true, [&] {
            const TRDLWorkGuard arbeit(this, trace, 5);
            if (arbeit.Gestartet()) ABody();
        });
    }

    // The bold title line at the top of a window (object name pnlHeader).
    QLabel* KopfPanelErzeugen(const QString& AText, QWidget* AEltern);

    // Whether the window may close now; by default not while one of its handlers works.
    virtual bool FormCloseQuery() { return !RDLProgramm().Working(this); }

    void hideEvent(QHideEvent* AEvent) override;
    void closeEvent(QCloseEvent* AEvent) override;
    void reject() override; // Esc goes the way of the close button

private:
    std::string FTraceKlasse;
    std::string FFormName;
    int FModus = fpsPosition;
};
