// Placeholder entry of the program while the main window is being built.
#include <cstdio>

int main() {
    std::puts("Orvelle: the main window is not built yet; run the tests with scripts/test.");
    return 0;
}
