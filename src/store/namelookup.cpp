#include "namelookup.h"

#include "engine.h"

#include <QFileInfo>

namespace {

constexpr qsizetype KeyPartLength = 30;

// The file's modification time, or an invalid time when it is missing.
QDateTime fileTime(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified() : QDateTime();
}

} // namespace

NameLookup::NameLookup() = default;
NameLookup::~NameLookup() = default;

void NameLookup::setSource(const QString &namesDatabasePath, const QString &tableName)
{
    if (namesDatabasePath == m_databasePath && tableName == m_tableName) {
        return;
    }
    m_databasePath = namesDatabasePath;
    m_tableName = tableName;
    m_view.reset();
    m_database.reset();
}

QString NameLookup::searchKey(const QString &prefix)
{
    // Padded with spaces and cut: prefix first, then "A".
    const auto part = [](const QString &text) {
        return text.left(KeyPartLength).leftJustified(KeyPartLength, u' ');
    };
    return part(prefix) + part(QStringLiteral("A"));
}

std::optional<QString> NameLookup::complete(const QString &prefix)
{
    // The names are read afresh at every key through the open view, so the
    // connection is kept from one key to the next; it is opened again only
    // when the file itself has been replaced or written since (another
    // connection would still see the old file).
    const QDateTime currentTime = fileTime(m_databasePath);
    if (m_view && currentTime != m_openedFileTime) {
        m_view.reset();
        m_database.reset();
    }
    if (!m_view) {
        auto database = std::make_unique<Database>();
        database->setBusyTimeout(BusyTimeoutMs);
        std::unique_ptr<View> view;
        // The names are only ever read here.
        if (!database->open(m_databasePath, SqliteConnection::Mode::ReadOnly)
            || !database->openView(QStringLiteral("SELECT*FROM ") + m_tableName
                                       + QStringLiteral(" ORDER BY NOM, PRENOM"),
                                   view)) {
            return std::nullopt;
        }
        m_database = std::move(database);
        m_view = std::move(view);
        m_openedFileTime = currentTime;
    }

    // The key goes between apostrophes in the criterion: one inside it is
    // written twice, as the engine reads it.
    QString key = searchKey(prefix);
    key.replace(u'\'', QStringLiteral("''"));
    if (!m_view->findFirst(QStringLiteral("NOM>='") + key + u'\'')) {
        // The file or table may have gone bad under us: start again next time.
        m_view.reset();
        m_database.reset();
        return std::nullopt;
    }
    if (m_view->noMatch()) {
        return std::nullopt;
    }
    return m_view->text(QStringLiteral("NOM")) + u' ' + m_view->text(QStringLiteral("PRENOM"));
}
