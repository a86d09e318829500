#include "kovvirtualtreeprinter.h"

#include "exceptions.h"
#include "rdlprogramm.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <exception>

namespace {

struct TDruckZeile {
    int Ebene = 0;
    bool Gruppe = false;
    std::vector<QString> Zellen; // one per printed column
};

// Rows in tree order down to the print depth; the model gives the cells as the grid shows them.
void ZeilenSammeln(const QAbstractItemModel& AModel, const QModelIndex& AParent, int AEbene, int ATiefe,
                   const std::vector<int>& ASpalten, std::vector<TDruckZeile>& AZeilen) {
    for (int i = 0; i < AModel.rowCount(AParent); ++i) {
        const QModelIndex knoten = AModel.index(i, 0, AParent);
        TDruckZeile z;
        z.Ebene = AEbene;
        z.Gruppe = AModel.hasChildren(knoten);
        for (int s : ASpalten) z.Zellen.push_back(AModel.index(i, s, AParent).data(Qt::DisplayRole).toString());
        AZeilen.push_back(std::move(z));
        if (ATiefe < 0 || AEbene < ATiefe) ZeilenSammeln(AModel, knoten, AEbene + 1, ATiefe, ASpalten, AZeilen);
    }
}

// Column widths in device units for the given fonts: widest of caption and cells.
struct TLayout {
    std::vector<int> Spalten;
    std::vector<QString> Kopf;
    std::vector<Qt::Alignment> Ausrichtung;
    std::vector<TDruckZeile> Zeilen;
    std::vector<qreal> Breite;
    qreal Einzug = 0, Rand = 0, Zeilenhoehe = 0;
    qreal Gesamt() const {
        qreal b = 0;
        for (qreal x : Breite) b += x;
        return b;
    }
};

QFont Fett(QFont AFont) {
    AFont.setBold(true);
    return AFont;
}

} // namespace

TKOV_VirtualTreePrinter::TKOV_VirtualTreePrinter(bool /*AFlag*/) {}

std::vector<int> TKOV_VirtualTreePrinter::DruckSpalten() const {
    std::vector<int> r;
    if (!FTree) return r;
    for (int s : FTree->VisibleColumnsInGridOrder())
        if (std::find(FOptions.AusgelasseneSpalten.begin(), FOptions.AusgelasseneSpalten.end(), s) ==
            FOptions.AusgelasseneSpalten.end())
            r.push_back(s);
    return r;
}

static TLayout LayoutBilden(const TKOV_VirtualTreePrinter& APrinter, const TKOV_VirtualTreePrinterOptions& AOpt,
                            const QFont& ASchrift, QPaintDevice& AGeraet) {
    TLayout l;
    l.Spalten = APrinter.DruckSpalten();
    const TVTRDLVRList* baum = APrinter.Tree_Get();
    const QFontMetricsF normal(ASchrift, &AGeraet), fett(Fett(ASchrift), &AGeraet);
    l.Einzug = normal.horizontalAdvance(QStringLiteral("MMM"));
    l.Rand = normal.horizontalAdvance(QStringLiteral("M")) / 2;
    l.Zeilenhoehe = fett.height() * 1.25;
    for (int s : l.Spalten) {
        l.Kopf.push_back(baum->ColumnCaption_Get(s));
        l.Ausrichtung.push_back(baum->ColumnAlignment_Get(s) & Qt::AlignHorizontal_Mask);
        l.Breite.push_back(fett.horizontalAdvance(l.Kopf.back()) + 2 * l.Rand);
    }
    if (baum && !l.Spalten.empty())
        ZeilenSammeln(baum->Model(), {}, 0, AOpt.Drucktiefe, l.Spalten, l.Zeilen);
    for (const TDruckZeile& z : l.Zeilen)
        for (size_t k = 0; k < z.Zellen.size(); ++k) {
            const QFontMetricsF& fm = z.Gruppe ? fett : normal;
            qreal b = fm.horizontalAdvance(z.Zellen[k]) + 2 * l.Rand;
            if (k == 0) b += z.Ebene * l.Einzug; // the tree's indent lives in the first printed column
            l.Breite[k] = std::max(l.Breite[k], b);
        }
    return l;
}

bool TKOV_VirtualTreePrinter::BrauchtQuerformat(QPagedPaintDevice& AGeraet) const {
    QFont schrift;
    schrift.setPointSize(FOptions.Schriftgroesse);
    const TLayout l = LayoutBilden(*this, FOptions, schrift, AGeraet);
    QPageLayout hoch = AGeraet.pageLayout();
    hoch.setOrientation(QPageLayout::Portrait);
    return l.Gesamt() > hoch.paintRectPixels(AGeraet.logicalDpiX()).width();
}

void TKOV_VirtualTreePrinter::Render(QPagedPaintDevice& AGeraet) const {
    QFont schrift;
    schrift.setPointSize(FOptions.Schriftgroesse);
    const TLayout l = LayoutBilden(*this, FOptions, schrift, AGeraet);
    QPainter p(&AGeraet);
    if (!p.isActive()) throw Exception("Der Druck konnte nicht begonnen werden.");

    // Columns wider than the page shrink as a whole rather than being cut off.
    const qreal skala = (l.Gesamt() > AGeraet.width() && l.Gesamt() > 0) ? AGeraet.width() / l.Gesamt() : 1.0;
    p.scale(skala, skala);
    const qreal breite = AGeraet.width() / skala, hoehe = AGeraet.height() / skala;
    const qreal fussHoehe = l.Zeilenhoehe * 1.5;
    int seite = 1;
    qreal y = 0;

    auto fuss = [&] {
        p.setFont(schrift);
        p.drawText(QRectF(0, hoehe - l.Zeilenhoehe, breite, l.Zeilenhoehe), Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("Seite %1").arg(seite));
    };
    auto zeile = [&](const std::vector<QString>& AZellen, int AEbene, bool AFett) {
        p.setFont(AFett ? Fett(schrift) : schrift);
        qreal x = 0;
        for (size_t k = 0; k < AZellen.size(); ++k) {
            const qreal einzug = k == 0 ? AEbene * l.Einzug : 0;
            const QRectF zelle(x + l.Rand + einzug, y, l.Breite[k] - 2 * l.Rand - einzug, l.Zeilenhoehe);
            p.drawText(zelle, l.Ausrichtung[k] | Qt::AlignVCenter, AZellen[k]);
            x += l.Breite[k];
        }
        y += l.Zeilenhoehe;
    };
    auto kopfzeile = [&] {
        zeile(l.Kopf, 0, true);
        p.drawLine(QPointF(0, y), QPointF(std::min(breite, l.Gesamt()), y));
        y += l.Zeilenhoehe * 0.2;
    };

    // Title and remarks on the first page only.
    if (!FTitel.isEmpty()) {
        QFont titel = Fett(schrift);
        titel.setPointSize(FOptions.Schriftgroesse + 5);
        p.setFont(titel);
        const qreal h = QFontMetricsF(titel, &AGeraet).height() * 1.3;
        p.drawText(QRectF(0, y, breite, h), Qt::AlignLeft | Qt::AlignVCenter, FTitel);
        y += h;
    }
    for (const auto& [label, wert] : FBemerkungen) {
        p.setFont(schrift);
        p.drawText(QRectF(0, y, breite, l.Zeilenhoehe), Qt::AlignLeft | Qt::AlignVCenter,
                   label + QStringLiteral(": ") + wert);
        y += l.Zeilenhoehe;
    }
    if (!FTitel.isEmpty() || !FBemerkungen.empty()) y += l.Zeilenhoehe;
    if (!l.Spalten.empty()) kopfzeile();

    for (const TDruckZeile& z : l.Zeilen) {
        if (y + l.Zeilenhoehe > hoehe - fussHoehe) {
            fuss();
            if (!AGeraet.newPage()) throw Exception("Die nächste Druckseite konnte nicht begonnen werden.");
            ++seite;
            y = 0;
            kopfzeile();
        }
        zeile(z.Zellen, z.Ebene, z.Gruppe);
    }
    fuss();
}

void TKOV_VirtualTreePrinter::PrintToPdf(const QString& APfad) {
    QPdfWriter pdf(APfad);
    pdf.setResolution(300);
    pdf.setTitle(FTitel);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (FOptions.Querformat || BrauchtQuerformat(pdf)) pdf.setPageOrientation(QPageLayout::Landscape);
    Render(pdf);
}

bool TKOV_VirtualTreePrinter::MitDialogen() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && !RDLProgramm().OhneDialoge();
}

static void DruckerEinrichten(TKOV_VirtualTreePrinter& APrinter, QPrinter& ADrucker, bool AQuer) {
    ADrucker.setPageSize(QPageSize(QPageSize::A4));
    ADrucker.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (AQuer || APrinter.BrauchtQuerformat(ADrucker)) ADrucker.setPageOrientation(QPageLayout::Landscape);
    ADrucker.setDocName(APrinter.Titel_Get());
}

void TKOV_VirtualTreePrinter::Print() {
    if (!MitDialogen()) {
        if (FPdfDatei.isEmpty())
            throw EKatalogFehler("TKOV_VirtualTreePrinter.Print", "STANDARD", 994,
                                 {"Für den Druck ohne Dialoge ist keine PDF-Datei angegeben."},
                                 "Für den Druck ohne Dialoge ist keine PDF-Datei angegeben.");
        PrintToPdf(FPdfDatei);
        return;
    }
    QPrinter drucker(QPrinter::HighResolution);
    DruckerEinrichten(*this, drucker, FOptions.Querformat);
    QPrintDialog dialog(&drucker, QApplication::activeWindow());
    if (dialog.exec() == QDialog::Accepted) Render(drucker);
}

void TKOV_VirtualTreePrinter::Vorschau() {
    if (!MitDialogen()) {
        Print();
        return;
    }
    QPrinter drucker(QPrinter::HighResolution);
    DruckerEinrichten(*this, drucker, FOptions.Querformat);
    QPrintPreviewDialog dialog(&drucker, QApplication::activeWindow());
    // An exception must not cross Qt's event loop: kept and raised after the dialog.
    std::exception_ptr fehler;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* ADrucker) {
        try {
            Render(*ADrucker);
        } catch (...) {
            if (!fehler) fehler = std::current_exception();
            dialog.reject();
        }
    });
    dialog.exec();
    if (fehler) std::rethrow_exception(fehler);
}
