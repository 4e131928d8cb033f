// The about box, the help window and the birthday notice's OK, from the
// main window's menu; and the guide itself: every page and picture it
// links to is there.
#include "../app/practice.h"
#include "form15.h"
#include "frmabout.h"
#include "helpwindow.h"

#include <QAction>
#include <QDirIterator>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

namespace {

const QString GuideSource = QStringLiteral(PLANORA_GUIDE_DIR);

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

template<typename T>
QList<T *> topLevel()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            found << window;
    return found;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<frmAbout *>(window) || qobject_cast<HelpWindow *>(window))
                delete window;
    }

    // Chosen twice: still one box, not modal, centred.
    void aboutBox()
    {
        Practice practice;
        const auto form = practice.loadedForm(true);
        QAction *propos = named<QAction>(form.get(), "Propos");
        QVERIFY(propos->isEnabled());

        propos->trigger();
        propos->trigger();

        const QList<frmAbout *> boxes = topLevel<frmAbout>();
        QCOMPARE(boxes.size(), 1);
        frmAbout *box = boxes[0];
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QVERIFY(!box->isModal());
        QCOMPARE(box->windowTitle(), u"À propos de PLANORA"_s);
        QCOMPARE(named<QLabel>(box, "lblTitle")->text(), u"PLANORA"_s);
        QCOMPARE(named<QLabel>(box, "lblVersion")->text(), u"Version 4.0.0"_s);
        QCOMPARE(named<QLabel>(box, "lblDescription")->text(), u"AGENDA pour prise de rendez vous"_s);
        QCOMPARE(named<QLabel>(box, "Label1")->text(), u"Auteur"_s);
        QCOMPARE(named<QLabel>(box, "Contact")->text(), u"Contact"_s);
        QCOMPARE(named<QLabel>(box, "lblDisclaimer")->text(), frmAbout::authorName());
        QVERIFY(named<QLabel>(box, "Label2")->text().contains(u'@'));
        QVERIFY(!named<QLabel>(box, "picIcon")->pixmap().isNull());
        QCOMPARE(named<QPushButton>(box, "cmdOK")->text(), u"OK"_s);
        const QPoint screenCentre = box->screen()->geometry().center();
        QVERIFY2((box->frameGeometry().center() - screenCentre).manhattanLength() <= 20,
                 qPrintable(u"box at %1,%2"_s.arg(box->x()).arg(box->y())));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        QPointer<frmAbout> closing = box;
        QTest::mouseClick(named<QPushButton>(box, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(closing.isNull());
        QVERIFY(form->isVisible());
    }

    void help_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("choices");
        QTest::newRow("chosen twice: one help window") << true << 2;
        QTest::newRow("guide missing: said, nothing opened") << false << 1;
    }

    void help()
    {
        QFETCH(bool, installed);
        QFETCH(int, choices);
        Practice practice;
        if (installed)
            QVERIFY(copyTree(GuideSource, practice.programFolder() + u"/aide"_s));
        const auto form = practice.loadedForm(true);
        QAction *aide = named<QAction>(form.get(), "Aide");
        QVERIFY(aide->isEnabled());

        for (int i = 0; i < choices; ++i)
            aide->trigger();

        const QList<HelpWindow *> windows = topLevel<HelpWindow>();
        if (!installed) {
            QVERIFY(windows.isEmpty());
            QCOMPARE(practice.prompts.informations.size(), 1);
            QVERIFY(practice.prompts.informations[0].startsWith(u"Le guide d'utilisation de PLANORA est introuvable"_s));
            QVERIFY(practice.prompts.informations[0].contains(u"/program/aide/index.html"_s));
            return;
        }
        QVERIFY(practice.prompts.informations.isEmpty());
        QCOMPARE(windows.size(), 1);
        QTextBrowser *browser = windows[0]->browser();
        QCOMPARE(browser->source(), QUrl::fromLocalFile(practice.programFolder() + u"/aide/index.html"_s));
        QCOMPARE(browser->documentTitle(), u"Guide d'utilisation de PLANORA"_s);
        QVERIFY(browser->toPlainText().contains(u"Sommaire"_s));
        // The main window goes on working while the help is open.
        QVERIFY(!windows[0]->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        named<QAction>(form.get(), "Propos")->trigger();
        QCOMPARE(topLevel<frmAbout>().size(), 1);
    }

    // Every page of the guide, every link between its pages and every
    // picture it shows are there; the contents page leads to every topic.
    void guideLinks_data()
    {
        QTest::addColumn<QString>("page");
        QDirIterator pages(GuideSource, {u"*.html"_s}, QDir::Files);
        while (pages.hasNext()) {
            const QString page = pages.next();
            QTest::newRow(qPrintable(QFileInfo(page).fileName())) << page;
        }
    }

    void guideLinks()
    {
        QFETCH(QString, page);
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(u"<title>"_s));
        static const QRegularExpression reference(u"(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""_s);
        int count = 0;
        for (auto match = reference.globalMatch(html); match.hasNext(); ++count) {
            const QString target = match.next().captured(1);
            QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)), qPrintable(target));
        }
        QVERIFY(count > 0); // every page links back to the contents at least
    }

    void guideContents()
    {
        QFile file(GuideSource + u"/index.html"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QString &topic : {u"jour.html"_s, u"saisie.html"_s, u"utilisateurs.html"_s, u"semaine.html"_s,
                                     u"recherche.html"_s, u"impression.html"_s, u"sauvegarde.html"_s,
                                     u"configuration.html"_s})
            QVERIFY2(html.contains(u"href=\""_s + topic), qPrintable(topic));
    }

    void noticeOk()
    {
        Practice practice;
        practice.clock.setToday(QDate(2024, 4, 16));
        Form1 form(practice.environment());
        form.show();
        form.load();
        QPointer<Form15> notice = form.birthdayNotice();
        QVERIFY(notice && notice->isVisible() && !form.isVisible());

        QTest::mouseClick(named<QPushButton>(notice, "Command1"), Qt::LeftButton);

        QTRY_VERIFY(notice.isNull());
        QVERIFY(form.isVisible() && form.isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        // Usable: its menu opens the about box.
        named<QAction>(&form, "Propos")->trigger();
        QCOMPARE(topLevel<frmAbout>().size(), 1);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
