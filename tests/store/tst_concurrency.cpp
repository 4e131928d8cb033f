#include "daycursor.h"
#include "storetestdatabase.h"
#include "writerrecord.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Several workstations saving into one file at once, and one killed in the
// middle of its saves: the file stays sound and every row is one whole save.
class TestConcurrency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writersAtOnce_data();
    void writersAtOnce();
    void killedWriter_data();
    void killedWriter();

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

namespace {

struct Save
{
    int table = 0;
    qint32 date = 0;
    bool operator==(const Save &) const = default;
};

size_t qHash(const Save &save, size_t seed = 0)
{
    return ::qHash(qint64(save.table) << 32 | quint32(save.date), seed);
}

QSet<Save> savesPrinted(const QByteArray &output)
{
    QSet<Save> saves;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 2) {
            saves.insert({fields[0].toInt(), fields[1].toInt()});
        }
    }
    return saves;
}

// Checks the whole file: sound, one row per day, each row one writer's whole
// save. Returns the writers found per (table, date).
QString checkFile(const QString &path, QHash<Save, int> &writers)
{
    const QString integrity = StoreTestDatabase::scalar(path, QStringLiteral("PRAGMA integrity_check")).toString();
    if (integrity != u"ok") {
        return QStringLiteral("integrity: ") + integrity;
    }
    for (int table = 1; table <= 6; ++table) {
        const QList<QVariantList> dates = StoreTestDatabase::rows(
            path, QStringLiteral("SELECT AGENDATE, count(*) FROM RVOUS%1 GROUP BY AGENDATE").arg(table));
        for (const QVariantList &row : dates) {
            const qint32 date = row[0].toInt();
            if (row[1].toInt() != 1) {
                return QStringLiteral("%1 rows for RVOUS%2 day %3").arg(row[1].toInt()).arg(table).arg(date);
            }
            DayCursor cursor;
            if (!cursor.position(path, table, date) || !cursor.found()) {
                return QStringLiteral("RVOUS%1 day %2 unreadable").arg(table).arg(date);
            }
            const std::optional<int> writer = WriterRecord::writerOf(*cursor.currentRecord(), date);
            if (!writer) {
                return QStringLiteral("RVOUS%1 day %2 is not one whole save").arg(table).arg(date);
            }
            writers.insert({table, date}, *writer);
        }
    }
    return {};
}

} // namespace

void TestConcurrency::writersAtOnce_data()
{
    QTest::addColumn<int>("writers");
    QTest::addColumn<int>("days");

    QTest::newRow("two writers on the same days of one table") << 2 << 150;
    QTest::newRow("six writers: pairs share a table, all six share RVOUS6") << 6 << 200;
}

void TestConcurrency::writersAtOnce()
{
    QFETCH(int, writers);
    QFETCH(int, days);
    const QString path = StoreTestDatabase::create(m_dir.path(), QStringLiteral("AGENDAS%1.MDB").arg(++m_count));
    QVERIFY(!path.isEmpty());

    // Writers 1 and 2 save into RVOUS1, 3 and 4 into RVOUS2, 5 and 6 into
    // RVOUS3, the same days; every second day also goes into RVOUS6.
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int writer = 1; writer <= writers; ++writer) {
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(STORE_WRITER),
                       {path, QString::number(writer), QString::number((writer + 1) / 2), QStringLiteral("40000"),
                        QString::number(days), QStringLiteral("6"), QStringLiteral("41000")});
        QVERIFY(process->waitForStarted());
        processes.push_back(std::move(process));
    }
    QHash<Save, QSet<int>> writersOf; // who reported each save as done
    for (int writer = 1; writer <= writers; ++writer) {
        QProcess &process = *processes[std::size_t(writer - 1)];
        QVERIFY(process.waitForFinished(600000));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 process.readAllStandardError().constData());
        const QSet<Save> saves = savesPrinted(process.readAllStandardOutput());
        QCOMPARE(saves.size(), days + (days + 1) / 2);
        for (const Save &save : saves) {
            writersOf[save].insert(writer);
        }
    }

    QHash<Save, int> found;
    const QString problem = checkFile(path, found);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(found.size(), writersOf.size()); // no day lost, none made up
    for (auto it = writersOf.cbegin(); it != writersOf.cend(); ++it) {
        QVERIFY(found.contains(it.key()));
        QVERIFY(it.value().contains(found.value(it.key())));
    }
}

void TestConcurrency::killedWriter_data()
{
    QTest::addColumn<int>("savesBeforeKill");
    QTest::newRow("killed early") << 3;
    QTest::newRow("killed after many saves") << 60;
}

void TestConcurrency::killedWriter()
{
    QFETCH(int, savesBeforeKill);
    const QString path = StoreTestDatabase::create(m_dir.path(), QStringLiteral("AGENDAS%1.MDB").arg(++m_count));
    QVERIFY(!path.isEmpty());

    QProcess process;
    process.start(QStringLiteral(STORE_WRITER),
                  {path, QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("50000"), QStringLiteral("0")});
    QVERIFY(process.waitForStarted());
    QByteArray output;
    while (savesPrinted(output).size() < savesBeforeKill) {
        QVERIFY2(process.waitForReadyRead(60000), process.readAllStandardError().constData());
        output += process.readAllStandardOutput();
    }
    process.kill(); // SIGKILL: no chance to finish the save under way
    QVERIFY(process.waitForFinished());
    output += process.readAllStandardOutput();
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);

    const QSet<Save> returned = savesPrinted(output);
    QHash<Save, int> found;
    const QString problem = checkFile(path, found);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    for (const Save &save : returned) {
        QVERIFY2(found.contains(save), qPrintable(QString::number(save.date)));
    }
    // At most the save that was under way when killed may be there unreported.
    QVERIFY(found.size() - returned.size() <= 1);
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
