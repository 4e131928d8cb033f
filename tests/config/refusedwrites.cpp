#include "refusedwrites.h"

#include <QFile>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr uid_t NobodyId = 65534;
constexpr rlim_t FullDiskBytes = 8;

constexpr QFileDevice::Permissions ReadAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner
    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

} // namespace

OrdinaryUser::OrdinaryUser()
{
    if (geteuid() == 0)
        m_dropped = seteuid(NobodyId) == 0;
}

OrdinaryUser::~OrdinaryUser()
{
    if (m_dropped && seteuid(0) != 0)
        std::abort(); // the rest of the run would test nothing true
}

void openToEveryone(const QString &folder)
{
    QFile::setPermissions(folder, ReadAndEnter | QFileDevice::WriteOwner);
}

RefusedWrites::RefusedWrites(Refusal refusal, const QString &folder)
    : m_refusal(refusal)
    , m_folder(folder)
{
    if (m_refusal == Refusal::ReadOnlyFolder) {
        QFile::setPermissions(m_folder, ReadAndEnter);
        m_user.emplace();
    } else {
        getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        rlimit limit = m_oldLimit;
        limit.rlim_cur = FullDiskBytes;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // fail the write, do not kill
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

RefusedWrites::~RefusedWrites()
{
    if (m_refusal == Refusal::ReadOnlyFolder) {
        m_user.reset();
        openToEveryone(m_folder);
    } else {
        setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, m_oldHandler);
    }
}
