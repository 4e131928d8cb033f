#include "practice.h"

#include "configfiles.h"
#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

#include <memory>

namespace {

using SqliteHandle = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

SqliteHandle openFile(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    SqliteHandle handle(db, &sqlite3_close);
    if (rc != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
    return handle;
}

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text) : QString();
}

QString joined(const QStringList &pieces)
{
    return pieces.join(QStringLiteral("\r\n"));
}

} // namespace

Practice::Practice()
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("program"));
    root.mkpath(QStringLiteral("settings"));
    root.mkpath(QStringLiteral("shared"));
    createDatabase(databasePath());
    setSetting(QStringLiteral("CHEMIN"), databasePath());
    setSetting(QStringLiteral("CheminUt"), sharedFolder());
    setSetting(QStringLiteral("CheminNoms"), sharedFolder() + QStringLiteral("/NOMS.db"));
}

Environment Practice::environment()
{
    return Environment{&prompts, &clock, programFolder(), m_dir.path() + QStringLiteral("/settings")};
}

QString Practice::programFolder() const
{
    return m_dir.path() + QStringLiteral("/program");
}

QString Practice::sharedFolder() const
{
    return m_dir.path() + QStringLiteral("/shared");
}

QString Practice::databasePath() const
{
    return sharedFolder() + QStringLiteral("/AGENDAS.MDB");
}

QString Practice::schemaFile()
{
    return QStringLiteral(PLANORA_SCHEMA_FILE);
}

void Practice::createDatabase(const QString &path)
{
    QFile schema(schemaFile());
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read the schema file");
    const SqliteHandle db = openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (sqlite3_exec(db.get(), schema.readAll().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot create the tables");
}

void Practice::setSetting(const QString &key, const QString &value)
{
    SettingsStore store(m_dir.path() + QStringLiteral("/settings"));
    if (!store.setValue(QStringLiteral("HIRONDEL"), QStringLiteral("PLANORA"), key, value))
        qFatal("cannot write a setting");
}

void Practice::removeSettings()
{
    QDir(m_dir.path() + QStringLiteral("/settings")).removeRecursively();
}

void Practice::writeUsers(const UserConfig &users)
{
    if (!ConfigFiles::writeUserConfigFile(sharedFolder(), users))
        qFatal("cannot write Utilisat.agc");
}

UserConfig Practice::namedUsers(std::initializer_list<int> numbers)
{
    UserConfig users;
    for (UserEntry &entry : users)
        entry.colour = SystemWindowColour;
    for (int number : numbers) {
        UserEntry &entry = users[number - 1];
        entry.name = QStringLiteral("Dr %1").arg(QChar(u'A' + number - 1));
        entry.intervalIndex = 1;
        entry.topAnnotation = QStringLiteral("Echo %1").arg(number);
        entry.bottomAnnotation = QStringLiteral("Bloc %1").arg(number);
    }
    return users;
}

void Practice::storeDay(int user, qint32 dateNumber, const StoredDay &day)
{
    const SqliteHandle db = openFile(databasePath(), SQLITE_OPEN_READWRITE);
    const QByteArray sql = QStringLiteral(
        "INSERT OR REPLACE INTO RVOUS%1 (AGENDATE, RVOUS, Postit, Bloc, ABSENT1, ABSENT1_TXT, "
        "ABSENT2, ABSENT2_TXT, ECHO1, ECHO1_TXT, ECHO2, ECHO2_TXT, COCHE) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(user).toUtf8();
    sqlite3_stmt *statement = nullptr;
    QVERIFY(sqlite3_prepare_v2(db.get(), sql.constData(), -1, &statement, nullptr) == SQLITE_OK);
    const QByteArray texts[] = {day.rvous.toUtf8(),      day.postit.toUtf8(),
                                day.bloc.toUtf8(),       day.absent1Txt.toUtf8(),
                                day.absent2Txt.toUtf8(), day.echo1Txt.toUtf8(),
                                day.echo2Txt.toUtf8(),   day.coche.toUtf8()};
    // SQLite binds from 1.
    sqlite3_bind_int(statement, 1, dateNumber);
    const int textColumns[] = {2, 3, 4, 6, 8, 10, 12, 13};
    for (int i = 0; i < 8; ++i)
        sqlite3_bind_text(statement, textColumns[i], texts[i].constData(), int(texts[i].size()),
                          SQLITE_TRANSIENT);
    sqlite3_bind_int(statement, 5, day.absent1);
    sqlite3_bind_int(statement, 7, day.absent2);
    sqlite3_bind_int(statement, 9, day.echo1);
    sqlite3_bind_int(statement, 11, day.echo2);
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    QCOMPARE(rc, SQLITE_DONE);
}

std::optional<StoredDay> Practice::readDay(int user, qint32 dateNumber) const
{
    const SqliteHandle db = openFile(databasePath(), SQLITE_OPEN_READONLY);
    const QByteArray sql = QStringLiteral(
        "SELECT RVOUS, Postit, Bloc, ABSENT1, ABSENT1_TXT, ABSENT2, ABSENT2_TXT, ECHO1, ECHO1_TXT, "
        "ECHO2, ECHO2_TXT, COCHE FROM RVOUS%1 WHERE AGENDATE = ?").arg(user).toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return std::nullopt;
    sqlite3_bind_int(statement, 1, dateNumber);
    std::optional<StoredDay> day;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        // Columns count from 0.
        day = StoredDay{columnText(statement, 0),         columnText(statement, 1),
                        columnText(statement, 2),         sqlite3_column_int(statement, 3),
                        columnText(statement, 4),         sqlite3_column_int(statement, 5),
                        columnText(statement, 6),         sqlite3_column_int(statement, 7),
                        columnText(statement, 8),         sqlite3_column_int(statement, 9),
                        columnText(statement, 10),        columnText(statement, 11)};
    }
    sqlite3_finalize(statement);
    return day;
}

int Practice::rowCount(int user) const
{
    const SqliteHandle db = openFile(databasePath(), SQLITE_OPEN_READONLY);
    const QByteArray sql = QStringLiteral("SELECT COUNT(*) FROM RVOUS%1").arg(user).toUtf8();
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db.get(), sql.constData(), -1, &statement, nullptr);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    return count;
}

QString Practice::rvous(std::initializer_list<std::pair<int, QString>> slots)
{
    QStringList pieces(53);
    for (const auto &[slot, text] : slots)
        pieces[slot] = text;
    return joined(pieces);
}

QString Practice::coche(std::initializer_list<int> checked)
{
    QStringList pieces(53, QStringLiteral("0"));
    for (int slot : checked)
        pieces[slot] = QStringLiteral("1");
    return joined(pieces);
}
