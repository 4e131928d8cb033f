#include "helpwindow.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPushButton *addButton(QHBoxLayout *row, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, row->parentWidget());
    button->setObjectName(name);
    row->addWidget(button);
    return button;
}

} // namespace

HelpWindow::HelpWindow(const QString &contentsPage, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Aide de PLANORA"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setOpenExternalLinks(true); // a web or mail link leaves the guide for the system's program

    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    QPushButton *home = addButton(buttons, QStringLiteral("Sommaire"), QStringLiteral("&Sommaire"));
    QPushButton *back = addButton(buttons, QStringLiteral("Precedent"), QStringLiteral("&Précédent"));
    QPushButton *forward = addButton(buttons, QStringLiteral("Suivant"), QStringLiteral("S&uivant"));
    buttons->addStretch();
    layout->addWidget(m_browser);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(QStringLiteral("Aide de PLANORA - ") + m_browser->documentTitle()); });

    m_browser->setSource(QUrl::fromLocalFile(contentsPage));
    resize(820, 760);
}

QString HelpWindow::contentsPage(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("aide/index.html"));
}
