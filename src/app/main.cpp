#include "quendrix.h"
#include "quendrixmodule.h"
#include <iostream>

int main(int argc, char** argv) {
    QuendrixAuswertungenRegistrieren();
    return QuendrixMain(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
