// Tables of the record files that a single evaluation reads.
#include <string>
#include <vector>

const std::vector<std::string>& QuendrixSchemaDDL_Auswertungen() {
    static const std::vector<std::string> ddl = {};
    return ddl;
}
