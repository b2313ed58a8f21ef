#include <cstdio>

#include "driver/run.h"

int main(int argc, char** argv) {
    const int status = RunLumarest(argc, argv);
    std::fflush(stdout);
    return status;
}
