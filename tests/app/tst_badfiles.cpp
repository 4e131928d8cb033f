// Bad files and folders met by the program: AGENDAS.MDB damaged, replaced,
// locked, read-only or gone, at start-up and while the program runs; the
// .agc files damaged; the names database damaged or gone. Each gives its
// French message, or none where none is due, and loses nothing typed.
#include "form2.h"
#include "form3.h"
#include "frmrech.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString UnreadNotice =
    u"Ce jour n'a pas pu être lu : il reste vide et verrouillé, et il ne sera pas enregistré, pour ne pas "
    "effacer les rendez-vous déjà enregistrés. Cliquez sur « x » pour le relire ; il est aussi relu à chaque "
    "actualisation et en changeant de jour."_s;
const QString KeptNotice =
    u"\n\nLe jour reste affiché avec vos modifications ; il sera enregistré au prochain enregistrement."_s;
const QString NotPlanora = u"Le fichier %1 n'est pas une base de données PLANORA, ou il est endommagé."_s;
const QString Missing =
    u"La base de données %1 est introuvable.\nVérifiez le chemin de la base dans la configuration."_s;
const QString Busy = u"La base de données %1 est occupée par un autre poste depuis plus de 0.1 secondes : "
                     "l'opération n'a pas été faite.\nRéessayez dans un instant."_s;
const QString ReadOnly =
    u"La base de données %1 est en lecture seule : la modification n'a pas été enregistrée."_s;

enum class Damage { Garbage, Truncated, Empty, Directory, JetHeader, NoTables, NoColumn, Locked, Deleted, ReadOnly };
// Where the damage is met: the start-up, "&Enregistrer" after typing, a
// search in FrmRech after typing, or "Par &Semaine".
enum class Entry { StartUp, Save, Search, Week };

struct BadDatabase
{
    Damage damage;
    Entry entry;
    QString message; // %1: the database's path
};

// The agc file named holds `content`; the message of the main window's
// start-up and of Form2's opening (%1: the file's folder, empty: none), and
// what they then show, when it can be written here: user 1's name or the
// names table. A file cut short shows what it holds over the design values.
struct BadAgc
{
    QString fileName;
    QByteArray content;
    QString message;
    std::optional<QString> shown;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool done = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!done)
        qFatal("%s failed on %s", sql, qPrintable(path));
}

// Bytes no text editor or database wrote: every byte value, NULs included.
QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 1024; ++i)
        bytes.append(char((i * 37 + 11) % 256));
    return bytes;
}

// Utilisat.agc as the program writes it for users 1 and 2.
QByteArray usersRecord()
{
    QTemporaryDir dir;
    if (!ConfigFiles::writeUserConfigFile(dir.path(), Practice::namedUsers({1, 2})))
        qFatal("cannot write Utilisat.agc");
    return readFile(dir.filePath(u"Utilisat.agc"_s));
}

// Damages AGENDAS.MDB and puts the good file back. The good copy is taken
// before the damage, so that mending restores the very day stored.
class DatabaseDamage
{
public:
    explicit DatabaseDamage(Practice &practice) : m_path(practice.databasePath()), m_good(m_path + u".bon"_s) {}

    void apply(Damage damage)
    {
        QFile::remove(m_good);
        if (!QFile::copy(m_path, m_good))
            qFatal("cannot keep a copy of the database");
        const QByteArray good = readFile(m_path);
        switch (damage) {
        case Damage::Garbage: writeFile(m_path, binaryBytes().repeated(32)); break;
        case Damage::Truncated: writeFile(m_path, good.left(good.size() / 2 + 1000)); break;
        case Damage::Empty: writeFile(m_path, {}); break;
        case Damage::Directory:
            QFile::remove(m_path);
            QDir().mkpath(m_path);
            break;
        case Damage::JetHeader:
            writeFile(m_path, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4076, '\x00'));
            break;
        case Damage::NoTables:
            QFile::remove(m_path);
            runSql(m_path, "CREATE TABLE AUTRE (X TEXT)");
            break;
        case Damage::NoColumn:
            QFile::remove(m_path);
            runSql(m_path, "CREATE TABLE RVOUS1 (AGENDATE INTEGER NOT NULL UNIQUE, RVOUS TEXT, Postit TEXT, Bloc TEXT)");
            break;
        case Damage::Locked:
            if (sqlite3_open(m_path.toUtf8().constData(), &m_locker) != SQLITE_OK
                || sqlite3_exec(m_locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
                qFatal("cannot lock the database");
            break;
        case Damage::Deleted: QFile::remove(m_path); break;
        case Damage::ReadOnly:
            // Open to "nobody" along the way, writable by nobody at the end.
            for (const QString &folder : QStringList{QFileInfo(m_path).path(), QFileInfo(m_path).path() + u"/.."_s})
                QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            break;
        }
    }

    void mend()
    {
        if (m_locker)
            sqlite3_exec(m_locker, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_locker);
        m_locker = nullptr;
        QFile::setPermissions(m_path, QFileDevice::Permissions(0x6666));
        if (QFileInfo(m_path).isDir())
            QDir(m_path).removeRecursively();
        QFile::remove(m_path);
        if (!QFile::copy(m_good, m_path))
            qFatal("cannot put the database back");
    }

    ~DatabaseDamage() { sqlite3_close(m_locker); }

private:
    QString m_path;
    QString m_good;
    sqlite3 *m_locker = nullptr;
};

} // namespace

class TestBadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void badDatabase_data()
    {
        QTest::addColumn<BadDatabase>("c");
        const QString unread = u"\n\n"_s + UnreadNotice;
        QTest::newRow("garbage at start-up") << BadDatabase{Damage::Garbage, Entry::StartUp, NotPlanora + unread};
        QTest::newRow("truncated at start-up") << BadDatabase{Damage::Truncated, Entry::StartUp, NotPlanora + unread};
        QTest::newRow("empty at start-up") << BadDatabase{Damage::Empty, Entry::StartUp, NotPlanora + unread};
        QTest::newRow("a directory at start-up")
            << BadDatabase{Damage::Directory, Entry::StartUp,
                           u"%1 n'est pas un fichier de base de données."_s + unread};
        QTest::newRow("a Jet header at start-up")
            << BadDatabase{Damage::JetHeader, Entry::StartUp,
                           u"Le fichier %1 est une base Access d'une ancienne version de PLANORA.\nConvertissez-la "
                           "d'abord avec la commande « planora-admin convert »."_s + unread};
        QTest::newRow("SQLite without the tables at start-up")
            << BadDatabase{Damage::NoTables, Entry::StartUp,
                           u"La table RVOUS1 est absente de la base de données %1."_s + unread};
        QTest::newRow("a column missing at start-up")
            << BadDatabase{Damage::NoColumn, Entry::StartUp,
                           u"Le champ COCHE est absent de la table RVOUS1 de la base de données %1."_s + unread};
        QTest::newRow("locked at start-up") << BadDatabase{Damage::Locked, Entry::StartUp, Busy + unread};
        QTest::newRow("missing at start-up") << BadDatabase{Damage::Deleted, Entry::StartUp, Missing + unread};
        QTest::newRow("deleted, then a save") << BadDatabase{Damage::Deleted, Entry::Save, Missing + KeptNotice};
        QTest::newRow("locked, then a save") << BadDatabase{Damage::Locked, Entry::Save, Busy + KeptNotice};
        QTest::newRow("made read-only, then a save")
            << BadDatabase{Damage::ReadOnly, Entry::Save, ReadOnly + KeptNotice};
        QTest::newRow("replaced by garbage, then a save")
            << BadDatabase{Damage::Garbage, Entry::Save, NotPlanora + KeptNotice};
        QTest::newRow("replaced by garbage, then a search")
            << BadDatabase{Damage::Garbage, Entry::Search, u"La recherche n'a pas pu être faite.\n\n"_s + NotPlanora};
        QTest::newRow("deleted, then the week") << BadDatabase{Damage::Deleted, Entry::Week, Missing};
    }

    // The message names the file and says what is wrong; what was typed
    // stays on screen, marked as changed, and is saved once the file is good.
    void badDatabase()
    {
        QFETCH(BadDatabase, c);
        Practice practice;
        DatabaseDamage damage(practice);
        Form1 form(practice.environment());
        form.dayCursor().setBusyTimeout(100);
        if (c.entry == Entry::StartUp)
            damage.apply(c.damage);
        form.load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const bool typed = c.entry == Entry::Save || c.entry == Entry::Search;
        if (typed)
            typeInSlot(form, 3, u"Dupont"_s);

        if (c.entry != Entry::StartUp) {
            QCOMPARE(practice.prompts.informations, QStringList());
            damage.apply(c.damage);
        }
        if (c.entry == Entry::Save) {
            const auto nobody = c.damage == Damage::ReadOnly ? std::optional(asOrdinaryUser()) : std::nullopt;
            named<QAction>(&form, "Enregistrer")->trigger();
        } else if (c.entry == Entry::Search) {
            named<QAction>(&form, "Rechercher")->trigger();
            FrmRech *search = form.findChild<FrmRech *>(u"FrmRech"_s);
            QVERIFY(search);
            QTest::mouseClick(named<QPushButton>(search, "Command1"), Qt::LeftButton);
            QCOMPARE(named<QListWidget>(search, "List1")->count(), 0);
        } else if (c.entry == Entry::Week) {
            QTest::mouseClick(named<QPushButton>(&form, "Semaine"), Qt::LeftButton);
            const Form3 *week = form.findChild<Form3 *>(u"Form3"_s);
            QVERIFY(!week || !week->isVisible());
        }

        QCOMPARE(practice.prompts.informations, QStringList{c.message.arg(practice.databasePath())});
        QCOMPARE(form.isDayUnread(), c.entry == Entry::StartUp);
        QCOMPARE(form.dayView()->slotEdit(3)->text(), typed ? u"Dupont"_s : QString());
        QCOMPARE(form.isChanged(), typed);

        damage.mend();
        if (c.entry == Entry::StartUp)
            QTest::mouseClick(named<QPushButton>(form.dayView(), "Command1"), Qt::LeftButton);
        QVERIFY(!form.isDayUnread());
        typeInSlot(form, 4, u"Roux"_s);
        named<QAction>(&form, "Enregistrer")->trigger();
        QCOMPARE(practice.prompts.informations.size(), 1);
        QVERIFY(!form.isChanged());
        const std::optional<StoredDay> stored = practice.readDay(1, practice.today());
        QVERIFY(stored);
        QCOMPARE(stored->rvous, joinedSlots({{3, typed ? u"Dupont"_s : QString()}, {4, u"Roux"_s}}));
    }

    void badAgc_data()
    {
        QTest::addColumn<BadAgc>("c");
        const QString users = u"Utilisat.agc"_s, lookup = u"Alpha.agc"_s;
        const QString badUsers = u"Fichier %1/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s;
        const QString badLookup = u"Fichier %1/Alpha.agc non valide."_s;
        QByteArray unterminated = usersRecord();
        unterminated.replace("\"Dr A\"", "\"Dr A");
        QByteArray windows1252 = usersRecord();
        windows1252.replace("Dr A", "Dr H\xe9l\xe8ne");

        QTest::newRow("Utilisat.agc empty") << BadAgc{users, {}, {}, u""_s};
        QTest::newRow("Utilisat.agc binary") << BadAgc{users, binaryBytes(), badUsers, {}};
        QTest::newRow("Utilisat.agc of 10 MB") << BadAgc{users, QByteArray(10 << 20, 'x'), badUsers, {}};
        // The quote runs to the next one, before "Dr B": every value after it shifts.
        QTest::newRow("Utilisat.agc with a quote never closed") << BadAgc{users, unterminated, badUsers, u"Dr A,"_s};
        QTest::newRow("Utilisat.agc in Windows-1252") << BadAgc{users, windows1252, {}, u"Dr Hélène"_s};
        QTest::newRow("Alpha.agc empty") << BadAgc{lookup, {}, {}, u"MATABLE"_s};
        QTest::newRow("Alpha.agc binary") << BadAgc{lookup, binaryBytes(), badLookup, {}};
        QTest::newRow("Alpha.agc of 10 MB") << BadAgc{lookup, QByteArray(10 << 20, 'x'), badLookup, u"MATABLE"_s};
        // The last quote of a file cut short ends at the file's end.
        QTest::newRow("Alpha.agc with a quote never closed") << BadAgc{lookup, "#TRUE#,\"NOMS", {}, u"NOMS"_s};
        QTest::newRow("Alpha.agc in Windows-1252") << BadAgc{lookup, "#TRUE#,\"Client\xe8le\"\r\n", {}, u"Clientèle"_s};
    }

    // Read by the main window at start-up, then by Form2 as it opens.
    void badAgc()
    {
        QFETCH(BadAgc, c);
        Practice practice;
        const bool isUsers = c.fileName == u"Utilisat.agc"_s;
        const QString folder = isUsers ? practice.sharedFolder() : practice.programFolder();
        writeFile(folder + u'/' + c.fileName, c.content);
        const QStringList expected = c.message.isEmpty() ? QStringList() : QStringList{c.message.arg(folder)};

        const std::unique_ptr<Form1> form = practice.loadedForm(true);
        QCOMPARE(practice.prompts.informations, expected);
        if (isUsers && c.shown)
            QCOMPARE(form->dayView()->userButton(1)->text(), *c.shown);
        QVERIFY(!form->isDayUnread());

        practice.prompts.informations.clear();
        named<QAction>(form.get(), "Utilisat")->trigger();
        Form2 *window = form->findChild<Form2 *>(u"Form2"_s);
        QVERIFY(window);
        QCOMPARE(practice.prompts.informations, expected);
        if (c.shown)
            QCOMPARE(named<QLineEdit>(window, isUsers ? "Text1" : "TxtTable")->text(), *c.shown);
    }

    void badNames_data()
    {
        QTest::addColumn<QByteArray>("content"); // of the names database; null: none
        QTest::addColumn<QString>("shown");      // after typing "MAR" into a slot
        QTest::newRow("good: completed") << QByteArray("good") << u"MARTIN Paul"_s;
        QTest::newRow("garbage") << binaryBytes() << u"MAR"_s;
        QTest::newRow("missing") << QByteArray() << u"MAR"_s;
        QTest::newRow("a directory") << QByteArray("directory") << u"MAR"_s;
        QTest::newRow("without the table") << QByteArray("other table") << u"MAR"_s;
    }

    // A names database that cannot be read is not said at every key: the
    // slot keeps what was typed.
    void badNames()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        Practice practice;
        const QString names = practice.sharedFolder() + u"/NOMS.db"_s;
        if (content == "good")
            runSql(names, "CREATE TABLE NOMS (NOM TEXT, PRENOM TEXT); INSERT INTO NOMS VALUES ('MARTIN', 'Paul')");
        else if (content == "other table")
            runSql(names, "CREATE TABLE AUTRE (NOM TEXT, PRENOM TEXT); INSERT INTO AUTRE VALUES ('MARTIN', 'Paul')");
        else if (content == "directory")
            QDir().mkpath(names);
        else if (!content.isNull())
            writeFile(names, content);
        QVERIFY(ConfigFiles::writeLookupSettings(practice.programFolder(), {true, u"NOMS"_s}));

        const std::unique_ptr<Form1> form = practice.loadedForm(true);
        QVERIFY(form->dayView()->lookupMode());
        form->dayView()->slotEdit(3)->setFocus();
        typeInSlot(*form, 3, u"MAR"_s);
        QCOMPARE(form->dayView()->slotEdit(3)->text(), shown);
        QCOMPARE(practice.prompts.informations, QStringList());
        QVERIFY(form->isChanged());
        named<QAction>(form.get(), "Enregistrer")->trigger();
        QCOMPARE(practice.readDay(1, practice.today())->rvous, joinedSlots({{3, shown}}));
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
