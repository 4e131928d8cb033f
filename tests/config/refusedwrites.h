#pragma once

#include <QString>

#include <optional>

#include <sys/resource.h>

// The tests run as root in CI, and no permission bit stops root's writes.
// These make the machine refuse as it refuses an ordinary workstation user.

// While alive, the process acts as the user "nobody" when it runs as root.
// What it must reach has to be open to everyone (see openToEveryone).
class OrdinaryUser
{
public:
    OrdinaryUser();
    ~OrdinaryUser();
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

private:
    bool m_dropped = false;
};

// QTemporaryDir makes its folder private; an ordinary user must see into it.
void openToEveryone(const QString &folder);

enum class Refusal { ReadOnlyFolder, FullDisk };

// While alive, writing a file into the folder fails: the folder is read-only,
// or no file can grow past a few bytes, as on a full disk.
class RefusedWrites
{
public:
    RefusedWrites(Refusal refusal, const QString &folder);
    ~RefusedWrites();
    RefusedWrites(const RefusedWrites &) = delete;
    RefusedWrites &operator=(const RefusedWrites &) = delete;

private:
    Refusal m_refusal;
    QString m_folder;
    std::optional<OrdinaryUser> m_user;
    rlimit m_oldLimit{};
    void (*m_oldHandler)(int) = nullptr;
};
