#pragma once

#include "clock.h"
#include "configfiles.h"
#include "datenumber.h"
#include "dayview.h"
#include "environment.h"
#include "fakeprompts.h"
#include "mainwindow.h"
#include "mousedownbutton.h"
#include "settingsstore.h"
#include "slotedit.h"
#include "sqliteconnection.h"
#include "sqlitestatement.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

using SlotTexts = std::initializer_list<std::pair<int, QString>>;

// The store's messages for a database file that has gone or is no database
// (%1: its path), as every window that reads the file says them.
inline const QString MissingDatabaseMessage =
    u"La base de données %1 est introuvable.\nVérifiez le chemin de la base dans la configuration."_s;
inline const QString NotPlanoraMessage =
    u"Le fichier %1 n'est pas une base de données PLANORA, ou il est endommagé."_s;

// The slot texts and check marks joined the way RVOUS and COCHE hold them.
inline QString joinedSlots(SlotTexts slots)
{
    QStringList pieces(SlotCount);
    for (const auto &[slot, text] : slots)
        pieces[slot] = text;
    return pieces.join(u"\r\n"_s);
}

inline QString joinedChecks(const QList<int> &checked)
{
    QStringList pieces(SlotCount, u"0"_s);
    for (int slot : checked)
        pieces[slot] = u"1"_s;
    return pieces.join(u"\r\n"_s);
}

// Runs SQL (several statements allowed) on the file at path, made when missing.
inline bool execSql(const QString &path, const QByteArray &sql)
{
    SqliteConnection db; // which opens an existing file only: an empty one is a new database
    return QFile(path).open(QIODevice::Append) && db.open(path, SqliteConnection::Mode::ReadWrite) == SQLITE_OK
        && db.exec(sql.constData()) == SQLITE_OK;
}

// One row of RVOUSn as plain SQL reads and writes it: the columns after
// AGENDATE in their order, flags as "0" / "1".
struct StoredDay
{
    QString rvous, postit, bloc, absent1 = u"0"_s, absent1Txt, absent2 = u"0"_s, absent2Txt, echo1 = u"0"_s, echo1Txt,
            echo2 = u"0"_s, echo2Txt, coche;

    static StoredDay withSlots(SlotTexts slots) { StoredDay day; day.rvous = joinedSlots(slots); return day; }
    bool operator==(const StoredDay &) const = default;
};

// A temporary practice: program, settings and shared folders, AGENDAS.MDB
// (from the schema) and Utilisat.agc (users 1 and 2 named) in the shared one,
// the settings pointing at them. Today is 15 March 2024 unless set.
class Practice
{
public:
    Practice()
    {
        for (const char *folder : {"program", "settings", "shared"})
            QDir(m_dir.path()).mkpath(QLatin1String(folder));
        createDatabase(databasePath());
        setSetting(u"CHEMIN"_s, databasePath());
        setSetting(u"CheminUt"_s, sharedFolder());
        setSetting(u"CheminNoms"_s, sharedFolder() + u"/NOMS.db"_s);
        writeUsers(namedUsers({1, 2}));
    }

    FakePrompts prompts;
    FixedClock clock{QDate(2024, 3, 15)};

    Environment environment() { return {&prompts, &clock, programFolder(), m_dir.path() + u"/settings"_s}; }
    QString programFolder() const { return m_dir.path() + u"/program"_s; }
    QString sharedFolder() const { return m_dir.path() + u"/shared"_s; }
    QString databasePath() const { return sharedFolder() + u"/AGENDAS.MDB"_s; }
    qint32 today() const { return DateNumber::fromDate(clock.today()); }

    static void createDatabase(const QString &path)
    {
        QFile schema(QStringLiteral(PLANORA_SCHEMA_FILE));
        require(schema.open(QIODevice::ReadOnly) && execSql(path, schema.readAll()), "create the database");
    }
    void setSetting(const QString &key, const QString &value)
    {
        require(SettingsStore(environment().settingsFolder).setValue(u"HIRONDEL"_s, u"PLANORA"_s, key, value),
                "write a setting");
    }
    void writeUsers(const UserConfig &users)
    {
        require(ConfigFiles::writeUserConfigFile(sharedFolder(), users), "write Utilisat.agc");
    }

    // Users "Dr A".. of those numbers, 15-minute grid, annotations "Echo n" and "Bloc n".
    static UserConfig namedUsers(const QList<int> &numbers)
    {
        UserConfig users;
        for (UserEntry &entry : users)
            entry.colour = SystemWindowColour;
        for (int n : numbers)
            users[n - 1] = {u"Dr %1"_s.arg(QChar(u'A' + n - 1)), SystemWindowColour, 1, u"Echo %1"_s.arg(n),
                            u"Bloc %1"_s.arg(n)};
        return users;
    }

    // Form1 after its start-up sequence, shown on screen when asked.
    std::unique_ptr<Form1> loadedForm(bool shown = false)
    {
        auto form = std::make_unique<Form1>(environment());
        form->load();
        if (shown)
            form->show();
        require(!shown || QTest::qWaitForWindowExposed(form.get()), "show the main window");
        return form;
    }

    void storeDay(int user, qint32 dateNumber, const StoredDay &day)
    {
        query(u"INSERT OR REPLACE INTO RVOUS%1 VALUES (?%2)"_s.arg(user).arg(u", ?"_s.repeated(12)),
              {QString::number(dateNumber), day.rvous, day.postit, day.bloc, day.absent1, day.absent1Txt, day.absent2,
               day.absent2Txt, day.echo1, day.echo1Txt, day.echo2, day.echo2Txt, day.coche});
    }

    std::optional<StoredDay> readDay(int user, qint32 dateNumber) const
    {
        const auto rows = query(u"SELECT * FROM RVOUS%1 WHERE AGENDATE = ?"_s.arg(user), {QString::number(dateNumber)});
        if (rows.isEmpty())
            return std::nullopt;
        const QStringList &v = rows.first();
        return StoredDay{v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12]};
    }

    int rowCount(int user) const { return query(u"SELECT COUNT(*) FROM RVOUS%1"_s.arg(user)).first().first().toInt(); }

    // One statement on AGENDAS.MDB, values bound as text: the rows as text.
    QList<QStringList> query(const QString &sql, const QStringList &values = {}) const
    {
        SqliteConnection db;
        SqliteStatement statement; // finalized before db closes
        require(db.open(databasePath(), SqliteConnection::Mode::ReadWrite) == SQLITE_OK
                    && statement.prepare(db.handle(), sql) == SQLITE_OK,
                qPrintable(u"run "_s + sql));
        for (int i = 0; i < values.size(); ++i)
            statement.bind(i + 1, values[i]);
        QList<QStringList> rows;
        while (statement.step() == SqliteStatement::Step::Row) {
            rows.append(QStringList());
            for (int column = 0; column < statement.columnCount(); ++column)
                rows.last() << statement.text(column);
        }
        require(statement.lastResultCode() == SQLITE_DONE, qPrintable(u"finish "_s + sql));
        return rows;
    }

private:
    static void require(bool done, const char *what)
    {
        if (!done)
            qFatal("cannot %s", what);
    }
    QTemporaryDir m_dir;
};

// Label2: the date number of the shown day, as other windows read it.
inline QString shownDate(const Form1 &form) { return form.dayView()->hiddenDateLabel()->text(); }

// Typed key by key into a slot, as a person would (QTest types ASCII only).
inline void typeInSlot(Form1 &form, int slot, const QString &text)
{
    SlotEdit *edit = form.dayView()->slotEdit(slot);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The control called name under root; fatal when missing.
template <typename T>
T *named(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

// A menu entry chosen; a push button clicked; a day view button that acts on the press, pressed.
inline void triggerAction(const QObject *root, const char *name) { named<QAction>(root, name)->trigger(); }
inline void clickButton(const QObject *root, const char *name)
{
    QTest::mouseClick(named<QPushButton>(root, name), Qt::LeftButton);
}
inline void pressButton(const Form1 &form, const char *button, Qt::MouseButton mouse = Qt::LeftButton)
{
    QTest::mousePress(named<MouseDownButton>(form.dayView(), button), mouse);
}

// A click on a date of the calendar: selected, and the click reported.
inline void clickCalendar(const Form1 &form, QDate date)
{
    form.dayView()->calendar()->setSelectedDate(date);
    Q_EMIT form.dayView()->calendar()->clicked(date);
}

// Every check box of the day view shown (visible) or every one hidden.
inline bool allChecks(const Form1 &form, bool visible)
{
    const auto boxes = form.dayView()->findChildren<QCheckBox *>(QRegularExpression(u"^Check1_"_s));
    return boxes.size() == SlotCount && std::all_of(boxes.begin(), boxes.end(), [visible](const QCheckBox *box) {
               return box->isHidden() != visible;
           });
}
