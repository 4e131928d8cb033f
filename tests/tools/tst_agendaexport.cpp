#include "agendaexport.h"
#include "configfiles.h"
#include "csvexport.h"
#include "daycursor.h"
#include "datenumber.h"
#include "icalendartext.h"
#include "practicesetup.h"
#include "slottimes.h"
#include "storetestdatabase.h"
#include "toolrun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate exportedDay(2026, 3, 10);

// A practice whose user 1 works on the grid of intervalIndex, holding one day.
void makePractice(const QString &folder, int intervalIndex, const DayRecord &day)
{
    QStringList notes;
    const Status made = PracticeSetup::init(folder, 0, notes);
    QVERIFY2(made.ok(), qPrintable(made.message()));
    UserConfig users = PracticeSetup::firstUsers();
    users[0].name = u"Dr Lévêque"_s;
    users[0].intervalIndex = qint16(intervalIndex);
    QVERIFY(ConfigFiles::writeUserConfigFile(folder, users));
    DayCursor cursor;
    DayRecord written;
    const Status saved =
        cursor.save(folder + u"/AGENDAS.MDB"_s, 1, DateNumber::fromDate(exportedDay), DayRecord(), day, written);
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
}

ToolRun exportTo(const QString &folder, const QString &format, const QString &output)
{
    return runTool({u"export"_s, folder + u"/AGENDAS.MDB"_s, u"--user"_s, u"1"_s, u"--from"_s, u"2026-03-01"_s,
                    u"--to=31/03/2026"_s, u"--format"_s, format, u"--output"_s, output},
                   folder);
}

// The file as a standard parser reads it (tests/tools/readback.py).
QJsonArray readBack(const QString &kind, const QString &path)
{
    QProcess python;
    python.start(QStringLiteral(PLANORA_PYTHON), {QStringLiteral(PLANORA_READBACK), kind, path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

HalfDayMark *markOf(DayRecord &day, const QString &name)
{
    if (name == "absent1"_L1)
        return &day.absent1;
    if (name == "absent2"_L1)
        return &day.absent2;
    if (name == "echo1"_L1)
        return &day.echo1;
    if (name == "echo2"_L1)
        return &day.echo2;
    return nullptr;
}

} // namespace

// Export of one user's days: the time of each slot under each grid, the
// half-day marks, and the files read back by the parsers a calendar and a
// spreadsheet use.
class TestAgendaExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slotTimes_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("ownTime");

        QTest::newRow("10 min: slot 4 is 08h40") << 10 << 4 << u"08:40"_s << true;
        QTest::newRow("10 min: slot 5 is 09h00, no minute 50") << 10 << 5 << u"09:00"_s << true;
        QTest::newRow("10 min: morning ends at 12h30") << 10 << 23 << u"12:30"_s << true;
        QTest::newRow("10 min: afternoon ends at 19h30") << 10 << 52 << u"19:30"_s << true;
        QTest::newRow("15 min: slot 1 is 08h15") << 15 << 1 << u"08:15"_s << true;
        QTest::newRow("15 min: slot 23 is 13h45") << 15 << 23 << u"13:45"_s << true;
        QTest::newRow("20 min: slot 17 is 13h40") << 20 << 17 << u"13:40"_s << true;
        QTest::newRow("20 min: slot 18 continues 13h40") << 20 << 18 << u"13:40"_s << false;
        QTest::newRow("20 min: slot 45 is 21h00") << 20 << 45 << u"21:00"_s << true;
        QTest::newRow("20 min: slot 52 continues 21h00") << 20 << 52 << u"21:00"_s << false;
        QTest::newRow("30 min: slot 1 continues 08h00") << 30 << 1 << u"08:00"_s << false;
        QTest::newRow("30 min: slot 2 is 08h30") << 30 << 2 << u"08:30"_s << true;
        QTest::newRow("60 min: slot 7 continues 09h00") << 60 << 7 << u"09:00"_s << false;
        QTest::newRow("afternoon starts at 14h00") << 60 << 24 << u"14:00"_s << true;
        QTest::newRow("no such grid") << 45 << 3 << QString() << false;
    }

    void slotTimes()
    {
        QFETCH(int, minutes);
        QFETCH(int, slot);
        QFETCH(QString, start);
        QFETCH(bool, ownTime);
        QCOMPARE(SlotTimes::startOf(minutes, slot).toString(u"HH:mm"_s), start);
        QCOMPARE(SlotTimes::hasOwnTime(minutes, slot), ownTime);
    }

    void escaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"DUPONT Jean"_s << u"DUPONT Jean"_s;
        QTest::newRow("comma and semicolon") << u"a,b;c"_s << u"a\\,b\\;c"_s;
        QTest::newRow("backslash first") << u"C:\\dossier"_s << u"C:\\\\dossier"_s;
        QTest::newRow("CR LF as one line break") << u"un\r\ndeux\ntrois"_s << u"un\\ndeux\\ntrois"_s;
        QTest::newRow("colon and quote stay") << u"note: \"urgent\""_s << u"note: \"urgent\""_s;
    }

    void escaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ICalendarText::escaped(text), expected);
    }

    void folded_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("physicalLines");
        QTest::newRow("75 octets fit") << QString(75, u'a') << 1;
        QTest::newRow("76 octets fold") << QString(76, u'a') << 2;
        QTest::newRow("continuations hold 74") << QString(75 + 74, u'a') << 2;
        QTest::newRow("one more makes three") << QString(75 + 75, u'a') << 3;
        QTest::newRow("accent across the limit") << QString(74, u'a') + u"éé"_s << 2;
        QTest::newRow("only accents") << QString(100, u'é') << 3;
    }

    void folded()
    {
        QFETCH(QString, line);
        QFETCH(int, physicalLines);
        const QByteArray bytes = ICalendarText::folded(line);
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        QCOMPARE(lines.size(), physicalLines);
        for (const QByteArray &physical : lines) {
            const QByteArray content = physical.endsWith('\r') ? physical.chopped(1) : physical;
            QVERIFY2(content.size() <= 75, content.constData());
            // Each piece is whole UTF-8 on its own: no character was cut.
            QVERIFY(QString::fromUtf8(content).toUtf8() == content);
        }
        QByteArray unfolded = bytes;
        unfolded.replace("\r\n ", "");
        QCOMPARE(QString::fromUtf8(unfolded.chopped(2)), line);
    }

    void csvField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain, accents") << u"Zoé LÉVÊQUE"_s << u"Zoé LÉVÊQUE"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("comma") << u"a,b"_s << u"\"a,b\""_s;
        QTest::newRow("semicolon, for French spreadsheets") << u"a;b"_s << u"\"a;b\""_s;
        QTest::newRow("quote doubled") << u"dit \"Jo\""_s << u"\"dit \"\"Jo\"\"\""_s;
        QTest::newRow("line break") << u"un\r\ndeux"_s << u"\"un\r\ndeux\""_s;
    }

    void csvField()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CsvExport::field(text), written);
    }

    void readBackByParsers_data()
    {
        QTest::addColumn<int>("intervalIndex");
        QTest::addColumn<int>("slot");       // -1: no slot text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mark");   // absent1, absent2, echo1, echo2 or empty
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("summary");

        QTest::newRow("15 min: slot 5 at 09h15") << 1 << 5 << u"MARTIN Jean"_s << QString() << u"09:15"_s
                                                 << u"09:30"_s << u"MARTIN Jean"_s;
        QTest::newRow("15 min: slot 52 at 21h00") << 1 << 52 << u"DURAND Lise"_s << QString() << u"21:00"_s
                                                  << u"21:15"_s << u"DURAND Lise"_s;
        QTest::newRow("20 min: slot 4 at 09h20") << 2 << 4 << u"PETIT Luc"_s << QString() << u"09:20"_s
                                                 << u"09:40"_s << u"PETIT Luc"_s;
        QTest::newRow("20 min: slot 27 at 15h00") << 2 << 27 << u"ROUX Anne"_s << QString() << u"15:00"_s
                                                  << u"15:20"_s << u"ROUX Anne"_s;
        QTest::newRow("20 min: an extra line starts with 13h40") << 2 << 20 << u"FAURE Paul"_s << QString()
                                                                 << u"13:40"_s << u"14:00"_s << u"FAURE Paul"_s;
        QTest::newRow("10 min: slot 29 at 15h00") << 0 << 29 << u"BLANC Marc"_s << QString() << u"15:00"_s
                                                  << u"15:10"_s << u"BLANC Marc"_s;
        QTest::newRow("accents, commas, quotes, semicolons")
            << 1 << 0 << u"LÉVÊQUE, Zoé; dit \"Zozo\" \\ écho"_s << QString() << u"08:00"_s << u"08:15"_s
            << u"LÉVÊQUE, Zoé; dit \"Zozo\" \\ écho"_s;
        const QString longText = u"D'ALMEIDA-HÉBERT Marie-Hélène - résultats prise de sang, ECG; rappeler "
                                 "l'hôpital à propos du compte rendu opératoire"_s;
        QTest::newRow("long text folded") << 1 << 10 << longText << QString() << u"10:30"_s << u"10:45"_s
                                          << longText;
        QTest::newRow("15 min: morning absence") << 1 << -1 << QString() << u"absent1"_s << u"08:00"_s
                                                 << u"14:00"_s << u"Congrès, Lyon"_s;
        QTest::newRow("10 min: afternoon absence ends 19h40") << 0 << -1 << QString() << u"absent2"_s
                                                              << u"14:00"_s << u"19:40"_s << u"Congrès, Lyon"_s;
        QTest::newRow("20 min: echography afternoon to 21h20") << 2 << -1 << QString() << u"echo2"_s
                                                               << u"14:00"_s << u"21:20"_s << u"Congrès, Lyon"_s;
    }

    void readBackByParsers()
    {
        QFETCH(int, intervalIndex);
        QFETCH(int, slot);
        QFETCH(QString, text);
        QFETCH(QString, mark);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, summary);

        DayRecord day;
        if (slot >= 0) {
            day.slots[slot] = text;
            day.checks[slot] = true;
        }
        if (HalfDayMark *half = markOf(day, mark))
            *half = {true, u"Congrès, Lyon"_s};
        QTemporaryDir temporary;
        makePractice(temporary.path(), intervalIndex, day);

        const QString ics = temporary.filePath(u"agenda.ics"_s);
        const ToolRun made = exportTo(temporary.path(), u"ics"_s, ics);
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        const QByteArray raw = StoreTestDatabase::contents(ics);
        QVERIFY(!raw.contains("\n\n") && raw.count('\n') == raw.count("\r\n"));
        for (const QByteArray &line : raw.split('\n'))
            QVERIFY2(line.size() <= 76, line.constData()); // 75 octets and the CR
        const QJsonArray events = readBack(u"ics"_s, ics);
        QCOMPARE(events.size(), 1);
        const QTime from = QTime::fromString(start, u"HH:mm"_s);
        const QTime to = QTime::fromString(end, u"HH:mm"_s);
        QCOMPARE(events[0].toArray()[0].toString(), u"2026-03-10T"_s + start);
        QCOMPARE(events[0].toArray()[1].toInt(), from.secsTo(to) / 60);
        QCOMPARE(events[0].toArray()[2].toString(), summary);

        const QString csv = temporary.filePath(u"agenda.csv"_s);
        const ToolRun table = exportTo(temporary.path(), u"csv"_s, csv);
        QVERIFY2(table.exitCode == 0, qPrintable(table.err));
        const QJsonArray rows = readBack(u"csv"_s, csv);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].toArray().toVariantList(),
                 QVariantList({u"Date"_s, u"Début"_s, u"Fin"_s, u"Genre"_s, u"Texte"_s, u"Pointé"_s}));
        const QString kind = mark.isEmpty() ? u"Rendez-vous"_s
                             : mark.startsWith("absent"_L1) ? u"Absence"_s
                                                            : u"Echographies"_s;
        QCOMPARE(rows[1].toArray().toVariantList(),
                 QVariantList({u"2026-03-10"_s, start, end, kind, summary, mark.isEmpty() ? u"oui"_s : QString()}));
    }

    // A day is one event per written slot, in the order of the day, and
    // nothing for the days outside the range.
    void severalDaysInOrder()
    {
        DayRecord day;
        day.slots[30] = u"APRÈS Midi"_s;
        day.slots[2] = u"MATIN Deux"_s;
        day.slots[3] = u"   "_s; // blanks only: not an appointment
        day.absent2 = {true, QString()};
        QTemporaryDir temporary;
        makePractice(temporary.path(), 1, day);
        DayCursor cursor;
        DayRecord written;
        const QString database = temporary.filePath(u"AGENDAS.MDB"_s);
        QVERIFY(cursor.save(database, 1, DateNumber::fromDate(exportedDay.addDays(1)), DayRecord(), day, written).ok());
        QVERIFY(cursor.save(database, 1, DateNumber::fromDate(QDate(2026, 4, 1)), DayRecord(), day, written).ok());
        QVERIFY(cursor.save(database, 2, DateNumber::fromDate(exportedDay), DayRecord(), day, written).ok());

        AgendaExport::Agenda agenda;
        QVERIFY(AgendaExport::read(database, temporary.path(), 1, QDate(2026, 3, 1), QDate(2026, 3, 31), agenda).ok());
        QStringList seen;
        for (const AgendaExport::Event &event : agenda.events)
            seen << event.day.toString(u"dd"_s) + u' ' + event.start.toString(u"HH:mm"_s) + u' ' + event.text;
        QCOMPARE(seen, QStringList({u"10 08:30 MATIN Deux"_s, u"10 14:00 Absent"_s, u"10 15:30 APRÈS Midi"_s,
                                    u"11 08:30 MATIN Deux"_s, u"11 14:00 Absent"_s, u"11 15:30 APRÈS Midi"_s}));
        QCOMPARE(agenda.userName, u"Dr Lévêque"_s);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("words"); // @ the practice folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const QString base = u"export @/AGENDAS.MDB --user 1 --from 2026-03-01 --to 2026-03-31 "_s;
        QTest::newRow("database missing") << u"export @/AUTRE/AGENDAS.MDB --user 1 --from 2026-03-01 --to "
                                             "2026-03-31 --format ics"_s
                                          << 1 << u"introuvable"_s;
        QTest::newRow("user without a grid") << QString(base).replace(u"--user 1"_s, u"--user 4"_s) + u"--format ics"_s << 1
                                             << u"pas de grille"_s;
        QTest::newRow("Utilisat.agc elsewhere") << base + u"--format csv --users @/vide"_s << 1
                                                << u"introuvable"_s;
        QTest::newRow("unwritable output") << base + u"--format ics --output @/non/ici.ics"_s << 1
                                           << u"Impossible d'écrire"_s;
        QTest::newRow("unknown format") << base + u"--format pdf"_s << 2 << u"ics ou csv"_s;
        QTest::newRow("user 7") << u"export @/AGENDAS.MDB --user 7 --from 2026-03-01 --to 2026-03-31 --format ics"_s
                                << 2 << u"1 à 6"_s;
        QTest::newRow("not a date") << u"export @/AGENDAS.MDB --user 1 --from 31/02/2026 --to 2026-03-31 "
                                       "--format ics"_s
                                    << 2 << u"--from attend une date"_s;
        QTest::newRow("dates the wrong way") << u"export @/AGENDAS.MDB --user 1 --from 2026-04-01 --to 2026-03-31 "
                                                "--format ics"_s
                                             << 2 << u"après"_s;
    }

    void failures()
    {
        QFETCH(QString, words);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir temporary;
        makePractice(temporary.path(), 1, DayRecord());
        QVERIFY(QDir(temporary.path()).mkdir(u"vide"_s));
        const ToolRun run = runTool(words.replace(u"@"_s, temporary.path()).split(u' '), temporary.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAgendaExport)
#include "tst_agendaexport.moc"
