// The user configuration window: filling from the two files, the colour
// dialog, saving and leaving, the main window's user buttons, files that
// cannot be written, and the window opened from the main window's menu.
#include "colourswatch.h"
#include "colourvalue.h"
#include "filebytes.h"
#include "form2.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

namespace {

using Bytes = std::optional<QByteArray>; // a file's content; nothing: no file
const QByteArray LookupOn = "#TRUE#,\"PATIENTS\"\r\n";
const QStringList OldCaptions{u"Ancien 1"_s, u"Ancien 2"_s, u"Ancien 3"_s, u"Ancien 4"_s, u"Ancien 5"_s, u"Ancien 6"_s};

// A Utilisat.agc brought from an older workstation: Windows-1252 accents,
// users 1 and 2 named, user 1 on light grey and the 20-minute grid.
QByteArray legacyUsersFile()
{
    const QString none = u"\"\""_s, system = u"-2147483643"_s;
    const QStringList values{u"\"Dr Hélène\""_s, u"\"Dr Noël\""_s, none, none, none, none, u"12632256"_s, system,
                             system, system, system, system, u"2"_s, u"0"_s, u"-1"_s, u"-1"_s, u"-1"_s, u"-1"_s,
                             u"\"Échographies\""_s, none, none, none, none, none,
                             u"\"Bloc opératoire\""_s, none, none, none, none, none};
    return values.join(u',').toLatin1() + "\r\n";
}

UserConfig usersOf(qint16 intervalIndex)
{
    UserConfig users;
    users.fill({QString(), SystemWindowColour, intervalIndex, QString(), QString()});
    return users;
}

UserConfig legacyUsers()
{
    UserConfig users = usersOf(-1);
    users[0] = {u"Dr Hélène"_s, 12632256, 2, u"Échographies"_s, u"Bloc opératoire"_s};
    users[1] = {u"Dr Noël"_s, SystemWindowColour, 0, QString(), QString()};
    return users;
}

void writeBytes(const QString &path, const Bytes &bytes)
{
    if (bytes ? !writeBytes(path, *bytes) : (QFile::exists(path) && !QFile::remove(path)))
        qFatal("cannot write %s", qPrintable(path));
}

// Types key by key; QTest types ASCII only, so the other letters come as
// the key events a French keyboard sends.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar letter : text) {
        if (letter.unicode() < 128) {
            QTest::keyClick(widget, char(letter.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(widget, &press);
    }
}

// A practice holding the two files, six buttons standing for the main
// window's, and Form2 opened on them as the menu opens it.
struct Session
{
    Session(const Bytes &users, const Bytes &lookup)
    {
        writeBytes(usersPath(), users);
        writeBytes(lookupPath(), lookup);
        for (int index = 0; index < UserCount; ++index)
            buttons[index] = new QPushButton(OldCaptions[index], &mainWindow);
        form = Form2::showFor(practice.environment(), buttons, &mainWindow);
    }
    QString usersPath() const { return practice.sharedFolder() + u"/Utilisat.agc"_s; }
    QString lookupPath() const { return practice.programFolder() + u"/Alpha.agc"_s; }
    template <typename T = QWidget>
    T *control(const QByteArray &name) const { return named<T>(form.data(), name.constData()); }
    void click(const QByteArray &button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    void type(const QByteArray &box, const QString &text)
    {
        control<QLineEdit>(box)->clear();
        typeText(control(box), text);
    }
    bool unloaded()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }
    QStringList captions() const
    {
        QStringList result;
        for (const QAbstractButton *button : buttons)
            result << (button->isHidden() ? u"-"_s : button->text());
        return result;
    }
    UserConfig savedUsers() const { return ConfigFiles::readUserConfig(practice.sharedFolder()).users; }

    Practice practice;
    QWidget mainWindow;
    UserButtons buttons;
    QPointer<Form2> form;
};

enum class Leave { Save, Quit, CloseBox };
enum class Refusal { ReadOnlyUsersFolder, MissingUsersFolder, ReadOnlyProgramFolder, FullDisk };
using WindowCheck = std::function<bool(const Form2 &)>;

} // namespace

Q_DECLARE_METATYPE(UserConfig)
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Leave)
Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(WindowCheck)

class Form2Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void defaultState_data()
    {
        QTest::addColumn<WindowCheck>("check");
        const QList<std::pair<const char *, QString>> captions{
            {"Label1", u"Utilisateur N°1"_s}, {"Label4", u"Utilisateur N°4"_s}, {"Label9", u"Utilisateur N°5"_s},
            {"Label10", u"Utilisateur N°6"_s}, {"Label8", u"Nom de l'utilisateur"_s}, {"Label7", u"Couleur de fond"_s},
            {"Label60", u"Rendez vous"_s}, {"Label5", u"Annotation haut"_s}, {"Label6", u"Annotation bas"_s},
            {"Command6", u"..."_s}, {"Combo6", u"Toutes les 15'"_s}, {"TxtTable", u"MATABLE"_s}, {"Text7_5", QString()},
            {"Check1", u"Utiliser la recherche alphabetique des noms sur une base ACCESS"_s},
            {"Frame1", u"Base de données ACCESS désignée par le Superviseur"_s},
            {"Label12", u"Nom de la TABLE à utiliser dans la base de données ACCESS"_s},
            {"Label50", u"Redémarrer le programme PLANORA après modification d'un ou plusieurs utilisateurs"_s},
            {"CmDEnreg", u"&Enregistrer Quitter"_s}, {"Quitte", u"Annuler / &Quitter"_s}};
        for (const auto &[name, caption] : captions)
            QTest::addRow("%s", name) << WindowCheck([name, caption](const Form2 &form) {
                const QWidget *control = named<QWidget>(&form, name);
                for (const char *property : {"text", "title", "currentText"}) {
                    if (control->property(property).isValid())
                        return control->property(property).toString() == caption;
                }
                return false;
            });
        QTest::newRow("modeless, titled, centred") << WindowCheck([](const Form2 &form) {
            const QPoint offset = form.frameGeometry().center() - form.screen()->geometry().center();
            // The platform may nudge a window wider than its screen by a pixel or two.
            return form.windowTitle() == u"Utilisateurs"_s && form.isWindow() && !form.isModal()
                && offset.manhattanLength() <= 4;
        });
        QTest::newRow("notice in red, lookup frame hidden") << WindowCheck([](const Form2 &form) {
            return named<QLabel>(&form, "Label50")->palette().color(QPalette::WindowText) == QColor(Qt::red)
                && named<QWidget>(&form, "Frame1")->isHidden();
        });
        QTest::newRow("lists: the five items only") << WindowCheck([](const Form2 &form) {
            const auto *list = named<QComboBox>(&form, "Combo3");
            return list->count() == 5 && list->itemText(0) == u"Toutes les 10'"_s && list->itemText(4) == u"Toutes les 60'"_s
                && !list->isEditable();
        });
        QTest::newRow("buttons right of the frame, save above quit") << WindowCheck([](const Form2 &form) {
            const QRect frame = named<QWidget>(&form, "Frame1")->geometry();
            const QRect save = named<QWidget>(&form, "CmDEnreg")->geometry();
            const QRect quit = named<QWidget>(&form, "Quitte")->geometry();
            return save.left() > frame.right() && quit.left() > frame.right() && save.bottom() < quit.top();
        });
    }

    void defaultState()
    {
        QFETCH(WindowCheck, check);
        Session session(std::nullopt, std::nullopt);
        QVERIFY(QTest::qWaitForWindowExposed(session.form));
        QVERIFY(check(*session.form));
    }

    void filling_data()
    {
        QTest::addColumn<Bytes>("usersFile");
        QTest::addColumn<Bytes>("lookupFile");
        QTest::addColumn<UserConfig>("shown");
        QTest::addColumn<bool>("lookup");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("messages");
        UserConfig shifted = legacyUsers(), partial = usersOf(1);
        shifted[0].name = u"Dr Surplus"_s;
        partial[0].name = u"Dr Seul"_s;
        const QString invalidUsers = u"Fichier <shared>/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s;
        QTest::newRow("no file: design values, no message") << Bytes() << Bytes() << usersOf(1) << false
            << u"MATABLE"_s << QStringList();
        QTest::newRow("empty files: the same") << Bytes(""_ba) << Bytes(""_ba) << usersOf(1) << false
            << u"MATABLE"_s << QStringList();
        QTest::newRow("old accents, lookup on through -1") << Bytes(legacyUsersFile()) << Bytes("-1,\"NOMS\"\r\n"_ba)
                                                            << legacyUsers() << true << u"NOMS"_s << QStringList();
        QTest::newRow("lookup off keeps its table") << Bytes(legacyUsersFile()) << Bytes("#FALSE#,\"NOMS\"\r\n"_ba)
                                                    << legacyUsers() << false << u"NOMS"_s << QStringList();
        QTest::newRow("31 values: message, the 31st is name 1") << Bytes(legacyUsersFile() + "\"Dr Surplus\"\r\n")
                                                                << Bytes(LookupOn) << shifted << true << u"PATIENTS"_s
                                                                << QStringList{invalidUsers};
        QTest::newRow("records cut short: what was read over the design values")
            << Bytes("\"Dr Seul\"\r\n"_ba) << Bytes("#TRUE#\r\n"_ba) << partial << true << u"MATABLE"_s
            << QStringList{u"Fichier <program>/Alpha.agc non valide."_s, invalidUsers};
    }

    void filling()
    {
        QFETCH(Bytes, usersFile);
        QFETCH(Bytes, lookupFile);
        QFETCH(UserConfig, shown);
        QFETCH(QStringList, messages);
        Session session(usersFile, lookupFile);
        for (int user = 1; user <= UserCount; ++user) {
            const QByteArray n = QByteArray::number(user);
            const auto *swatch = session.control<ColourSwatch>("LblColor" + n);
            const UserEntry entry{session.control<QLineEdit>("Text" + n)->text(), swatch->value(),
                                  qint16(session.control<QComboBox>("Combo" + n)->currentIndex()),
                                  session.control<QLineEdit>("TxtAnnot" + n)->text(),
                                  session.control<QLineEdit>("Text7_" + QByteArray::number(user - 1))->text()};
            QCOMPARE(entry, shown[user - 1]);
            QCOMPARE(swatch->palette().color(QPalette::Window),
                     ColourValue::toColour(entry.colour.value_or(SystemWindowColour), QApplication::palette()));
        }
        QTEST(session.control<QCheckBox>("Check1")->isChecked(), "lookup");
        QTEST(session.control<QWidget>("Frame1")->isVisible(), "lookup");
        QTEST(session.control<QLineEdit>("TxtTable")->text(), "table");
        QCOMPARE(session.control<QLabel>("Label11")->text(), session.practice.sharedFolder() + u"/NOMS.db"_s);
        messages.replaceInStrings(u"<shared>"_s, session.practice.sharedFolder());
        messages.replaceInStrings(u"<program>"_s, session.practice.programFolder());
        QCOMPARE(session.practice.prompts.informations, messages);
    }

    void leaving_data()
    {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<Bytes>("lookupBefore");
        QTest::addColumn<int>("clicks"); // on Check1
        QTest::addColumn<bool>("frameShown");
        QTest::addColumn<QByteArray>("lookupAfter");
        const Bytes minusOne("-1,\"PATIENTS\""_ba);
        const QByteArray off = "#FALSE#,\"PATIENTS\"\r\n";
        QTest::newRow("quit rewrites Alpha.agc with nothing changed") << Leave::Quit << minusOne << 0 << true << LookupOn;
        QTest::newRow("quit writes a missing Alpha.agc as shown") << Leave::Quit << Bytes() << 0 << false
            << "#FALSE#,\"MATABLE\"\r\n"_ba;
        QTest::newRow("close box writes nothing") << Leave::CloseBox << minusOne << 1 << false << *minusOne;
        QTest::newRow("save with one name typed") << Leave::Save << minusOne << 0 << true << LookupOn;
        QTest::newRow("unchecked: frame hidden, table still saved") << Leave::Save << Bytes(LookupOn) << 1 << false << off;
        QTest::newRow("unchecked then quit: written too") << Leave::Quit << Bytes(LookupOn) << 1 << false << off;
        QTest::newRow("checked again: frame back") << Leave::Save << Bytes(LookupOn) << 2 << true << LookupOn;
    }

    void leaving()
    {
        QFETCH(Leave, leave);
        QFETCH(Bytes, lookupBefore);
        QFETCH(int, clicks);
        Session session(legacyUsersFile(), lookupBefore);
        session.type("Text3", u"Dr Tapé"_s);
        for (int i = 0; i < clicks; ++i)
            session.click("Check1");
        QTEST(session.control("Frame1")->isVisible(), "frameShown");
        QCOMPARE(session.control<QLineEdit>("TxtTable")->text(), lookupBefore ? u"PATIENTS"_s : u"MATABLE"_s);
        if (leave == Leave::CloseBox)
            session.form->close();
        else
            session.click(leave == Leave::Save ? "CmDEnreg" : "Quitte");
        QVERIFY(session.unloaded());
        QTEST(bytesOf(session.lookupPath()), "lookupAfter");
        if (leave == Leave::Save) {
            UserConfig saved = legacyUsers();
            saved[2].name = u"Dr Tapé"_s;
            QCOMPARE(session.savedUsers(), saved);
        } else {
            QCOMPARE(bytesOf(session.usersPath()), legacyUsersFile()); // byte for byte
            QCOMPARE(session.captions(), OldCaptions);
        }
        QCOMPARE(session.practice.prompts.informations, QStringList());
    }

    void userButtons_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions"); // "-": hidden
        const QString a = u"Dr Un"_s, b = u"Dr Deux"_s, c = u"Dr Trois"_s;
        const QStringList six{a, b, c, u"Dr Quatre"_s, u"Dr Cinq"_s, u"Dr Six"_s};
        QTest::newRow("none: all hidden") << QStringList(6) << QStringList(6, u"-"_s);
        QTest::newRow("1: all hidden") << QStringList{a, {}, {}, {}, {}, {}} << QStringList(6, u"-"_s);
        QTest::newRow("1 2 3: three with the new names") << QStringList{a, b, c, {}, {}, {}}
            << QStringList{a, b, c, u"-"_s, u"-"_s, u"-"_s};
        QTest::newRow("1 _ 3: as they were") << QStringList{a, {}, c, {}, {}, {}} << OldCaptions;
        QTest::newRow("_ 2: as they were") << QStringList{{}, b, {}, {}, {}, {}} << OldCaptions;
        QTest::newRow("all six") << six << six;
    }

    void userButtons()
    {
        QFETCH(QStringList, names);
        Session session(legacyUsersFile(), LookupOn);
        for (int user = 1; user <= UserCount; ++user)
            session.type("Text" + QByteArray::number(user), names[user - 1]);
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        QTEST(session.captions(), "captions");
        for (int user = 1; user <= UserCount; ++user)
            QCOMPARE(session.savedUsers()[user - 1].name, names[user - 1]);
    }

    void intervals_data()
    {
        QTest::addColumn<Bytes>("usersFile");
        QTest::addColumn<QString>("typed"); // into Combo2
        QTest::addColumn<qint16>("saved");  // for user 2
        QTest::newRow("no choice: saved as -1") << Bytes(legacyUsersFile().replace(",0,-1,", ",-1,-1,"))
            << QString() << qint16(-1);
        QTest::newRow("outside the items: no choice")
            << Bytes(legacyUsersFile().replace(",0,-1,", ",7,-1,")) << QString() << qint16(-1);
        QTest::newRow("no file: the design 15' is chosen") << Bytes() << QString() << qint16(1);
        QTest::newRow("typed text changes nothing") << Bytes(legacyUsersFile()) << u"xyz"_s << qint16(0);
    }

    void intervals()
    {
        QFETCH(Bytes, usersFile);
        QFETCH(QString, typed);
        Session session(usersFile, LookupOn);
        QTest::keyClicks(session.control("Combo2"), typed);
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        QTEST(session.savedUsers()[1].intervalIndex, "saved");
    }

    void colours_data()
    {
        QTest::addColumn<QList<int>>("rows");       // the "..." buttons clicked, in order
        QTest::addColumn<QList<QColor>>("answers"); // invalid: cancelled
        QTest::addColumn<QList<QColor>>("openedOn");
        QTest::addColumn<QList<qint32>>("saved");
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
        const qint32 sys = SystemWindowColour;
        QTest::newRow("cancelled: nothing changes")
            << QList<int>{3} << QList<QColor>{QColor()} << QList<QColor>{Qt::black}
            << QList<qint32>{12632256, sys, sys, sys, sys, sys};
        QTest::newRow("confirmed: only that row")
            << QList<int>{2} << QList<QColor>{red} << QList<QColor>{Qt::black}
            << QList<qint32>{12632256, 0x0000FF, sys, sys, sys, sys};
        QTest::newRow("opens on the last colour chosen, not the swatch's")
            << QList<int>{2, 4, 1, 6} << QList<QColor>{red, QColor(), blue, green}
            << QList<QColor>{Qt::black, red, red, blue}
            << QList<qint32>{0xFF0000, 0x0000FF, sys, sys, sys, 0x008000};
    }

    void colours()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QList<QColor>, answers);
        QFETCH(QList<qint32>, saved);
        Session session(legacyUsersFile(), LookupOn);
        for (const QColor &answer : answers)
            session.practice.prompts.colorAnswers << (answer.isValid() ? std::optional(answer) : std::nullopt);
        for (int row : rows)
            session.click("Command" + QByteArray::number(row));
        QTEST(session.practice.prompts.colorInitials, "openedOn");
        const auto *first = session.control<ColourSwatch>("LblColor" + QByteArray::number(rows.first()));
        const QColor painted = first->palette().color(QPalette::Window);
        QCOMPARE(painted, ColourValue::toColour(saved[rows.first() - 1], QApplication::palette()));
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        for (int user = 1; user <= UserCount; ++user)
            QCOMPARE(session.savedUsers()[user - 1].colour, saved[user - 1]);
    }

    void refusedWrites_data()
    {
        QTest::addColumn<Refusal>("refusal");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("file"); // named in the message
        QTest::addColumn<QByteArray>("lookupAfter");
        const QByteArray before = "-1,\"PATIENTS\"\r\n";
        QTest::newRow("read-only CheminUt folder") << Refusal::ReadOnlyUsersFolder << "CmDEnreg"_ba
            << u"<shared>/Utilisat.agc"_s << LookupOn;
        QTest::newRow("CheminUt naming no folder") << Refusal::MissingUsersFolder << "CmDEnreg"_ba
            << u"<shared>/absent/Utilisat.agc"_s << LookupOn;
        QTest::newRow("read-only program folder, quitting") << Refusal::ReadOnlyProgramFolder << "Quitte"_ba
            << u"<program>/Alpha.agc"_s << before;
        QTest::newRow("full disk") << Refusal::FullDisk << "CmDEnreg"_ba << u"<program>/Alpha.agc"_s << before;
    }

    void refusedWrites()
    {
        QFETCH(Refusal, refusal);
        QFETCH(QByteArray, button);
        QFETCH(QString, file);
        Session session(legacyUsersFile(), "-1,\"PATIENTS\"\r\n"_ba);
        Practice &practice = session.practice;
        session.type("Text3", u"Dr Tapé"_s);
        practice.prompts.colorAnswers << QColor(0, 128, 0);
        session.click("Command1");
        if (refusal == Refusal::MissingUsersFolder)
            practice.setSetting(u"CheminUt"_s, practice.sharedFolder() + u"/absent"_s);

        // Everything open to an ordinary user, but for the folder refused.
        using P = QFile;
        const QFile::Permissions readOnly =
            P::ReadOwner | P::ExeOwner | P::ReadGroup | P::ExeGroup | P::ReadOther | P::ExeOther;
        const QFile::Permissions writable = readOnly | P::WriteOwner | P::WriteGroup | P::WriteOther;
        QFile::setPermissions(QFileInfo(practice.programFolder()).path(), readOnly);
        const QString settings = practice.environment().settingsFolder;
        QFile::setPermissions(settings + u"/hirondel.ini"_s, P::ReadOwner | P::ReadGroup | P::ReadOther);
        for (const QString &folder : {practice.programFolder(), practice.sharedFolder(), settings})
            QFile::setPermissions(folder, writable);
        if (refusal == Refusal::ReadOnlyUsersFolder)
            QFile::setPermissions(practice.sharedFolder(), readOnly);
        if (refusal == Refusal::ReadOnlyProgramFolder)
            QFile::setPermissions(practice.programFolder(), readOnly);
        {
            const auto ordinaryUser = asOrdinaryUser();
            std::optional<decltype(fullDisk())> full;
            if (refusal == Refusal::FullDisk)
                full.emplace(fullDisk());
            session.click(button);
        }

        file.replace(u"<shared>"_s, practice.sharedFolder()).replace(u"<program>"_s, practice.programFolder());
        QCOMPARE(practice.prompts.informations.size(), 1);
        const QString message = u"Impossible d'enregistrer le fichier "_s + file + u" :"_s;
        QVERIFY2(practice.prompts.informations.first().startsWith(message),
                 qPrintable(practice.prompts.informations.first()));
        QVERIFY(!session.unloaded() && session.form->isVisible());
        QCOMPARE(session.control<QLineEdit>("Text3")->text(), u"Dr Tapé"_s);
        QCOMPARE(session.control<ColourSwatch>("LblColor1")->value(), qint32(0x008000));
        QCOMPARE(bytesOf(session.usersPath()), legacyUsersFile());
        QTEST(bytesOf(session.lookupPath()), "lookupAfter");
        QCOMPARE(session.captions(), OldCaptions);

        // Once the supervisor has put things right, the same window saves.
        QFile::setPermissions(practice.sharedFolder(), writable);
        QFile::setPermissions(practice.programFolder(), writable);
        practice.setSetting(u"CheminUt"_s, practice.sharedFolder());
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        QCOMPARE(session.savedUsers()[2].name, u"Dr Tapé"_s);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("typed"); // into every text of user 4, and the table name
        QTest::addColumn<QString>("read");  // by the configuration layer
        QTest::newRow("accents, a comma inside, blanks kept") << u"  Dr Hélène, Noël-Çà  "_s << u"  Dr Hélène, Noël-Çà  "_s;
        QTest::newRow("a double quote cannot be typed") << u"Dr \"Guillemets\""_s << u"Dr Guillemets"_s;
    }

    void roundTrip()
    {
        QFETCH(QString, typed);
        QFETCH(QString, read);
        Session session(legacyUsersFile(), LookupOn);
        for (const char *box : {"Text4", "TxtAnnot4", "Text7_3", "TxtTable"})
            session.type(box, typed);
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        UserConfig expected = legacyUsers();
        expected[3] = {read, SystemWindowColour, -1, read, read};
        const UserConfigRead users = ConfigFiles::readUserConfig(session.practice.sharedFolder());
        QVERIFY(users.valid);
        QCOMPARE(users.users, expected);
        QCOMPARE(ConfigFiles::readLookupSettings(session.practice.programFolder()).settings, (LookupSettings{true, read}));
    }

    // Opened from the menu: one window; a third user named gives the main
    // window three buttons at once, and nothing else changes before a change
    // of user or the next start.
    void fromMainWindow()
    {
        Practice practice;
        const auto main = practice.loadedForm(true);
        QAction *entry = named<QAction>(main->menuBar(), "Utilisat");
        QVERIFY(entry->isEnabled());
        entry->trigger();
        entry->trigger(); // brings the open window forward, loads no second one
        const auto windows = main->findChildren<Form2 *>();
        QCOMPARE(windows.size(), 1);
        QPointer<Form2> form = windows.first();
        QVERIFY(form->isVisible() && main->isEnabled());
        QCOMPARE(named<QLineEdit>(form.data(), "Text2")->text(), u"Dr B"_s);
        named<QLineEdit>(form.data(), "Text3")->setText(u"Dr C"_s);
        named<QComboBox>(form.data(), "Combo1")->setCurrentIndex(4);
        QTest::mouseClick(named<QPushButton>(form.data(), "CmDEnreg"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());

        QStringList captions;
        for (int user = 1; user <= UserCount; ++user)
            captions << (main->dayView()->userButton(user)->isHidden() ? u"-"_s : main->dayView()->userButton(user)->text());
        QCOMPARE(captions, (QStringList{u"Dr A"_s, u"Dr B"_s, u"Dr C"_s, u"-"_s, u"-"_s, u"-"_s}));
        QCOMPARE(main->windowTitle(), u"Dr A"_s);
        QCOMPARE(main->intervalMinutes(), 15);
        QCOMPARE(main->users(), Practice::namedUsers({1, 2}));
        QCOMPARE(ConfigFiles::readUserConfig(practice.sharedFolder()).users[0].intervalIndex, qint16(4));
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
