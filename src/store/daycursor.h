#pragma once

#include "dayrecord.h"
#include "status.h"

#include <QString>

#include <memory>
#include <optional>

class Database;
class View;

// The day cursor: the one open connection to AGENDAS.MDB, the current SQL
// text and the view positioned on a row. Each positioning replaces the SQL
// text and the view, and shows what the file holds at that moment; the
// connection is kept from one positioning to the next while the file at the
// path is the same one, untouched, and opened again otherwise.
class DayCursor
{
public:
    DayCursor();
    ~DayCursor();
    DayCursor(const DayCursor &) = delete;
    DayCursor &operator=(const DayCursor &) = delete;

    // Open the database, the view "SELECT*FROM RVOUSn ORDER BY AGENDATE" and
    // find "AGENDATE=<dateNumber>". On failure the cursor is left closed, the
    // file released.
    Status position(const QString &databasePath, int user, qint32 dateNumber);

    // The search window's positioning: "SELECT*FROM RVOUSn WHERE AGENDATE =d"
    // then find "AGENDATE=d".
    Status positionForSearch(const QString &databasePath, int user, qint32 dateNumber);

    bool isOpen() const;
    bool found() const;          // the view stands on a row
    int user() const;            // table of the last positioning (0 when closed)

    // The row under the cursor, read again from the file, or nothing when the
    // cursor stands on no row (or the row has gone / cannot be read).
    std::optional<DayRecord> currentRecord() const;
    std::optional<qint32> currentDateNumber() const;

    // What ENREG_01 does to the store. `shown` is the day on screen and
    // `remembered` the day it was shown from (as read, or the empty day).
    // Inside one write transaction the day's row is read again and merged
    // with what is shown (see DayMerge::merge): the fields changed on screen
    // are written as shown, the others keep what another workstation may
    // have stored meanwhile. The row is then edited, or added when the day
    // has none; a _TXT field is left as stored while its flag is no.
    // `saved` receives the merged day, which the cursor stands on. On failure
    // nothing is written and the cursor is closed, so that the next attempt
    // opens the file again.
    Status save(const QString &databasePath, int user, qint32 dateNumber, const DayRecord &remembered,
                const DayRecord &shown, DayRecord &saved);

    // Releases the file: no handle of the cursor stays open on it, so that a
    // backup can copy it and a restore can replace it. The next positioning
    // opens it again.
    void close();

    // How long a positioning or a save waits for another workstation's lock
    // before giving up with a message (the engine's default when never set).
    void setBusyTimeout(int milliseconds);

private:
    Status writeMerged(qint32 dateNumber, const DayRecord &remembered, const DayRecord &shown, DayRecord &saved);
    Status open(const QString &databasePath, int user, const QString &sqlText, qint32 dateNumber);
    Status reuseOrOpen(const QString &databasePath);

    std::unique_ptr<Database> m_database;
    std::unique_ptr<View> m_view;
    int m_user = 0;
    std::optional<int> m_busyTimeoutMs;
};
