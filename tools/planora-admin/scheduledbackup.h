#pragma once

#include "status.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// "backup": a dated, checked copy of the live database and of Utilisat.agc,
// for cron or a systemd timer, while the workstations go on working. Each
// backup is a folder of its own, named after its time (20261206-023000),
// holding AGENDAS.MDB and Utilisat.agc side by side, as the program's
// restore expects them.
namespace ScheduledBackup {

struct Request
{
    QString database;    // the live AGENDAS.MDB
    QString usersFolder; // the folder of Utilisat.agc
    QString folder;      // the folder that holds the backups; must exist
    int keep = 0;        // how many backups to keep, the new one included; 0 keeps all
    QDateTime when;      // names the new backup
};

// The name of a backup folder taken at `when`.
QString folderName(const QDateTime &when);

// Copies, then removes the oldest backup folders beyond `keep` (only those
// whose name is a backup's). A failure leaves no new folder and removes
// nothing. notes: what was made and removed.
Status run(const Request &request, QStringList &notes);

} // namespace ScheduledBackup
