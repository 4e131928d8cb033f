#include "form21.h"

#include "backupjob.h"
#include "backupmessages.h"
#include "configfiles.h"
#include "daycursor.h"
#include "programfolder.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {

const QString BrowserTitle = QStringLiteral("Choix du répertoire pour la sauvegarde :");
const QString FileFilter = QStringLiteral("Fichier AGENDAS.MDB) (AGENDAS.MDB);;Tous Fichiers (*.*) (*)");

// The setting is written under these names and read under the program's
// usual ones; the settings store matches names without regard to case.
const QString WrittenApplication = QStringLiteral("Hirondel");
const QString WrittenKey = QStringLiteral("Sauve");

template<typename Widget, typename... Args>
Widget *named(const QString &name, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

// A disk with a green arrow going into it.
QPixmap backupPicture()
{
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 70), 1.5));
    painter.setBrush(QColor(70, 90, 150));
    painter.drawRoundedRect(QRectF(6, 16, 36, 28), 3, 3);
    painter.setBrush(QColor(230, 230, 240));
    painter.drawRect(QRectF(13, 16, 22, 11));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 160, 60));
    painter.drawPolygon(QPolygonF{QPointF(20, 2), QPointF(28, 2), QPointF(28, 10), QPointF(33, 10), QPointF(24, 20),
                                  QPointF(15, 10), QPointF(20, 10)});
    return picture;
}

// The hourglass over the whole program for as long as it lives.
[[nodiscard]] auto busyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return qScopeGuard([] { QApplication::restoreOverrideCursor(); });
}

} // namespace

Form21::Form21(const Environment &environment, DayCursor &cursor, QWidget *parent)
    : QDialog(parent)
    , m_environment(environment)
    , m_settings(environment.settingsFolder)
    , m_cursor(cursor)
{
    setObjectName(QStringLiteral("Form21"));
    setWindowTitle(QStringLiteral("Sauvegardes"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void Form21::buildControls()
{
    auto *frame1 = named<QGroupBox>(QStringLiteral("Frame1"), QStringLiteral("Répertoire de Sauvegarde"), this);
    m_label1 = named<QLabel>(QStringLiteral("Label1"), QStringLiteral("C:\\"), frame1);
    m_label1->setWordWrap(true);
    auto *command2 = named<QPushButton>(QStringLiteral("Command2"), QStringLiteral("Définir le répertoire de Sauvegarde"), frame1);
    auto *frame1Layout = new QVBoxLayout(frame1);
    frame1Layout->addWidget(m_label1);
    frame1Layout->addWidget(command2);

    auto *frame3 = named<QGroupBox>(QStringLiteral("Frame3"), QStringLiteral("Sauvegarde"), this);
    m_cmdSauve = named<QPushButton>(QStringLiteral("CmdSauve"), QStringLiteral("Sauvegarder"), frame3);
    (new QVBoxLayout(frame3))->addWidget(m_cmdSauve);

    auto *frame2 = named<QGroupBox>(QStringLiteral("Frame2"), QStringLiteral("Restauration"), this);
    auto *frame4 = named<QGroupBox>(QStringLiteral("Frame4"), QStringLiteral("Path de la base AGENDAS.MDB sauvegardée"), frame2);
    m_label3 = named<QLabel>(QStringLiteral("Label3"), QString(), frame4);
    m_label3->setWordWrap(true);
    // Receives the path during a restore; the path is already shown by Label3.
    m_text1 = named<QLineEdit>(QStringLiteral("Text1"), QStringLiteral("Text1"), frame4);
    m_text1->hide();
    auto *frame4Layout = new QVBoxLayout(frame4);
    frame4Layout->addWidget(m_label3);
    frame4Layout->addWidget(m_text1);
    auto *command3 = named<QPushButton>(QStringLiteral("Command3"), QStringLiteral("Rchercher une base AGENDAS.MDB sauvegardée"), frame2);
    m_cmdRestaure = named<QPushButton>(QStringLiteral("CmdRestaure"), QStringLiteral("Restaurer AGENDAS.MDB"), frame2);
    auto *frame2Layout = new QVBoxLayout(frame2);
    frame2Layout->addWidget(frame4);
    frame2Layout->addWidget(command3);
    frame2Layout->addWidget(m_cmdRestaure);

    auto *image1 = named<QLabel>(QStringLiteral("Image1"), this);
    image1->setPixmap(backupPicture());
    auto *command1 = named<QPushButton>(QStringLiteral("Command1"), QStringLiteral("&Quitter"), this);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(image1);
    bottom->addStretch();
    bottom->addWidget(command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame3);
    layout->addWidget(frame2);
    layout->addLayout(bottom);
    setMinimumWidth(460);

    connect(command1, &QPushButton::clicked, this, &Form21::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form21::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Form21::Command3_Click);
    connect(m_cmdSauve, &QPushButton::clicked, this, &Form21::CmdSauve_Click);
    connect(m_cmdRestaure, &QPushButton::clicked, this, &Form21::CmdRestaure_Click);
}

void Form21::Form_Load()
{
    const QString &folder = m_environment.programFolder;
    m_databasePath = m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                      PlanoraSettings::databasePathKey(), folder);
    m_usersFolder = m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                     PlanoraSettings::userConfigFolderKey(), folder);
    m_openedBackupFolder = m_settings.value(PlanoraSettings::application(), PlanoraSettings::section(),
                                            PlanoraSettings::backupFolderKey(), folder);
    m_label1->setText(m_openedBackupFolder);
    m_label3->setText(joinPath(m_openedBackupFolder, BackupJob::DatabaseFileName));
    setBackupCaption();
    setRestoreCaption();
}

void Form21::setBackupCaption()
{
    m_cmdSauve->setText(QStringList{QStringLiteral("Lancer la Sauvegarde de "), m_databasePath,
                                    QStringLiteral("vers"), m_label1->text()}
                            .join(QLatin1Char('\n')));
}

void Form21::setRestoreCaption()
{
    m_cmdRestaure->setText(QStringList{QStringLiteral("Restaurer"), m_label3->text(), QStringLiteral("vers"),
                                       m_databasePath}
                               .join(QLatin1Char('\n')));
}

void Form21::Command1_Click()
{
    close();
}

// Decided: a cancelled browser keeps the folder shown; nothing is saved.
void Form21::Command2_Click()
{
    const QString chosen = m_environment.prompts->chooseFolder(BrowserTitle, m_label1->text());
    if (chosen.isEmpty())
        return;
    m_label1->setText(chosen);
    setBackupCaption();
    if (!m_settings.setValue(WrittenApplication, PlanoraSettings::section(), WrittenKey, chosen)) {
        m_environment.prompts->information(
            QStringLiteral("Le répertoire de sauvegarde n'a pas pu être enregistré dans les paramètres (%1) : "
                           "il servira jusqu'à la fermeture de cette fenêtre.")
                .arg(m_settings.filePath(PlanoraSettings::application())));
    }
}

void Form21::Command3_Click()
{
    const QString chosen = m_environment.prompts->openFile(QStringLiteral("Rechercher une base AGENDAS.MDB sauvegardée"),
                                                           m_openedBackupFolder, FileFilter);
    if (chosen.isEmpty())
        return;
    m_label3->setText(chosen);
    setRestoreCaption();
}

void Form21::CmdSauve_Click()
{
    const QString backupFolder = m_label1->text();
    Q_EMIT aboutToCopy();
    m_cursor.close();
    BackupJob::BackupResult result;
    {
        const auto hourglass = busyPointer();
        result = BackupJob::backup(m_databasePath, m_usersFolder, backupFolder);
    }
    m_environment.prompts->information(result.ok() ? BackupMessages::backupDone() : BackupMessages::backupFailed(result, m_usersFolder));
    close();
}

// Decided: a restore refused or failed for any reason keeps the window open
// and the live database as it was; the message says why.
void Form21::CmdRestaure_Click()
{
    const QString backupFile = m_label3->text();
    m_text1->setText(backupFile);
    Q_EMIT aboutToCopy();
    m_cursor.close();
    BackupJob::RestoreResult result;
    {
        const auto hourglass = busyPointer();
        result = BackupJob::restore(backupFile, m_databasePath, m_usersFolder, QDateTime::currentDateTime());
    }
    if (!result.database.ok()) {
        m_environment.prompts->information(BackupMessages::restoreFailed(result, backupFile, m_databasePath));
        return;
    }
    m_environment.prompts->information(
        BackupMessages::restoreDone(result, BackupJob::usersFolderOfBackup(backupFile)));
    Q_EMIT restored();
    close();
}
