#pragma once
// The suite's period dialog: a period chosen from its list of periods or typed, the last
// setting kept per workstation under a settings context. In the GUI a Qt dialog; with
// answers given in advance (tests, runs without a user) two calendar answers, from and to.
#include "rdlartquery.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

// A named period the dialog offers ("Vorjahr").
struct TAuswertungszeitraumInfo {
    std::string Name;
    TKOV_VonBisDatum Zeitraum;
};

class TAuswertungszeitraumDialog {
public:
    TAuswertungszeitraumDialog();

    // Reads the last setting stored under AKontext (its Text names the workstation). A
    // workstation without one, or with one that cannot be read, gets the previous calendar
    // year: the year-end closing is the usual reason to ask.
    void Load(const TContextSatz& AKontext);
    // Shows the dialog; on confirmation the chosen period is kept and stored. AModal is the
    // suite's flag and always met.
    bool Execute(const std::vector<TAuswertungszeitraumInfo>& AInfos, QWidget* AEltern, bool AModal);

    // Its own list: the previous and the current year, the previous month.
    const std::vector<TAuswertungszeitraumInfo>& ZeitraumInfos() const { return FInfos; }
    const TKOV_VonBisDatum& Zeitraum() const { return FZeitraum; }
    void Zeitraum_Set(const TKOV_VonBisDatum& AZeitraum) { FZeitraum = AZeitraum; }
    // Whether Load found a stored setting.
    bool Gespeichert() const { return FGespeichert; }

    // Replaces how the dialog is shown (tests): true confirms the period in Zeitraum().
    std::function<bool(TAuswertungszeitraumDialog& ADialog)> Zeigen;

    static TKOV_VonBisDatum Vorgabezeitraum();

private:
    bool QtZeigen(const std::vector<TAuswertungszeitraumInfo>& AInfos, QWidget* AEltern);
    bool VorgabenZeigen();
    TContextSatz FKontext;
    TKOV_VonBisDatum FZeitraum = Vorgabezeitraum();
    std::vector<TAuswertungszeitraumInfo> FInfos;
    bool FGespeichert = false;
};
