#pragma once

#include "clock.h"
#include "environment.h"
#include "fakeprompts.h"
#include "userconfig.h"

#include <QString>
#include <QTemporaryDir>

#include <optional>

// One row of RVOUSn as the file holds it, read and written with plain SQL so
// that the tests see exactly what the program stored.
struct StoredDay
{
    QString rvous;
    QString postit;
    QString bloc;
    int absent1 = 0;
    QString absent1Txt;
    int absent2 = 0;
    QString absent2Txt;
    int echo1 = 0;
    QString echo1Txt;
    int echo2 = 0;
    QString echo2Txt;
    QString coche;

    static StoredDay withSlots(const QString &rvous)
    {
        StoredDay day;
        day.rvous = rvous;
        return day;
    }
    bool operator==(const StoredDay &) const = default;
};

// A practice in a temporary folder: the program's folder, a settings folder,
// and a shared folder holding AGENDAS.MDB (made from the schema file) and
// Utilisat.agc, with CHEMIN, CheminUt and CheminNoms pointing at them.
class Practice
{
public:
    Practice();

    FakePrompts prompts;
    FixedClock clock{QDate(2024, 3, 15)};

    Environment environment();
    QString programFolder() const;
    QString sharedFolder() const;
    QString databasePath() const; // <shared>/AGENDAS.MDB

    static QString schemaFile();
    static void createDatabase(const QString &path);

    void setSetting(const QString &key, const QString &value);
    void removeSettings();
    void writeUsers(const UserConfig &users);
    // Users named "Dr A" .. for the given numbers, interval index 1 (15 min).
    static UserConfig namedUsers(std::initializer_list<int> numbers);

    void storeDay(int user, qint32 dateNumber, const StoredDay &day);
    std::optional<StoredDay> readDay(int user, qint32 dateNumber) const;
    int rowCount(int user) const;

    // The slot texts joined the way RVOUS holds them.
    static QString rvous(std::initializer_list<std::pair<int, QString>> slots);
    static QString coche(std::initializer_list<int> checked);

private:
    QTemporaryDir m_dir;
};

// The control called name under root; the test fails loudly when it is missing.
template <typename T>
T *named(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}
