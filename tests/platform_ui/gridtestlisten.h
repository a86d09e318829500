#pragma once
// Small lists for the grid tests (after the foundations' value-row fixtures) and
// compact text forms of what a model or view holds.
#include "qttestapp.h"
#include "vrgruppierung.h"
#include "vrtestlisten.h"
#include "vrlisthelfer.h"

#include "rdldatum.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTreeView>

#include <memory>
#include <string>
#include <vector>

namespace gridtest {

// The sales-like list and aggregation list of the foundations' tests.
using vrtest::Spalte;
using enum vrtest::Spalte;
using vrtest::Funktionen;
using vrtest::Verkaeufe;

// Grouped by region, then month, with group captions in the head column.
inline std::unique_ptr<TVRList> RegionMonat() {
    TVRGroupList ebenen;
    VRGroupList_Fill(ebenen, {Region, Tag}, {0, 0}, Funktionen());
    auto baum = CreateGroupedVRList(*Verkaeufe(), ebenen, false);
    BezeichnungGruppenkopfSetzen(*baum, {Region, Tag});
    return baum;
}

// The shown cells of the given columns joined by "|"; children follow in braces.
// With a view, only the children of expanded nodes are written.
inline std::string Baum(const QAbstractItemModel& AModel, const std::vector<int>& ASpalten,
                        const QTreeView* AView = nullptr, const QModelIndex& AParent = {}) {
    std::string r;
    for (int i = 0; i < AModel.rowCount(AParent); ++i) {
        if (i > 0) r += ' ';
        for (size_t k = 0; k < ASpalten.size(); ++k) {
            if (k > 0) r += '|';
            r += AModel.index(i, ASpalten[k], AParent).data().toString().toStdString();
        }
        const QModelIndex knoten = AModel.index(i, 0, AParent);
        if (AModel.rowCount(knoten) > 0 && (!AView || AView->isExpanded(knoten)))
            r += '{' + Baum(AModel, ASpalten, AView, knoten) + '}';
    }
    return r;
}

// The model's structural rules, checked over the whole tree: what QAbstractItemModelTester
// checks on a static model. Returns the first broken rule, empty when none.
inline std::string ModellPruefen(const QAbstractItemModel& AModel, const QModelIndex& AParent = {}) {
    const int zeilen = AModel.rowCount(AParent), spalten = AModel.columnCount(AParent);
    if (zeilen < 0 || spalten < 0) return "negative count";
    if (AModel.hasChildren(AParent) != (zeilen > 0 && spalten > 0)) return "hasChildren differs from rowCount";
    if (AModel.index(zeilen, 0, AParent).isValid() || AModel.index(0, spalten, AParent).isValid() ||
        AModel.index(-1, 0, AParent).isValid())
        return "index out of range is valid";
    for (int i = 0; i < zeilen; ++i)
        for (int k = 0; k < spalten; ++k) {
            const QModelIndex x = AModel.index(i, k, AParent);
            if (!x.isValid() || x.row() != i || x.column() != k || x.model() != &AModel) return "bad index";
            if (x.parent() != AParent) return "parent() does not lead back";
            if (x != AModel.index(i, k, AParent)) return "index not stable";
            if (AModel.sibling(i, k, AModel.index(i, 0, AParent)) != x) return "sibling differs";
            x.data(Qt::DisplayRole);
            x.data(Qt::TextAlignmentRole);
            x.data(Qt::BackgroundRole);
            if (k > 0 && (AModel.rowCount(x) != 0 || AModel.hasChildren(x))) return "a column > 0 has children";
        }
    for (int i = 0; i < zeilen; ++i)
        if (const std::string f = ModellPruefen(AModel, AModel.index(i, 0, AParent)); !f.empty()) return f;
    return {};
}

} // namespace gridtest
