#include "daycursor.h"
#include "storetestdatabase.h"
#include "writerrecord.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// Several workstations saving into one file at once, and one killed in the
// middle of its saves: the file stays sound, every save that returned is
// there, and every row is one whole save.
class TestConcurrency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharedFile_data();
    void sharedFile();

private:
    QTemporaryDir m_dir;
};

namespace {

using Save = std::pair<int, qint32>; // table, date

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
// save. Fills in the writer found for each (table, date).
QString checkFile(const QString &path, QHash<Save, int> &writers)
{
    const QString integrity = StoreTestDatabase::scalar(path, u"PRAGMA integrity_check"_s).toString();
    if (integrity != u"ok") {
        return u"integrity: "_s + integrity;
    }
    for (int table = 1; table <= 6; ++table) {
        const QList<QVariantList> dates = StoreTestDatabase::rows(
            path, u"SELECT AGENDATE, count(*) FROM RVOUS%1 GROUP BY AGENDATE"_s.arg(table));
        for (const QVariantList &row : dates) {
            const qint32 date = row[0].toInt();
            const QString where = u"RVOUS%1 day %2"_s.arg(table).arg(date);
            DayCursor cursor;
            if (row[1].toInt() != 1 || !cursor.position(path, table, date) || !cursor.found()) {
                return where + u": %1 rows, or unreadable"_s.arg(row[1].toInt());
            }
            const std::optional<int> writer = WriterRecord::writerOf(*cursor.currentRecord(), date);
            if (!writer) {
                return where + u" is not one whole save"_s;
            }
            writers.insert({table, date}, *writer);
        }
    }
    return {};
}

} // namespace

void TestConcurrency::sharedFile_data()
{
    QTest::addColumn<int>("writers");
    QTest::addColumn<int>("days");      // per writer; 0: on and on
    QTest::addColumn<int>("killAfter"); // saves returned before SIGKILL; 0: never killed

    // Writers 1 and 2 save into RVOUS1, 3 and 4 into RVOUS2, 5 and 6 into
    // RVOUS3, the same days; every second day also goes into RVOUS6.
    QTest::newRow("six writers at once, pairs on the same days, all six on RVOUS6") << 6 << 200 << 0;
    QTest::newRow("a writer killed in the middle of its saves") << 1 << 0 << 40;
}

void TestConcurrency::sharedFile()
{
    QFETCH(int, writers);
    QFETCH(int, days);
    QFETCH(int, killAfter);
    const QString path = StoreTestDatabase::create(m_dir.path());
    QVERIFY(!path.isEmpty());

    std::vector<std::unique_ptr<QProcess>> processes;
    for (int writer = 1; writer <= writers; ++writer) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(QStringLiteral(STORE_WRITER), {path, QString::number(writer),
                                                               QString::number((writer + 1) / 2), u"40000"_s,
                                                               QString::number(days)});
        QVERIFY(processes.back()->waitForStarted());
    }
    QHash<Save, QSet<int>> reported; // who reported each save as returned
    for (int writer = 1; writer <= writers; ++writer) {
        QProcess &process = *processes[std::size_t(writer - 1)];
        QByteArray output;
        while (killAfter && savesPrinted(output).size() < killAfter) {
            QVERIFY2(process.waitForReadyRead(60000), process.readAllStandardError().constData());
            output += process.readAllStandardOutput();
        }
        if (killAfter) {
            process.kill(); // SIGKILL: no chance to finish the save under way
        }
        QVERIFY(process.waitForFinished(600000));
        QCOMPARE(process.exitStatus(), killAfter ? QProcess::CrashExit : QProcess::NormalExit);
        QVERIFY2(killAfter || process.exitCode() == 0, process.readAllStandardError().constData());
        const QSet<Save> saves = savesPrinted(output + process.readAllStandardOutput());
        QVERIFY(killAfter || saves.size() == days + (days + 1) / 2);
        for (const Save &save : saves) {
            reported[save].insert(writer);
        }
    }

    QHash<Save, int> found;
    const QString problem = checkFile(path, found);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
        QVERIFY2(it.value().contains(found.value(it.key())), qPrintable(QString::number(it.key().second)));
    }
    // Only the save under way when the writer was killed may be there unreported.
    QVERIFY(found.size() - reported.size() <= (killAfter ? 1 : 0));
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
