#pragma once
// The tree grid of the result windows: a QTreeView over the grid's current value-row
// list. The model reads cells from the list on demand; no item objects per cell.
#include "vrlist.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <QTreeView>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class TVTRDLVRList;

// Tree model over one TVRList. A node's internal pointer is the list that holds its
// row; a child list knows its parent row through a table rebuilt on Reset.
class TVRListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TVRListModel(TVTRDLVRList& AGrid);

    QModelIndex index(int ARow, int ACol, const QModelIndex& AParent = {}) const override;
    QModelIndex parent(const QModelIndex& AIndex) const override;
    int rowCount(const QModelIndex& AParent = {}) const override;
    int columnCount(const QModelIndex& AParent = {}) const override;
    bool hasChildren(const QModelIndex& AParent = {}) const override;
    QVariant data(const QModelIndex& AIndex, int ARole = Qt::DisplayRole) const override;
    QVariant headerData(int ASection, Qt::Orientation AOrientation, int ARole = Qt::DisplayRole) const override;

    // The list a node's row lives in, and its child list (none for a leaf).
    const TVRList* NodeList(const QModelIndex& AIndex) const;
    const TVRList* ChildList(const QModelIndex& AParent) const;
    // Calls of data() so far, so a benchmark can show what a paint asks for.
    uint64_t DataAufrufe() const { return FDataAufrufe; }

private:
    friend class TVTRDLVRList;
    struct TElternZeile {
        const TVRList* Liste;
        int Zeile;
    };
    void Reset(); // after the list changed in any way
    void ElternSammeln(const TVRList& AList);
    void SortList(TVRList& AList, int32_t ACol, bool AAbsteigend);
    void Sort(int32_t ACol, bool AAbsteigend);
    void HeaderChanged(int ACol) { emit headerDataChanged(Qt::Horizontal, ACol, ACol); }

    TVTRDLVRList& FGrid;
    QHash<const TVRList*, TElternZeile> FEltern;
    mutable uint64_t FDataAufrufe = 0;
};

class TVTRDLVRList : public QTreeView {
    Q_OBJECT
public:
    explicit TVTRDLVRList(QWidget* AParent = nullptr);
    ~TVTRDLVRList() override;

    // --- the current list ----------------------------------------------------------
    TVRList* List() const { return FList.get(); }
    // Replaces (and frees) the current list and refreshes.
    void List_Set(std::unique_ptr<TVRList> AList);
    // Changes the list in place or replaces it by reference (UnGroupVRList, GroupVRList):
    // the view holds no node while AAenderung runs; refreshed afterwards, also after a throw.
    void List_Change(const std::function<void(std::unique_ptr<TVRList>&)>& AAenderung);
    // Direct access for such routines; call Refresh before the event loop runs again.
    std::unique_ptr<TVRList>& ListRef() { return FList; }
    TVRListModel& Model() const { return *FModel; }

    // --- painting and refresh ------------------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Rebuild columns and nodes from the list (after any change of the list).
    void Refresh();
    void ExpandAll();
    void CollapseAll() { collapseAll(); }
    // Rows of depths 0..ALevel become visible (depth 0 is the top level).
    void ExpandTree(int ALevel);
    // Stable sort within each level by the column's order; ADirection 0 ascending, 1 descending.
    void SortTree(int32_t ACol, int ADirection);
    // A click on a column header sorts by it, ascending first, then toggling. Off by default.
    void SortOnHeaderClick_Set(bool AAn) { FSortOnHeaderClick = AAn; }
    int SortColumn() const { return FSortSpalte; } // -1 before the first sort

    // --- columns -------------------------------------------------------------------
    bool ColumnVisible_Get(int ACol) const;
    void ColumnVisible_Set(int ACol, bool AVisible);
    QString ColumnCaption_Get(int ACol) const;
    void ColumnCaption_Set(int ACol, const QString& ACaption);
    int ColumnWidth_Get(int ACol) const { return columnWidth(ACol); }
    void ColumnWidth_Set(int ACol, int AWidth) { setColumnWidth(ACol, AWidth); }
    Qt::Alignment ColumnAlignment_Get(int ACol) const;
    void ColumnAlignment_Set(int ACol, Qt::Alignment AAlignment);
    // Captions shown a word a line in the header ("J-1: Umsatz brutto" on three), so wide
    // tables of repeated blocks keep their columns about as narrow as their numbers.
    void KopfUmbrechen_Set(bool AAn);
    bool KopfUmbrechen_Get() const { return FKopfUmbrechen; }
    // The next visible column in grid order after ACol (-1 starts from the front); -1 when none.
    int GetNextVisibleColumn(int ACol) const;
    // Logical columns that are visible, in grid (visual) order.
    std::vector<int> VisibleColumnsInGridOrder() const;

    // --- nodes ---------------------------------------------------------------------
    int GetNodeLevel(const QModelIndex& ANode) const; // 0 top level, -1 for no node
    int TreeDepth() const;                            // levels of rows: 0 empty, 1 flat
    QModelIndex GetFirstSelected() const;             // in tree order; invalid when none

    // --- hooks ---------------------------------------------------------------------
    void PopupMenu_Set(QMenu* AMenu) { FPopupMenu = AMenu; } // not owned
    // Cell background: the column's colour unless the hook gives another (returns true).
    std::function<bool(const TVRList& AList, int ARow, int ACol, QColor& AFarbe)> OnCellBackground;
    // Vertical lines between cells.
    void VertLines_Set(bool AAn, QColor AFarbe = QColor(0xD0, 0xD0, 0xD0));
    bool VertLines_Get() const { return FVertLines; }
    QColor VertLinesColor() const { return FVertLinesFarbe; }
    // Asks for the save file name (suggestion in); empty means cancelled. By default the
    // suite's CSV save dialog (RDLCSVExportDateiWaehlen).
    std::function<QString(const QString& AVorschlag)> OnAskSaveFileName;

    // --- CSV -----------------------------------------------------------------------
    // A blank separator means ";". AMitKopfzeile writes the header line first; AUtf8 writes
    // UTF-8 instead of Windows-1252. Lines end in CR LF.
    bool Export2CSV_KnownFilename(const std::string& ADateiname, int ALevel, char ATrenner,
                                  bool AMitKopfzeile = true, bool AUtf8 = false) const;
    // Asks for the name first; false when cancelled or failed. AName gets the chosen name.
    bool Export2CSV(std::string& AName, int ALevel, char ATrenner, bool AMitKopfzeile = true, bool AUtf8 = false);
    // One CSV line (UTF-8, no line end), visible columns in grid order.
    std::string Header2String(char ATrenner, bool AMitUeberschrift = true) const;
    std::string Node2String(const QModelIndex& ANode, char ATrenner) const;
    // The lines of one depth: 0 top level, 1 the next, ...; -1 the leaf rows.
    std::vector<std::string> Level2Strings(int ALevel, char ATrenner) const;

private:
    std::string Zeile2String(const TVRList& AList, int ARow, const std::vector<int>& ASpalten, char ATrenner) const;
    void ZeilenSammeln(const TVRList& AList, int ATiefe, int ALevel, const std::vector<int>& ASpalten,
                       char ATrenner, std::vector<std::string>& AZeilen) const;

    std::unique_ptr<TVRList> FList;
    TVRListModel* FModel;
    int FUpdateCount = 0;
    QMenu* FPopupMenu = nullptr;
    bool FVertLines = false;
    bool FSortOnHeaderClick = false;
    bool FKopfUmbrechen = false;
    int FSortSpalte = -1;
    int FSortRichtung = 0;
    QColor FVertLinesFarbe;
    std::vector<Qt::Alignment> FAusrichtung; // per column, rebuilt by Refresh
};

// Suspends painting for its lifetime, also when an exception leaves the scope.
class TVTRDLUpdateGuard {
public:
    explicit TVTRDLUpdateGuard(TVTRDLVRList& AGrid) : FGrid(AGrid) { FGrid.BeginUpdate(); }
    ~TVTRDLUpdateGuard() { FGrid.EndUpdate(); }
    TVTRDLUpdateGuard(const TVTRDLUpdateGuard&) = delete;
    TVTRDLUpdateGuard& operator=(const TVTRDLUpdateGuard&) = delete;

private:
    TVTRDLVRList& FGrid;
};
