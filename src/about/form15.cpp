#include "form15.h"

#include "birthdaytexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor NoticeGrey(224, 224, 224);

// A birthday cake with three candles; the notice shows it four times.
QPixmap cakePicture()
{
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 60, 20), 1.5));
    painter.setBrush(QColor(250, 200, 120));
    painter.drawRoundedRect(QRectF(6, 26, 36, 16), 3, 3);
    painter.setBrush(QColor(240, 110, 150));
    painter.drawRect(QRectF(6, 30, 36, 4));
    for (int i = 0; i < 3; ++i) {
        const qreal x = 13 + i * 11;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(70, 130, 220));
        painter.drawRect(QRectF(x - 1.5, 14, 3, 12));
        QPainterPath flame;
        flame.moveTo(x, 5);
        flame.quadTo(x + 4, 11, x, 13);
        flame.quadTo(x - 4, 11, x, 5);
        painter.setBrush(QColor(255, 170, 0));
        painter.drawPath(flame);
    }
    return picture;
}

QLabel *makeImage(const QPixmap &picture, int number, QWidget *parent)
{
    auto *image = new QLabel(parent);
    image->setObjectName(QStringLiteral("Image%1").arg(number));
    image->setPixmap(picture);
    return image;
}

} // namespace

Form15::Form15(QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form15"));
    setWindowTitle(QStringLiteral("Form15"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, NoticeGrey);
    setPalette(grey);
    setAutoFillBackground(true);

    const QString captions[5] = {BirthdayTexts::firstLine(), BirthdayTexts::day(),
                                 BirthdayTexts::leadIn(), BirthdayTexts::contactLine(),
                                 BirthdayTexts::personName()};
    for (int i = 0; i < 5; ++i) {
        m_labels[i] = new QLabel(captions[i], this);
        m_labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        m_labels[i]->setAutoFillBackground(true); // the labels are grey too
    }
    QFont bold = m_labels[4]->font();
    bold.setBold(true);
    m_labels[4]->setFont(bold);
    m_labels[1]->setFont(bold);

    m_ok = new QPushButton(BirthdayTexts::okCaption(), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    connect(m_ok, &QPushButton::clicked, this, &Form15::Command1_Click);

    const QPixmap picture = cakePicture();
    auto *layout = new QGridLayout(this);
    layout->addWidget(makeImage(picture, 1, this), 0, 0);
    layout->addWidget(makeImage(picture, 2, this), 0, 2);
    auto *firstLine = new QHBoxLayout;
    firstLine->addWidget(m_labels[0]);
    firstLine->addWidget(m_labels[4]);
    firstLine->addStretch();
    auto *text = new QVBoxLayout;
    text->addLayout(firstLine);
    text->addWidget(m_labels[1], 0, Qt::AlignHCenter);
    text->addWidget(m_labels[2]);
    text->addWidget(m_labels[3], 0, Qt::AlignHCenter);
    layout->addLayout(text, 1, 0, 1, 3);
    layout->addWidget(makeImage(picture, 3, this), 2, 0);
    layout->addWidget(m_ok, 2, 1, Qt::AlignCenter);
    layout->addWidget(makeImage(picture, 4, this), 2, 2);
}

QLabel *Form15::label(int number) const
{
    return (number >= 1 && number <= 5) ? m_labels[number - 1] : nullptr;
}

void Form15::Command1_Click()
{
    close();
    if (m_mainWindow)
        m_mainWindow->show();
}
