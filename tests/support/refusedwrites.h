#pragma once

#include <QScopeGuard>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

// The tests run as root in CI, and no permission bit stops root. These make
// the machine refuse as it refuses an ordinary workstation user, for as long
// as the guard they return lives.

// No file can grow past a few bytes, as on a full disk: a file can be made,
// and then writing into it fails.
[[nodiscard]] inline auto fullDisk()
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{8, old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN); // fail the write, do not kill (harmless once the limit is lifted)
    setrlimit(RLIMIT_FSIZE, &limit);
    return qScopeGuard([=] { setrlimit(RLIMIT_FSIZE, &old); });
}

// The process acts as the user "nobody" when it runs as root: what it must
// reach has to be open to everyone.
[[nodiscard]] inline auto asOrdinaryUser()
{
    const bool dropped = geteuid() == 0 && seteuid(65534) == 0;
    return qScopeGuard([=] {
        if (dropped && seteuid(0) != 0)
            std::abort(); // the rest of the run would test nothing true
    });
}
