#pragma once

#include "clock.h"
#include "configfiles.h"
#include "datenumber.h"
#include "dayview.h"
#include "environment.h"
#include "fakeprompts.h"
#include "mainwindow.h"
#include "settingsstore.h"
#include "slotedit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>
#include <optional>

using SlotTexts = std::initializer_list<std::pair<int, QString>>;

// The slot texts and check marks joined the way RVOUS and COCHE hold them.
inline QString joinedSlots(SlotTexts slots)
{
    QStringList pieces(SlotCount);
    for (const auto &[slot, text] : slots)
        pieces[slot] = text;
    return pieces.join(QStringLiteral("\r\n"));
}

inline QString joinedChecks(const QList<int> &checked)
{
    QStringList pieces(SlotCount, QStringLiteral("0"));
    for (int slot : checked)
        pieces[slot] = QStringLiteral("1");
    return pieces.join(QStringLiteral("\r\n"));
}

// One row of RVOUSn as the file holds it, read and written with plain SQL so
// that the tests see exactly what the program stored: the columns after
// AGENDATE in their order, flags as "0" / "1".
struct StoredDay
{
    QString rvous;
    QString postit;
    QString bloc;
    QString absent1 = QStringLiteral("0");
    QString absent1Txt;
    QString absent2 = QStringLiteral("0");
    QString absent2Txt;
    QString echo1 = QStringLiteral("0");
    QString echo1Txt;
    QString echo2 = QStringLiteral("0");
    QString echo2Txt;
    QString coche;

    static StoredDay withSlots(SlotTexts slots)
    {
        StoredDay day;
        day.rvous = joinedSlots(slots);
        return day;
    }
    QStringList values() const
    {
        return {rvous, postit, bloc, absent1, absent1Txt, absent2, absent2Txt, echo1, echo1Txt, echo2, echo2Txt, coche};
    }
    bool operator==(const StoredDay &) const = default;
};

// A practice in a temporary folder: the program's folder, a settings folder,
// and a shared folder holding AGENDAS.MDB (made from the schema file) and
// Utilisat.agc (users 1 and 2 named), with CHEMIN, CheminUt and CheminNoms
// pointing at them. Today is 15 March 2024 until a test says otherwise.
class Practice
{
public:
    Practice()
    {
        for (const char *folder : {"program", "settings", "shared"})
            QDir(m_dir.path()).mkpath(QLatin1String(folder));
        createDatabase(databasePath());
        setSetting(QStringLiteral("CHEMIN"), databasePath());
        setSetting(QStringLiteral("CheminUt"), sharedFolder());
        setSetting(QStringLiteral("CheminNoms"), sharedFolder() + QStringLiteral("/NOMS.db"));
        writeUsers(namedUsers({1, 2}));
    }

    FakePrompts prompts;
    FixedClock clock{QDate(2024, 3, 15)};

    Environment environment() { return {&prompts, &clock, programFolder(), m_dir.path() + QStringLiteral("/settings")}; }
    QString programFolder() const { return m_dir.path() + QStringLiteral("/program"); }
    QString sharedFolder() const { return m_dir.path() + QStringLiteral("/shared"); }
    QString databasePath() const { return sharedFolder() + QStringLiteral("/AGENDAS.MDB"); }
    qint32 today() const { return DateNumber::fromDate(clock.today()); }

    static void createDatabase(const QString &path)
    {
        QFile schema(QStringLiteral(PLANORA_SCHEMA_FILE));
        sqlite3 *db = nullptr;
        const bool made = schema.open(QIODevice::ReadOnly) && sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
            && sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!made)
            qFatal("cannot create %s", qPrintable(path));
    }

    void setSetting(const QString &key, const QString &value)
    {
        if (!SettingsStore(environment().settingsFolder)
                 .setValue(QStringLiteral("HIRONDEL"), QStringLiteral("PLANORA"), key, value))
            qFatal("cannot write a setting");
    }

    void writeUsers(const UserConfig &users)
    {
        if (!ConfigFiles::writeUserConfigFile(sharedFolder(), users))
            qFatal("cannot write Utilisat.agc");
    }

    // Users named "Dr A" .. for the given numbers, on the 15-minute grid, with
    // the annotations "Echo n" and "Bloc n".
    static UserConfig namedUsers(const QList<int> &numbers)
    {
        UserConfig users;
        for (UserEntry &entry : users)
            entry.colour = SystemWindowColour;
        for (int n : numbers)
            users[n - 1] = {QStringLiteral("Dr %1").arg(QChar(u'A' + n - 1)), SystemWindowColour, 1,
                            QStringLiteral("Echo %1").arg(n), QStringLiteral("Bloc %1").arg(n)};
        return users;
    }

    // Form1 after its start-up sequence, shown on screen when asked.
    std::unique_ptr<Form1> loadedForm(bool shown = false)
    {
        auto form = std::make_unique<Form1>(environment());
        form->load();
        if (shown) {
            form->show();
            if (!QTest::qWaitForWindowExposed(form.get()))
                qFatal("the main window was not shown");
        }
        return form;
    }

    // RVOUSn holds AGENDATE, then the columns in StoredDay's order.
    void storeDay(int user, qint32 dateNumber, const StoredDay &day)
    {
        query(QStringLiteral("INSERT OR REPLACE INTO RVOUS%1 VALUES (?%2)").arg(user).arg(QStringLiteral(", ?").repeated(12)),
              QStringList{QString::number(dateNumber)} + day.values());
    }

    std::optional<StoredDay> readDay(int user, qint32 dateNumber) const
    {
        const QList<QStringList> rows =
            query(QStringLiteral("SELECT * FROM RVOUS%1 WHERE AGENDATE = ?").arg(user), {QString::number(dateNumber)});
        if (rows.isEmpty())
            return std::nullopt;
        const QStringList &v = rows.first();
        return StoredDay{v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12]};
    }

    // The versions of a day kept in the history, newest first: RVOUS and the
    // columns after it, as text.
    QList<QStringList> history(int user, qint32 dateNumber) const
    {
        return query(QStringLiteral("SELECT RVOUS, Postit, Bloc, COCHE FROM HISTORIQUE WHERE UTILISATEUR = ? AND "
                                    "AGENDATE = ? ORDER BY NUMERO DESC"),
                     {QString::number(user), QString::number(dateNumber)});
    }

    int rowCount(int user) const
    {
        return query(QStringLiteral("SELECT COUNT(*) FROM RVOUS%1").arg(user)).first().first().toInt();
    }

private:
    // Runs one statement on AGENDAS.MDB with its values bound as text (the
    // columns' affinity turns them into numbers where needed) and returns
    // the rows as text.
    QList<QStringList> query(const QString &sql, const QStringList &values = {}) const
    {
        sqlite3 *db = nullptr;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
            || sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            qFatal("cannot run %s", qPrintable(sql));
        for (int i = 0; i < values.size(); ++i) // SQLite binds from 1
            sqlite3_bind_text(statement, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
        QList<QStringList> rows;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            rows.append(QStringList());
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                rows.last() << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        if (rc != SQLITE_DONE)
            qFatal("%s failed", qPrintable(sql));
        return rows;
    }

    QTemporaryDir m_dir;
};

// Label2: the date number of the shown day, as other windows read it.
inline QString shownDate(const Form1 &form)
{
    return form.dayView()->hiddenDateLabel()->text();
}

// Typed key by key into a slot, as a person would (QTest types ASCII only).
inline void typeInSlot(Form1 &form, int slot, const QString &text)
{
    SlotEdit *edit = form.dayView()->slotEdit(slot);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The control called name under root; the test fails loudly when it is missing.
template <typename T>
T *named(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}
