#pragma once
// The suite's branch selection frame: every branch of the branch table as a ticked or
// unticked entry "nr - name", in the table's order, with "alle" and "keine".
#include <QGroupBox>

#include <cstdint>
#include <vector>

class QListWidget;
class QPushButton;
class TFilialen;

class TKOV_FilialenSelekt_Frame : public QGroupBox {
    Q_OBJECT
public:
    explicit TKOV_FilialenSelekt_Frame(QWidget* AEltern = nullptr);

    // One entry per branch of AFilialen; those with AVorauswahl true are ticked.
    void Fuellen(const TFilialen& AFilialen, bool (*AVorauswahl)(int16_t ANr, const TFilialen& AFilialen) = nullptr);
    // The numbers of all branches, and of the ticked ones, in the frame's order.
    std::vector<int16_t> GetAll() const;
    std::vector<int16_t> GetSelected() const;
    // Ticks exactly these numbers; false when one of them is not in the frame (nothing changed then).
    bool SetSelected(const std::vector<int16_t>& ANummern);
    void SetAll(bool ASelected);

    QListWidget* lbFilialen;
    QPushButton* btnAlle;
    QPushButton* btnKeine;
};
