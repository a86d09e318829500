#include "wgnmani.h"
#include "rdlprogramm.h"
#include <algorithm>
#include <memory>

namespace {

// Compares digit strings by value: leading zeros aside, the longer one is higher.
bool Hoeher(const std::string& A, const std::string& B) {
    auto ohneNullen = [](const std::string& s) { return s.substr(std::min(s.find_first_not_of('0'), s.size())); };
    const std::string a = ohneNullen(A), b = ohneNullen(B);
    if (a.size() != b.size()) return a.size() > b.size();
    return a != b ? a > b : A > B;
}

struct TGeteilterWGNMani {
    std::unique_ptr<TWGNMani> Instanz;
    const TRDLDatenbank* Db = nullptr;
    int Nutzer = 0;
};
TGeteilterWGNMani& Geteilt() {
    static TGeteilterWGNMani g;
    return g;
}

} // namespace

std::string TWGNMani::Get_MaxWGN4ProdId(const TInt32Trio& AProdId, const std::string& ASystem) {
    const std::string system = ASystem.empty() ? "EIGEN" : ASystem;
    const bool merken = (Optionen & CWGNOpt_Merken) != 0;
    const auto schluessel = std::make_pair(system, AProdId);
    if (merken)
        if (auto it = FGemerkt.find(schluessel); it != FGemerkt.end()) return it->second;
    auto st = RDLProgramm().Datenbank().Prepare(
        "SELECT code FROM awgs WHERE system = ? AND prod_a = ? AND prod_b = ? AND prod_c = ?");
    st.Bind(1, system);
    st.Bind(2, int64_t(AProdId.A));
    st.Bind(3, int64_t(AProdId.B));
    st.Bind(4, int64_t(AProdId.C));
    std::string hoechste;
    while (st.Step()) {
        const std::string code = st.ColText(0);
        if (hoechste.empty() || Hoeher(code, hoechste)) hoechste = code;
    }
    if (merken) FGemerkt[schluessel] = hoechste;
    return hoechste;
}

TWGNMani* GlobWGNMani_GetInstance() {
    auto& g = Geteilt();
    const TRDLDatenbank* db = &RDLProgramm().Datenbank();
    if (g.Instanz && g.Db != db && g.Nutzer == 0) g.Instanz.reset();
    if (!g.Instanz) {
        g.Instanz = std::make_unique<TWGNMani>();
        g.Db = db;
    }
    ++g.Nutzer;
    return g.Instanz.get();
}

void GlobWGNMani_ReleaseInstance(TWGNMani*& AInstanz) {
    auto& g = Geteilt();
    if (!AInstanz) return;
    AInstanz = nullptr;
    if (g.Nutzer > 0 && --g.Nutzer == 0) {
        g.Instanz.reset();
        g.Db = nullptr;
    }
}
