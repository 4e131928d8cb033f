// The birthday notice's OK, the about box and the help window from the
// main window's menu; and the guide itself: every page and picture it
// links to is there.
#include "../app/practice.h"
#include "captions.h"
#include "filebytes.h"
#include "form15.h"
#include "frmabout.h"
#include "helpwindow.h"

#include <QAction>
#include <QDirIterator>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

const QString GuideSource = QStringLiteral(PLANORA_GUIDE_DIR);

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // On 16 April the birthday notice comes first: its OK gives the main
    // window back, usable. The about box chosen twice: still one box, not
    // modal, centred; OK closes it.
    void aboutBox()
    {
        Practice practice;
        practice.clock.setToday(QDate(2024, 4, 16));
        const auto form = std::make_unique<Form1>(practice.environment());
        form->show();
        form->load();
        QPointer<Form15> notice = form->birthdayNotice();
        QVERIFY(notice && notice->isVisible() && !form->isVisible());
        QTest::mouseClick(named<QPushButton>(notice, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(notice.isNull());
        QVERIFY(form->isVisible() && form->isEnabled() && !QApplication::activeModalWidget());
        QAction *propos = named<QAction>(form.get(), "Propos");
        propos->trigger();
        propos->trigger();
        const QList<frmAbout *> boxes = form->findChildren<frmAbout *>(); // the main window's
        QCOMPARE(boxes.size(), 1);
        QPointer<frmAbout> box = boxes[0];
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QVERIFY(!box->isModal() && !QApplication::activeModalWidget());
        QCOMPARE(box->windowTitle(), u"À propos de PLANORA"_s);
        QCOMPARE(captionsOf(box, u"lblTitle lblVersion lblDescription Label1 Contact lblDisclaimer cmdOK"_s.split(u' ')),
                 (QStringList{u"PLANORA"_s, u"Version 4.0.0"_s, u"AGENDA pour prise de rendez vous"_s, u"Auteur"_s,
                              u"Contact"_s, frmAbout::authorName(), u"OK"_s}));
        QVERIFY(named<QLabel>(box, "Label2")->text().contains(u'@'));
        const QPoint offset = box->frameGeometry().center() - box->screen()->geometry().center();
        QVERIFY2(offset.manhattanLength() <= 20, qPrintable(u"box at %1,%2"_s.arg(box->x()).arg(box->y())));
        QTest::mouseClick(named<QPushButton>(box, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(box.isNull());
        QVERIFY(form->isVisible());
    }

    void help_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("chosen twice: one help window") << true;
        QTest::newRow("guide missing: said, nothing opened") << false;
    }

    void help()
    {
        QFETCH(bool, installed);
        Practice practice;
        for (QDirIterator it(GuideSource, QDir::Files, QDirIterator::Subdirectories); installed && it.hasNext();) {
            const QString target = practice.programFolder() + u"/aide/"_s + QDir(GuideSource).relativeFilePath(it.next());
            QVERIFY(QDir().mkpath(QFileInfo(target).path()) && QFile::copy(it.filePath(), target));
        }
        const auto form = practice.loadedForm(true);
        QAction *aide = named<QAction>(form.get(), "Aide");
        aide->trigger();
        aide->trigger();
        const QList<HelpWindow *> windows = form->findChildren<HelpWindow *>();
        if (!installed) {
            QVERIFY(windows.isEmpty());
            QCOMPARE(practice.prompts.informations.size(), 2);
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
        QVERIFY(windows[0]->isVisible() && !windows[0]->isModal() && !QApplication::activeModalWidget());
        named<QAction>(form.get(), "Propos")->trigger();
        QCOMPARE(form->findChildren<frmAbout *>().size(), 1);
    }

    // Every page of the guide, every link between its pages and every
    // picture it shows are there; the contents page leads to every topic.
    void guideLinks_data()
    {
        QTest::addColumn<QString>("page");
        for (QDirIterator pages(GuideSource, {u"*.html"_s}, QDir::Files); pages.hasNext();)
            QTest::newRow(qPrintable(QFileInfo(pages.next()).fileName())) << pages.filePath();
    }

    void guideLinks()
    {
        QFETCH(QString, page);
        const QString html = QString::fromUtf8(bytesOf(page));
        QVERIFY(html.contains(u"<title>"_s));
        static const QRegularExpression reference(u"(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""_s);
        QStringList targets;
        for (auto match = reference.globalMatch(html); match.hasNext();)
            targets << match.next().captured(1);
        for (const QString &target : targets)
            QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)), qPrintable(target));
        QVERIFY(!targets.isEmpty()); // every page links back to the contents at least
        const QString topics = u"jour saisie utilisateurs semaine recherche impression sauvegarde configuration"_s;
        for (const QString &topic : page.endsWith(u"/index.html"_s) ? topics.split(u' ') : QStringList())
            QVERIFY2(targets.contains(topic + u".html"_s), qPrintable(topic)); // the contents lead to every topic
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
