// A second process on the same profile store: adds profiles "<prefix>0", "<prefix>1", ...
// and prints the number of each one stored, until it has added `count` or is killed.
//   mirodel_store_child PROGRAM-DIRECTORY PREFIX COUNT
#include "adapter/Mirodel.h"
#include "platform/System.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    platform::SetProgramDirectory(argv[1]);
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        ProfileRecord p;
        std::memset(&p, 0, sizeof p);
        const std::string name = std::string(argv[2]) + std::to_string(i);
        std::snprintf(p.profileName, sizeof p.profileName, "%s", name.c_str());
        std::snprintf(p.ssid, sizeof p.ssid, "net-%d", i);
        std::snprintf(p.passphrase, sizeof p.passphrase, "passphrase-%d", i);
        p.authMode = 3;
        p.encryption = 3;
        p.keyFormat = KEY_ASCII;
        if (MirodelProfileOp(&p, MIRODEL_OP_ADD, MIRODEL_STORE_USER, nullptr) != 0)
            return 1;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
