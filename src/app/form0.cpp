#include "form0.h"

#include "mainwindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int SplashMilliseconds = 4000;

// An open appointment book: two pages of lines, a few of them filled.
QPixmap bookPicture()
{
    QPixmap picture(128, 96);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 40, 20), 2));
    painter.setBrush(QColor(150, 60, 40));
    painter.drawRoundedRect(QRectF(4, 8, 120, 82), 6, 6);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(252, 250, 240));
    painter.drawRect(QRectF(10, 12, 53, 72));
    painter.drawRect(QRectF(65, 12, 53, 72));
    for (int line = 0; line < 8; ++line) {
        const qreal y = 22 + line * 8;
        painter.setPen(QPen(QColor(180, 200, 230), 1));
        painter.drawLine(QPointF(14, y), QPointF(59, y));
        painter.drawLine(QPointF(69, y), QPointF(114, y));
        if (line % 3 == 1) {
            painter.setPen(QPen(QColor(30, 60, 140), 2));
            painter.drawLine(QPointF(16, y - 3), QPointF(44, y - 3));
        }
    }
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.drawLine(QPointF(71, 43), QPointF(100, 43));
    return picture;
}

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
    image->setPixmap(bookPicture());
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
    return QString::number(PLANORA_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(PLANORA_VERSION_MINOR) + QLatin1Char('.')
        + QString::number(PLANORA_VERSION_PATCH);
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
