#pragma once
// The suite's auto-complete dialog: the user types, the dialog lists the entries of a
// source that match, and a pick reports the entry through the completion event.
#include <QPersistentModelIndex>

#include <functional>
#include <string>
#include <vector>

class TVTRDLVRList;

// One entry a source offers.
struct TACTreffer {
    std::string Anzeige;             // the dialog's line
    QPersistentModelIndex Knoten;    // the entry's row in its tree, when it has one
    std::vector<std::string> Daten;  // the source's data columns of the entry, as text
};

class TACSource {
public:
    virtual ~TACSource() = default;
    // The entries matching AText, best first. Every word of AText must occur
    // in one of the entry's searched texts; an empty text matches nothing unless
    // AAlleBeiLeeremText.
    virtual std::vector<TACTreffer> Suchen(const std::string& AText, bool AAlleBeiLeeremText = false) const = 0;
};

// A source over the rows of a tree grid, every level. Searched are the text columns of
// the list: all of them, or with ANurSichtbareSpalten only the visible ones. Letter case
// counts only with AGrossKleinBeachten. Hits whose display text (AAnzeigeSpalte) holds
// every word come first, those beginning with the first word before the others; then
// the hits found in other columns; within each rank the tree's current order. A hit
// shows the text of AAnzeigeSpalte followed by the other text columns of ADatenSpalten
// in brackets; its Daten are the ADatenSpalten values as shown.
class TACSourceVTCustom : public TACSource {
public:
    TACSourceVTCustom(const TVTRDLVRList* ATree, int AAnzeigeSpalte, bool ANurSichtbareSpalten,
                      bool AGrossKleinBeachten, std::vector<int> ADatenSpalten);
    std::vector<TACTreffer> Suchen(const std::string& AText, bool AAlleBeiLeeremText = false) const override;

private:
    const TVTRDLVRList* FTree;
    int FAnzeigeSpalte;
    bool FNurSichtbareSpalten;
    bool FGrossKleinBeachten;
    std::vector<int> FDatenSpalten;
};

// Start text and its longest length.
struct TACEditInhalt {
    std::string Text;
    int MaxLaenge = 128;
};
// Position (-1: centred over the active window), size, and the most hits listed (-1: all).
struct TACErscheinung {
    int Links = -1, Oben = -1, Breite = 350, Hoehe = 350, MaxTreffer = -1;
};

class TAutoCompleteDlg {
public:
    void Source_Set(const TACSource* ASource) { FSource = ASource; } // not owned
    std::function<void(TAutoCompleteDlg* ASender)> OnCompleteSelected;

    // Runs the dialog (through the suite's dialog interface, so tests answer in
    // advance). AEinzigenTrefferUebernehmen: one hit for the start text is taken without
    // showing the dialog; ALeerZeigtAlle: an empty text lists every entry; ASortiert:
    // hits by display text. True when the user picked an entry: SelectedData holds it
    // and OnCompleteSelected has been called.
    bool Execute(const TACEditInhalt& AInhalt, const TACErscheinung& AErscheinung, bool AEinzigenTrefferUebernehmen,
                 bool ALeerZeigtAlle, bool ASortiert);
    const std::vector<TACTreffer>& SelectedData() const { return FSelected; }

private:
    std::vector<TACTreffer> Treffer(const std::string& AText, bool ALeerZeigtAlle, bool ASortiert) const;

    const TACSource* FSource = nullptr;
    std::vector<TACTreffer> FSelected;
    std::string FText;
};
