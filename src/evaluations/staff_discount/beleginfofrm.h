#pragma once
// The receipt window: the sales lines of one till receipt, as the till wrote them.
#include "rdlform.h"
#include "rdltyco.h"

#include <string>

class TVTRDLVRList;
class QLabel;

class TBelegInfoFrm : public TRDLForm {
    Q_OBJECT
public:
    explicit TBelegInfoFrm(QWidget* AEltern = nullptr);

    // The receipt by its kind and number as shown, and where its lines are (client,
    // computer and transaction number); reads the lines at once.
    void BelegSetzen(const std::string& AVorfall, int32_t ABonNrA, int32_t ABonNrB, const TIntPair& AMandant,
                     int32_t ARechner, int32_t ATransNr);

    QLabel* lblBeleg;
    TVTRDLVRList* vtPositionen;
};
