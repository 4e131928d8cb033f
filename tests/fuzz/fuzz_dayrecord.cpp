// A day row as any writer of the file may have left it: each of the columns
// of RVOUS1 holding text, bytes (embedded NULs included), a number or NULL,
// of any length. The day cursor reads it into a day record without fault, the
// record's slots encode back to themselves, and the day saved as read comes
// back as it was.
#include "daycursor.h"
#include "schemasql.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

constexpr qint32 ReadDate = 40000, SavedDate = 40001;
// AGENDATE, RVOUS, Postit, Bloc, ABSENT1, ABSENT1_TXT, ABSENT2, ABSENT2_TXT,
// ECHO1, ECHO1_TXT, ECHO2, ECHO2_TXT, COCHE: the columns in the schema's order.
constexpr char Insert[] = "INSERT OR REPLACE INTO RVOUS1 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // One database for every input, on a memory file system when there is one
    // so that the saves' flushes cost nothing.
    static QTemporaryDir folder(QFileInfo::exists(u"/dev/shm"_s) ? u"/dev/shm/planora-fuzz-XXXXXX"_s : QString());
    static const QString path = folder.filePath(u"AGENDAS.MDB"_s);
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db); // a failure fails the statement's preparation
    static const bool made = sqlite3_exec(db, schemaSql, nullptr, nullptr, nullptr) == SQLITE_OK; // the first time
    sqlite3_exec(db, "PRAGMA synchronous=OFF; DELETE FROM RVOUS1;", nullptr, nullptr, nullptr);
    if (!made || sqlite3_prepare_v2(db, Insert, -1, &statement, nullptr) != SQLITE_OK)
        std::abort();
    // The input cut into the values of the columns after AGENDATE at 0xFF
    // bytes; the first byte of each value says how it is stored.
    const QList<QByteArray> values = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\xff');
    sqlite3_bind_int(statement, 1, ReadDate);
    for (int i = 0; i < 12; ++i) { // the columns after AGENDATE
        const QByteArray value = values.value(i), body = value.mid(1);
        switch (value.isEmpty() ? 0 : std::uint8_t(value.at(0)) % 4) {
        case 0: sqlite3_bind_text(statement, i + 2, body.constData(), int(body.size()), SQLITE_TRANSIENT); break;
        case 1: sqlite3_bind_blob(statement, i + 2, body.constData(), int(body.size()), SQLITE_TRANSIENT); break;
        case 2: sqlite3_bind_int64(statement, i + 2, body.toLongLong()); break;
        default: sqlite3_bind_null(statement, i + 2);
        }
    }
    // A NOT NULL column given NULL refuses the row: that is a row no writer
    // can leave, and the input is simply not used.
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    sqlite3_close(db);

    // A record missing where the cursor stands on a row throws, which aborts.
    static DayCursor cursor;
    if (!cursor.position(path, 1, ReadDate).ok())
        std::abort();
    if (!cursor.found())
        return 0;
    const DayRecord read = cursor.currentRecord().value();
    if (DayEncoding::decodeSlots(DayEncoding::encodeSlots(read.slots)) != read.slots
        || DayEncoding::decodeChecks(DayEncoding::encodeChecks(read.checks)) != read.checks)
        std::abort();

    DayRecord written;
    if (!cursor.save(path, 1, SavedDate, DayRecord(), read, written).ok() || !cursor.position(path, 1, SavedDate).ok())
        std::abort();
    DayRecord saved = cursor.currentRecord().value();
    // A mark's text is written only with its mark set: unset, it may differ.
    for (const auto mark : {&DayRecord::absent1, &DayRecord::absent2, &DayRecord::echo1, &DayRecord::echo2})
        if (!(read.*mark).set && !(saved.*mark).set)
            saved.*mark = read.*mark;
    if (saved != read)
        std::abort();
    return 0;
}
