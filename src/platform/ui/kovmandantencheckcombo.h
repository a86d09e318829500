#pragma once
// The suite's client check box: a combo box whose drop-down lists the clients with a
// tick each; the closed box shows which are ticked.
#include "kov_generics_collections.h"
#include "rdltyco.h"
#include "suitetabellen.h"

#include <QComboBox>
#include <QString>

#include <string>
#include <vector>

class QStandardItemModel;

class TKOV_MandantenCheckCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TKOV_MandantenCheckCombo(QWidget* AEltern = nullptr);

    // One entry per client of the server, in its order, none ticked.
    void MandantenFuellen(const IRDL_MandListeServer& AServer);
    void MandantenFuellen(const std::vector<TMandant>& AMandanten);

    void SetAll(bool AGewaehlt = true);
    // Ticked clients in list order.
    TArray<TIntPair> SelectedMandanten_Get() const;
    bool IsMandantSelected(const TIntPair& AMandant) const;
    void MandantSelected_Set(const TIntPair& AMandant, bool AGewaehlt);
    int MandantenAnzahl() const;
    // What the closed box shows: "Alle Mandanten", "Kein Mandant" or the ticked names.
    QString Anzeigetext() const;
    void showPopup() override;

signals:
    void AuswahlGeaendert();

protected:
    void paintEvent(QPaintEvent* AEvent) override;
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override;

private:
    int ZeileVon(const TIntPair& AMandant) const;
    QStandardItemModel* FModell;
    bool FDruckInListe = false; // a mouse button went down in the open list
};

// The ticked clients as short text for print headers: their names joined by ", "
// (the key "A/B" for a client the server does not know).
std::string MandantenIDListe_2_BeschreibendeKuerzel(const TArray<TIntPair>& AMandanten,
                                                    const IRDL_MandListeServer& AServer);
