// Form2's controls and their layout; the handlers are in form2handlers.cpp.
#include "form2.h"

#include "controlname.h"

#include "colourswatch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

// The row headers' names: the form's labels were numbered as they were added.
constexpr std::array<const char *, UserCount> RowHeaderNames{"Label1", "Label2", "Label3",
                                                             "Label4", "Label9", "Label10"};

constexpr int SwatchWidth = 40;
constexpr int ColourButtonWidth = 26;
constexpr int TextWidth = 160;
constexpr int BottomAnnotationWidth = 190; // fits "Programme Bloc Opératoire"

// The items of the interval lists; the position chosen is what Utilisat.agc
// stores (0 for 10 minutes .. 4 for 60).
QStringList intervalItems()
{
    return {QStringLiteral("Toutes les 10'"), QStringLiteral("Toutes les 15'"), QStringLiteral("Toutes les 20'"),
            QStringLiteral("Toutes les 30'"), QStringLiteral("Toutes les 60'")};
}

using ControlName::named;

QLabel *label(const QString &name, const QString &caption, QWidget *parent)
{
    return named(new QLabel(caption, parent), name);
}

} // namespace

Form2::Form2(const Environment &environment, const UserButtons &mainWindowButtons, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_environment(environment)
    , m_settings(environment.settingsFolder)
    , m_mainWindowButtons(mainWindowButtons)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Utilisateurs"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *column = new QVBoxLayout(this);
    buildRows(column);
    buildLookupArea(column);
    m_lookupFrame->setVisible(m_lookupCheck->isChecked());
}

void Form2::buildRows(QVBoxLayout *column)
{
    // Decided: a double quote cannot be typed in any text of the window. The
    // file format has no way to carry one: it would cut the text or shift
    // every value after it at the next reading.
    auto *noQuote = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"]*")), this);
    auto textBox = [this, noQuote](const QString &name) {
        auto *box = named(new QLineEdit(this), name);
        box->setValidator(noQuote);
        box->setMinimumWidth(TextWidth);
        return box;
    };

    auto *grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("Label8"), QStringLiteral("Nom de l'utilisateur"), this), 0, 1);
    grid->addWidget(label(QStringLiteral("Label7"), QStringLiteral("Couleur de fond"), this), 0, 2, 1, 2);
    grid->addWidget(label(QStringLiteral("Label60"), QStringLiteral("Rendez vous"), this), 0, 4);
    grid->addWidget(label(QStringLiteral("Label5"), QStringLiteral("Annotation haut"), this), 0, 5);
    grid->addWidget(label(QStringLiteral("Label6"), QStringLiteral("Annotation bas"), this), 0, 6);

    for (int index = 0; index < UserCount; ++index) {
        const int user = index + 1;
        const int row = user;
        grid->addWidget(label(QLatin1String(RowHeaderNames[index]),
                              QStringLiteral("Utilisateur N°%1").arg(user), this),
                        row, 0);

        m_names[index] = textBox(QStringLiteral("Text%1").arg(user));
        grid->addWidget(m_names[index], row, 1);

        m_swatches[index] = named(new ColourSwatch(SystemWindowColour, this),
                                  QStringLiteral("LblColor%1").arg(user));
        m_swatches[index]->setFixedWidth(SwatchWidth);
        grid->addWidget(m_swatches[index], row, 2);

        auto *choose = named(new QPushButton(QStringLiteral("..."), this), QStringLiteral("Command%1").arg(user));
        choose->setFixedWidth(ColourButtonWidth);
        connect(choose, &QPushButton::clicked, this, [this, user] { Command_Click(user); });
        grid->addWidget(choose, row, 3);

        // Decided: the lists offer their five items only; typed text would
        // leave no position to store, and the main window lays out no grid
        // for it. Until the file says otherwise a list shows its design text,
        // "Toutes les 15'", as its chosen item, so that what is shown is what
        // is saved.
        m_intervals[index] = named(new QComboBox(this), QStringLiteral("Combo%1").arg(user));
        m_intervals[index]->addItems(intervalItems());
        m_intervals[index]->setCurrentIndex(1);
        grid->addWidget(m_intervals[index], row, 4);

        m_topAnnotations[index] = textBox(QStringLiteral("TxtAnnot%1").arg(user));
        grid->addWidget(m_topAnnotations[index], row, 5);

        m_bottomAnnotations[index] = textBox(QStringLiteral("Text7_%1").arg(index));
        m_bottomAnnotations[index]->setMinimumWidth(BottomAnnotationWidth);
        grid->addWidget(m_bottomAnnotations[index], row, 6);
    }
    column->addLayout(grid);
}

void Form2::buildLookupArea(QVBoxLayout *column)
{
    QLabel *notice = label(QStringLiteral("Label50"),
                           QStringLiteral("Redémarrer le programme PLANORA après modification d'un ou "
                                          "plusieurs utilisateurs"),
                           this);
    QPalette red = notice->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    notice->setPalette(red);
    column->addSpacing(8);
    column->addWidget(notice);

    m_lookupCheck = named(new QCheckBox(QStringLiteral("Utiliser la recherche alphabetique des noms sur "
                                                       "une base ACCESS"),
                                        this),
                          QStringLiteral("Check1"));
    connect(m_lookupCheck, &QCheckBox::clicked, this, &Form2::Check1_Click);
    column->addWidget(m_lookupCheck);

    m_lookupFrame = named(new QGroupBox(QStringLiteral("Base de données ACCESS désignée par le Superviseur"), this),
                          QStringLiteral("Frame1"));
    // The buttons keep their place while the frame is hidden.
    QSizePolicy keepPlace = m_lookupFrame->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_lookupFrame->setSizePolicy(keepPlace);
    auto *frameLayout = new QVBoxLayout(m_lookupFrame);
    m_namesDatabase = label(QStringLiteral("Label11"), QString(), m_lookupFrame);
    m_namesDatabase->setTextInteractionFlags(Qt::TextSelectableByMouse);
    frameLayout->addWidget(m_namesDatabase);
    auto *tableRow = new QHBoxLayout;
    tableRow->addWidget(label(QStringLiteral("Label12"),
                              QStringLiteral("Nom de la TABLE à utiliser dans la base de données ACCESS"),
                              m_lookupFrame));
    m_tableName = named(new QLineEdit(QStringLiteral("MATABLE"), m_lookupFrame), QStringLiteral("TxtTable"));
    m_tableName->setValidator(m_names[0]->validator());
    tableRow->addWidget(m_tableName);
    frameLayout->addLayout(tableRow);

    auto *save = named(new QPushButton(QStringLiteral("&Enregistrer Quitter"), this), QStringLiteral("CmDEnreg"));
    connect(save, &QPushButton::clicked, this, &Form2::CmDEnreg_Click);
    auto *quit = named(new QPushButton(QStringLiteral("Annuler / &Quitter"), this), QStringLiteral("Quitte"));
    connect(quit, &QPushButton::clicked, this, &Form2::Quitte_Click);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(quit);
    buttons->addStretch();

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_lookupFrame, 1);
    bottom->addSpacing(24);
    bottom->addLayout(buttons);
    column->addLayout(bottom);
}
