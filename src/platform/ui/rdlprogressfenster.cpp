#include "rdlprogressfenster.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString Q(const std::string& A) { return QString::fromStdString(A); }

// What both progress windows share: one dialog, shown on top, owned by the window.
class TDialogFenster : public IRDLFortschrittsFenster {
public:
    explicit TDialogFenster(QWidget* AOwner) : FDialog(new QDialog(AOwner)) {}
    ~TDialogFenster() override { delete FDialog; }
    void Zeigen() override {
        FDialog->show();
        FDialog->raise();
    }
    void Verbergen() override { FDialog->hide(); }
    QWidget* Widget() const override { return FDialog; }

protected:
    QDialog* FDialog;
};

class TStdDialogFenster : public TDialogFenster {
public:
    TStdDialogFenster(TRDLStdProgressDialog& ADialog, QWidget* AOwner) : TDialogFenster(AOwner), FModell(ADialog) {
        auto* layout = new QVBoxLayout(FDialog);
        for (int i = 0; i < FModell.BarCount(); ++i) {
            auto* l = new QLabel(FDialog);
            auto* p = new QProgressBar(FDialog);
            p->setObjectName(Q(FModell.BarAt(i).Name()));
            layout->addWidget(l);
            layout->addWidget(p);
            FBars.emplace_back(l, p);
        }
        layout->addStretch();
        FAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), FDialog);
        FAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
        QObject::connect(FAbbrechen, &QPushButton::clicked, FDialog, [this] { FModell.Abbrechen(); });
        layout->addWidget(FAbbrechen, 0, Qt::AlignHCenter);
        // Closing the window by its frame means cancelling too.
        QObject::connect(FDialog, &QDialog::rejected, FDialog, [this] { FModell.Abbrechen(); });
    }
    void Aktualisieren() override {
        FDialog->setWindowTitle(Q(FModell.Caption()));
        FDialog->resize(FModell.Width(), FModell.Height());
        for (size_t i = 0; i < FBars.size() && int(i) < FModell.BarCount(); ++i) {
            const auto& b = FModell.BarAt(int(i));
            auto [l, p] = FBars[i];
            l->setText(Q(b.Caption()));
            p->setMaximum(std::max(b.Total(), 0));
            p->setValue(std::clamp(b.Position(), 0, std::max(b.Total(), 0)));
            p->setTextVisible(b.DisplayOption() != pdoKeinText);
            p->setFormat(b.DisplayOption() == pdoPositionVonGesamt ? QStringLiteral("%v / %m")
                                                                   : QStringLiteral("%p %"));
        }
        FAbbrechen->setVisible(FModell.AllowCancel());
    }

private:
    TRDLStdProgressDialog& FModell;
    std::vector<std::pair<QLabel*, QProgressBar*>> FBars;
    QPushButton* FAbbrechen;
};

class TPepFenster : public TDialogFenster {
public:
    TPepFenster(TKOV_PEP_Progress& AProgress, QWidget* AOwner)
        : TDialogFenster(AOwner), FModell(AProgress), FDetail(new QLabel(FDialog)) {
        FDetail->setObjectName(QStringLiteral("lblDetail"));
        auto* layout = new QVBoxLayout(FDialog);
        layout->addWidget(FDetail);
        auto* p = new QProgressBar(FDialog);
        p->setRange(0, 0); // busy: the amount of work is unknown
        layout->addWidget(p);
        FDialog->resize(360, 90);
    }
    void Aktualisieren() override {
        FDialog->setWindowTitle(Q(FModell.Caption()));
        FDetail->setText(Q(FModell.Detail()));
    }

private:
    TKOV_PEP_Progress& FModell;
    QLabel* FDetail;
};

class TQtBackend : public IRDLFortschrittsFensterBackend {
public:
    bool Verfuegbar() const override { return qobject_cast<QApplication*>(QCoreApplication::instance()); }
    std::unique_ptr<IRDLFortschrittsFenster> StdDialogFenster(TRDLStdProgressDialog& ADialog,
                                                              QWidget* AOwner) override {
        return std::make_unique<TStdDialogFenster>(ADialog, AOwner);
    }
    std::unique_ptr<IRDLFortschrittsFenster> PepFenster(TKOV_PEP_Progress& AProgress, QWidget* AOwner) override {
        return std::make_unique<TPepFenster>(AProgress, AOwner);
    }
};

} // namespace

void RDLProgressFenster_Installieren() { RDLFortschrittsFensterBackend_Setzen(std::make_shared<TQtBackend>()); }
