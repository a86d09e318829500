#pragma once
// The suite's article selection dialog: the fields of a query's selection, the period (asked
// through the period event), the selection kept per workstation by the selection helper. In
// the GUI a Qt dialog; with answers given in advance a yes to take the stored selection.
#include "rdlartquery.h"

#include <functional>
#include <memory>

// The evaluation period of a selection.
struct TRDL_Auswertungszeitraum {
    TKOV_VonBisDatum Zeitraum;
    void AssignFrom(const TKOV_VonBisDatum& AZeitraum) { Zeitraum = AZeitraum; }
};

class TArtvSeleingDlg {
public:
    void Query_Set(std::shared_ptr<IRDL_Query> AQuery) { FQuery = std::move(AQuery); }
    // Asked when the user wants another period; returns whether it may go on.
    void OnZeitraum_Set(std::function<bool()> AEreignis) { FOnZeitraum = std::move(AEreignis); }
    void Helper_Set(TArtvSeleingHelper* AHelper) { FHelper = AHelper; }
    // 0: modal, the selection confirmed with OK (the only mode of this program).
    void ExecuteMode_Set(int AModus) { FModus = AModus; }
    int ExecuteMode() const { return FModus; }

    TRDL_Auswertungszeitraum& GetAuswertungsZeitraum() { return FZeitraum; }

    // Loads the workstation's stored selection, shows it, and on confirmation stores it and
    // hands it and the period to the query. False when cancelled.
    bool Execute();

    // The selection being edited (what a shown dialog starts with and ends with).
    TRDL_ArtSelektion Selektion;
    // Replaces how the dialog is shown (tests): true confirms Selektion.
    std::function<bool(TArtvSeleingDlg& ADialog)> Zeigen;
    // Runs the period event as the dialog's button does (false when there is none).
    bool ZeitraumAbfragen() { return FOnZeitraum && FOnZeitraum(); }

private:
    bool QtZeigen();
    std::shared_ptr<IRDL_Query> FQuery;
    std::function<bool()> FOnZeitraum;
    TArtvSeleingHelper* FHelper = nullptr;
    TRDL_Auswertungszeitraum FZeitraum;
    int FModus = 0;
};
