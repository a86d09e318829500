#include "rdlautocomplete.h"
#include "rdldialog.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <memory>

namespace {

QStringList Woerter(const std::string& AText) {
    return QString::fromStdString(AText).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The Qt form of the dialog: a text field over the list of hits. Arrow keys in the
// field move through the hits, Enter takes the current one.
//
// The dialog usually opens on a typed key, and the user types on. Until the window
// system has moved the focus to the dialog, it sends the keys to the window below; a
// modal dialog would block that window and Qt would drop them. So the dialog is not
// modal for Qt: it keeps the other windows of the program from input itself, and the
// keys meant for them go to its field, in the order typed.
class TAutoCompleteFenster : public QDialog {
public:
    TAutoCompleteFenster(TRDLTrefferSuche& ASuche, QWidget* AEltern) : QDialog(AEltern), FSuche(ASuche) {
        setWindowTitle(ASuche.Titel.empty() ? QStringLiteral("Suche") : QString::fromStdString(ASuche.Titel));
        auto* layout = new QVBoxLayout(this);
        FEdit = new QLineEdit(this);
        FEdit->setMaxLength(ASuche.MaxLaenge > 0 ? ASuche.MaxLaenge : 32767);
        FEdit->setText(QString::fromStdString(ASuche.Text));
        FListe = new QListWidget(this);
        FHinweis = new QLabel(this);
        auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Übernehmen"));
        knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
        layout->addWidget(FEdit);
        layout->addWidget(FListe, 1);
        layout->addWidget(FHinweis);
        layout->addWidget(knoepfe);
        connect(FEdit, &QLineEdit::textChanged, this, [this] { Fuellen(); });
        connect(FListe, &QListWidget::itemActivated, this, [this] { accept(); });
        connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
        resize(ASuche.Breite > 0 ? ASuche.Breite : 350, ASuche.Hoehe > 0 ? ASuche.Hoehe : 350);
        if (ASuche.Links >= 0 && ASuche.Oben >= 0) move(ASuche.Links, ASuche.Oben);
        Fuellen();
    }
    int Auswahl() const { return FListe->currentRow(); }

    // Shows the dialog and returns its result once it is closed, like exec().
    int Ausfuehren() {
        QEventLoop schleife;
        connect(this, &QDialog::finished, &schleife, &QEventLoop::quit);
        qApp->installEventFilter(this);
        show();
        raise();
        activateWindow();
        schleife.exec(QEventLoop::DialogExec);
        qApp->removeEventFilter(this);
        return result();
    }

protected:
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override {
        if (FensterDarunter(AObjekt)) return Darunter(AEvent);
        if (AObjekt == FEdit && AEvent->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(AEvent)->key();
            if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
                QApplication::sendEvent(FListe, AEvent);
                return true;
            }
        }
        return QDialog::eventFilter(AObjekt, AEvent);
    }
    void accept() override {
        if (FListe->currentRow() < 0) return; // nothing picked yet
        FSuche.Text = FEdit->text().toStdString();
        QDialog::accept();
    }

private:
    // True for a window of this program below the dialog, or for a widget in one: not
    // the dialog, nor a window opened from it, nor a popup.
    bool FensterDarunter(QObject* AObjekt) const {
        const QWidget* fenster = nullptr;
        if (AObjekt->isWidgetType()) {
            fenster = static_cast<QWidget*>(AObjekt)->window();
        } else if (AObjekt->isWindowType()) {
            const auto* w = static_cast<QWindow*>(AObjekt);
            for (const QWidget* t : QApplication::topLevelWidgets())
                if (t->windowHandle() == w) fenster = t;
        }
        if (!fenster) return false;
        for (const QWidget* w = fenster; w; w = w->parentWidget())
            if (w == this) return false;
        const Qt::WindowType art = fenster->windowType();
        return art != Qt::Popup && art != Qt::ToolTip;
    }

    // An event for a window below: keys go to the field, other input is held back as a
    // modal dialog would. True when the event is handled here.
    bool Darunter(QEvent* AEvent) {
        switch (AEvent->type()) {
        case QEvent::KeyPress: {
            std::unique_ptr<QEvent> kopie(AEvent->clone());
            QApplication::sendEvent(FEdit, kopie.get());
            return true;
        }
        case QEvent::ShortcutOverride:
            // Claimed, so that the window's shortcuts stay quiet and the key comes as a key press.
            AEvent->accept();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
            raise();
            activateWindow();
            return true;
        case QEvent::Close:
            AEvent->ignore(); // a window below stays open while the dialog runs
            return true;
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

    void Fuellen() {
        FListe->clear();
        const auto treffer = FSuche.Treffer ? FSuche.Treffer(FEdit->text().toStdString()) : std::vector<std::string>{};
        for (const auto& t : treffer) FListe->addItem(QString::fromStdString(t));
        if (!treffer.empty()) FListe->setCurrentRow(0);
        FHinweis->setText(treffer.empty() && !FEdit->text().isEmpty() ? QStringLiteral("Keine passenden Einträge")
                                                                       : QString());
    }

    TRDLTrefferSuche& FSuche;
    QLineEdit* FEdit;
    QListWidget* FListe;
    QLabel* FHinweis;
};

} // namespace

bool TRDLQtDialoge::TrefferWaehlen(TRDLTrefferSuche& ASuche, int& AAuswahl) {
    // Over the modal window that runs (the dialog belongs to it and is not blocked by it).
    QWidget* eltern = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                        : QApplication::activeWindow();
    TAutoCompleteFenster dlg(ASuche, eltern);
    if (dlg.Ausfuehren() != QDialog::Accepted || dlg.Auswahl() < 0) return false;
    AAuswahl = dlg.Auswahl();
    return true;
}

// --- source over a tree grid -----------------------------------------------------------

TACSourceVTCustom::TACSourceVTCustom(const TVTRDLVRList* ATree, int AAnzeigeSpalte, bool ANurSichtbareSpalten,
                                     bool AGrossKleinBeachten, std::vector<int> ADatenSpalten)
    : FTree(ATree), FAnzeigeSpalte(AAnzeigeSpalte), FNurSichtbareSpalten(ANurSichtbareSpalten),
      FGrossKleinBeachten(AGrossKleinBeachten), FDatenSpalten(std::move(ADatenSpalten)) {}

std::vector<TACTreffer> TACSourceVTCustom::Suchen(const std::string& AText, bool AAlleBeiLeeremText) const {
    std::vector<TACTreffer> treffer;
    const TVRList* wurzel = FTree ? FTree->List() : nullptr;
    if (!wurzel) return treffer;
    const QStringList woerter = Woerter(AText);
    if (woerter.isEmpty() && !AAlleBeiLeeremText) return treffer;
    const Qt::CaseSensitivity gk = FGrossKleinBeachten ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int spalten = wurzel->GetColumnCount();
    std::vector<int> gesucht;
    for (int c = 0; c < spalten; ++c) {
        const TVRColumn& col = wurzel->GetColumn(c);
        if (col.VRType == TVRValueType::vrvtString && (!FNurSichtbareSpalten || FTree->ColumnVisible_Get(c)))
            gesucht.push_back(c);
    }
    const TVRListModel& model = FTree->Model();
    const auto text = [&](const QModelIndex& AKnoten, int ACol) {
        const TVRList* l = model.NodeList(AKnoten);
        return QString::fromStdString(wurzel->FormatVRItem(l->GetCellValue(AKnoten.row(), ACol), ACol));
    };
    const bool anzeigeGesucht = std::find(gesucht.begin(), gesucht.end(), FAnzeigeSpalte) != gesucht.end();
    // What the user looks for is mostly a name: hits of the display text come first,
    // those that begin with the first word before those that hold the words further in.
    const auto rang = [&](const QModelIndex& AKnoten) {
        if (!anzeigeGesucht || woerter.isEmpty()) return 0;
        const QString anzeige = text(AKnoten, FAnzeigeSpalte);
        if (!std::all_of(woerter.begin(), woerter.end(), [&](const QString& w) { return anzeige.contains(w, gk); }))
            return 2;
        return anzeige.startsWith(woerter.front(), gk) ? 0 : 1;
    };
    std::vector<int> raenge;
    // Tree order, depth first, as the user sees the rows when all are expanded.
    std::function<void(const QModelIndex&)> gehe = [&](const QModelIndex& AEltern) {
        for (int r = 0; r < model.rowCount(AEltern); ++r) {
            const QModelIndex k = model.index(r, 0, AEltern);
            const bool passt = std::all_of(woerter.begin(), woerter.end(), [&](const QString& w) {
                return std::any_of(gesucht.begin(), gesucht.end(), [&](int c) { return text(k, c).contains(w, gk); });
            });
            if (passt) {
                TACTreffer t;
                t.Knoten = k;
                QStringList zusatz;
                for (int c : FDatenSpalten) {
                    if (c < 0 || c >= spalten) {
                        t.Daten.emplace_back();
                        continue;
                    }
                    const QString wert = text(k, c);
                    t.Daten.push_back(wert.toStdString());
                    if (c != FAnzeigeSpalte && wurzel->GetColumn(c).VRType == TVRValueType::vrvtString &&
                        !wert.isEmpty())
                        zusatz << wert;
                }
                QString anzeige = FAnzeigeSpalte >= 0 && FAnzeigeSpalte < spalten ? text(k, FAnzeigeSpalte) : QString();
                if (!zusatz.isEmpty()) anzeige += QStringLiteral(" (") + zusatz.join(QStringLiteral(", ")) + ')';
                t.Anzeige = anzeige.toStdString();
                treffer.push_back(std::move(t));
                raenge.push_back(rang(k));
            }
            gehe(k);
        }
    };
    gehe({});
    // Within a rank the tree order stays.
    std::vector<size_t> folge(treffer.size());
    for (size_t i = 0; i < folge.size(); ++i) folge[i] = i;
    std::stable_sort(folge.begin(), folge.end(), [&](size_t A, size_t B) { return raenge[A] < raenge[B]; });
    std::vector<TACTreffer> geordnet;
    geordnet.reserve(treffer.size());
    for (const size_t i : folge) geordnet.push_back(std::move(treffer[i]));
    return geordnet;
}

// --- the dialog ----------------------------------------------------------------------------

std::vector<TACTreffer> TAutoCompleteDlg::Treffer(const std::string& AText, bool ALeerZeigtAlle,
                                                  bool ASortiert) const {
    std::vector<TACTreffer> t = FSource ? FSource->Suchen(AText, ALeerZeigtAlle) : std::vector<TACTreffer>{};
    if (ASortiert)
        std::stable_sort(t.begin(), t.end(), [](const TACTreffer& A, const TACTreffer& B) {
            return QString::fromStdString(A.Anzeige).compare(QString::fromStdString(B.Anzeige), Qt::CaseInsensitive) <
                   0;
        });
    return t;
}

bool TAutoCompleteDlg::Execute(const TACEditInhalt& AInhalt, const TACErscheinung& AErscheinung,
                               bool AEinzigenTrefferUebernehmen, bool ALeerZeigtAlle, bool ASortiert) {
    FSelected.clear();
    FText = AInhalt.Text;
    if (AInhalt.MaxLaenge > 0 && int(FText.size()) > AInhalt.MaxLaenge) FText.resize(size_t(AInhalt.MaxLaenge));
    std::vector<TACTreffer> gewaehlt;
    if (AEinzigenTrefferUebernehmen) {
        auto t = Treffer(FText, ALeerZeigtAlle, ASortiert);
        if (t.size() == 1) gewaehlt = std::move(t);
    }
    if (gewaehlt.empty()) {
        TRDLTrefferSuche suche;
        suche.Text = FText;
        suche.MaxLaenge = AInhalt.MaxLaenge;
        suche.Links = AErscheinung.Links;
        suche.Oben = AErscheinung.Oben;
        suche.Breite = AErscheinung.Breite;
        suche.Hoehe = AErscheinung.Hoehe;
        suche.Treffer = [&](const std::string& AText) {
            std::vector<std::string> zeilen;
            for (const auto& t : Treffer(AText, ALeerZeigtAlle, ASortiert)) {
                if (AErscheinung.MaxTreffer >= 0 && int(zeilen.size()) >= AErscheinung.MaxTreffer) break;
                zeilen.push_back(t.Anzeige);
            }
            return zeilen;
        };
        int auswahl = -1;
        if (!RDLDialoge().TrefferWaehlen(suche, auswahl)) return false;
        FText = suche.Text;
        auto t = Treffer(FText, ALeerZeigtAlle, ASortiert);
        if (auswahl < 0 || auswahl >= int(t.size())) return false;
        gewaehlt.push_back(std::move(t[size_t(auswahl)]));
    }
    FSelected = std::move(gewaehlt);
    if (OnCompleteSelected) OnCompleteSelected(this);
    return true;
}
