#include "dayhistory.h"

#include "databasefile.h"
#include "datenumber.h"
#include "daymerge.h"
#include "dayrecord.h"
#include "schemaupgrade.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace DayHistory {

namespace {

constexpr int FirstHistoryVersion = 2;

// The fields of a day after AGENDATE, in the order of the tables.
const QString dayColumns = u"RVOUS, Postit, Bloc, ABSENT1, ABSENT1_TXT, ABSENT2, ABSENT2_TXT, ECHO1, ECHO1_TXT, "
                           "ECHO2, ECHO2_TXT, COCHE"_s;

// The four marks, in the order of dayColumns, with the words that name them.
struct MarkColumn
{
    HalfDayMark DayRecord::*mark;
    QLatin1StringView words;
};
constexpr MarkColumn markColumns[] = {{&DayRecord::absent1, "absence du matin"_L1},
                                      {&DayRecord::absent2, "absence de l'après-midi"_L1},
                                      {&DayRecord::echo1, "échographie du matin"_L1},
                                      {&DayRecord::echo2, "échographie de l'après-midi"_L1}};

// A day from the columns of dayColumns, starting at `first`.
DayRecord recordOf(const QStringList &row, int first)
{
    DayRecord record;
    record.slots = DayEncoding::decodeSlots(row.value(first));
    record.postit = row.value(first + 1);
    record.bloc = row.value(first + 2);
    for (int i = 0; i < 4; ++i) {
        HalfDayMark &mark = record.*markColumns[i].mark;
        mark.set = row.value(first + 3 + 2 * i).toLongLong() != 0;
        mark.text = mark.set ? row.value(first + 4 + 2 * i) : QString();
    }
    record.checks = DayEncoding::decodeChecks(row.value(first + 11));
    return record;
}

QString quoted(const QString &text)
{
    return text.isEmpty() ? u"(vide)"_s : u"« "_s + text + u" »"_s;
}

// How `older` differs from `newer`: one line per slot, then the other fields.
QStringList differences(const DayRecord &older, const DayRecord &newer)
{
    QStringList lines;
    for (std::size_t slot = 0; slot < SlotCount; ++slot) {
        if (older.slots[slot] != newer.slots[slot])
            lines.append(u"  créneau %1 : %2, remplacé par %3"_s.arg(slot).arg(quoted(older.slots[slot]),
                                                                             quoted(newer.slots[slot])));
    }
    QStringList others;
    if (older.checks != newer.checks)
        others.append(u"coches"_s);
    if (older.postit != newer.postit)
        others.append(u"post-it"_s);
    if (older.bloc != newer.bloc)
        others.append(u"programme du bloc"_s);
    for (const MarkColumn &column : markColumns) {
        if (!DayMerge::sameMark(older.*column.mark, newer.*column.mark))
            others.append(column.words);
    }
    if (!others.isEmpty())
        lines.append(u"  autres changements : "_s + others.join(u", "_s));
    return lines;
}

// Opens the file and checks that it keeps a history.
Status openWithHistory(const QString &path, SqliteConnection &db)
{
    if (Status opened = DatabaseFile::openExisting(path, db); !opened.ok())
        return opened;
    const int version = SchemaUpgrade::versionOf(db);
    if (version >= FirstHistoryVersion)
        return Status::success();
    if (version < 1)
        return Status::failure(u"%1 n'est pas une base d'agendas PLANORA."_s.arg(QDir::toNativeSeparators(path)));
    return Status::failure(u"%1 ne garde pas encore d'historique (version %2) : mettez-la à jour avec "
                           "« planora-admin upgrade »."_s.arg(QDir::toNativeSeparators(path)).arg(version));
}

QString shownDate(QDate date)
{
    return date.toString(u"dd/MM/yyyy"_s);
}

} // namespace

Status list(const QString &path, int user, QDate date, QStringList &lines)
{
    SqliteConnection db;
    if (Status opened = openWithHistory(path, db); !opened.ok())
        return opened;
    const QString day = QString::number(DateNumber::fromDate(date));
    const auto versions = DatabaseFile::query(
        db, u"SELECT NUMERO, REMPLACE, %1 FROM HISTORIQUE WHERE UTILISATEUR = ? AND AGENDATE = ? "
            "ORDER BY NUMERO DESC"_s.arg(dayColumns),
        {QString::number(user), day});
    const auto current =
        DatabaseFile::query(db, u"SELECT %1 FROM RVOUS%2 WHERE AGENDATE = ?"_s.arg(dayColumns).arg(user), {day});
    if (!versions.error.isEmpty() || !current.error.isEmpty())
        return Status::failure(u"Lecture de l'historique impossible : %1"_s.arg(versions.error + current.error));

    const QString heading = u"Jour du %1, utilisateur %2"_s.arg(shownDate(date)).arg(user);
    if (versions.rows.isEmpty()) {
        lines.append(heading + u" : aucune version remplacée."_s);
        return Status::success();
    }
    lines.append(heading + u" : %1 version(s) remplacée(s), la plus récente d'abord."_s.arg(versions.rows.size()));
    if (current.rows.isEmpty())
        lines.append(u"Le jour n'a plus de ligne dans RVOUS%1 : il a été supprimé."_s.arg(user));
    // Each version is compared with the one that replaced it: the next newer
    // version, or the day as stored now for the newest.
    DayRecord newer = current.rows.isEmpty() ? DayRecord() : recordOf(current.rows.constFirst(), 0);
    for (const QStringList &row : versions.rows) {
        const DayRecord older = recordOf(row, 2);
        lines.append(u"Version %1, remplacée le %2 :"_s.arg(row.at(0), row.at(1)));
        const QStringList changed = differences(older, newer);
        lines.append(changed.isEmpty() ? QStringList{u"  aucune différence dans les champs du jour"_s} : changed);
        newer = older;
    }
    return Status::success();
}

Status restore(const QString &path, qint64 number, QStringList &notes)
{
    SqliteConnection db;
    if (Status opened = openWithHistory(path, db); !opened.ok())
        return opened;
    if (Status begun = DatabaseFile::execute(db, "BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    const auto version = DatabaseFile::query(db, u"SELECT UTILISATEUR, AGENDATE FROM HISTORIQUE WHERE NUMERO = ?"_s,
                                             {QString::number(number)});
    const int user = version.rows.value(0).value(0).toInt();
    Status status = Status::success();
    if (!version.error.isEmpty()) {
        status = Status::failure(u"Lecture de l'historique impossible : %1"_s.arg(version.error));
    } else if (version.rows.isEmpty()) {
        status = Status::failure(u"La version %1 n'existe pas dans l'historique."_s.arg(number));
    } else if (user < 1 || user > 6) {
        status = Status::failure(u"La version %1 appartient à un utilisateur inconnu (%2)."_s.arg(number).arg(user));
    }
    if (status.ok()) {
        // An update when the day has a row (its trigger keeps the replaced
        // content), an insert when it was deleted meanwhile.
        QStringList assignments;
        for (const QString &column : dayColumns.split(u", "_s))
            assignments.append(column + u" = excluded."_s + column);
        const auto written = DatabaseFile::query(
            db, u"INSERT INTO RVOUS%1 (AGENDATE, %2) SELECT AGENDATE, %2 FROM HISTORIQUE WHERE NUMERO = ? "
                "ON CONFLICT (AGENDATE) DO UPDATE SET %3"_s.arg(user).arg(dayColumns, assignments.join(u", "_s)),
            {QString::number(number)});
        if (!written.error.isEmpty())
            status = Status::failure(u"Erreur de la base de données : %1"_s.arg(written.error));
    }
    if (status.ok())
        status = DatabaseFile::execute(db, "COMMIT");
    if (!status.ok()) {
        db.exec("ROLLBACK");
        return status;
    }
    const QDate date = DateNumber::toDate(version.rows.at(0).at(1).toInt());
    notes.append(u"Version %1 rétablie pour le jour du %2, utilisateur %3 ; le contenu qu'elle remplace est "
                 "gardé dans l'historique."_s.arg(number).arg(shownDate(date)).arg(user));
    return Status::success();
}

Status prune(const QString &path, QDate before, QStringList &notes)
{
    SqliteConnection db;
    if (Status opened = openWithHistory(path, db); !opened.ok())
        return opened;
    // REMPLACE reads "YYYY-MM-DD hh:mm:ss": as texts, the times of earlier
    // days sort before the bare date of `before`.
    const auto removed = DatabaseFile::query(db, u"DELETE FROM HISTORIQUE WHERE REMPLACE < ? RETURNING NUMERO"_s,
                                             {before.toString(Qt::ISODate)});
    if (!removed.error.isEmpty())
        return Status::failure(u"Erreur de la base de données : %1"_s.arg(removed.error));
    notes.append(u"%1 version(s) remplacée(s) avant le %2 supprimée(s) de l'historique."_s.arg(removed.rows.size())
                     .arg(shownDate(before)));
    return Status::success();
}

} // namespace DayHistory
