#pragma once
// Message output of GUI runs: every catalogue message in a message box.
#include "rdlinfo.h"

class TRDLMeldungsBox : public IRDLMeldungsAusgabe {
public:
    // Information, warning and error boxes return mrOk; questions offer Yes and No
    // and return mrYes or mrNo.
    int Zeigen(const TRDLMeldung& AMeldung) override;
    bool WartetAufBenutzer() const override { return true; }
};
