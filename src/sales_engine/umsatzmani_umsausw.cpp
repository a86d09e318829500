#include "umsatzmani_umsausw.h"

#include "exceptions.h"
#include "rdlprogramm.h"

bool UmsAuswStatistikStand(TDate& ABis) {
    return KOV_GeschuetztWert("UmsAuswStatistikStand", true, false, [&] {
        TKOV_Umsatz_UmszMani_UmsAusw mani;
        if (!mani.UmsStatFileGeneriert()) return false;
        auto st = RDLProgramm().Datenbank().Prepare("SELECT MAX(datum) FROM umst WHERE kennung = ?");
        st.Bind(1, std::string(TKOV_UmsatzHelper_UmsAusw::CStatistikKennung));
        if (!st.Step() || st.ColIsNull(0)) return false;
        ABis = DateOf(st.ColDouble(0));
        return true;
    });
}
