// The entry of the program orvelle.
#include "app/Program.h"

int main(int argc, char** argv) {
    return orvelle::RunProgram(argc, argv);
}
