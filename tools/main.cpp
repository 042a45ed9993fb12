// orvelle-inventory: the command-line tool over session files.
#include "tools/InventoryTool.h"

#include <iostream>

int main(int argc, char** argv) {
    return orvelle::RunInventoryTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
