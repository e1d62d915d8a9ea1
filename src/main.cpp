#include "app/program.h"

int main(int argc, char* argv[]) {
    Program program(argc, argv);
    return program.run();
}
