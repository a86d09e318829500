#pragma once
// The small window of the article stock export: the file name, the running display while
// the suite's exporter writes, and the two buttons.
#include "rdlform.h"

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

class TKOV_ArtBest_CSV_Export_Frm : public TRDLForm {
    Q_OBJECT
public:
    explicit TKOV_ArtBest_CSV_Export_Frm(QWidget* AEltern = nullptr);

    // The export run; true when the file was written.
    std::function<bool()> FOnGo;
    // Writes the export into a file named from outside (message 2331, batch runs).
    std::function<bool(const std::string& ADatei)> FOnSpeichern;

    void FormCreate();
    void ToggleAnzeige(bool ALaeuft);
    void btnChoseFileClick();
    void btnAuswertenClick();
    void btnBeendenClick();
    void pnlButtonsResize();
    bool Laeuft() const { return FLaeuft; }

    QWidget* pnlButtons;
    QLabel* lblFilenameHint;
    QLineEdit* edtFilePath;
    QPushButton* btnChoseFile;
    QLabel* lblRunningHint;
    QProgressBar* pgbProgress;
    QLabel* lblDetails;
    QPushButton* btnBeenden;
    QPushButton* btnAuswerten;

protected:
    bool event(QEvent* AEvent) override;
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override;
    // Neither Esc nor the close box ends the window while the exporter writes.
    bool FormCloseQuery() override { return !FLaeuft && TRDLForm::FormCloseQuery(); }

private:
    bool FLaeuft = false;
    std::string FBestaetigt; // a name the save dialog already asked about

};
