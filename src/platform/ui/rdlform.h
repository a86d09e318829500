#pragma once
// The suite's form base: every window derives from TRDLForm. RDLFormInit gives the
// form its name and brings back where it stood on this workstation; the form stores
// its place again whenever it is hidden (closed).
#include <QDialog>
#include <string>

// What a form remembers per workstation.
inline constexpr int fpsKeine = 0;             // nothing
inline constexpr int fpsPosition = 1;          // position (the default)
inline constexpr int fpsPositionUndGroesse = 2; // position and size

class TRDLForm : public QDialog {
    Q_OBJECT
public:
    explicit TRDLForm(QWidget* AEltern = nullptr);

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
    void hideEvent(QHideEvent* AEvent) override;

private:
    std::string FFormName;
    int FModus = fpsPosition;
};
