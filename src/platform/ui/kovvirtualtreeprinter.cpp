#include "kovvirtualtreeprinter.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlergebnisgeraet.h"
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
// A row is printed as a group (bold) when its members are printed beneath it.
void ZeilenSammeln(const QAbstractItemModel& AModel, const QModelIndex& AParent, int AEbene, int ATiefe,
                   const std::vector<int>& ASpalten, std::vector<TDruckZeile>& AZeilen) {
    for (int i = 0; i < AModel.rowCount(AParent); ++i) {
        const QModelIndex knoten = AModel.index(i, 0, AParent);
        const bool gruppe = (ATiefe < 0 || AEbene < ATiefe) && AModel.hasChildren(knoten);
        TDruckZeile z;
        z.Ebene = AEbene;
        z.Gruppe = gruppe;
        for (int s : ASpalten) z.Zellen.push_back(AModel.index(i, s, AParent).data(Qt::DisplayRole).toString());
        AZeilen.push_back(std::move(z));
        if (gruppe) ZeilenSammeln(AModel, knoten, AEbene + 1, ATiefe, ASpalten, AZeilen);
    }
}

QFont Fett(QFont AFont) {
    AFont.setBold(true);
    return AFont;
}

// "Label: value"; a label that ends in a colon keeps its own, an empty one is left out.
QString Bemerkungszeile(const QString& ALabel, const QString& AWert) {
    if (ALabel.isEmpty()) return AWert;
    return ALabel + (ALabel.endsWith(u':') ? QStringLiteral(" ") : QStringLiteral(": ")) + AWert;
}

// Everything measured for one device, in its units: columns, rows, the column bands side by
// side and the row ranges one below the other. Title and remarks stand on the first page
// only, so the first band's row ranges are shifted against those of the other bands; every
// page shows the head column, so a row is found by its caption in any band.
struct TPlan {
    QFont Normal, Fett, Titel;
    std::vector<int> Spalten; // printed logical columns; position 0 is repeated on every band
    std::vector<QString> Kopf;
    std::vector<Qt::Alignment> Ausrichtung;
    std::vector<TDruckZeile> Zeilen;
    std::vector<qreal> Breite;      // what each column's widest text needs
    std::vector<qreal> Druckbreite; // the same, cut to what a page can give
    qreal Einzug = 0, Rand = 0, Zeilenhoehe = 0, Kopfzeilenhoehe = 0, Fusshoehe = 0;
    qreal Seitenbreite = 0, Seitenhoehe = 0;
    qreal TitelHoehe = 0, Kopfblock = 0;
    std::vector<qreal> BemerkungHoehe;
    std::vector<std::vector<size_t>> Baender;          // positions into Spalten, 0 first
    using TZeilenseiten = std::vector<std::pair<size_t, size_t>>; // [from, to) into Zeilen
    TZeilenseiten ErstesBand, WeitereBaender;
    qreal Gesamtbreite() const {
        qreal b = 0;
        for (qreal x : Breite) b += x;
        return b;
    }
    const TZeilenseiten& Zeilenseiten(size_t ABand) const { return ABand == 0 ? ErstesBand : WeitereBaender; }
    int Seiten() const { return int(ErstesBand.size() + (Baender.size() - 1) * WeitereBaender.size()); }
};

QFont Tabellenschrift(const TKOV_VirtualTreePrinterOptions& AOpt) {
    QFont f;
    f.setPointSize(std::max(AOpt.Schriftgroesse, CKOV_MindestSchriftgroesse));
    return f;
}

// Columns, rows and their widths; no page yet.
TPlan SpaltenMessen(const TKOV_VirtualTreePrinter& APrinter, QPaintDevice& AGeraet) {
    TPlan l;
    l.Normal = Tabellenschrift(APrinter.Options_Get());
    l.Fett = Fett(l.Normal);
    l.Titel = l.Fett;
    l.Titel.setPointSize(l.Normal.pointSize() + 5);
    l.Spalten = APrinter.DruckSpalten();
    const TVTRDLVRList* baum = APrinter.Tree_Get();
    const QFontMetricsF normal(l.Normal, &AGeraet), fett(l.Fett, &AGeraet);
    l.Einzug = normal.horizontalAdvance(QStringLiteral("MMM"));
    l.Rand = normal.horizontalAdvance(QStringLiteral("M")) / 2;
    l.Zeilenhoehe = fett.height() * 1.25;
    for (int s : l.Spalten) {
        l.Kopf.push_back(baum->ColumnCaption_Get(s));
        l.Ausrichtung.push_back(baum->ColumnAlignment_Get(s) & Qt::AlignHorizontal_Mask);
        l.Breite.push_back(fett.horizontalAdvance(l.Kopf.back()) + 2 * l.Rand);
    }
    if (baum && !l.Spalten.empty())
        ZeilenSammeln(baum->Model(), {}, 0, APrinter.Options_Get().Drucktiefe, l.Spalten, l.Zeilen);
    for (const TDruckZeile& z : l.Zeilen)
        for (size_t k = 0; k < z.Zellen.size(); ++k) {
            const QFontMetricsF& fm = z.Gruppe ? fett : normal;
            qreal b = fm.horizontalAdvance(z.Zellen[k]) + 2 * l.Rand;
            if (k == 0) b += z.Ebene * l.Einzug; // the tree's indent lives in the first printed column
            l.Breite[k] = std::max(l.Breite[k], b);
        }
    return l;
}

// Splits the columns into bands of a page's width and the rows into page ranges.
TPlan PlanBilden(const TKOV_VirtualTreePrinter& APrinter, QPagedPaintDevice& AGeraet) {
    TPlan l = SpaltenMessen(APrinter, AGeraet);
    const qreal breite = AGeraet.width(), hoehe = AGeraet.height();
    l.Seitenbreite = breite;
    l.Seitenhoehe = hoehe;

    // The head column takes at most half a page when others must follow it; no column is
    // wider than what is left beside it. Longer texts are cut with an ellipsis, never shrunk.
    const size_t n = l.Spalten.size();
    l.Druckbreite = l.Breite;
    if (n > 0) l.Druckbreite[0] = std::min(l.Breite[0], n > 1 ? breite / 2 : breite);
    for (size_t k = 1; k < n; ++k) l.Druckbreite[k] = std::min(l.Breite[k], breite - l.Druckbreite[0]);
    std::vector<size_t> band{0};
    qreal x = n > 0 ? l.Druckbreite[0] : 0;
    for (size_t k = 1; k < n; ++k) {
        if (band.size() > 1 && x + l.Druckbreite[k] > breite) {
            l.Baender.push_back(band);
            band = {0};
            x = l.Druckbreite[0];
        }
        band.push_back(k);
        x += l.Druckbreite[k];
    }
    l.Baender.push_back(n > 0 ? band : std::vector<size_t>{});

    // Title and remarks wrap at the page's width.
    const QFontMetricsF normal(l.Normal, &AGeraet), titel(l.Titel, &AGeraet);
    const auto umbrochen = [&](const QFontMetricsF& fm, const QString& AText) {
        return fm.boundingRect(QRectF(0, 0, breite, 1e9), Qt::AlignLeft | Qt::TextWordWrap, AText).height();
    };
    if (!APrinter.Titel_Get().isEmpty())
        l.TitelHoehe = umbrochen(titel, APrinter.Titel_Get()) + titel.height() * 0.3;
    l.Kopfblock = l.TitelHoehe;
    for (const auto& [label, wert] : APrinter.Bemerkungen()) {
        l.BemerkungHoehe.push_back(umbrochen(normal, Bemerkungszeile(label, wert)) + l.Zeilenhoehe - normal.height());
        l.Kopfblock += l.BemerkungHoehe.back();
    }
    if (!APrinter.Titel_Get().isEmpty() || !APrinter.Bemerkungen().empty()) l.Kopfblock += l.Zeilenhoehe;

    l.Kopfzeilenhoehe = n > 0 ? l.Zeilenhoehe * 1.2 : 0;
    l.Fusshoehe = l.Zeilenhoehe * 1.5;
    // At least one row per page, so that a block taller than a page cannot stall the print.
    const auto platz = [&](qreal AOben) {
        return std::max<size_t>(1, size_t((hoehe - l.Fusshoehe - l.Kopfzeilenhoehe - AOben) / l.Zeilenhoehe));
    };
    const auto seitenteilen = [&](qreal AErsteOben) {
        TPlan::TZeilenseiten r;
        for (size_t von = 0; von < l.Zeilen.size();) {
            const size_t bis = std::min(l.Zeilen.size(), von + platz(r.empty() ? AErsteOben : 0));
            r.emplace_back(von, bis);
            von = bis;
        }
        if (r.empty()) r.emplace_back(0, 0);
        return r;
    };
    l.ErstesBand = seitenteilen(l.Kopfblock);
    l.WeitereBaender = seitenteilen(0);
    return l;
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

bool TKOV_VirtualTreePrinter::BrauchtQuerformat(QPagedPaintDevice& AGeraet) const {
    const TPlan l = SpaltenMessen(*this, AGeraet);
    QPageLayout hoch = AGeraet.pageLayout();
    hoch.setOrientation(QPageLayout::Portrait);
    return l.Gesamtbreite() > hoch.paintRectPixels(AGeraet.logicalDpiX()).width();
}

void TKOV_VirtualTreePrinter::Render(QPagedPaintDevice& AGeraet) const {
    const TPlan l = PlanBilden(*this, AGeraet);
    QPainter p(&AGeraet);
    if (!p.isActive()) throw Exception("Der Druck konnte nicht begonnen werden.");
    const QFontMetricsF normal(l.Normal, &AGeraet), fett(l.Fett, &AGeraet);
    const qreal breite = l.Seitenbreite, hoehe = l.Seitenhoehe;
    const QString datum = QStringLiteral("Gedruckt am ") + QString::fromStdString(DateToStr(rdl_Today()));
    const QString seiten = QString::number(l.Seiten());
    qreal y = 0;

    auto zeile = [&](const std::vector<size_t>& ABand, const std::vector<QString>& AZellen, int AEbene, bool AFett) {
        p.setFont(AFett ? l.Fett : l.Normal);
        const QFontMetricsF& fm = AFett ? fett : normal;
        qreal x = 0;
        for (size_t k : ABand) {
            const qreal einzug = k == 0 ? AEbene * l.Einzug : 0;
            const QRectF zelle(x + l.Rand + einzug, y, l.Druckbreite[k] - 2 * l.Rand - einzug, l.Zeilenhoehe);
            x += l.Druckbreite[k];
            if (zelle.width() <= 0) continue;
            const QString& text = AZellen[k];
            p.drawText(zelle, l.Ausrichtung[k] | Qt::AlignVCenter,
                       l.Breite[k] > l.Druckbreite[k] ? fm.elidedText(text, Qt::ElideRight, zelle.width()) : text);
        }
        y += l.Zeilenhoehe;
    };
    auto kopfblock = [&] {
        if (!FTitel.isEmpty()) {
            p.setFont(l.Titel);
            p.drawText(QRectF(0, y, breite, l.TitelHoehe), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, FTitel);
            y += l.TitelHoehe;
        }
        p.setFont(l.Normal);
        for (size_t i = 0; i < FBemerkungen.size(); ++i) {
            const auto& [label, wert] = FBemerkungen[i];
            p.drawText(QRectF(0, y, breite, l.BemerkungHoehe[i]), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                       Bemerkungszeile(label, wert));
            y += l.BemerkungHoehe[i];
        }
        if (!FTitel.isEmpty() || !FBemerkungen.empty()) y += l.Zeilenhoehe;
    };
    auto fuss = [&](int ASeite) {
        p.setFont(l.Normal);
        const QRectF r(0, hoehe - l.Zeilenhoehe, breite, l.Zeilenhoehe);
        p.drawText(r, Qt::AlignLeft | Qt::AlignBottom, datum);
        p.drawText(r, Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("Seite %1 von %2").arg(QString::number(ASeite), seiten));
    };

    // Down, then across: all row pages of the first column band, then those of the next.
    int seite = 0;
    for (size_t b = 0; b < l.Baender.size(); ++b)
        for (const auto& [von, bis] : l.Zeilenseiten(b)) {
            const std::vector<size_t>& band = l.Baender[b];
            if (seite > 0 && !AGeraet.newPage())
                throw Exception("Die nächste Druckseite konnte nicht begonnen werden.");
            ++seite;
            y = 0;
            if (seite == 1) kopfblock();
            if (!band.empty()) {
                zeile(band, l.Kopf, 0, true);
                qreal rechts = 0;
                for (size_t k : band) rechts += l.Druckbreite[k];
                p.drawLine(QPointF(0, y), QPointF(rechts, y));
                y += l.Kopfzeilenhoehe - l.Zeilenhoehe;
            }
            for (size_t i = von; i < bis; ++i)
                zeile(band, l.Zeilen[i].Zellen, l.Zeilen[i].Ebene, l.Zeilen[i].Gruppe);
            fuss(seite);
        }
}

void TKOV_VirtualTreePrinter::PrintToPdf(const QString& APfad) {
    TRDLErgebnisGeraet datei(APfad); // refuses a target that is no regular file
    {
        QPdfWriter pdf(&datei);
        pdf.setResolution(300);
        pdf.setTitle(FTitel);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        if (FOptions.Querformat || BrauchtQuerformat(pdf)) pdf.setPageOrientation(QPageLayout::Landscape);
        Render(pdf); // the PDF is complete when its painter ends
    }
    datei.Abschliessen(); // any failed write of the painter surfaces here
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
