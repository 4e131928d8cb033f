#include "frmabout.h"

#include "programidentity.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel *addLabel(QGridLayout *layout, const QString &name, const QString &caption, int row, int column)
{
    auto *label = new QLabel(caption, layout->parentWidget());
    label->setObjectName(name);
    layout->addWidget(label, row, column);
    return label;
}

void addLine(QGridLayout *layout, const QString &name, int row)
{
    auto *line = new QFrame(layout->parentWidget());
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line, row, 0, 1, 3);
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("PLANORA"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QGridLayout(this);
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(ProgramIdentity::picture());
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    QLabel *title = addLabel(layout, QStringLiteral("lblTitle"), QStringLiteral("PLANORA"), 0, 1);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    title->setFont(big);
    addLabel(layout, QStringLiteral("lblVersion"), QStringLiteral("Version"), 1, 1);
    addLabel(layout, QStringLiteral("lblDescription"), QStringLiteral("AGENDA pour prise de rendez vous"), 2, 1);
    addLine(layout, QStringLiteral("Line1"), 3);
    addLabel(layout, QStringLiteral("Label1"), QStringLiteral("Auteur"), 4, 0);
    addLabel(layout, QStringLiteral("lblDisclaimer"), authorName(), 4, 1);
    addLabel(layout, QStringLiteral("Contact"), QStringLiteral("Contact"), 5, 0);
    addLabel(layout, QStringLiteral("Label2"), contactAddress(), 5, 1)
        ->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addLine(layout, QStringLiteral("Line2"), 6);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    layout->addWidget(ok, 7, 2);
    connect(ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load();
}

QString frmAbout::authorName()
{
    return QStringLiteral("L'équipe PLANORA");
}

QString frmAbout::contactAddress()
{
    return QStringLiteral("contact@planora.example");
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("À propos de ") + ProgramIdentity::title());
    findChild<QLabel *>(QStringLiteral("lblVersion"))->setText(QStringLiteral("Version ") + ProgramIdentity::versionNumber());
    findChild<QLabel *>(QStringLiteral("lblTitle"))->setText(ProgramIdentity::title());
}

// Centred once its size is known, on the screen it opens on.
void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void frmAbout::cmdOK_Click()
{
    close();
}
