#include "artbest_gr_csv_auswfrm.h"

#include "artuebcsvexport.h"
#include "rdldialog.h"
#include "rdlinfo.h"
#include "rdlstapellauf.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace {

// The suite's VerteilenUeberBreite for this panel: AAnzahl buttons of equal width over the
// panel's width, ARand pixels at the edges and AAbstand between them.
void VerteilenUeberBreite(QWidget* APanel, const std::vector<QPushButton*>& AKnoepfe, int ARand, int AAbstand) {
    const int n = int(AKnoepfe.size());
    if (n == 0) return;
    const int breite = std::max(40, (APanel->width() - 2 * ARand - (n - 1) * AAbstand) / n);
    for (int i = 0; i < n; ++i)
        AKnoepfe[size_t(i)]->setGeometry(ARand + i * (breite + AAbstand), ARand, breite,
                                         std::max(24, APanel->height() - 2 * ARand));
}

} // namespace

TKOV_ArtBest_CSV_Export_Frm::TKOV_ArtBest_CSV_Export_Frm(QWidget* AEltern)
    : TRDLForm(AEltern, "TKOV_ArtBest_CSV_Export_Frm") {
    setWindowTitle(QStringLiteral("Excel - Bestandsexport"));
    resize(493, 296);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(KopfPanelErzeugen(QStringLiteral("Bestandsexport im Excel-Format"), this));

    lblFilenameHint = new QLabel(QStringLiteral("Wählen Sie hier den Dateinamen der erzeugten CSV-Datei aus."), this);
    lblFilenameHint->setObjectName(QStringLiteral("lblFilenameHint"));
    layout->addWidget(lblFilenameHint);
    auto* zeile = new QHBoxLayout;
    edtFilePath = new QLineEdit(this);
    edtFilePath->setObjectName(QStringLiteral("edtFilePath"));
    edtFilePath->setMaxLength(255);
    btnChoseFile = new QPushButton(QStringLiteral("..."), this);
    btnChoseFile->setObjectName(QStringLiteral("btnChoseFile"));
    btnChoseFile->setFocusPolicy(Qt::ClickFocus); // not reached with the tab key
    zeile->addWidget(edtFilePath, 1);
    zeile->addWidget(btnChoseFile);
    layout->addLayout(zeile);

    lblRunningHint = new QLabel(QStringLiteral("Auswertung läuft! Bitte warten..."), this);
    lblRunningHint->setObjectName(QStringLiteral("lblRunningHint"));
    pgbProgress = new QProgressBar(this);
    pgbProgress->setObjectName(QStringLiteral("pgbProgress"));
    pgbProgress->setRange(0, 0); // running light: the number of articles is not known ahead
    pgbProgress->setTextVisible(false);
    pgbProgress->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: red; }"));
    lblDetails = new QLabel(this);
    lblDetails->setObjectName(QStringLiteral("lblDetails"));
    layout->addWidget(lblRunningHint);
    layout->addWidget(pgbProgress);
    layout->addWidget(lblDetails);
    layout->addStretch(1);

    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setMinimumHeight(36);
    btnBeenden = new QPushButton(QStringLiteral("Beenden"), pnlButtons);
    btnBeenden->setObjectName(QStringLiteral("btnBeenden"));
    btnBeenden->setShortcut(QKeySequence(Qt::Key_Escape));
    btnAuswerten = new QPushButton(QStringLiteral("Auswertung starten"), pnlButtons);
    btnAuswerten->setObjectName(QStringLiteral("btnAuswerten"));
    btnAuswerten->setShortcut(QKeySequence(Qt::Key_F5));
    btnAuswerten->setAutoDefault(false);
    btnBeenden->setAutoDefault(false);
    pnlButtons->installEventFilter(this);
    layout->addWidget(pnlButtons);

    connect(btnChoseFile, &QPushButton::clicked, this, [this] { btnChoseFileClick(); });
    connect(btnAuswerten, &QPushButton::clicked, this, [this] { btnAuswertenClick(); });
    connect(btnBeenden, &QPushButton::clicked, this, [this] { btnBeendenClick(); });
    FormCreate();
}

void TKOV_ArtBest_CSV_Export_Frm::FormCreate() {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export_Frm.FormCreate", true, [&] {
        RDLFormInit("TKOV_ArtBest_CSV_Export_Frm", true);
        ToggleAnzeige(false);
    });
}

void TKOV_ArtBest_CSV_Export_Frm::ToggleAnzeige(bool ALaeuft) {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export_Frm.ToggleAnzeige", true, [&] {
        FLaeuft = ALaeuft;
        for (QWidget* w : std::initializer_list<QWidget*>{edtFilePath, lblFilenameHint, btnChoseFile, btnBeenden,
                                                          btnAuswerten})
            w->setEnabled(!ALaeuft);
        lblRunningHint->setVisible(ALaeuft);
        pgbProgress->setVisible(ALaeuft);
        pgbProgress->setEnabled(ALaeuft);
        lblDetails->setVisible(ALaeuft);
        if (!ALaeuft) lblDetails->clear();
    });
}

void TKOV_ArtBest_CSV_Export_Frm::btnChoseFileClick() {
    Bewacht("btnChoseFileClick", [&] {
        std::string name = edtFilePath->text().toStdString();
        const std::string ordner = name.empty() ? GetDirWwsByName(8) : std::filesystem::path(name).parent_path().string();
        if (!RDLDialoge().DateiSpeichern(name, ordner, {{"CSV-Dateien", "*.csv"}}, true)) return;
        const std::string csv = std::filesystem::path(name).replace_extension(".csv").string();
        // The dialog asked about the name it returned; a changed ending is asked about at the start.
        FBestaetigt = csv == name ? csv : std::string();
        edtFilePath->setText(QString::fromStdString(csv));
    });
}

void TKOV_ArtBest_CSV_Export_Frm::btnAuswertenClick() {
    Bewacht("btnAuswertenClick", [&] {
        const std::string name = edtFilePath->text().toStdString();
        if (!IsValidFilePath(name)) {
            RDLInfo().ShowMeldung("QUENDRIX", 1000, {}, mkFehler);
            return;
        }
        // A typed name of a file that exists is replaced only after a yes.
        std::error_code ec;
        if (name != FBestaetigt && std::filesystem::exists(name, ec) &&
            !RDLDialoge().JaNein("Die Datei \u201E" + name + "\u201C besteht bereits. Soll sie ersetzt werden?"))
            return;
        if (!FOnGo) return;
        if (!FOnGo()) {
            // The old file, if any, is as it was; the user may choose another name.
            RDLInfo().ShowMeldung("STANDARD", 1108, {name}, mkFehler);
            return;
        }
        done(1);
    });
}

void TKOV_ArtBest_CSV_Export_Frm::btnBeendenClick() {
    Bewacht("btnBeendenClick", [&] { done(2); });
}

void TKOV_ArtBest_CSV_Export_Frm::pnlButtonsResize() {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export_Frm.pnlButtonsResize", true,
                   [&] { VerteilenUeberBreite(pnlButtons, {btnBeenden, btnAuswerten}, 2, 2); });
}

bool TKOV_ArtBest_CSV_Export_Frm::eventFilter(QObject* AObjekt, QEvent* AEvent) {
    if (AObjekt == pnlButtons && AEvent->type() == QEvent::Resize) pnlButtonsResize();
    return TRDLForm::eventFilter(AObjekt, AEvent);
}

bool TKOV_ArtBest_CSV_Export_Frm::event(QEvent* AEvent) {
    if (RDLErgebnisNachrichtBehandeln(AEvent, [this](const std::string& ADatei) {
            if (FLaeuft || !FOnSpeichern) return false;
            return FOnSpeichern(ADatei);
        }))
        return true;
    return TRDLForm::event(AEvent);
}
