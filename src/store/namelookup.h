#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class Database;
class View;

// The patient-name lookup: from the text typed before the caret, the first
// name of the names table, in NOM, PRENOM order, at or after the search key.
// It keeps its own connection and view, apart from the day cursor.
class NameLookup
{
public:
    // How long a lookup waits for a workstation writing into the names
    // database: it runs at every key release, and typing must not stall.
    // When the wait runs out the slot keeps what was typed.
    static constexpr int BusyTimeoutMs = 40;

    NameLookup();
    ~NameLookup();
    NameLookup(const NameLookup &) = delete;
    NameLookup &operator=(const NameLookup &) = delete;

    void setSource(const QString &namesDatabasePath, const QString &tableName);

    // The 60-character key: the prefix padded with spaces and cut to 30,
    // then "A" and 29 spaces.
    static QString searchKey(const QString &prefix);

    // NOM + " " + PRENOM of the first row at or after the key; nothing when
    // no row matches or the names database or table cannot be read.
    std::optional<QString> complete(const QString &prefix);

private:
    QString m_databasePath;
    QString m_tableName;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<View> m_view;
    QDateTime m_openedFileTime; // the file's modification time when opened
};
