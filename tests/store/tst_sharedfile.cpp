#include "databasecopy.h"
#include "daycursor.h"
#include "daymerge.h"
#include "refusedwrites.h"
#include "schemasteps.h"
#include "storetesttable.h"

#include <QDeadlineTimer>
#include <QThread>

#include <span>

#include <sys/stat.h>

using DatabaseCopy::Outcome;
Q_DECLARE_METATYPE(DatabaseCopy::Outcome)

// The database file as the workstations share it. Day records: the RVOUS and
// COCHE encodings, the merge, the day cursor's positionings, saving (first
// save adds, later saves update, the _TXT rule), what the caller is told when
// the file cannot serve, and the connection the cursor keeps between
// positionings, which must always show the file as it is now; several
// workstations saving into one file at once, and one killed in the middle of
// its saves. Then backups and restores of the whole file, one taken while
// another workstation is saving.
namespace {

constexpr qint32 Day = 37986;
constexpr qint32 FirstSharedDay = 40000; // the writers save this day and the next two
constexpr int SharedDays = 3;

HalfDayMark &markOf(DayRecord &record, const QString &flag)
{
    const int index = QStringList{u"ABSENT1"_s, u"ABSENT2"_s, u"ECHO1"_s, u"ECHO2"_s}.indexOf(flag.toUpper());
    return *std::array{&record.absent1, &record.absent2, &record.echo1, &record.echo2}[std::size_t(index)];
}

// A day in which every field holds something of its own.
DayRecord fullRecord()
{
    DayRecord record;
    std::tie(record.postit, record.bloc) = std::pair(u"jour post-it"_s, u"jour bloc\r\nligne 2"_s);
    for (std::size_t i = 0; i < SlotCount; ++i)
        std::tie(record.slots[i], record.checks[i]) = std::pair(u"jour créneau %1"_s.arg(i), i % 3 == 0);
    for (const QString &flag : {u"absent1"_s, u"absent2"_s, u"echo1"_s, u"echo2"_s})
        markOf(record, flag) = {true, u"jour "_s + flag};
    return record;
}

// Sets one field of a day from its test notation: "slot5" and "check5" (a
// "1" checks), "postit", "bloc", and the marks "absent1" … "echo2", whose
// value is empty when unset, "+text" when set, "-text" when unset with a
// text left in its hidden panel.
DayRecord withField(const QString &field, const QString &value)
{
    DayRecord record;
    if (field.startsWith(u"slot"))
        record.slots[field.mid(4).toUInt()] = value;
    else if (field.startsWith(u"check"))
        record.checks[field.mid(5).toUInt()] = value == u"1";
    else if (field == u"postit" || field == u"bloc")
        (field == u"bloc" ? record.bloc : record.postit) = value;
    else
        markOf(record, field) = {value.startsWith(u'+'), value.mid(1)};
    return record;
}

QString firstSlot(const DayCursor &cursor)
{
    const std::optional<DayRecord> record = cursor.currentRecord();
    return record ? record->slots[0] : u"<aucun>"_s;
}

// How many descriptors of this process are open on the file, found by what
// they point at, so that a removed file is still counted.
int handlesOn(const struct stat &file)
{
    int count = 0;
    const QDir fds(u"/proc/self/fd"_s);
    struct stat status = {};
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        count += ::stat(QFile::encodeName(fds.filePath(fd)).constData(), &status) == 0
                 && status.st_dev == file.st_dev && status.st_ino == file.st_ino;
    return count;
}

qint32 dayOf(int save) { return FirstSharedDay + save % SharedDays; }

// What writer w (1 to 6) puts with its save n into each slot it owns, the
// slots whose index is w - 1 modulo 6.
QString slotText(int writer, int save) { return u"w%1 n%2"_s.arg(writer).arg(save); }

// A workstation that only saves, this program started again as
// `--writer <database> <writer> <milliseconds>`: it saves the shared days of
// user 1 in turn, for the given time (or until killed when it is 0), through
// the day cursor's merging save, each save writing its own slots and leaving
// the others as this writer last saw them. It prints the number of each save
// once it has returned; save n is of day dayOf(n).
int writeSharedDays(const QStringList &args)
{
    const int writer = args[3].toInt();
    DayCursor cursor;
    cursor.setBusyTimeout(120000); // six writers queue for the lock; none may give up
    QHash<qint32, DayRecord> seen; // each day as this writer last saved it
    const QDeadlineTimer end(args[4] == u"0" ? -1 : args[4].toLongLong()); // -1: never
    for (int save = 1; !end.hasExpired(); ++save) {
        const qint32 date = dayOf(save);
        DayRecord shown = seen.value(date);
        for (int slot = writer - 1; slot < SlotCount; slot += 6)
            shown.slots[std::size_t(slot)] = slotText(writer, save);
        if (const Status status = cursor.save(args[2], 1, date, DayRecord(seen[date]), shown, seen[date]); !status) {
            std::fprintf(stderr, "%s\n", qPrintable(status.message()));
            return 1;
        }
        std::printf("%d\n", save);
        std::fflush(stdout);
    }
    return 0;
}

// The save numbers a writer printed, whole lines only.
QList<int> savesOf(const QByteArray &output)
{
    QList<int> saves;
    for (const QByteArray &line : output.split('\n').sliced(0, output.count('\n'))) // the last one is not yet whole
        saves << line.toInt();
    return saves;
}

// Every stored day of the six tables, as one text; empty when unreadable.
QString agendaContent(const QString &path)
{
    QStringList lines;
    for (int user = 1; user <= 6; ++user) {
        const QString sql = u"SELECT %1, AGENDATE, RVOUS, COCHE FROM RVOUS%1 ORDER BY AGENDATE"_s.arg(user);
        for (const QVariantList &row : StoreTestDatabase::rows(path, sql))
            lines << u"%1:%2:%3:%4"_s.arg(row[0].toString(), row[1].toString(), row[2].toString(), row[3].toString());
    }
    return lines.join(u'\n');
}

QString dayOneOf(const QString &path, int user)
{
    return StoreTestDatabase::scalar(path, u"SELECT RVOUS FROM RVOUS%1 WHERE AGENDATE=1"_s.arg(user)).toString();
}

} // namespace

class TestSharedFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_case = 0;

    // A fresh folder of this test case, open to every user so that a test
    // running as "nobody" can still read it.
    QString folder(const QString &name)
    {
        const QString path = m_dir.filePath(u"%1-%2"_s.arg(++m_case).arg(name));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::Permissions(0x7777));
        return path;
    }

    // A database of the practice holding day 1 of users 1 and 6 as `text`.
    QString practice(const QString &text)
    {
        const QString made = StoreTestDatabase::create(
            folder(u"made"_s), u"INSERT INTO RVOUS1 (AGENDATE, RVOUS) VALUES (1, '%1'); "
                               "INSERT INTO RVOUS6 (AGENDATE, RVOUS) VALUES (1, '%1');"_s.arg(text));
        QFile::setPermissions(made, QFileDevice::Permissions(0x6666));
        return made;
    }

    // A file of the given kind at path: a practice's database ("good", or
    // changed by the SQL of "no RVOUS6", "version 1" (made before the day
    // history), "truncated"), another file ("garbage", "empty"),
    // "folder"; "missing" makes nothing.
    void makeSource(const QString &kind, const QString &path)
    {
        QString history = u"DROP TABLE HISTORIQUE; PRAGMA user_version = 1;"_s;
        for (int user = 1; user <= 6; ++user)
            history += u"DROP TRIGGER RVOUS%1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS%1_HISTORIQUE_SUPPR;"_s.arg(user);
        const QHash<QString, QString> changes = {
            {u"good"_s, QString()}, {u"no RVOUS6"_s, u"DROP TABLE RVOUS6"_s}, {u"version 1"_s, history},
            {u"truncated"_s, u"WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                             " INSERT INTO RVOUS4 (AGENDATE, RVOUS) SELECT i, printf('%.300c', 'y') FROM n"_s}};
        const QHash<QString, QByteArray> files = {{u"garbage"_s, QByteArray(4096, 'z')}, {u"empty"_s, QByteArray()}};
        if (changes.contains(kind))
            QVERIFY(QFile::rename(practice(kind == u"truncated" ? u"x"_s : u"sauvegardé"_s), path)
                    && (changes[kind].isEmpty() || StoreTestDatabase::run(path, changes[kind])));
        else if (files.contains(kind))
            QVERIFY(StoreTestDatabase::write(path, files[kind]));
        else if (kind == u"folder")
            QVERIFY(QDir().mkpath(path));
        else
            QCOMPARE(kind, u"missing"_s);
        QVERIFY(kind != u"truncated"
                || StoreTestDatabase::write(path, StoreTestDatabase::contents(path).first(QFileInfo(path).size() / 2)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ::umask(022);
        // Open to every user, so that a test running as "nobody" reads there.
        QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777)));
    }

    void decode_data()
    {
        // text: read as RVOUS and as COCHE; slots: the first slots, the rest empty;
        // encodedTheSame: written back, the text is the same
        columns<QString, QStringList, QList<int>, bool>("text", "slots", "checked", "encodedTheSame");
        row("pieces past the 53rd are ignored", u"x\r\n"_s.repeated(60), QStringList(SlotCount, u"x"_s), QList<int>(),
            false);
        row("only \"1\" is checked, the pieces missing empty and unchecked", u"2\r\n 1\r\n1 \r\ntrue\r\n01\r\n1"_s,
            QStringList{u"2"_s, u" 1"_s, u"1 "_s, u"true"_s, u"01"_s, u"1"_s}, QList<int>{5}, false);
        row("lone LF or CR inside a slot", u"a\nb\r\nc\rd"_s, QStringList{u"a\nb"_s, u"c\rd"_s}, QList<int>(), false);
        row("53 pieces, the last one checked", u"0\r\n"_s.repeated(52) + u'1', QStringList(52, u"0"_s) << u"1"_s,
            QList<int>{52}, true);
    }

    void decode()
    {
        auto [text, slots, checked, encodedTheSame] =
            fetch<QString, QStringList, QList<int>, bool>("text", "slots", "checked", "encodedTheSame");
        const std::array<QString, SlotCount> decodedSlots = DayEncoding::decodeSlots(text);
        const std::array<bool, SlotCount> decodedChecks = DayEncoding::decodeChecks(text);
        slots.resize(SlotCount);
        QCOMPARE(QStringList(decodedSlots.begin(), decodedSlots.end()), slots);
        std::array<bool, SlotCount> expectedChecks{};
        for (const int i : checked)
            expectedChecks[std::size_t(i)] = true;
        QCOMPARE(decodedChecks, expectedChecks);
        QCOMPARE(DayEncoding::encodeSlots(decodedSlots) == text, encodedTheSame);
        QCOMPARE(DayEncoding::encodeChecks(decodedChecks) == text, encodedTheSame);
    }

    void merge_data()
    {
        // remembered: as the day was shown; shown: as it is on screen now;
        // stored: as another workstation stored it meanwhile
        columns<QString, QString, QString, QString, QString>("field", "remembered", "shown", "stored", "merged");
        const QString none;
        row("slot typed there", u"slot5"_s, u"A"_s, u"A"_s, u"C"_s, u"C"_s);
        row("slot typed on both: shown wins", u"slot52"_s, u"A"_s, u"B"_s, u"C"_s, u"B"_s);
        row("slot erased here, the first slot", u"slot0"_s, u"A"_s, none, u"C"_s, none);
        row("check set here", u"check3"_s, u"0"_s, u"1"_s, u"0"_s, u"1"_s);
        row("post-it written here", u"postit"_s, u"a"_s, u"a\r\nb"_s, u"a"_s, u"a\r\nb"_s);
        row("theatre programme written here", u"bloc"_s, none, u"8h hernie"_s, u"9h"_s, u"8h hernie"_s);
        row("mark set here", u"absent1"_s, none, u"+ABSENT"_s, none, u"+ABSENT"_s);
        row("mark text changed here", u"echo1"_s, u"+Echo"_s, u"+Echo 2"_s, u"+Echo"_s, u"+Echo 2"_s);
        row("a hidden panel's old text is no change", u"absent2"_s, none, u"-vieux"_s, u"+Congrès"_s, u"+Congrès"_s);
    }

    // Field by field: what changed on screen wins, the rest is as stored; and
    // a field nobody touched (slot 40) keeps the stored text.
    void merge()
    {
        const auto [field, remembered, shown, stored, merged] =
            fetch<QString, QString, QString, QString, QString>("field", "remembered", "shown", "stored", "merged");
        DayRecord storedDay = withField(field, stored), expected = withField(field, merged);
        storedDay.slots[40] = expected.slots[40] = u"AUTRE"_s;
        const DayRecord result = DayMerge::merge(withField(field, remembered), withField(field, shown), storedDay);
        QVERIFY(DayMerge::sameDay(result, expected));
        QCOMPARE(DayMerge::sameDay(result, storedDay), stored == merged);
    }

    void saves_data()
    {
        // forSearch: positioned as the search window does first; flag: the mark this case is about;
        // storedBefore: its flag and text in the day's row, empty when no row yet; storedAfter: its text field
        // afterwards, null when never written
        columns<bool, QString, QString, bool, QString>("forSearch", "flag", "storedBefore", "saveSet", "storedAfter");
        row("clearing a mark keeps its stored text", false, u"ABSENT1"_s, u"1, 'Congrès'"_s, false, u"Congrès"_s);
        row("setting a mark writes the panel's text", true, u"ABSENT2"_s, u"0, 'Congrès'"_s, true, u"panneau"_s);
        row("new day without the mark leaves its text unwritten", false, u"ECHO2"_s, QString(), false, QString());
    }

    // A positioning reads the user's own table and writes nothing; a save adds the day's row or updates the one
    // there, writes every field, and a _TXT field only while its flag is yes.
    void saves()
    {
        const auto [forSearch, flag, storedBefore, saveSet, storedAfter] =
            fetch<bool, QString, QString, bool, QString>("forSearch", "flag", "storedBefore", "saveSet", "storedAfter");
        const QString path = StoreTestDatabase::create(
            m_dir.path(), storedBefore.isEmpty() ? QString()
                                                 : u"INSERT INTO RVOUS5(AGENDATE, RVOUS, %1, %1_TXT) VALUES (37986, "
                                                   "'CINQ', %2)"_s.arg(flag, storedBefore));
        const QByteArray before = StoreTestDatabase::contents(path);
        // Each positioning replaces the one before, of the other kind here.
        DayCursor cursor;
        QVERIFY(forSearch ? cursor.position(path, 1, Day).ok() : cursor.positionForSearch(path, 1, Day).ok());
        QVERIFY(forSearch ? cursor.positionForSearch(path, 5, Day).ok() : cursor.position(path, 5, Day).ok());
        QCOMPARE(cursor.user(), 5);
        QCOMPARE(firstSlot(cursor), storedBefore.isEmpty() ? u"<aucun>"_s : u"CINQ"_s);
        QCOMPARE(cursor.currentDateNumber(), storedBefore.isEmpty() ? std::nullopt : std::optional<qint32>(Day));
        QVERIFY(StoreTestDatabase::lockFree(path));
        QCOMPARE(StoreTestDatabase::contents(path), before);
        DayRecord record = fullRecord();
        markOf(record, flag) = {saveSet, u"panneau"_s};
        DayRecord saved;
        QVERIFY(cursor.save(path, 5, Day, cursor.currentRecord().value_or(DayRecord()), record, saved).ok());
        QVERIFY(StoreTestDatabase::lockFree(path));

        const QString slots = QStringList(record.slots.begin(), record.slots.end()).join(u"\r\n"_s);
        const QVariant text = storedAfter.isNull() ? QVariant() : QVariant(storedAfter);
        QCOMPARE(StoreTestDatabase::rows(path, u"SELECT RVOUS, %1, %1_TXT FROM RVOUS5"_s.arg(flag)),
                 (QList<QVariantList>{{slots, qint64(saveSet), text}}));
        markOf(record, flag).text = saveSet ? u"panneau"_s : QString(); // an unset mark reads no text
        QCOMPARE(cursor.currentDateNumber(), Day);
        QCOMPARE(cursor.currentRecord(), record);
        QVERIFY(DayMerge::sameDay(saved, record));
    }

    void failures_data()
    {
        // setup: SQL run on a new database, or what to put at the path;
        // positions: whether positioning still works; message: what a save
        // says, empty when no save is tried while the file refuses it
        columns<QString, int, bool, QString>("setup", "user", "positions", "message");
        row("missing file", u"<missing>"_s, 1, false, u"introuvable"_s);
        row("a folder", u"<folder>"_s, 1, false, u"n'est pas un fichier"_s);
        row("legacy Jet file", u"<jet>"_s, 1, false, u"planora-admin convert"_s);
        row("legacy ACE file (Access 2007 and later)", u"<ace>"_s, 1, false, u"planora-admin convert"_s);
        row("text file", u"<text>"_s, 1, false, u"n'est pas une base"_s);
        row("SQLite header over garbage", u"<garbage>"_s, 1, false, u"n'est pas une base"_s);
        row("user's table missing", u"DROP TABLE RVOUS4"_s, 4, false, u"La table RVOUS4 est absente"_s);
        // A column the history triggers read can only go with them.
        row("COCHE column missing",
            u"DROP TRIGGER RVOUS1_HISTORIQUE_MAJ; DROP TRIGGER RVOUS1_HISTORIQUE_SUPPR; "
            "ALTER TABLE RVOUS1 DROP COLUMN COCHE"_s,
            1, false, u"Le champ COCHE est absent de la table RVOUS1"_s);
        row("no user 0", QString(), 0, false, u"L'utilisateur 0 n'existe pas"_s);
        row("no user 7", QString(), 7, false, u"L'utilisateur 7 n'existe pas"_s);
        // Once the other workstation is done, or the file takes writes again
        // (a read-only share, a folder whose rights were taken away), the next
        // save goes through without a restart.
        row("another workstation writing while we open", u"<exclusive>"_s, 1, false, u"occupée par un autre poste"_s);
        row("another workstation writing while we save", u"<reserved>"_s, 1, true, u"occupée par un autre poste"_s);
        row("save refused as read-only: the next one goes through", u"<read-only>"_s, 1, true, u"lecture seule"_s);
        row("positioned read-only: the first save after goes through", u"<read-only>"_s, 1, true, QString());
    }

    void failures()
    {
        const auto [setup, user, positions, message] =
            fetch<QString, int, bool, QString>("setup", "user", "positions", "message");
        const QHash<QString, QByteArray> files = {
            {u"<jet>"_s, StoreTestDatabase::JetHeader},
            {u"<ace>"_s, QByteArray(StoreTestDatabase::JetHeader).replace("Jet", "ACE")},
            {u"<text>"_s, "RVOUS;Postit\r\n"},
            {u"<garbage>"_s, QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'Z')}};
        QString path = m_dir.filePath(QString::fromUtf8(QTest::currentDataTag()));
        if (files.contains(setup))
            QVERIFY(StoreTestDatabase::write(path, files.value(setup)));
        else if (setup == u"<folder>")
            QVERIFY(QDir().mkpath(path));
        else if (setup != u"<missing>")
            path = StoreTestDatabase::create(m_dir.path(), setup.startsWith(u'<') ? QString() : setup);
        QVERIFY(!path.isEmpty());
        // The superuser writes whatever the permissions say: it acts as
        // "nobody" while the file refuses writes; anyone else is refused by
        // the file's permissions.
        const bool readOnly = setup == u"<read-only>";
        QVERIFY(!readOnly || QFile::setPermissions(path, QFileDevice::Permissions(0x4444)));
        std::optional refused = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
        SqliteConnection other;
        if (setup == u"<exclusive>" || setup == u"<reserved>")
            QVERIFY(other.open(path, SqliteConnection::Mode::ReadWrite) == SQLITE_OK
                    && other.exec(setup == u"<exclusive>" ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE") == SQLITE_OK);
        const QByteArray before = StoreTestDatabase::contents(path);

        DayCursor cursor;
        cursor.setBusyTimeout(150);
        const Status positioned = cursor.position(path, user, Day);
        QCOMPARE(positioned.ok(), positions);
        QVERIFY2(positions || positioned.message().contains(message), qPrintable(positioned.message()));
        QCOMPARE(cursor.isOpen(), positions);
        const DayRecord record = fullRecord();
        DayRecord written;
        if (!message.isEmpty()) {
            const Status saved = cursor.save(path, user, Day, DayRecord(), record, written);
            QVERIFY2(saved.message().contains(message), qPrintable(saved.message()));
            QVERIFY(!cursor.isOpen()); // the next attempt opens the file again
        }
        QCOMPARE(StoreTestDatabase::contents(path), before);
        QCOMPARE(QFileInfo::exists(path), setup != u"<missing>"); // never created
        if (!other.isOpen() && !readOnly)
            return;
        QVERIFY(!other.isOpen() || other.exec("ROLLBACK") == 0);
        refused.reset();
        QVERIFY(!readOnly || QFile::setPermissions(path, QFileDevice::Permissions(0x6644)));
        const Status saved = cursor.save(path, user, Day, DayRecord(), record, written);
        QVERIFY2(saved.ok(), qPrintable(saved.message()));
        QCOMPARE(cursor.currentRecord(), record);
    }

    void fileChangedBetweenPositionings_data()
    {
        // handlesMeanwhile: on the file first opened, after the change; shown:
        // afterwards, the first slot shown or part of the message
        columns<QString, int, QString, int>("how", "handlesMeanwhile", "shown", "handlesAfter");
        row("untouched: the same day is shown", u"none"_s, 1, u"ORIGINAL"_s, 1);
        row("the row under the cursor is read again from the file", u"save, no positioning"_s, 1, u"RESTAURE"_s, 1);
        row("another database renamed over the file", u"rename"_s, 1, u"RESTAURE"_s, 0);
        // Same size, same header counters: only the file's change time tells it.
        row("another database copied over the file in place", u"copy"_s, 1, u"RESTAURE"_s, 1);
        row("the file removed", u"remove"_s, 1, u"introuvable"_s, 0);
        row("a failed positioning, then copied over", u"user 7, copy"_s, 0, u"RESTAURE"_s, 1);
        row("another database shown, then copied over", u"other, copy"_s, 0, u"RESTAURE"_s, 1);
    }

    void fileChangedBetweenPositionings()
    {
        const auto [how, handlesMeanwhile, shown, handlesAfter] =
            fetch<QString, int, QString, int>("how", "handlesMeanwhile", "shown", "handlesAfter");
        // Both texts have the same length, so that the two files are the same
        // size and carry the same header counters.
        const QString sql = u"INSERT INTO RVOUS1(AGENDATE, RVOUS) VALUES (%1, '%2')"_s;
        const QString path = StoreTestDatabase::create(m_dir.path(), sql.arg(Day).arg(u"ORIGINAL"_s));
        const QString replacement = StoreTestDatabase::create(m_dir.path(), sql.arg(Day).arg(u"RESTAURE"_s));
        DayCursor cursor;
        QVERIFY(cursor.position(path, 1, Day).ok());
        QCOMPARE(firstSlot(cursor), u"ORIGINAL"_s);
        struct stat oldFile = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &oldFile), 0);
        QCOMPARE(handlesOn(oldFile), 1);
        // Waits until the clock that stamps files has moved past the file's change time, as a probe file written
        // beside it shows, so that the next write gives the file a change time of its own even where the kernel
        // stamps files at a coarse granularity.
        const QString probePath = path + u".probe"_s;
        struct stat probe = {};
        for (int attempt = 0; attempt < 2000; ++attempt, QThread::msleep(1))
            if (StoreTestDatabase::write(probePath, "x")
                && ::stat(QFile::encodeName(probePath).constData(), &probe) == 0
                && std::tie(probe.st_ctim.tv_sec, probe.st_ctim.tv_nsec)
                       > std::tie(oldFile.st_ctim.tv_sec, oldFile.st_ctim.tv_nsec))
                break;

        if (how.startsWith(u"user"))
            QVERIFY(!cursor.position(path, 7, Day).ok());
        else if (how.startsWith(u"other"))
            QVERIFY(cursor.position(replacement, 1, Day).ok());
        QCOMPARE(cursor.isOpen(), handlesMeanwhile == 1 || how.startsWith(u"other"));
        QCOMPARE(handlesOn(oldFile), handlesMeanwhile);
        DayRecord saved, written;
        saved.slots[0] = u"RESTAURE"_s;
        if (how.startsWith(u"save"))
            QVERIFY(DayCursor().save(path, 1, Day, DayRecord(), saved, written).ok());
        else if (how == u"rename")
            QCOMPARE(std::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()), 0);
        else if (how.endsWith(u"copy"))
            QVERIFY(StoreTestDatabase::write(path, StoreTestDatabase::contents(replacement)));
        else if (how == u"remove")
            QVERIFY(QFile::remove(path));

        const Status status = how.endsWith(u"no positioning") ? Status::success() : cursor.position(path, 1, Day);
        // Shown: the first slot when positioned, else the message must say it.
        QCOMPARE(status.ok() ? firstSlot(cursor) : status.message().contains(shown) ? shown : status.message(), shown);
        QCOMPARE(cursor.isOpen(), status.ok());
        QCOMPARE(handlesOn(oldFile), handlesAfter);
    }

    void writersAtOnce_data()
    {
        // milliseconds: how long each writer saves, 0 until killed;
        // killAfter: saves returned before SIGKILL, 0 when never killed
        columns<int, QString, int>("writers", "milliseconds", "killAfter");
        // Writer w owns the slots w - 1, w + 5, ... of the same three days.
        row("six writers for 3 s, each its own slots of the same days", 6, u"3000"_s, 0);
        row("a writer killed in the middle of its saves", 1, u"0"_s, 40);
    }

    // Several workstations save the same days at once through the merging
    // save: none loses another's slots, the file stays sound with one row per
    // day, and every version a save replaced is in the history.
    void writersAtOnce()
    {
        const auto [writers, milliseconds, killAfter] =
            fetch<int, QString, int>("writers", "milliseconds", "killAfter");
        const QString path = StoreTestDatabase::create(m_dir.path());
        std::array<QProcess, 6> processes;
        for (int writer = 1; writer <= writers; ++writer)
            processes[writer - 1].start(QCoreApplication::applicationFilePath(),
                                        {u"--writer"_s, path, QString::number(writer), milliseconds});
        QList<QList<int>> saves; // by writer
        int committed = 0;
        for (QProcess &process : std::span(processes.data(), writers)) {
            QByteArray output;
            while (killAfter && savesOf(output).size() < killAfter) {
                QVERIFY2(process.waitForReadyRead(60000), process.readAllStandardError().constData());
                output += process.readAllStandardOutput();
            }
            if (killAfter)
                process.kill(); // SIGKILL: no chance to finish the save under way
            QVERIFY(process.waitForFinished(120000));
            QCOMPARE(process.exitStatus(), killAfter ? QProcess::CrashExit : QProcess::NormalExit);
            QVERIFY2(killAfter || process.exitCode() == 0, process.readAllStandardError().constData());
            // SQLite's lock is not fair: a writer may have saved only once.
            saves << savesOf(output + process.readAllStandardOutput());
            committed += int(saves.last().size());
        }
        QCOMPARE(StoreTestDatabase::scalar(path, u"PRAGMA integrity_check"_s).toString(), u"ok"_s);

        // One row per day, in each the last save of every writer in all its
        // slots (or, for a writer killed, the save it had under way).
        const QList<QVariantList> days =
            StoreTestDatabase::rows(path, u"SELECT AGENDATE, count(*), max(RVOUS) FROM RVOUS1 GROUP BY AGENDATE"_s);
        QCOMPARE(days.size(), SharedDays);
        for (const QVariantList &day : days) {
            QCOMPARE(day[1].toInt(), 1);
            const std::array<QString, SlotCount> slots = DayEncoding::decodeSlots(day[2].toString());
            for (int slot = 0; slot < SlotCount; ++slot) {
                const int writer = slot % 6 + 1;
                int lastSave = 0;
                for (const int save : saves.value(writer - 1))
                    lastSave = dayOf(save) == day[0].toInt() ? save : lastSave;
                const QString &text = slots[std::size_t(slot)];
                const QString last = lastSave ? slotText(writer, lastSave) : QString();
                QVERIFY2(writer > writers || text == last
                             || (killAfter && text == slotText(writer, saves[writer - 1].last() + 1)),
                         qPrintable(u"day %1, slot %2: \"%3\", last save \"%4\""_s.arg(day[0].toInt()).arg(slot)
                                        .arg(text, last)));
            }
        }
        // Every save but the first of each day replaced a version, and each
        // one is still to be found, stored or kept in the history.
        const int kept = StoreTestDatabase::scalar(path, u"SELECT count(*) FROM HISTORIQUE"_s).toInt();
        QVERIFY2(kept == committed - SharedDays || (killAfter && kept == committed + 1 - SharedDays),
                 qPrintable(u"%1 versions kept for %2 saves"_s.arg(kept).arg(committed)));
        QSet<QString> found;
        for (const QVariantList &version : StoreTestDatabase::rows(
                 path, u"SELECT RVOUS FROM RVOUS1 UNION ALL SELECT RVOUS FROM HISTORIQUE WHERE UTILISATEUR = 1"_s)) {
            const std::array<QString, SlotCount> slots = DayEncoding::decodeSlots(version[0].toString());
            for (int writer = 1; writer <= 6; ++writer)
                found.insert(slots[std::size_t(writer - 1)] + u" in slot "_s + QString::number(writer - 1));
        }
        for (int writer = 1; writer <= writers; ++writer)
            for (const int save : saves[writer - 1])
                QVERIFY2(found.contains(slotText(writer, save) + u" in slot "_s + QString::number(writer - 1)),
                         qPrintable(slotText(writer, save)));
    }

    // A backup, or a restore of one over the live database: either checks the
    // database it copies, then the copy, as check() does.
    void copy_data()
    {
        // restore: the source restored over the target, else backed up there; source, target: a file of that
        // kind (see makeSource), the target also "read-only" (the live database, or the folder of the backup)
        // or "the source" itself
        columns<bool, QString, QString, Outcome>("restore", "source", "target", "expected");
        row("first backup", false, u"good"_s, u"missing"_s, Outcome::Done);
        row("source is a folder", false, u"folder"_s, u"missing"_s, Outcome::SourceUnreadable);
        row("source not SQLite", false, u"garbage"_s, u"missing"_s, Outcome::NotPlanora);
        row("source empty, which SQLite would open", false, u"empty"_s, u"missing"_s, Outcome::NotPlanora);
        row("source with a table missing", false, u"no RVOUS6"_s, u"missing"_s, Outcome::NotPlanora);
        row("source cut short", false, u"truncated"_s, u"missing"_s, Outcome::Damaged);
        row("over an earlier backup, without asking", false, u"good"_s, u"good"_s, Outcome::Done);
        row("folder that cannot be written", false, u"good"_s, u"read-only"_s, Outcome::TargetUnwritable);
        row("a folder where the copy goes", false, u"good"_s, u"folder"_s, Outcome::TargetUnwritable);
        row("backup onto the database itself", false, u"good"_s, u"the source"_s, Outcome::SameFile);
        row("no database to copy, earlier backup kept", false, u"missing"_s, u"good"_s, Outcome::SourceMissing);
        row("restore of a backup named otherwise", true, u"good"_s, u"good"_s, Outcome::Done);
        row("backup from before the day history: brought up to date", true, u"version 1"_s, u"good"_s, Outcome::Done);
        row("damaged backup refused", true, u"truncated"_s, u"good"_s, Outcome::Damaged);
        row("live database damaged: kept as it was, replaced", true, u"good"_s, u"garbage"_s, Outcome::Done);
        row("no live database: the backup put in its place", true, u"good"_s, u"missing"_s, Outcome::Done);
        row("restore of the live database itself", true, u"good"_s, u"the source"_s, Outcome::SameFile);
        row("live database read-only", true, u"good"_s, u"read-only"_s, Outcome::TargetUnwritable);
    }

    void copy()
    {
        const auto [restore, source, target, expected] =
            fetch<bool, QString, QString, Outcome>("restore", "source", "target", "expected");
        const QString targetFolder = folder(u"target"_s);
        const QString targetPath = QDir(targetFolder).filePath(u"AGENDAS.MDB"_s);
        const bool readOnly = target == u"read-only", itself = target == u"the source";
        // The target itself named through "..", as a picked file could be.
        const QString sourcePath = itself ? u"%1/../%2/AGENDAS.MDB"_s.arg(targetFolder, QDir(targetFolder).dirName())
                                          : QDir(folder(u"source"_s)).filePath(u"copie du lundi.db"_s);
        if (!itself)
            makeSource(source, sourcePath);
        // A database with changes of its own: an earlier backup, or the live database.
        const bool good = target == u"good" || itself || (readOnly && restore);
        makeSource(good ? u"good"_s : readOnly ? u"missing"_s : target, targetPath);
        QVERIFY(!good
                || StoreTestDatabase::run(targetPath, u"UPDATE RVOUS1 SET RVOUS='actuel' WHERE AGENDATE=1; "
                                                      "INSERT INTO RVOUS5 (AGENDATE, RVOUS) VALUES (9, 'neuf')"_s));
        const QByteArray targetBefore = StoreTestDatabase::contents(targetPath);
        const QByteArray sourceBefore = StoreTestDatabase::contents(sourcePath);
        const QString contentBefore = agendaContent(targetPath);
        const qsizetype filesBefore = QDir(targetFolder).entryList(QDir::Files).size();
        const QString safety = DatabaseCopy::safetyCopyPath(targetPath, QDateTime::currentDateTime());
        // Another workstation, its connection already open on the target.
        SqliteConnection workstation;
        QVERIFY(!good || workstation.open(targetPath, SqliteConnection::Mode::ReadOnly) == SQLITE_OK);
        const QString refusing = restore ? targetPath : targetFolder; // the live database, or the backup's folder
        QVERIFY(!readOnly || QFile::setPermissions(refusing, QFileDevice::Permissions(0x5555))); // r-x for all
        const DatabaseCopy::Result result = [&] {
            const auto nobody = readOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            return restore ? DatabaseCopy::restore(sourcePath, targetPath, safety)
                           : DatabaseCopy::snapshot(sourcePath, targetPath);
        }();

        QVERIFY2(result.outcome == expected, qPrintable(DatabaseCopy::describe(result, targetPath)));
        QCOMPARE(StoreTestDatabase::contents(sourcePath), sourceBefore);
        if (expected != Outcome::Done) {
            QCOMPARE(StoreTestDatabase::contents(targetPath), targetBefore);
            // No temporary file left; no safety copy but of a live database that then refused the restore.
            QCOMPARE(QDir(targetFolder).entryList(QDir::Files).size(), filesBefore + (restore && readOnly));
            return;
        }
        QCOMPARE(agendaContent(targetPath), agendaContent(sourcePath));
        QCOMPARE(DatabaseCopy::check(targetPath).outcome, Outcome::Done);
        // Other workstations' users read the copy too (umask 022 here).
        QVERIFY(QFile::permissions(targetPath).testFlags(QFileDevice::ReadGroup | QFileDevice::ReadOther));
        // A restore keeps the database it replaces beside it: as it was, or its bytes when it is no database.
        QCOMPARE(QDir(targetFolder).entryList(QDir::Files).size(), restore && target != u"missing" ? 2 : 1);
        if (restore && target == u"garbage")
            QCOMPARE(StoreTestDatabase::contents(safety), targetBefore);
        else if (restore && good) {
            QVERIFY(agendaContent(safety) == contentBefore && contentBefore.contains(u"5:9:neuf"_s));
            // The workstation's own connection reads the restored day.
            SqliteStatement read;
            QVERIFY(read.prepare(workstation.handle(), u"SELECT RVOUS FROM RVOUS1 WHERE AGENDATE=1"_s) == SQLITE_OK
                    && read.step() == SqliteStatement::Step::Row);
            QCOMPARE(read.text(0), u"sauvegardé"_s);
        }
        // The history goes on: the replaced day is kept.
        QCOMPARE(StoreTestDatabase::scalar(targetPath, u"PRAGMA user_version"_s).toInt(),
                 SchemaUpgrade::currentVersion());
        QVERIFY(StoreTestDatabase::run(targetPath, u"UPDATE RVOUS1 SET RVOUS='corrigé' WHERE AGENDATE=1"_s));
        QCOMPARE(StoreTestDatabase::scalar(targetPath, u"SELECT count(*) FROM HISTORIQUE WHERE AGENDATE=1"_s).toInt(),
                 1);
    }

    // Another workstation (store_holdwrite) is in the middle of a save while
    // the backup runs: the copy is the day before the save or after it,
    // whole, never a mix.
    void snapshotWhileAnotherSaves_data()
    {
        columns<QString, QString, int>("spill", "expected", "addedDays");
        row("save still in its own memory: the state before", u"0"_s, u"ancien"_s, 0);
        row("save already writing the file: the state after, once committed", u"1"_s, u"nouveau"_s, 2000);
    }

    void snapshotWhileAnotherSaves()
    {
        const auto [spill, expected, addedDays] = fetch<QString, QString, int>("spill", "expected", "addedDays");
        const QString live = practice(u"ancien"_s);
        const QString copy = QDir(folder(u"backup"_s)).filePath(u"AGENDAS.MDB"_s);
        QProcess other;
        other.start(QStringLiteral(STORE_HOLDWRITE), {live, spill, u"1500"_s});
        QVERIFY(other.waitForReadyRead(30000) && other.readLine().trimmed() == "held");

        const DatabaseCopy::Result result = DatabaseCopy::snapshot(live, copy, 30000);

        QVERIFY(other.waitForFinished(60000));
        QCOMPARE(other.readAll().trimmed(), QByteArray("committed"));
        QCOMPARE(result.outcome, Outcome::Done);
        QCOMPARE(DatabaseCopy::check(copy).outcome, Outcome::Done);
        QCOMPARE(dayOneOf(copy, 1), expected);
        QCOMPARE(dayOneOf(copy, 6), expected);
        QCOMPARE(StoreTestDatabase::scalar(copy, u"SELECT count(*) FROM RVOUS2"_s).toInt(), addedDays);
        QCOMPARE(dayOneOf(live, 6), u"nouveau"_s);
    }

    // The live database's name, kept after its last dot (none here, several there), stamped.
    void safetyCopyPath()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 5, 9));
        QCOMPARE(DatabaseCopy::safetyCopyPath(u"/srv/agenda"_s, when),
                 u"/srv/agenda-avant-restauration-20261206-140509"_s);
        QCOMPARE(DatabaseCopy::safetyCopyPath(u"/srv/a.b/AGENDAS.2024.MDB"_s, when),
                 u"/srv/a.b/AGENDAS.2024-avant-restauration-20261206-140509.MDB"_s);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == u"--writer")
        return writeSharedDays(app.arguments());
    TestSharedFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sharedfile.moc"
