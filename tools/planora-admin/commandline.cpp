#include "commandline.h"

#include <QDate>
#include <QRegularExpression>

#include <span>

using namespace Qt::StringLiterals;

namespace {

struct OptionSyntax
{
    QLatin1StringView name;
    bool required;
    bool isSwitch = false; // "--name" alone, without a value
};

struct CommandSyntax
{
    QLatin1StringView word;
    CommandLine::Command command;
    std::span<const QLatin1StringView> positionals; // names shown in messages
    std::span<const OptionSyntax> options;
};

constexpr QLatin1StringView initPositionals[] = {"DOSSIER"_L1};
constexpr OptionSyntax initOptions[] = {{"sample-names"_L1, false}, {"demo"_L1, false, true}};

constexpr OptionSyntax settingsOptions[] = {{"database"_L1, true},
                                            {"users"_L1, true},
                                            {"names"_L1, true},
                                            {"program-folder"_L1, false},
                                            {"table"_L1, false}};

constexpr QLatin1StringView checkPositionals[] = {"FICHIER"_L1};

constexpr QLatin1StringView convertPositionals[] = {"ANCIEN.MDB"_L1, "DESTINATION"_L1};

constexpr QLatin1StringView exportPositionals[] = {"FICHIER"_L1};
constexpr OptionSyntax exportOptions[] = {{"user"_L1, true},   {"from"_L1, true},   {"to"_L1, true},
                                          {"format"_L1, true}, {"users"_L1, false}, {"output"_L1, false}};

constexpr QLatin1StringView backupPositionals[] = {"FICHIER"_L1, "DOSSIER"_L1};
constexpr OptionSyntax backupOptions[] = {{"keep"_L1, false}, {"users"_L1, false}};
constexpr OptionSyntax historyOptions[] = {
    {"user"_L1, false}, {"date"_L1, false}, {"restore"_L1, false}, {"prune-before"_L1, false}};

constexpr CommandSyntax commands[] = {
    {"init"_L1, CommandLine::Command::Init, initPositionals, initOptions},
    {"settings"_L1, CommandLine::Command::Settings, {}, settingsOptions},
    {"check"_L1, CommandLine::Command::Check, checkPositionals, {}},
    {"convert"_L1, CommandLine::Command::Convert, convertPositionals, {}},
    {"export"_L1, CommandLine::Command::Export, exportPositionals, exportOptions},
    {"backup"_L1, CommandLine::Command::Backup, backupPositionals, backupOptions},
    {"upgrade"_L1, CommandLine::Command::Upgrade, checkPositionals, {}},
    {"history"_L1, CommandLine::Command::History, checkPositionals, historyOptions},
};

bool isHelpWord(const QString &word)
{
    return word == "--help"_L1 || word == "-h"_L1 || word == "help"_L1;
}

const OptionSyntax *findOption(const CommandSyntax &syntax, QStringView name)
{
    for (const OptionSyntax &option : syntax.options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

CommandLineParse failure(QString message)
{
    CommandLineParse parse;
    parse.error = std::move(message);
    return parse;
}

// history does one of three things, each with its own options.
QString historyError(const CommandLine &line)
{
    const int chosen = int(line.has(u"date"_s) || line.has(u"user"_s)) + int(line.has(u"restore"_s))
                       + int(line.has(u"prune-before"_s));
    if (chosen != 1)
        return u"history attend soit --user N --date AAAA-MM-JJ, soit --restore K, soit --prune-before AAAA-MM-JJ."_s;
    if (line.has(u"date"_s) != line.has(u"user"_s))
        return u"history attend --user et --date ensemble."_s;
    const int user = line.option(u"user"_s).toInt();
    if (line.has(u"user"_s) && (user < 1 || user > 6 || QString::number(user) != line.option(u"user"_s)))
        return u"--user attend un numéro d'utilisateur de 1 à 6, pas « %1 »."_s.arg(line.option(u"user"_s));
    for (const QString &name : {u"date"_s, u"prune-before"_s}) {
        if (line.has(name) && !QDate::fromString(line.option(name), Qt::ISODate).isValid())
            return u"--%1 attend une date AAAA-MM-JJ, pas « %2 »."_s.arg(name, line.option(name));
    }
    bool isNumber = false;
    if (line.has(u"restore"_s) && (line.option(u"restore"_s).toLongLong(&isNumber) <= 0 || !isNumber))
        return u"--restore attend un numéro de version, pas « %1 »."_s.arg(line.option(u"restore"_s));
    return {};
}

// The checks that go beyond the shape of the command line.
QString valueError(const CommandLine &line)
{
    if (line.command == CommandLine::Command::History) {
        if (QString error = historyError(line); !error.isEmpty())
            return error;
    }
    if (line.has(u"sample-names"_s)) {
        bool isNumber = false;
        const qlonglong count = line.option(u"sample-names"_s).toLongLong(&isNumber);
        if (!isNumber || count < 0)
            return u"--sample-names attend un nombre entier positif ou nul, pas « %1 »."_s.arg(
                line.option(u"sample-names"_s));
    }
    if (line.has(u"table"_s) && !isPlainIdentifier(line.option(u"table"_s)))
        return u"--table attend un nom de table simple (lettres sans accent, chiffres, _), pas « %1 »."_s
            .arg(line.option(u"table"_s));
    if (line.has(u"keep"_s)) {
        bool isNumber = false;
        const int keep = line.option(u"keep"_s).toInt(&isNumber);
        if (!isNumber || keep < 1)
            return u"--keep attend un nombre de sauvegardes à garder, 1 ou plus, pas « %1 »."_s.arg(
                line.option(u"keep"_s));
    }
    if (line.has(u"user"_s)) {
        const int user = line.option(u"user"_s).toInt();
        if (user < 1 || user > 6)
            return u"--user attend un numéro d'utilisateur de 1 à 6, pas « %1 »."_s.arg(line.option(u"user"_s));
    }
    for (const QString &name : {u"from"_s, u"to"_s}) {
        if (line.has(name) && !parseDate(line.option(name)).isValid())
            return u"--%1 attend une date (2026-12-31 ou 31/12/2026), pas « %2 »."_s.arg(name, line.option(name));
    }
    if (line.has(u"from"_s) && line.has(u"to"_s)
        && parseDate(line.option(u"from"_s)) > parseDate(line.option(u"to"_s)))
        return u"La date de --from est après celle de --to."_s;
    if (line.has(u"format"_s) && line.option(u"format"_s) != "ics"_L1 && line.option(u"format"_s) != "csv"_L1)
        return u"--format attend ics ou csv, pas « %1 »."_s.arg(line.option(u"format"_s));
    for (const QString &argument : line.arguments) {
        if (argument.isEmpty())
            return u"Un argument est vide."_s;
    }
    for (auto it = line.options.cbegin(); it != line.options.cend(); ++it) {
        if (it.value().isEmpty())
            return u"L'option --%1 a une valeur vide."_s.arg(it.key());
    }
    return {};
}

} // namespace

CommandLineParse parseCommandLine(const QStringList &words)
{
    if (words.isEmpty())
        return failure(u"Aucune commande donnée."_s);
    for (const QString &word : words) {
        if (isHelpWord(word))
            return {};
    }

    const CommandSyntax *syntax = nullptr;
    for (const CommandSyntax &candidate : commands) {
        if (candidate.word == words.first())
            syntax = &candidate;
    }
    if (!syntax)
        return failure(u"Commande inconnue : « %1 »."_s.arg(words.first()));

    CommandLineParse parse;
    CommandLine &line = parse.commandLine;
    line.command = syntax->command;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words.at(i);
        if (!word.startsWith("--"_L1)) {
            if (line.arguments.size() == qsizetype(syntax->positionals.size()))
                return failure(u"Argument en trop pour %1 : « %2 »."_s.arg(syntax->word, word));
            line.arguments.append(word);
            continue;
        }
        const qsizetype equals = word.indexOf(u'=');
        const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
        if (!findOption(*syntax, name))
            return failure(u"Option inconnue pour %1 : « %2 »."_s.arg(syntax->word, word));
        if (line.has(name) || line.isOn(name))
            return failure(u"L'option --%1 est donnée deux fois."_s.arg(name));
        if (findOption(*syntax, name)->isSwitch) {
            if (equals >= 0)
                return failure(u"L'option --%1 ne prend pas de valeur."_s.arg(name));
            line.switches.append(name);
        } else if (equals >= 0) {
            line.options.insert(name, word.mid(equals + 1));
        } else {
            if (i + 1 == words.size())
                return failure(u"L'option --%1 attend une valeur."_s.arg(name));
            line.options.insert(name, words.at(++i));
        }
    }

    if (line.arguments.size() < qsizetype(syntax->positionals.size()))
        return failure(u"%1 attend %2."_s.arg(syntax->word,
                                              syntax->positionals[line.arguments.size()]));
    for (const OptionSyntax &option : syntax->options) {
        if (option.required && !line.has(option.name))
            return failure(u"%1 attend l'option --%2."_s.arg(syntax->word, option.name));
    }
    parse.error = valueError(line);
    return parse;
}

QDate parseDate(const QString &text)
{
    const QDate iso = QDate::fromString(text, u"yyyy-MM-dd"_s);
    return iso.isValid() ? iso : QDate::fromString(text, u"dd/MM/yyyy"_s);
}

bool isPlainIdentifier(const QString &name)
{
    static const QRegularExpression identifier(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    return identifier.match(name).hasMatch();
}

QString usageText()
{
    return u"Utilisation : planora-admin COMMANDE [ARGUMENTS]\n"
           "\n"
           "Prépare et vérifie les fichiers partagés d'un cabinet PLANORA.\n"
           "\n"
           "Commandes :\n"
           "  init DOSSIER [--sample-names N] [--demo]\n"
           "      Crée DOSSIER s'il le faut, puis une base AGENDAS.MDB vide (six agendas),\n"
           "      Utilisat.agc (utilisateur 1 nommé, grille de 15 minutes) et la base des noms\n"
           "      NOMS.db (table PATIENTS). --sample-names N la remplit de N noms inventés.\n"
           "      --demo fait un cabinet de démonstration : trois praticiens (grilles de 15,\n"
           "      20 et 30 minutes) et six semaines de rendez-vous autour d'aujourd'hui, avec\n"
           "      2000 noms inventés sauf si --sample-names en donne un autre nombre.\n"
           "      Refuse si DOSSIER contient déjà AGENDAS.MDB.\n"
           "  settings --database FICHIER --users DOSSIER --names FICHIER\n"
           "           [--program-folder DOSSIER] [--table NOM]\n"
           "      Écrit les réglages de ce poste (CHEMIN, CheminUt, CheminNoms) et Alpha.agc\n"
           "      dans le dossier du programme (par défaut celui de planora-admin). Un Alpha.agc\n"
           "      existant est gardé tel quel, sauf si --table est donné.\n"
           "  check FICHIER\n"
           "      Vérifie une base AGENDAS.MDB : intégrité, six tables, treize colonnes, version\n"
           "      du schéma et déclencheurs de l'historique des jours.\n"
           "  convert ANCIEN.MDB DESTINATION\n"
           "      Importe une ancienne base Access (demande le paquet mdbtools) dans une\n"
           "      nouvelle base ; DESTINATION est un dossier ou un fichier qui n'existe pas encore.\n"
           "  export FICHIER --user N --from DATE --to DATE --format ics|csv\n"
           "         [--users DOSSIER] [--output FICHIER]\n"
           "      Exporte les rendez-vous de l'utilisateur N (1 à 6) du jour --from au jour\n"
           "      --to compris (2026-12-31 ou 31/12/2026) : un événement par créneau rempli,\n"
           "      à l'heure de la grille de l'utilisateur, et un par demi-journée d'absence ou\n"
           "      d'échographies ; ics pour un agenda (téléphone), csv pour un tableur.\n"
           "      Utilisat.agc est lu dans --users (par défaut le dossier de FICHIER) ; le\n"
           "      résultat va dans --output (remplacé d'un coup) ou sur la sortie standard.\n"
           "  backup FICHIER DOSSIER [--keep N] [--users DOSSIER]\n"
           "      Copie la base FICHIER (même pendant que les postes travaillent), vérifiée,\n"
           "      et Utilisat.agc (lu dans --users, par défaut le dossier de FICHIER) dans un\n"
           "      nouveau sous-dossier daté de DOSSIER (AAAAMMJJ-HHMMSS), qui doit exister.\n"
           "      --keep N garde les N sauvegardes les plus récentes et supprime les autres.\n"
           "  upgrade FICHIER\n"
           "      Met une base AGENDAS.MDB à la version de cet outil, en une seule transaction ;\n"
           "      sans effet sur une base déjà à jour.\n"
           "  history FICHIER --user N --date AAAA-MM-JJ\n"
           "      Liste les versions remplacées d'un jour, la plus récente d'abord, avec les\n"
           "      créneaux qui diffèrent de la version suivante.\n"
           "  history FICHIER --restore K\n"
           "      Réécrit la version K comme un nouvel enregistrement (gardé lui aussi).\n"
           "  history FICHIER --prune-before AAAA-MM-JJ\n"
           "      Supprime les versions remplacées avant ce jour.\n"
           "\n"
           "Codes de sortie : 0 réussite, 1 échec, 2 ligne de commande incorrecte.\n"_s;
}
