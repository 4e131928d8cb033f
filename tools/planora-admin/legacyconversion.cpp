#include "legacyconversion.h"

#include "csvtext.h"
#include "databasecheck.h"
#include "databasefile.h"
#include "schemalayout.h"
#include "schemasql.h"
#include "sqlitestatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QVariant>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace LegacyConversion {

namespace {

constexpr int toolTimeoutMs = 10 * 60 * 1000;

struct ToolRun
{
    QString output;
    Status status = Status::success();
};

ToolRun runTool(const QString &program, const QStringList &arguments)
{
    ToolRun run;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(toolTimeoutMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        const QString said = QString::fromUtf8(process.readAllStandardError()).trimmed();
        run.status = Status::failure(u"%1 a échoué%2"_s.arg(QFileInfo(program).fileName(),
                                                            said.isEmpty() ? u"."_s : u" : "_s + said));
        return run;
    }
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

// A yes/no field as mdb-export may write it.
std::optional<qint64> flagValue(const QString &text)
{
    static const QStringList yes = {u"1"_s, u"-1"_s, u"true"_s, u"yes"_s, u"vrai"_s, u"oui"_s};
    static const QStringList no = {u""_s, u"0"_s, u"false"_s, u"no"_s, u"faux"_s, u"non"_s};
    const QString word = text.trimmed().toLower();
    if (yes.contains(word))
        return 1;
    if (no.contains(word))
        return 0;
    return std::nullopt;
}

// The value to store for one exported field, or a message saying why not.
Status fieldValue(const SchemaLayout::Column &column, bool unique, const QString &text, QVariant &value)
{
    if (column.affinity() != "INTEGER"_L1) {
        value = text.isNull() ? QVariant() : QVariant(text);
        return Status::success();
    }
    if (unique) {
        // The key (the day's date number) must be a whole number.
        bool isNumber = false;
        const qint32 number = text.trimmed().toInt(&isNumber);
        if (!isNumber)
            return Status::failure(u"%1 « %2 » n'est pas un nombre entier."_s.arg(column.name, text));
        value = qint64(number);
        return Status::success();
    }
    const std::optional<qint64> flag = flagValue(text);
    if (!flag)
        return Status::failure(u"%1 « %2 » n'est ni oui ni non."_s.arg(column.name, text));
    value = *flag;
    return Status::success();
}

Status copyTable(SqliteConnection &db, const SchemaLayout::Table &table, const CsvText::Table &exported,
                 qint64 &copied)
{
    if (exported.rows.isEmpty())
        return Status::success();
    if (!exported.complete)
        return Status::failure(u"L'export de la table %1 est incomplet."_s.arg(table.name));
    // The first line names the columns; the old file's columns that the
    // schema does not know are left out.
    QList<qsizetype> sourceIndex;
    QList<const SchemaLayout::Column *> targets;
    const QStringList &header = exported.rows.first();
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (const SchemaLayout::Column *column = table.column(header.at(i))) {
            sourceIndex.append(i);
            targets.append(column);
        }
    }
    QStringList names;
    for (const SchemaLayout::Column *column : targets)
        names.append(column->name);
    // A date saved twice in the old file keeps its later row.
    const QString sql = u"INSERT OR REPLACE INTO %1 (%2) VALUES (%3)"_s.arg(
        table.name, names.join(u", "_s), QStringList(names.size(), u"?"_s).join(u", "_s));
    SqliteStatement insert;
    if (insert.prepare(db.handle(), sql) != SQLITE_OK)
        return Status::failure(u"Table %1 : %2"_s.arg(table.name, db.lastErrorText()));

    for (qsizetype row = 1; row < exported.rows.size(); ++row) {
        const QStringList &fields = exported.rows.at(row);
        for (qsizetype i = 0; i < targets.size(); ++i) {
            const SchemaLayout::Column &column = *targets.at(i);
            QVariant value;
            const Status read = fieldValue(column, table.uniqueColumns.contains(column.name.toUpper()),
                                           fields.value(sourceIndex.at(i)), value);
            if (!read.ok())
                return Status::failure(u"Table %1, ligne %2 : %3"_s.arg(table.name).arg(row).arg(read.message()));
            insert.bind(int(i + 1), value);
        }
        if (insert.step() != SqliteStatement::Step::Done)
            return Status::failure(u"Table %1, ligne %2 : %3"_s.arg(table.name).arg(row).arg(db.lastErrorText()));
        insert.reset();
        ++copied;
    }
    return Status::success();
}

} // namespace

Status convert(const QString &legacyPath, const QString &destination, QStringList &notes)
{
    QFile legacy(legacyPath);
    if (!legacy.open(QIODevice::ReadOnly))
        return Status::failure(u"%1 ne peut pas être lu : %2"_s.arg(QDir::toNativeSeparators(legacyPath),
                                                                     legacy.errorString()));
    if (!DatabaseCheck::isLegacyAccessHeader(legacy.read(32)))
        return Status::failure(u"%1 n'est pas une base Access."_s.arg(QDir::toNativeSeparators(legacyPath)));
    legacy.close();

    const QString target = QFileInfo(destination).isDir() ? destination + u"/AGENDAS.MDB"_s : destination;
    if (QFileInfo::exists(target))
        return Status::failure(u"%1 existe déjà : convert ne remplace jamais une base existante."_s.arg(
            QDir::toNativeSeparators(target)));

    const QString exporter = QStandardPaths::findExecutable(u"mdb-export"_s);
    const QString lister = QStandardPaths::findExecutable(u"mdb-tables"_s);
    if (exporter.isEmpty() || lister.isEmpty())
        return Status::failure(u"mdbtools n'est pas installé (mdb-export et mdb-tables introuvables) : "
                               "installez-le avec « sudo apt-get install mdbtools » puis recommencez."_s);

    const ToolRun listed = runTool(lister, {u"-1"_s, legacyPath});
    if (!listed.status.ok())
        return listed.status;
    const QStringList legacyTables = listed.output.split(u'\n', Qt::SkipEmptyParts);

    // Every export is read before the new file is made, so that a failure
    // leaves nothing behind.
    QList<CsvText::Table> exports;
    const QList<SchemaLayout::Table> dayTables = SchemaLayout::dayTables();
    for (const SchemaLayout::Table &table : dayTables) {
        const bool present = legacyTables.contains(table.name, Qt::CaseInsensitive);
        if (!present)
            notes.append(u"La table %1 manque dans l'ancienne base : elle restera vide."_s.arg(table.name));
        const ToolRun exported = present ? runTool(exporter, {legacyPath, table.name}) : ToolRun{};
        if (!exported.status.ok())
            return exported.status;
        exports.append(CsvText::parse(exported.output));
    }

    const Status made = DatabaseFile::create(target, [&](SqliteConnection &db) {
        Status status = DatabaseFile::execute(db, schemaSql);
        if (status.ok())
            status = DatabaseFile::execute(db, "BEGIN");
        for (qsizetype i = 0; status.ok() && i < exports.size(); ++i) {
            const SchemaLayout::Table &table = dayTables.at(i);
            qint64 copied = 0;
            status = copyTable(db, table, exports.at(i), copied);
            if (status.ok())
                notes.append(u"%1 : %2 jour(s) copié(s)."_s.arg(table.name).arg(copied));
        }
        return status.ok() ? DatabaseFile::execute(db, "COMMIT") : status;
    });
    if (!made.ok())
        return made;

    const QStringList problems = DatabaseCheck::problems(target);
    if (!problems.isEmpty())
        return Status::failure(u"La nouvelle base %1 a des défauts : %2"_s.arg(QDir::toNativeSeparators(target),
                                                                              problems.join(u" "_s)));
    notes.append(u"Nouvelle base : %1"_s.arg(QDir::toNativeSeparators(target)));
    return Status::success();
}

} // namespace LegacyConversion
