// quendrix-demo: writes a deterministic demo installation of the evaluation centre.
#include "demo/demo.h"
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::vector<std::string> argumente(argv + 1, argv + argc);
    // Progress only for a person watching, never into logs or pipes.
    return DemoProgramm(argumente, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
}
