#include "vtrdlvrlist.h"

#include "rdldialog.h"
#include "rdlergebnisdatei.h"
#include "vrlisthelfer.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Draws the vertical grid lines on top of the usual cell.
class TVertLinienDelegate : public QStyledItemDelegate {
public:
    TVertLinienDelegate(TVTRDLVRList& AGrid) : QStyledItemDelegate(&AGrid), FGrid(AGrid) {}
    void paint(QPainter* APainter, const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override {
        QStyledItemDelegate::paint(APainter, AOption, AIndex);
        if (!FGrid.VertLines_Get()) return;
        APainter->save();
        APainter->setPen(FGrid.VertLinesColor());
        APainter->drawLine(AOption.rect.topRight(), AOption.rect.bottomRight());
        APainter->restore();
    }

private:
    TVTRDLVRList& FGrid;
};

bool IstZahl(TVRValueType ATyp) {
    return ATyp == TVRValueType::vrvtInteger || ATyp == TVRValueType::vrvtFloat;
}

} // namespace

// --- model -------------------------------------------------------------------------

TVRListModel::TVRListModel(TVTRDLVRList& AGrid) : QAbstractItemModel(&AGrid), FGrid(AGrid) {}

const TVRList* TVRListModel::ChildList(const QModelIndex& AParent) const {
    const TVRList* wurzel = FGrid.List();
    if (!AParent.isValid()) return wurzel;
    const TVRList* liste = NodeList(AParent);
    if (!liste || AParent.row() >= liste->GetRowCount()) return nullptr;
    return liste->GetRowChild(AParent.row());
}

const TVRList* TVRListModel::NodeList(const QModelIndex& AIndex) const {
    return AIndex.isValid() ? static_cast<const TVRList*>(AIndex.internalPointer()) : nullptr;
}

QModelIndex TVRListModel::index(int ARow, int ACol, const QModelIndex& AParent) const {
    if (AParent.isValid() && AParent.column() != 0) return {};
    const TVRList* liste = ChildList(AParent);
    if (!liste || ARow < 0 || ARow >= liste->GetRowCount() || ACol < 0 || ACol >= columnCount()) return {};
    return createIndex(ARow, ACol, const_cast<TVRList*>(liste));
}

QModelIndex TVRListModel::parent(const QModelIndex& AIndex) const {
    const TVRList* liste = NodeList(AIndex);
    if (!liste || liste == FGrid.List()) return {};
    const auto it = FEltern.constFind(liste);
    if (it == FEltern.constEnd()) return {};
    return createIndex(it->Zeile, 0, const_cast<TVRList*>(it->Liste));
}

int TVRListModel::rowCount(const QModelIndex& AParent) const {
    if (AParent.isValid() && AParent.column() != 0) return 0;
    const TVRList* liste = ChildList(AParent);
    return liste ? liste->GetRowCount() : 0;
}

int TVRListModel::columnCount(const QModelIndex&) const {
    return FGrid.List() ? FGrid.List()->GetColumnCount() : 0;
}

bool TVRListModel::hasChildren(const QModelIndex& AParent) const { return rowCount(AParent) > 0; }

QVariant TVRListModel::data(const QModelIndex& AIndex, int ARole) const {
    ++FDataAufrufe;
    const TVRList* liste = NodeList(AIndex);
    const TVRList* wurzel = FGrid.List();
    // A view may ask between an in-place change of the list and the next refresh.
    if (!liste || !wurzel || AIndex.row() >= liste->GetRowCount() || AIndex.column() >= wurzel->GetColumnCount())
        return {};
    const int zeile = AIndex.row(), spalte = AIndex.column();
    switch (ARole) {
    case Qt::DisplayRole:
        // The top list's columns decide how a cell is shown, at every depth.
        return QString::fromStdString(wurzel->FormatVRItem(liste->GetCellValue(zeile, spalte), spalte));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(FGrid.ColumnAlignment_Get(spalte));
    case Qt::BackgroundRole: {
        QColor farbe;
        if (FGrid.OnCellBackground && FGrid.OnCellBackground(*liste, zeile, spalte, farbe)) return farbe;
        const uint32_t rgb = wurzel->GetColumn(spalte).BackgroundColor;
        if (rgb == 0xFFFFFF) return {}; // the style's base colour
        return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    default:
        return {};
    }
}

QVariant TVRListModel::headerData(int ASection, Qt::Orientation AOrientation, int ARole) const {
    const TVRList* wurzel = FGrid.List();
    if (AOrientation != Qt::Horizontal || !wurzel || ASection < 0 || ASection >= wurzel->GetColumnCount()) return {};
    if (ARole == Qt::DisplayRole) {
        QString t = QString::fromStdString(wurzel->GetColumn(ASection).Caption);
        // One word a line: a column is then as wide as its longest word or its numbers.
        if (FGrid.KopfUmbrechen_Get()) t.replace(QLatin1Char(' '), QLatin1Char('\n'));
        return t;
    }
    if (ARole == Qt::TextAlignmentRole) return QVariant::fromValue(FGrid.ColumnAlignment_Get(ASection));
    return {};
}

void TVRListModel::ElternSammeln(const TVRList& AList) {
    for (int32_t i = 0; i < AList.GetRowCount(); ++i)
        if (const TVRList* kinder = AList.GetRowChild(i)) {
            FEltern.insert(kinder, {&AList, i});
            ElternSammeln(*kinder);
        }
}

void TVRListModel::Reset() {
    beginResetModel();
    FEltern.clear();
    if (FGrid.List()) ElternSammeln(*FGrid.List());
    endResetModel();
}

void TVRListModel::SortList(TVRList& AList, int32_t ACol, bool AAbsteigend) {
    const TVRColumn& spalte = FGrid.List()->GetColumn(ACol);
    auto zeilen = AList.RowsTakeAll();
    std::stable_sort(zeilen.begin(), zeilen.end(), [&](const auto& A, const auto& B) {
        const int v = spalte.Compare(A->Werte[ACol], B->Werte[ACol]);
        return AAbsteigend ? v > 0 : v < 0;
    });
    for (auto& z : zeilen) AList.RowAppend(std::move(z));
    for (int32_t i = 0; i < AList.GetRowCount(); ++i)
        if (TVRList* kinder = AList.GetRowChild(i)) SortList(*kinder, ACol, AAbsteigend);
}

void TVRListModel::Sort(int32_t ACol, bool AAbsteigend) {
    TVRList* wurzel = FGrid.List();
    if (!wurzel || ACol < 0 || ACol >= wurzel->GetColumnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Rows keep their address while sorted: remember each persistent index by its row.
    const QModelIndexList alt = persistentIndexList();
    std::vector<const TVRRow*> zeilen;
    zeilen.reserve(size_t(alt.size()));
    for (const QModelIndex& i : alt) zeilen.push_back(&NodeList(i)->GetRow(i.row()));
    SortList(*wurzel, ACol, AAbsteigend);
    FEltern.clear();
    ElternSammeln(*wurzel);
    QHash<const TVRRow*, int> neu;
    for (const TVRRow* z : zeilen) neu.insert(z, -1);
    if (!neu.isEmpty()) {
        // Only lists that hold a remembered row are searched.
        QHash<const TVRList*, bool> listen;
        for (const QModelIndex& i : alt) listen.insert(NodeList(i), true);
        for (auto it = listen.cbegin(); it != listen.cend(); ++it)
            for (int32_t r = 0; r < it.key()->GetRowCount(); ++r) {
                const auto p = neu.find(&it.key()->GetRow(r));
                if (p != neu.end()) *p = r;
            }
    }
    QModelIndexList neuIndizes;
    neuIndizes.reserve(alt.size());
    for (qsizetype k = 0; k < alt.size(); ++k)
        neuIndizes.push_back(createIndex(neu.value(zeilen[size_t(k)]), alt[k].column(), alt[k].internalPointer()));
    changePersistentIndexList(alt, neuIndizes);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// --- grid ----------------------------------------------------------------------------

TVTRDLVRList::TVTRDLVRList(QWidget* AParent) : QTreeView(AParent), FModel(new TVRListModel(*this)) {
    setModel(FModel);
    setItemDelegate(new TVertLinienDelegate(*this));
    setUniformRowHeights(true); // lets the view skip measuring rows it does not show
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& APos) {
        if (FPopupMenu) FPopupMenu->popup(viewport()->mapToGlobal(APos));
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int ASpalte) {
        if (FSortOnHeaderClick) SortTree(ASpalte, ASpalte == FSortSpalte && FSortRichtung == 0 ? 1 : 0);
    });
    // The suite's save dialog: folder 8, "CSV-Exportdatei", preset answers in tests and batch runs.
    OnAskSaveFileName = [](const QString& AVorschlag) {
        std::string name = AVorschlag.toStdString();
        return RDLCSVExportDateiWaehlen(name) ? QString::fromStdString(name) : QString();
    };
}

TVTRDLVRList::~TVTRDLVRList() {
    // The view must let go of the model before the list goes.
    setModel(nullptr);
}

void TVTRDLVRList::List_Set(std::unique_ptr<TVRList> AList) {
    TVTRDLUpdateGuard guard(*this);
    FModel->beginResetModel();
    FList = std::move(AList); // the replaced list is freed here
    // The model must answer for the new tree as soon as the reset ends.
    FModel->FEltern.clear();
    if (FList) FModel->ElternSammeln(*FList);
    FModel->endResetModel();
    Refresh();
}

void TVTRDLVRList::List_Change(const std::function<void(std::unique_ptr<TVRList>&)>& AAenderung) {
    TVTRDLUpdateGuard guard(*this);
    FModel->beginResetModel();
    FModel->FEltern.clear();
    try {
        AAenderung(FList);
    } catch (...) {
        if (FList) FModel->ElternSammeln(*FList);
        FModel->endResetModel();
        Refresh();
        throw;
    }
    if (FList) FModel->ElternSammeln(*FList);
    FModel->endResetModel();
    Refresh();
}

void TVTRDLVRList::BeginUpdate() {
    if (FUpdateCount++ == 0) setUpdatesEnabled(false);
}

void TVTRDLVRList::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) setUpdatesEnabled(true);
}

void TVTRDLVRList::Refresh() {
    TVTRDLUpdateGuard guard(*this);
    FAusrichtung.clear();
    if (FList)
        for (int32_t s = 0; s < FList->GetColumnCount(); ++s)
            FAusrichtung.push_back(Qt::AlignVCenter |
                                   (IstZahl(FList->GetColumn(s).VRType) ? Qt::AlignRight : Qt::AlignLeft));
    FModel->Reset();
    FSortSpalte = -1; // rebuilt nodes carry the list's own order
    header()->setSortIndicatorShown(false);
    if (FList)
        for (int32_t s = 0; s < FList->GetColumnCount(); ++s) setColumnHidden(s, !FList->GetColumn(s).Visible);
}

void TVTRDLVRList::ExpandTree(int ALevel) {
    if (ALevel <= 0) return;
    TVTRDLUpdateGuard guard(*this);
    expandToDepth(ALevel - 1);
}

void TVTRDLVRList::ExpandAll() {
    // expandToDepth is several times faster than expandAll on large trees.
    const int tiefe = TreeDepth();
    if (tiefe > 1) ExpandTree(tiefe - 1);
}

void TVTRDLVRList::SortTree(int32_t ACol, int ADirection) {
    if (!FList || ACol < 0 || ACol >= FList->GetColumnCount()) return;
    TVTRDLUpdateGuard guard(*this);
    FModel->Sort(ACol, ADirection == 1);
    FSortSpalte = ACol;
    FSortRichtung = ADirection == 1 ? 1 : 0;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(ACol, FSortRichtung == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
    // The indicator needs room beside the caption, which a fit before the sort left out.
    if (!isColumnHidden(ACol)) setColumnWidth(ACol, std::max(columnWidth(ACol), header()->sectionSizeHint(ACol)));
}

void TVTRDLVRList::KopfUmbrechen_Set(bool AAn) {
    FKopfUmbrechen = AAn;
    if (FList && FList->GetColumnCount() > 0) emit FModel->headerDataChanged(Qt::Horizontal, 0, FList->GetColumnCount() - 1);
}

bool TVTRDLVRList::ColumnVisible_Get(int ACol) const {
    return FList && ACol >= 0 && ACol < FList->GetColumnCount() && FList->GetColumn(ACol).Visible;
}

void TVTRDLVRList::ColumnVisible_Set(int ACol, bool AVisible) {
    if (!FList || ACol < 0 || ACol >= FList->GetColumnCount()) return;
    FList->GetColumn(ACol).Visible = AVisible; // the list's flag decides what an export writes
    setColumnHidden(ACol, !AVisible);
}

QString TVTRDLVRList::ColumnCaption_Get(int ACol) const {
    if (!FList || ACol < 0 || ACol >= FList->GetColumnCount()) return {};
    return QString::fromStdString(FList->GetColumn(ACol).Caption);
}

void TVTRDLVRList::ColumnCaption_Set(int ACol, const QString& ACaption) {
    if (!FList || ACol < 0 || ACol >= FList->GetColumnCount()) return;
    FList->GetColumn(ACol).Caption = ACaption.toStdString();
    FModel->HeaderChanged(ACol);
}

Qt::Alignment TVTRDLVRList::ColumnAlignment_Get(int ACol) const {
    if (ACol < 0 || size_t(ACol) >= FAusrichtung.size()) return Qt::AlignLeft | Qt::AlignVCenter;
    return FAusrichtung[size_t(ACol)];
}

void TVTRDLVRList::ColumnAlignment_Set(int ACol, Qt::Alignment AAlignment) {
    if (ACol < 0 || size_t(ACol) >= FAusrichtung.size()) return;
    FAusrichtung[size_t(ACol)] = AAlignment;
    FModel->HeaderChanged(ACol);
    viewport()->update();
}

std::vector<int> TVTRDLVRList::VisibleColumnsInGridOrder() const {
    std::vector<int> r;
    if (!FList) return r;
    const QHeaderView* kopf = header();
    for (int v = 0; v < kopf->count(); ++v) {
        const int s = kopf->logicalIndex(v);
        if (s >= 0 && s < FList->GetColumnCount() && FList->GetColumn(s).Visible) r.push_back(s);
    }
    return r;
}

int TVTRDLVRList::GetNextVisibleColumn(int ACol) const {
    const std::vector<int> sichtbar = VisibleColumnsInGridOrder();
    if (ACol < 0) return sichtbar.empty() ? -1 : sichtbar.front();
    const int ab = header()->visualIndex(ACol);
    for (int s : sichtbar)
        if (header()->visualIndex(s) > ab) return s;
    return -1;
}

int TVTRDLVRList::GetNodeLevel(const QModelIndex& ANode) const {
    if (!ANode.isValid()) return -1;
    int tiefe = 0;
    for (QModelIndex p = ANode.parent(); p.isValid(); p = p.parent()) ++tiefe;
    return tiefe;
}

int TVTRDLVRList::TreeDepth() const {
    std::function<int(const TVRList&)> tiefe = [&](const TVRList& AList) {
        int r = AList.GetRowCount() > 0 ? 1 : 0;
        for (int32_t i = 0; i < AList.GetRowCount(); ++i)
            if (const TVRList* kinder = AList.GetRowChild(i)) r = std::max(r, 1 + tiefe(*kinder));
        return r;
    };
    return FList ? tiefe(*FList) : 0;
}

QModelIndex TVTRDLVRList::GetFirstSelected() const {
    if (!selectionModel()) return {};
    const QModelIndexList gewaehlt = selectionModel()->selectedRows(0);
    if (gewaehlt.isEmpty()) return {};
    // Tree order: compare the row paths from the top level down.
    auto pfad = [](QModelIndex AIndex) {
        std::vector<int> p;
        for (; AIndex.isValid(); AIndex = AIndex.parent()) p.insert(p.begin(), AIndex.row());
        return p;
    };
    return *std::min_element(gewaehlt.begin(), gewaehlt.end(),
                             [&](const QModelIndex& A, const QModelIndex& B) { return pfad(A) < pfad(B); });
}

void TVTRDLVRList::VertLines_Set(bool AAn, QColor AFarbe) {
    FVertLines = AAn;
    FVertLinesFarbe = AFarbe;
    viewport()->update();
}

// --- CSV -----------------------------------------------------------------------------

std::string TVTRDLVRList::Zeile2String(const TVRList& AList, int ARow, const std::vector<int>& ASpalten,
                                       char ATrenner) const {
    std::string r;
    for (size_t k = 0; k < ASpalten.size(); ++k) {
        if (k > 0) r += ATrenner;
        r += CSVFeld(FList->FormatVRItem(AList.GetCellValue(ARow, ASpalten[k]), ASpalten[k]), ATrenner);
    }
    return r;
}

void TVTRDLVRList::ZeilenSammeln(const TVRList& AList, int ATiefe, int ALevel, const std::vector<int>& ASpalten,
                                 char ATrenner, std::vector<std::string>& AZeilen) const {
    for (int32_t i = 0; i < AList.GetRowCount(); ++i) {
        const TVRList* kinder = AList.GetRowChild(i);
        if (ALevel < 0 ? kinder == nullptr : ATiefe == ALevel) AZeilen.push_back(Zeile2String(AList, i, ASpalten, ATrenner));
        if (kinder && (ALevel < 0 || ATiefe < ALevel)) ZeilenSammeln(*kinder, ATiefe + 1, ALevel, ASpalten, ATrenner, AZeilen);
    }
}

std::string TVTRDLVRList::Header2String(char ATrenner, bool AMitUeberschrift) const {
    if (ATrenner == ' ') ATrenner = ';';
    std::string r;
    bool erstes = true;
    for (int s : VisibleColumnsInGridOrder()) {
        if (!erstes) r += ATrenner;
        if (AMitUeberschrift) r += CSVFeld(FList->GetColumn(s).Caption, ATrenner);
        erstes = false;
    }
    return r;
}

std::string TVTRDLVRList::Node2String(const QModelIndex& ANode, char ATrenner) const {
    if (ATrenner == ' ') ATrenner = ';';
    const TVRList* liste = FModel->NodeList(ANode);
    if (!liste || ANode.model() != FModel || ANode.row() >= liste->GetRowCount()) return {};
    return Zeile2String(*liste, ANode.row(), VisibleColumnsInGridOrder(), ATrenner);
}

std::vector<std::string> TVTRDLVRList::Level2Strings(int ALevel, char ATrenner) const {
    if (ATrenner == ' ') ATrenner = ';';
    std::vector<std::string> zeilen;
    if (FList) ZeilenSammeln(*FList, 0, ALevel, VisibleColumnsInGridOrder(), ATrenner, zeilen);
    return zeilen;
}

bool TVTRDLVRList::Export2CSV_KnownFilename(const std::string& ADateiname, int ALevel, char ATrenner,
                                            bool AMitKopfzeile, bool AUtf8) const {
    if (ADateiname.empty()) return false;
    std::string inhalt;
    if (AMitKopfzeile) inhalt = Header2String(ATrenner) + "\r\n";
    for (const std::string& z : Level2Strings(ALevel, ATrenner)) inhalt += z + "\r\n";
    if (!AUtf8) inhalt = Utf8_2_Windows1252(inhalt);
    // The old file stays unless the new one is whole; the callers tell the user (1108).
    return RDLErgebnisDateiGeschrieben(ADateiname, inhalt, "TVTRDLVRList.Export2CSV_KnownFilename");
}

bool TVTRDLVRList::Export2CSV(std::string& AName, int ALevel, char ATrenner, bool AMitKopfzeile, bool AUtf8) {
    if (!OnAskSaveFileName) return false;
    const QString gewaehlt = OnAskSaveFileName(QString::fromStdString(AName));
    if (gewaehlt.isEmpty()) return false;
    AName = gewaehlt.toStdString();
    return Export2CSV_KnownFilename(AName, ALevel, ATrenner, AMitKopfzeile, AUtf8);
}
