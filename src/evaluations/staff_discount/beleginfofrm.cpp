#include "beleginfofrm.h"

#include "kovdbfiles.h"
#include "rdlinfo.h"
#include "vtrdlvrlist.h"

#include <QLabel>
#include <QPushButton>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
struct TSpalte {
    const char* Caption;
    TVRValueType Typ;
    bool Rechts;
};
const TSpalte CSpalten[] = {
    {"Pos.", TVRValueType::vrvtInteger, true},   {"Datum", TVRValueType::vrvtDate, false},
    {"Filiale", TVRValueType::vrvtInteger, true}, {"Satzart", TVRValueType::vrvtString, false},
    {"ArtNr", TVRValueType::vrvtString, false},  {"Größenindex", TVRValueType::vrvtInteger, true},
    {"Menge", TVRValueType::vrvtInteger, true},  {"Betrag", TVRValueType::vrvtFloat, true},
    {"Betrag 2", TVRValueType::vrvtFloat, true}, {"Währung", TVRValueType::vrvtString, false},
};
constexpr int CAnzahl = int(sizeof CSpalten / sizeof CSpalten[0]);
} // namespace

TBelegInfoFrm::TBelegInfoFrm(QWidget* AEltern) : TRDLForm(AEltern, "TBelegInfoFrm") {
    setWindowTitle(QStringLiteral("Beleginformation"));
    resize(640, 320);
    auto* haupt = new QVBoxLayout(this);
    lblBeleg = new QLabel(this);
    lblBeleg->setObjectName(QStringLiteral("lblBeleg"));
    haupt->addWidget(lblBeleg);
    vtPositionen = new TVTRDLVRList(this);
    vtPositionen->setObjectName(QStringLiteral("vtPositionen"));
    vtPositionen->setAlternatingRowColors(true);
    haupt->addWidget(vtPositionen, 1);
    auto* unten = new QHBoxLayout;
    unten->addStretch(1);
    auto* schliessen = new QPushButton(QStringLiteral("&Schließen"), this);
    schliessen->setAutoDefault(false);
    unten->addWidget(schliessen);
    haupt->addLayout(unten);
    connect(schliessen, &QPushButton::clicked, this, [this] { close(); });
    KOV_Geschuetzt("TBelegInfoFrm.FormCreate", true, [&] {
        RDLFormInit("BelegInfoFrm", true);
        auto liste = std::make_unique<TVRList>();
        for (const TSpalte& s : CSpalten) {
            TVRColumn& c = liste->ColumnAdd();
            c.Caption = s.Caption;
            c.VRType = s.Typ;
            if (s.Typ == TVRValueType::vrvtFloat) {
                c.FormatType = TVRFormatType::vrftPattern;
                c.FormatStr = "%.2n";
            }
        }
        vtPositionen->List_Set(std::move(liste));
    });
}

void TBelegInfoFrm::BelegSetzen(const std::string& AVorfall, int32_t ABonNrA, int32_t ABonNrB,
                                const TIntPair& AMandant, int32_t ARechner, int32_t ATransNr) {
    KOV_Geschuetzt("TBelegInfoFrm.BelegSetzen", true, [&] {
        lblBeleg->setText(QString::fromStdString("Beleg " + AVorfall + " " + std::to_string(ABonNrA) + " - " +
                                                 std::to_string(ABonNrB)));
        Tlstfile lst(2, -1);
        lst.SucheInit();
        lst.KeyNr_Set(Tlstfile::KeyTransaktion);
        lst.Mandant.SetKeyWertAndFilter(AMandant);
        lst.Rechner.SetKeyWertAndFilter(ARechner);
        lst.TransNr.SetKeyWertAndFilter(ATransNr);
        const TVTRDLUpdateGuard pause(*vtPositionen);
        vtPositionen->List_Change([&](std::unique_ptr<TVRList>& AListe) {
            AListe->RowsClear();
            TVRArray z = AListe->VRArray_ForRowAdd_Generate();
            for (bool da = lst.Get_ge(); da; da = lst.Get_next()) {
                Integer2VRItem(lst.PosNr.GetWert(), z, 0);
                Date2VRItem(lst.Datum.GetWert(), z, 1);
                Integer2VRItem(lst.Filiale.GetWert(), z, 2);
                String2VRItem(lst.Satzart.GetWert(), z, 3);
                String2VRItem(lst.ArtNr.GetWert(), z, 4);
                Integer2VRItem(lst.GrInd.GetWert(), z, 5);
                Integer2VRItem(lst.Menge.GetWert(), z, 6);
                Float2VRItem(lst.Betrag.GetWert(), z, 7);
                Float2VRItem(lst.Betrag2.GetWert(), z, 8);
                String2VRItem(lst.Waehrung.GetWert(), z, 9);
                AListe->RowAdd(z);
            }
        });
        vtPositionen->Refresh();
        for (int s = 0; s < CAnzahl; ++s) {
            vtPositionen->ColumnAlignment_Set(s, (CSpalten[s].Rechts || CSpalten[s].Typ == TVRValueType::vrvtFloat)
                                                     ? Qt::AlignRight | Qt::AlignVCenter
                                                     : Qt::AlignLeft | Qt::AlignVCenter);
            vtPositionen->resizeColumnToContents(s);
        }
    });
}
