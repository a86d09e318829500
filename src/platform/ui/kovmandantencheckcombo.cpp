#include "kovmandantencheckcombo.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {
constexpr int CRolleA = Qt::UserRole + 1;
constexpr int CRolleB = Qt::UserRole + 2;
} // namespace

TKOV_MandantenCheckCombo::TKOV_MandantenCheckCombo(QWidget* AEltern) : QComboBox(AEltern) {
    FModell = new QStandardItemModel(this);
    setModel(FModell);
    // A click ticks the entry; the drop-down stays open for the next one.
    view()->viewport()->installEventFilter(this);
    connect(FModell, &QStandardItemModel::itemChanged, this, [this] {
        update();
        emit AuswahlGeaendert();
    });
}

void TKOV_MandantenCheckCombo::MandantenFuellen(const IRDL_MandListeServer& AServer) {
    std::vector<TMandant> liste;
    for (int i = 0; i < AServer.GetCount(); ++i) liste.push_back(AServer.GetMandant(i));
    MandantenFuellen(liste);
}

void TKOV_MandantenCheckCombo::MandantenFuellen(const std::vector<TMandant>& AMandanten) {
    const QSignalBlocker block(FModell);
    FModell->clear();
    for (const TMandant& m : AMandanten) {
        auto* item = new QStandardItem(QString::fromStdString(m.Name.empty() ? m.Key.ToText() : m.Name));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setData(Qt::Unchecked, Qt::CheckStateRole);
        item->setData(m.Key.A, CRolleA);
        item->setData(m.Key.B, CRolleB);
        FModell->appendRow(item);
    }
    update();
}

void TKOV_MandantenCheckCombo::SetAll(bool AGewaehlt) {
    {
        const QSignalBlocker block(FModell);
        for (int i = 0; i < FModell->rowCount(); ++i)
            FModell->item(i)->setData(AGewaehlt ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    update();
    emit AuswahlGeaendert();
}

TArray<TIntPair> TKOV_MandantenCheckCombo::SelectedMandanten_Get() const {
    TArray<TIntPair> r;
    for (int i = 0; i < FModell->rowCount(); ++i) {
        const QStandardItem* item = FModell->item(i);
        if (item->data(Qt::CheckStateRole).toInt() == Qt::Checked)
            r.push_back({item->data(CRolleA).toInt(), item->data(CRolleB).toInt()});
    }
    return r;
}

int TKOV_MandantenCheckCombo::ZeileVon(const TIntPair& AMandant) const {
    for (int i = 0; i < FModell->rowCount(); ++i) {
        const QStandardItem* item = FModell->item(i);
        if (item->data(CRolleA).toInt() == AMandant.A && item->data(CRolleB).toInt() == AMandant.B) return i;
    }
    return -1;
}

bool TKOV_MandantenCheckCombo::IsMandantSelected(const TIntPair& AMandant) const {
    const int z = ZeileVon(AMandant);
    return z >= 0 && FModell->item(z)->data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TKOV_MandantenCheckCombo::MandantSelected_Set(const TIntPair& AMandant, bool AGewaehlt) {
    const int z = ZeileVon(AMandant);
    if (z >= 0) FModell->item(z)->setData(AGewaehlt ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

int TKOV_MandantenCheckCombo::MandantenAnzahl() const { return FModell->rowCount(); }

QString TKOV_MandantenCheckCombo::Anzeigetext() const {
    QStringList namen;
    for (int i = 0; i < FModell->rowCount(); ++i)
        if (FModell->item(i)->data(Qt::CheckStateRole).toInt() == Qt::Checked) namen << FModell->item(i)->text();
    if (namen.isEmpty()) return QStringLiteral("Kein Mandant");
    if (namen.size() == FModell->rowCount() && namen.size() > 1) return QStringLiteral("Alle Mandanten");
    return namen.join(QStringLiteral(", "));
}

void TKOV_MandantenCheckCombo::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = Anzeigetext();
    opt.currentIcon = {};
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    p.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void TKOV_MandantenCheckCombo::showPopup() {
    FDruckInListe = false;
    QComboBox::showPopup();
}

bool TKOV_MandantenCheckCombo::eventFilter(QObject* AObjekt, QEvent* AEvent) {
    if (AObjekt != view()->viewport()) return QComboBox::eventFilter(AObjekt, AEvent);
    switch (AEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        FDruckInListe = true;
        return true;
    case QEvent::MouseButtonRelease: {
        // The release of the click that opened the list lands on the entry under the
        // mouse: only a click that also began in the open list ticks.
        const bool klick = FDruckInListe;
        FDruckInListe = false;
        if (!klick) return true;
        const QModelIndex k = view()->indexAt(static_cast<QMouseEvent*>(AEvent)->position().toPoint());
        if (QStandardItem* item = FModell->itemFromIndex(k)) {
            const bool an = item->data(Qt::CheckStateRole).toInt() == Qt::Checked;
            item->setData(an ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        return true;
    }
    default: return QComboBox::eventFilter(AObjekt, AEvent);
    }
}

std::string MandantenIDListe_2_BeschreibendeKuerzel(const TArray<TIntPair>& AMandanten,
                                                    const IRDL_MandListeServer& AServer) {
    std::string r;
    for (const TIntPair& k : AMandanten) {
        const TMandant m = AServer.GetMandantByKey(k);
        if (!r.empty()) r += ", ";
        r += m.Name.empty() ? k.ToText() : m.Name;
    }
    return r;
}
