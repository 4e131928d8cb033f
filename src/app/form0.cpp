#include "form0.h"

#include "mainwindow.h"
#include "programidentity.h"

#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int SplashMilliseconds = 4000;

QLabel *addLabel(QGridLayout *layout, const QString &name, const QString &text, int row,
                 int pointSize, bool bold)
{
    auto *label = new QLabel(text, layout->parentWidget());
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label, row, 1);
    return label;
}

} // namespace

Form0::Form0(const Environment &environment, QWidget *parent)
    : QWidget(parent)
    , m_environment(environment)
{
    setObjectName(QStringLiteral("Form0"));
    setWindowTitle(QStringLiteral("PLANORA"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setHorizontalSpacing(24);
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(ProgramIdentity::picture());
    layout->addWidget(image, 0, 0, 6, 1, Qt::AlignCenter);

    // Form_Load.
    addLabel(layout, QStringLiteral("LblTitle"), QStringLiteral("PLANORA"), 0, 26, true);
    addLabel(layout, QStringLiteral("LblVersion"), versionText(), 1, 10, false);
    addLabel(layout, QStringLiteral("Label3"), QStringLiteral("Le carnet de rendez vous du médecin"),
             2, 12, true);
    addLabel(layout, QStringLiteral("Label1"),
             QStringLiteral("Les agendas de six praticiens, partagés par tout le cabinet"), 3, 9,
             false);
    addLabel(layout, QStringLiteral("Label2"), QStringLiteral("Une journée de 53 plages par praticien"),
             4, 9, false);
    addLabel(layout, QStringLiteral("Label4"), QStringLiteral("Ouverture de l'agenda…"), 5, 9, false);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(SplashMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &Form0::Timer1_Timer);
    m_timer->start();

    adjustSize();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

QString Form0::versionNumber()
{
    return ProgramIdentity::versionNumber();
}

QString Form0::versionText()
{
    return QStringLiteral("Version ") + versionNumber();
}

void Form0::Timer1_Timer()
{
    // Unloading the splash stops its timer, so the hand-over runs once. The
    // splash is hidden rather than closed first: closing the last visible
    // window would end the program before the main window is shown.
    if (m_mainWindow)
        return;
    m_timer->stop();
    hide();
    m_mainWindow = new Form1(m_environment);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_mainWindow->load();
    m_mainWindow->show();
    deleteLater();
}
