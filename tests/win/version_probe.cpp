// Run by the version tests under a Wine version setting of their choosing:
// prints the version the system reports and exits with 1 when
// QWinVersion(checktype, major, minor) holds, else 0.
#include <cstdio>
#include <cstdlib>

#include "actions/Queries.h"
#include "actions/Win32System.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    Win32System system;
    const OsVersion os = system.GetOsVersion();
    std::printf("%u.%u\n", static_cast<unsigned>(os.major), static_cast<unsigned>(os.minor));
    QWinVersion query(std::atoi(argv[1]), std::atoi(argv[3]), std::atoi(argv[2]), &system);
    return query.Check() ? 1 : 0;
}
