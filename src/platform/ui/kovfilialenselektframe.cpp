#include "kovfilialenselektframe.h"

#include "suitetabellen.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TKOV_FilialenSelekt_Frame::TKOV_FilialenSelekt_Frame(QWidget* AEltern) : QGroupBox(QStringLiteral("Filialen"), AEltern) {
    auto* layout = new QVBoxLayout(this);
    lbFilialen = new QListWidget(this);
    lbFilialen->setObjectName(QStringLiteral("lbFilialen"));
    layout->addWidget(lbFilialen, 1);
    auto* knoepfe = new QHBoxLayout;
    btnAlle = new QPushButton(QStringLiteral("alle"), this);
    btnKeine = new QPushButton(QStringLiteral("keine"), this);
    for (QPushButton* b : {btnAlle, btnKeine}) {
        b->setAutoDefault(false);
        knoepfe->addWidget(b);
    }
    knoepfe->addStretch(1);
    layout->addLayout(knoepfe);
    connect(btnAlle, &QPushButton::clicked, this, [this] { SetAll(true); });
    connect(btnKeine, &QPushButton::clicked, this, [this] { SetAll(false); });
}

void TKOV_FilialenSelekt_Frame::Fuellen(const TFilialen& AFilialen,
                                        bool (*AVorauswahl)(int16_t ANr, const TFilialen& AFilialen)) {
    lbFilialen->clear();
    for (int i = 0; i < AFilialen.GetCount(); ++i) {
        const TFiliale& f = *AFilialen.GetItem(i);
        auto* e = new QListWidgetItem(QString::number(f.Nr) + QStringLiteral(" - ") + QString::fromStdString(f.Name),
                                      lbFilialen);
        e->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        e->setData(Qt::UserRole, int(f.Nr));
        e->setCheckState(AVorauswahl && AVorauswahl(f.Nr, AFilialen) ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<int16_t> TKOV_FilialenSelekt_Frame::GetSelected() const {
    std::vector<int16_t> r;
    for (int i = 0; i < lbFilialen->count(); ++i)
        if (lbFilialen->item(i)->checkState() == Qt::Checked) r.push_back(int16_t(lbFilialen->item(i)->data(Qt::UserRole).toInt()));
    return r;
}

std::vector<int16_t> TKOV_FilialenSelekt_Frame::GetAll() const {
    std::vector<int16_t> r;
    for (int i = 0; i < lbFilialen->count(); ++i) r.push_back(int16_t(lbFilialen->item(i)->data(Qt::UserRole).toInt()));
    return r;
}

bool TKOV_FilialenSelekt_Frame::SetSelected(const std::vector<int16_t>& ANummern) {
    const std::vector<int16_t> vorhanden = GetAll();
    for (int16_t n : ANummern)
        if (std::find(vorhanden.begin(), vorhanden.end(), n) == vorhanden.end()) return false;
    for (int i = 0; i < lbFilialen->count(); ++i) {
        const bool an = std::find(ANummern.begin(), ANummern.end(), vorhanden[size_t(i)]) != ANummern.end();
        lbFilialen->item(i)->setCheckState(an ? Qt::Checked : Qt::Unchecked);
    }
    return true;
}

void TKOV_FilialenSelekt_Frame::SetAll(bool ASelected) {
    for (int i = 0; i < lbFilialen->count(); ++i)
        lbFilialen->item(i)->setCheckState(ASelected ? Qt::Checked : Qt::Unchecked);
}
