// SQL Server stand-in: TDS on loopback and the resolution protocol, for tests and the demo.
#include <cstdio>

int main() {
    std::fputs("sqlstandin: not serving yet\n", stderr);
    return 2;
}
