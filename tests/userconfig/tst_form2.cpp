// The user configuration window: filling from the two files, the colour
// dialog, saving and leaving, the main window's user buttons, files that
// cannot be written, and the window opened from the main window's menu.
#include "colourswatch.h"
#include "colourvalue.h"
#include "form2.h"
#include "mousedownbutton.h"
#include "practice.h"
#include "refusedwrites.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString LookupOnDesign = u"#TRUE#,\"MATABLE\"\r\n"_s;

// A Utilisat.agc brought from an older workstation: Windows-1252 accents,
// users 1 and 2 named, user 1 on light grey and the 20-minute grid.
QByteArray legacyUsersFile()
{
    QStringList values{u"\"Dr Hélène\""_s, u"\"Dr Noël\""_s};
    values << QStringList(4, u"\"\""_s) << u"12632256"_s << QStringList(5, u"-2147483643"_s) << u"2"_s
           << u"0"_s << QStringList(4, u"-1"_s) << u"\"Échographies\""_s << QStringList(5, u"\"\""_s)
           << u"\"Bloc opératoire\""_s << QStringList(5, u"\"\""_s);
    return values.join(u',').toLatin1() + "\r\n";
}

UserConfig legacyUsers()
{
    UserConfig users;
    for (UserEntry &entry : users)
        entry = {QString(), SystemWindowColour, -1, QString(), QString()};
    users[0] = {u"Dr Hélène"_s, 12632256, 2, u"Échographies"_s, u"Bloc opératoire"_s};
    users[1] = {u"Dr Noël"_s, SystemWindowColour, 0, QString(), QString()};
    return users;
}

// The window as it starts with no file: empty rows on the design values.
UserConfig designUsers()
{
    UserConfig users;
    for (UserEntry &entry : users)
        entry = {QString(), SystemWindowColour, 1, QString(), QString()};
    return users;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Types text key by key; QTest types ASCII only, so the other letters come
// as the key events a French keyboard sends for them.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar letter : text) {
        if (letter.unicode() < 128) {
            QTest::keyClick(widget, char(letter.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// The main window's six user buttons, all shown with their old captions.
class MainWindowButtons : public QWidget
{
public:
    MainWindowButtons()
    {
        for (int index = 0; index < UserCount; ++index) {
            m_buttons[index] = new QPushButton(u"Ancien %1"_s.arg(index + 1), this);
            userButtons[index] = m_buttons[index];
        }
    }
    QStringList captions() const
    {
        QStringList result;
        for (const QPushButton *button : m_buttons)
            result << button->text();
        return result;
    }
    QList<int> shown() const
    {
        QList<int> result;
        for (int index = 0; index < UserCount; ++index) {
            if (!m_buttons[index]->isHidden())
                result << index + 1;
        }
        return result;
    }

    UserButtons userButtons;

private:
    std::array<QPushButton *, UserCount> m_buttons{};
};

// A practice with its files, the main window's buttons, and Form2 opened as
// the menu opens it.
struct Session
{
    Session(const std::optional<QByteArray> &users, const std::optional<QByteArray> &lookup)
    {
        if (users)
            writeBytes(usersPath(), *users);
        else
            QFile::remove(usersPath());
        if (lookup)
            writeBytes(lookupPath(), *lookup);
    }
    Form2 *open()
    {
        form = Form2::showFor(practice.environment(), mainWindow.userButtons, &mainWindow);
        return form;
    }
    QString usersPath() const { return practice.sharedFolder() + u"/Utilisat.agc"_s; }
    QString lookupPath() const { return practice.programFolder() + u"/Alpha.agc"_s; }
    template <typename T>
    T *control(const QByteArray &name) const
    {
        return named<T>(form.data(), name.constData());
    }
    void click(const QByteArray &button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    // True once the window has been unloaded.
    bool unloaded()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }
    void type(const QByteArray &box, const QString &text)
    {
        auto *edit = control<QLineEdit>(box);
        edit->selectAll();
        typeText(edit, text);
    }

    Practice practice;
    MainWindowButtons mainWindow;
    QPointer<Form2> form;
};

QString textOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frame->title();
    if (const auto *list = qobject_cast<const QComboBox *>(control))
        return list->currentText();
    return u"<no text>"_s;
}

using WindowCheck = std::function<bool(const Form2 &)>;

// The ways of leaving the window.
enum class Leave { Save, Quit, CloseBox };

// What the test makes the machine refuse at the save.
enum class Refusal { ReadOnlyUsersFolder, MissingUsersFolder, ReadOnlyProgramFolder, FullDisk };

} // namespace

Q_DECLARE_METATYPE(UserConfig)
Q_DECLARE_METATYPE(WindowCheck)
Q_DECLARE_METATYPE(Leave)
Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(std::optional<QString>)

class Form2Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void captions_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<QString>("caption");
        const QList<QByteArray> headers{"Label1", "Label2", "Label3", "Label4", "Label9", "Label10"};
        for (int user = 1; user <= UserCount; ++user) {
            QTest::addRow("row header %d", user) << headers[user - 1] << u"Utilisateur N°%1"_s.arg(user);
            QTest::addRow("name %d empty", user) << "Text" + QByteArray::number(user) << QString();
            QTest::addRow("colour button %d", user) << "Command" + QByteArray::number(user) << u"..."_s;
            QTest::addRow("list %d on 15'", user) << "Combo" + QByteArray::number(user) << u"Toutes les 15'"_s;
            QTest::addRow("bottom annotation %d", user) << "Text7_" + QByteArray::number(user - 1) << QString();
        }
        QTest::newRow("names header") << "Label8"_ba << u"Nom de l'utilisateur"_s;
        QTest::newRow("colour header") << "Label7"_ba << u"Couleur de fond"_s;
        QTest::newRow("interval header") << "Label60"_ba << u"Rendez vous"_s;
        QTest::newRow("top header") << "Label5"_ba << u"Annotation haut"_s;
        QTest::newRow("bottom header") << "Label6"_ba << u"Annotation bas"_s;
        QTest::newRow("lookup switch") << "Check1"_ba << u"Utiliser la recherche alphabetique des noms sur une base ACCESS"_s;
        QTest::newRow("lookup frame") << "Frame1"_ba << u"Base de données ACCESS désignée par le Superviseur"_s;
        QTest::newRow("table caption") << "Label12"_ba << u"Nom de la TABLE à utiliser dans la base de données ACCESS"_s;
        QTest::newRow("notice") << "Label50"_ba << u"Redémarrer le programme PLANORA après modification d'un ou plusieurs utilisateurs"_s;
        QTest::newRow("save") << "CmDEnreg"_ba << u"&Enregistrer Quitter"_s;
        QTest::newRow("quit") << "Quitte"_ba << u"Annuler / &Quitter"_s;
    }

    void captions()
    {
        QFETCH(QByteArray, control);
        QFETCH(QString, caption);
        Session session(std::nullopt, std::nullopt);
        session.open();
        QCOMPARE(session.form->windowTitle(), u"Utilisateurs"_s);
        QCOMPARE(textOf(session.control<QWidget>(control)), caption);
    }

    void windowState_data()
    {
        QTest::addColumn<WindowCheck>("check");
        QTest::newRow("modeless window of its own") << WindowCheck([](const Form2 &form) {
            return form.isWindow() && form.isVisible() && !form.isModal() && QApplication::activeModalWidget() == nullptr;
        });
        QTest::newRow("centred on the screen") << WindowCheck([](const Form2 &form) {
            const QPoint offset = form.frameGeometry().center() - form.screen()->geometry().center();
            return offset.manhattanLength() <= 4; // the platform may nudge a window wider than its screen

        });
        QTest::newRow("notice in red") << WindowCheck([](const Form2 &form) {
            return named<QLabel>(&form, "Label50")->palette().color(QPalette::WindowText) == QColor(Qt::red);
        });
        QTest::newRow("every list holds the five items, typed text refused") << WindowCheck([](const Form2 &form) {
            const auto lists = form.findChildren<QComboBox *>();
            const QStringList items{u"Toutes les 10'"_s, u"Toutes les 15'"_s, u"Toutes les 20'"_s,
                                    u"Toutes les 30'"_s, u"Toutes les 60'"_s};
            return lists.size() == UserCount && std::all_of(lists.begin(), lists.end(), [&](const QComboBox *list) {
                       QStringList shown;
                       for (int i = 0; i < list->count(); ++i)
                           shown << list->itemText(i);
                       return shown == items && !list->isEditable();
                   });
        });
        QTest::newRow("swatches painted: light grey, then the system window colour") << WindowCheck([](const Form2 &form) {
            QList<QColor> painted;
            for (const ColourSwatch *swatch : form.findChildren<ColourSwatch *>())
                painted << swatch->palette().color(QPalette::Window);
            const QColor window = QApplication::palette().color(QPalette::Base);
            return painted == QList<QColor>{QColor(192, 192, 192), window, window, window, window, window};
        });
        QTest::newRow("texts shown from their start") << WindowCheck([](const Form2 &form) {
            return named<QLineEdit>(&form, "Text7_0")->cursorPosition() == 0 && named<QLineEdit>(&form, "Text1")->cursorPosition() == 0;
        });
        QTest::newRow("buttons at the right of the lookup frame, save above quit") << WindowCheck([](const Form2 &form) {
            const QRect frame = named<QWidget>(&form, "Frame1")->geometry();
            const QRect save = named<QWidget>(&form, "CmDEnreg")->geometry();
            const QRect quit = named<QWidget>(&form, "Quitte")->geometry();
            return save.left() > frame.right() && quit.left() > frame.right() && save.bottom() < quit.top();
        });
    }

    void windowState()
    {
        QFETCH(WindowCheck, check);
        Session session(legacyUsersFile(), LookupOnDesign.toUtf8());
        session.open();
        QVERIFY(QTest::qWaitForWindowExposed(session.form));
        QVERIFY(check(*session.form));
    }

    // --- filling ---------------------------------------------------------------

    void filling_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("usersFile");
        QTest::addColumn<std::optional<QByteArray>>("lookupFile");
        QTest::addColumn<UserConfig>("shown");
        QTest::addColumn<bool>("lookup");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("messages");

        UserConfig shifted = legacyUsers();
        shifted[0].name = u"Dr Surplus"_s;
        UserConfig partial = designUsers();
        partial[0].name = u"Dr Seul"_s;
        partial[1].name = u"Dr Moitié"_s;

        QTest::newRow("no file: design values, no message")
            << std::optional<QByteArray>() << std::optional<QByteArray>() << designUsers() << false << u"MATABLE"_s
            << QStringList();
        QTest::newRow("empty files: design values, no message")
            << std::optional<QByteArray>(QByteArray()) << std::optional<QByteArray>(QByteArray()) << designUsers()
            << false << u"MATABLE"_s << QStringList();
        QTest::newRow("old accents, lookup on through -1")
            << std::optional<QByteArray>(legacyUsersFile()) << std::optional<QByteArray>("-1,\"PATIENTS\"\r\n")
            << legacyUsers() << true << u"PATIENTS"_s << QStringList();
        QTest::newRow("lookup off keeps its table")
            << std::optional<QByteArray>(legacyUsersFile()) << std::optional<QByteArray>("#FALSE#,\"NOMS\"\r\n")
            << legacyUsers() << false << u"NOMS"_s << QStringList();
        QTest::newRow("31 values: message, the 31st is name 1")
            << std::optional<QByteArray>(legacyUsersFile() + "\"Dr Surplus\"\r\n")
            << std::optional<QByteArray>(LookupOnDesign.toUtf8()) << shifted << true << u"MATABLE"_s
            << QStringList{u"Fichier <shared>/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s};
        QTest::newRow("2 values of 30: what was read over the design values")
            << std::optional<QByteArray>("\"Dr Seul\",\"Dr Moitié\"\r\n") << std::optional<QByteArray>("#TRUE#\r\n")
            << partial << true << u"MATABLE"_s
            << QStringList{u"Fichier <program>/Alpha.agc non valide."_s,
                           u"Fichier <shared>/Utilisat.agc non valide (trop ou pas assez de paramètres)."_s};
    }

    void filling()
    {
        QFETCH(std::optional<QByteArray>, usersFile);
        QFETCH(std::optional<QByteArray>, lookupFile);
        QFETCH(UserConfig, shown);
        QFETCH(bool, lookup);
        QFETCH(QString, table);
        QFETCH(QStringList, messages);
        Session session(usersFile, lookupFile);
        session.open();

        for (int user = 1; user <= UserCount; ++user) {
            const UserEntry &entry = shown[user - 1];
            const QByteArray n = QByteArray::number(user);
            QCOMPARE(session.control<QLineEdit>("Text" + n)->text(), entry.name);
            QCOMPARE(session.control<ColourSwatch>("LblColor" + n)->value(), entry.colour);
            QCOMPARE(session.control<QComboBox>("Combo" + n)->currentIndex(), int(entry.intervalIndex));
            QCOMPARE(session.control<QLineEdit>("TxtAnnot" + n)->text(), entry.topAnnotation);
            QCOMPARE(session.control<QLineEdit>("Text7_" + QByteArray::number(user - 1))->text(), entry.bottomAnnotation);
        }
        QCOMPARE(session.control<ColourSwatch>("LblColor1")->palette().color(QPalette::Window),
                 ColourValue::toColour(shown[0].colour, QApplication::palette()));
        QCOMPARE(session.control<QCheckBox>("Check1")->isChecked(), lookup);
        QCOMPARE(session.control<QGroupBox>("Frame1")->isVisible(), lookup);
        QCOMPARE(session.control<QLineEdit>("TxtTable")->text(), table);
        QCOMPARE(session.control<QLabel>("Label11")->text(), session.practice.sharedFolder() + u"/NOMS.db"_s);
        QStringList expected;
        for (const QString &message : messages)
            expected << QString(message)
                            .replace(u"<shared>"_s, session.practice.sharedFolder())
                            .replace(u"<program>"_s, session.practice.programFolder());
        QCOMPARE(session.practice.prompts.informations, expected);
    }

    void namesDatabaseLabel_data()
    {
        QTest::addColumn<std::optional<QString>>("setting");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the setting") << std::optional<QString>(u"/srv/cabinet/NOMS.db"_s) << u"/srv/cabinet/NOMS.db"_s;
        QTest::newRow("missing: the program's folder") << std::optional<QString>() << u"<program>"_s;
    }

    void namesDatabaseLabel()
    {
        QFETCH(std::optional<QString>, setting);
        QFETCH(QString, shown);
        Session session(legacyUsersFile(), std::nullopt);
        const QString settingsFile = session.practice.environment().settingsFolder + u"/hirondel.ini"_s;
        if (setting)
            session.practice.setSetting(u"CheminNoms"_s, *setting);
        else
            writeBytes(settingsFile, u"[PLANORA]\r\nCheminUt=%1\r\n"_s.arg(session.practice.sharedFolder()).toUtf8());
        session.open();
        QCOMPARE(session.control<QLabel>("Label11")->text(),
                 QString(shown).replace(u"<program>"_s, session.practice.programFolder()));
        QCOMPARE(session.control<QLineEdit>("Text1")->text(), u"Dr Hélène"_s);
    }

    // --- leaving -----------------------------------------------------------------

    void leaving_data()
    {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<std::optional<QByteArray>>("lookupBefore");
        QTest::addColumn<QByteArray>("lookupAfter");
        QTest::newRow("quit rewrites Alpha.agc with nothing changed")
            << Leave::Quit << std::optional<QByteArray>("-1,\"PATIENTS\"") << "#TRUE#,\"PATIENTS\"\r\n"_ba;
        QTest::newRow("quit writes a missing Alpha.agc as shown")
            << Leave::Quit << std::optional<QByteArray>() << "#FALSE#,\"MATABLE\"\r\n"_ba;
        QTest::newRow("close box writes nothing")
            << Leave::CloseBox << std::optional<QByteArray>("-1,\"PATIENTS\"") << "-1,\"PATIENTS\""_ba;
        QTest::newRow("save with nothing changed rewrites both")
            << Leave::Save << std::optional<QByteArray>("-1,\"PATIENTS\"") << "#TRUE#,\"PATIENTS\"\r\n"_ba;
    }

    void leaving()
    {
        QFETCH(Leave, leave);
        QFETCH(std::optional<QByteArray>, lookupBefore);
        QFETCH(QByteArray, lookupAfter);
        Session session(legacyUsersFile(), lookupBefore);
        session.open();
        session.type("Text3", u"Dr Tapé"_s); // typed, then left: never saved but by CmDEnreg
        switch (leave) {
        case Leave::Save: session.click("CmDEnreg"); break;
        case Leave::Quit: session.click("Quitte"); break;
        case Leave::CloseBox: session.form->close(); break;
        }
        QVERIFY(session.unloaded());
        QCOMPARE(bytesOf(session.lookupPath()), lookupAfter);
        if (leave == Leave::Save) {
            UserConfig saved = legacyUsers();
            saved[2].name = u"Dr Tapé"_s;
            QCOMPARE(ConfigFiles::readUserConfig(session.practice.sharedFolder()).users, saved);
        } else {
            QCOMPARE(bytesOf(session.usersPath()), legacyUsersFile());
            QCOMPARE(session.mainWindow.captions(), QStringList({u"Ancien 1"_s, u"Ancien 2"_s, u"Ancien 3"_s,
                                                                  u"Ancien 4"_s, u"Ancien 5"_s, u"Ancien 6"_s}));
        }
        QVERIFY(session.practice.prompts.informations.isEmpty());
    }

    // --- the main window's user buttons ---------------------------------------------

    void userButtons_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QStringList>("captions");
        const QStringList old{u"Ancien 1"_s, u"Ancien 2"_s, u"Ancien 3"_s, u"Ancien 4"_s, u"Ancien 5"_s, u"Ancien 6"_s};
        const QString n1 = u"Dr Un"_s, n2 = u"Dr Deux"_s, n3 = u"Dr Trois"_s;
        QTest::newRow("none named: all hidden") << QStringList(6) << QList<int>{} << old;
        QTest::newRow("only 1: all hidden") << QStringList{n1, {}, {}, {}, {}, {}} << QList<int>{} << old;
        QTest::newRow("1 2 3: three shown with the new names")
            << QStringList{n1, n2, n3, {}, {}, {}} << QList<int>{1, 2, 3}
            << QStringList{n1, n2, n3, old[3], old[4], old[5]};
        QTest::newRow("1 _ 3: left as they were") << QStringList{n1, {}, n3, {}, {}, {}} << QList<int>{1, 2, 3, 4, 5, 6} << old;
        QTest::newRow("_ 2: left as they were") << QStringList{{}, n2, {}, {}, {}, {}} << QList<int>{1, 2, 3, 4, 5, 6} << old;
        const QStringList six{n1, n2, n3, u"Dr Quatre"_s, u"Dr Cinq"_s, u"Dr Six"_s};
        QTest::newRow("all six") << six << QList<int>{1, 2, 3, 4, 5, 6} << six;
    }

    void userButtons()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, shown);
        QFETCH(QStringList, captions);
        Session session(legacyUsersFile(), LookupOnDesign.toUtf8());
        session.open();
        for (int user = 1; user <= UserCount; ++user) {
            const QByteArray box = "Text" + QByteArray::number(user);
            session.control<QLineEdit>(box)->clear();
            session.type(box, names[user - 1]);
        }
        session.click("CmDEnreg");

        QVERIFY(session.unloaded());
        QCOMPARE(session.mainWindow.shown(), shown);
        QCOMPARE(session.mainWindow.captions(), captions);
        const UserConfig saved = ConfigFiles::readUserConfig(session.practice.sharedFolder()).users;
        for (int user = 1; user <= UserCount; ++user)
            QCOMPARE(saved[user - 1].name, names[user - 1]);
    }

    // --- interval lists ----------------------------------------------------------

    void intervals_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("usersFile");
        QTest::addColumn<QString>("typed"); // into Combo2, as a person would
        QTest::addColumn<qint16>("saved");  // for user 2
        QTest::newRow("no choice in the file: saved as -1") << std::optional<QByteArray>(legacyUsersFile().replace(",0,-1,", ",-1,-1,")) << QString() << qint16(-1);
        QTest::newRow("file's choice kept") << std::optional<QByteArray>(legacyUsersFile()) << QString() << qint16(0);
        QTest::newRow("outside the five items: no choice") << std::optional<QByteArray>(legacyUsersFile().replace(",0,-1,", ",7,-1,")) << QString() << qint16(-1);
        QTest::newRow("no file: the design 15' is the choice") << std::optional<QByteArray>() << QString() << qint16(1);
        QTest::newRow("typing other text changes nothing") << std::optional<QByteArray>(legacyUsersFile()) << u"xyz"_s << qint16(0);
    }

    void intervals()
    {
        QFETCH(std::optional<QByteArray>, usersFile);
        QFETCH(QString, typed);
        QFETCH(qint16, saved);
        Session session(usersFile, LookupOnDesign.toUtf8());
        session.open();
        QTest::keyClicks(session.control<QComboBox>("Combo2"), typed);
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        QCOMPARE(ConfigFiles::readUserConfig(session.practice.sharedFolder()).users[1].intervalIndex, saved);
    }

    // --- colours ----------------------------------------------------------------

    void colours_data()
    {
        QTest::addColumn<QList<int>>("rows");      // the "..." buttons clicked, in order
        QTest::addColumn<QList<QColor>>("answers"); // invalid: cancelled
        QTest::addColumn<QList<QColor>>("openedOn");
        QTest::addColumn<QList<qint32>>("saved");
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
        const qint32 sys = SystemWindowColour;
        const QList<qint32> asRead{12632256, sys, sys, sys, sys, sys};
        QTest::newRow("cancelled: nothing changes") << QList<int>{3} << QList<QColor>{QColor()}
                                                    << QList<QColor>{Qt::black} << asRead;
        QTest::newRow("confirmed: only that row") << QList<int>{2} << QList<QColor>{red} << QList<QColor>{Qt::black}
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
        QFETCH(QList<QColor>, openedOn);
        QFETCH(QList<qint32>, saved);
        Session session(legacyUsersFile(), LookupOnDesign.toUtf8());
        session.open();
        for (const QColor &answer : answers)
            session.practice.prompts.colorAnswers << (answer.isValid() ? std::optional<QColor>(answer) : std::nullopt);
        for (int row : rows)
            session.click("Command" + QByteArray::number(row));
        QCOMPARE(session.practice.prompts.colorInitials, openedOn);
        for (int user = 1; user <= UserCount; ++user) {
            const auto *swatch = session.control<ColourSwatch>("LblColor" + QByteArray::number(user));
            QCOMPARE(swatch->value(), saved[user - 1]);
            QCOMPARE(swatch->palette().color(QPalette::Window), ColourValue::toColour(saved[user - 1], QApplication::palette()));
        }
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        const UserConfig read = ConfigFiles::readUserConfig(session.practice.sharedFolder()).users;
        for (int user = 1; user <= UserCount; ++user)
            QCOMPARE(read[user - 1].colour, saved[user - 1]);
    }

    // --- the lookup area -----------------------------------------------------------

    void lookupArea_data()
    {
        QTest::addColumn<QByteArray>("lookupBefore");
        QTest::addColumn<int>("clicks"); // on Check1
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<bool>("frameShown");
        QTest::addColumn<QByteArray>("lookupAfter");
        QTest::newRow("unchecked: frame hidden, table still saved")
            << "#TRUE#,\"PATIENTS\"\r\n"_ba << 1 << Leave::Save << false << "#FALSE#,\"PATIENTS\"\r\n"_ba;
        QTest::newRow("unchecked then quit: written too")
            << "#TRUE#,\"PATIENTS\"\r\n"_ba << 1 << Leave::Quit << false << "#FALSE#,\"PATIENTS\"\r\n"_ba;
        QTest::newRow("checked: frame shown") << "#FALSE#,\"PATIENTS\"\r\n"_ba << 1 << Leave::Save << true
                                              << "#TRUE#,\"PATIENTS\"\r\n"_ba;
        QTest::newRow("twice: as before") << "#TRUE#,\"PATIENTS\"\r\n"_ba << 2 << Leave::Save << true
                                          << "#TRUE#,\"PATIENTS\"\r\n"_ba;
    }

    void lookupArea()
    {
        QFETCH(QByteArray, lookupBefore);
        QFETCH(int, clicks);
        QFETCH(Leave, leave);
        QFETCH(bool, frameShown);
        QFETCH(QByteArray, lookupAfter);
        Session session(legacyUsersFile(), lookupBefore);
        session.open();
        QVERIFY(QTest::qWaitForWindowExposed(session.form));
        for (int i = 0; i < clicks; ++i)
            session.click("Check1");
        QCOMPARE(session.control<QGroupBox>("Frame1")->isVisible(), frameShown);
        QCOMPARE(session.control<QLineEdit>("TxtTable")->text(), u"PATIENTS"_s);
        session.click(leave == Leave::Save ? "CmDEnreg" : "Quitte");
        QVERIFY(session.unloaded());
        QCOMPARE(bytesOf(session.lookupPath()), lookupAfter);
    }

    // --- files that cannot be written ----------------------------------------------

    void refusedWrites_data()
    {
        QTest::addColumn<Refusal>("refusal");
        QTest::addColumn<bool>("throughQuit");
        QTest::addColumn<QString>("file"); // named in the message
        QTest::addColumn<QByteArray>("lookupAfter");
        const QByteArray lookupBefore = "-1,\"PATIENTS\"\r\n";
        const QByteArray lookupSaved = "#TRUE#,\"PATIENTS\"\r\n";
        QTest::newRow("read-only CheminUt folder") << Refusal::ReadOnlyUsersFolder << false << u"<shared>/Utilisat.agc"_s << lookupSaved;
        QTest::newRow("CheminUt naming no folder") << Refusal::MissingUsersFolder << false << u"<shared>/absent/Utilisat.agc"_s << lookupSaved;
        QTest::newRow("read-only program folder") << Refusal::ReadOnlyProgramFolder << false << u"<program>/Alpha.agc"_s << lookupBefore;
        QTest::newRow("read-only program folder, quitting") << Refusal::ReadOnlyProgramFolder << true << u"<program>/Alpha.agc"_s << lookupBefore;
        QTest::newRow("full disk") << Refusal::FullDisk << false << u"<program>/Alpha.agc"_s << lookupBefore;
    }

    void refusedWrites()
    {
        QFETCH(Refusal, refusal);
        QFETCH(bool, throughQuit);
        QFETCH(QString, file);
        QFETCH(QByteArray, lookupAfter);
        Session session(legacyUsersFile(), "-1,\"PATIENTS\"\r\n"_ba);
        Practice &practice = session.practice;
        session.open();
        session.type("Text3", u"Dr Tapé"_s);
        practice.prompts.colorAnswers << QColor(0, 128, 0);
        session.click("Command1");
        if (refusal == Refusal::MissingUsersFolder)
            practice.setSetting(u"CheminUt"_s, practice.sharedFolder() + u"/absent"_s);

        // The practice opened to an ordinary user, but for the folder refused.
        const QFile::Permissions readOnlyFolder = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther;
        const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const QString root = QFileInfo(practice.programFolder()).path();
        for (const QString &path : {root, practice.programFolder(), practice.sharedFolder(), practice.environment().settingsFolder})
            QFile::setPermissions(path, readOnlyFolder | (path == root ? QFile::Permissions() : writable));
        QFile::setPermissions(practice.environment().settingsFolder + u"/hirondel.ini"_s, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (refusal == Refusal::ReadOnlyUsersFolder)
            QFile::setPermissions(practice.sharedFolder(), readOnlyFolder);
        if (refusal == Refusal::ReadOnlyProgramFolder)
            QFile::setPermissions(practice.programFolder(), readOnlyFolder);
        {
            const auto ordinaryUser = asOrdinaryUser();
            if (refusal == Refusal::FullDisk) {
                const auto full = fullDisk();
                session.click(throughQuit ? "Quitte" : "CmDEnreg");
            } else {
                session.click(throughQuit ? "Quitte" : "CmDEnreg");
            }
        }

        QCOMPARE(practice.prompts.informations.size(), 1);
        const QString path = QString(file).replace(u"<shared>"_s, practice.sharedFolder()).replace(u"<program>"_s, practice.programFolder());
        QVERIFY2(practice.prompts.informations.first().contains(u"Impossible d'enregistrer le fichier "_s + path + u" :"_s),
                 qPrintable(practice.prompts.informations.first()));
        QVERIFY(!session.unloaded());
        QVERIFY(session.form->isVisible());
        QCOMPARE(session.control<QLineEdit>("Text3")->text(), u"Dr Tapé"_s);
        QCOMPARE(session.control<ColourSwatch>("LblColor1")->value(), qint32(0x008000));
        QCOMPARE(bytesOf(session.usersPath()), legacyUsersFile());
        QCOMPARE(bytesOf(session.lookupPath()), lookupAfter);
        QCOMPARE(session.mainWindow.shown(), QList<int>({1, 2, 3, 4, 5, 6}));

        // Once the supervisor has put things right, the same window saves.
        QFile::setPermissions(practice.sharedFolder(), readOnlyFolder | QFile::WriteOwner);
        QFile::setPermissions(practice.programFolder(), readOnlyFolder | QFile::WriteOwner);
        practice.setSetting(u"CheminUt"_s, practice.sharedFolder());
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());
        QCOMPARE(ConfigFiles::readUserConfig(practice.sharedFolder()).users[2].name, u"Dr Tapé"_s);
        QCOMPARE(session.mainWindow.shown(), QList<int>({1, 2, 3}));
    }

    // --- round trip -----------------------------------------------------------------

    void roundTrip_data()
    {
        QTest::addColumn<QString>("typed"); // into every text of user 4, and the table name
        QTest::addColumn<QString>("read");  // what the configuration layer reads back
        QTest::newRow("accents") << u"Dr Hélène Noël-Çà"_s << u"Dr Hélène Noël-Çà"_s;
        QTest::newRow("a comma stays inside the text") << u"Martin, Paul"_s << u"Martin, Paul"_s;
        QTest::newRow("a double quote cannot be typed") << u"Dr \"Guillemets\""_s << u"Dr Guillemets"_s;
        QTest::newRow("blanks kept as typed") << u"  Dr Blanc  "_s << u"  Dr Blanc  "_s;
    }

    void roundTrip()
    {
        QFETCH(QString, typed);
        QFETCH(QString, read);
        Session session(legacyUsersFile(), LookupOnDesign.toUtf8());
        session.open();
        for (const char *box : {"Text4", "TxtAnnot4", "Text7_3", "TxtTable"})
            session.type(box, typed);
        session.click("CmDEnreg");
        QVERIFY(session.unloaded());

        UserConfig expected = legacyUsers();
        expected[3] = {read, SystemWindowColour, -1, read, read};
        const UserConfigRead users = ConfigFiles::readUserConfig(session.practice.sharedFolder());
        QVERIFY(users.valid);
        QCOMPARE(users.users, expected);
        const LookupSettingsRead lookup = ConfigFiles::readLookupSettings(session.practice.programFolder());
        QVERIFY(lookup.valid);
        QCOMPARE(lookup.settings, (LookupSettings{true, read}));
    }

    // --- opened from the main window ---------------------------------------------------

    void fromMainWindow_data()
    {
        QTest::addColumn<QString>("thirdName");
        QTest::addColumn<QString>("secondName");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QString>("thirdCaption");
        QTest::newRow("a third user: three buttons") << u"Dr C"_s << u"Dr B"_s << QList<int>{1, 2, 3} << u"Dr C"_s;
        QTest::newRow("user 2 removed: no button") << QString() << QString() << QList<int>{} << QString();
        QTest::newRow("a gap: buttons as they were") << u"Dr C"_s << QString() << QList<int>{1, 2} << QString();
    }

    void fromMainWindow()
    {
        QFETCH(QString, thirdName);
        QFETCH(QString, secondName);
        QFETCH(QList<int>, shown);
        QFETCH(QString, thirdCaption);
        Practice practice;
        const auto main = practice.loadedForm(true);
        QAction *entry = named<QAction>(main->menuBar(), "Utilisat");
        QVERIFY(entry->isEnabled());
        entry->trigger();
        entry->trigger(); // brings the open window forward, does not load a second one
        const auto windows = main->findChildren<Form2 *>();
        QCOMPARE(windows.size(), 1);
        QPointer<Form2> form = windows.first();
        QVERIFY(form->isVisible());
        QVERIFY(main->isEnabled());
        QCOMPARE(named<QLineEdit>(form.data(), "Text2")->text(), u"Dr B"_s);

        named<QLineEdit>(form.data(), "Text2")->setText(secondName);
        named<QLineEdit>(form.data(), "Text3")->setText(thirdName);
        named<QComboBox>(form.data(), "Combo1")->setCurrentIndex(4);
        QTest::mouseClick(named<QPushButton>(form.data(), "CmDEnreg"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());

        QList<int> buttons;
        for (int user = 1; user <= UserCount; ++user) {
            if (!main->dayView()->userButton(user)->isHidden())
                buttons << user;
        }
        QCOMPARE(buttons, shown);
        QCOMPARE(main->dayView()->userButton(3)->text(), thirdCaption);
        // Nothing else changes before a switch of user or the next start.
        QCOMPARE(main->windowTitle(), u"Dr A"_s);
        QCOMPARE(main->intervalMinutes(), 15);
        QCOMPARE(main->users(), Practice::namedUsers({1, 2}));
        QCOMPARE(ConfigFiles::readUserConfig(practice.sharedFolder()).users[0].intervalIndex, qint16(4));
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
