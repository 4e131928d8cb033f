#include "namegenerator.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QStringList &familyNames()
{
    static const QStringList names = {
        u"MARTIN"_s, u"BERNARD"_s, u"THOMAS"_s, u"PETIT"_s, u"ROBERT"_s, u"RICHARD"_s,
        u"DURAND"_s, u"DUBOIS"_s, u"MOREAU"_s, u"LAURENT"_s, u"SIMON"_s, u"MICHEL"_s,
        u"LEFÈVRE"_s, u"LEROY"_s, u"ROUX"_s, u"DAVID"_s, u"BERTRAND"_s, u"MOREL"_s,
        u"FOURNIER"_s, u"GIRARD"_s, u"BONNET"_s, u"DUPONT"_s, u"LAMBERT"_s, u"FONTAINE"_s,
        u"ROUSSEAU"_s, u"VINCENT"_s, u"MULLER"_s, u"LEFEBVRE"_s, u"FAURE"_s, u"ANDRÉ"_s,
        u"MERCIER"_s, u"BLANC"_s, u"GUÉRIN"_s, u"BOYER"_s, u"GARNIER"_s, u"CHEVALIER"_s,
        u"FRANÇOIS"_s, u"LEGRAND"_s, u"GAUTHIER"_s, u"GARCIA"_s, u"PERRIN"_s, u"ROBIN"_s,
        u"CLÉMENT"_s, u"MORIN"_s, u"NICOLAS"_s, u"HENRY"_s, u"ROUSSEL"_s, u"MATHIEU"_s,
        u"GAUTIER"_s, u"MASSON"_s, u"MARCHAND"_s, u"DUVAL"_s, u"DENIS"_s, u"DUMONT"_s,
        u"MARIE"_s, u"LEMAIRE"_s, u"NOËL"_s, u"MEYER"_s, u"DUFOUR"_s, u"MEUNIER"_s,
        u"BRUN"_s, u"BLANCHARD"_s, u"GIRAUD"_s, u"JOLY"_s, u"RIVIÈRE"_s, u"LUCAS"_s,
        u"BRUNET"_s, u"GAILLARD"_s, u"BARBIER"_s, u"ARNAUD"_s, u"MARTINEZ"_s, u"GÉRARD"_s,
        u"ROCHE"_s, u"RENARD"_s, u"SCHMITT"_s, u"ROY"_s, u"LEROUX"_s, u"COLIN"_s,
        u"VIDAL"_s, u"CARON"_s, u"PICARD"_s, u"ROGER"_s, u"FABRE"_s, u"AUBERT"_s,
        u"LEMOINE"_s, u"RENAUD"_s, u"DUMAS"_s, u"LACROIX"_s, u"OLIVIER"_s, u"PHILIPPE"_s,
        u"BOURGEOIS"_s, u"PIERRE"_s, u"BENOÎT"_s, u"REY"_s, u"LECLERC"_s, u"PAYET"_s,
        u"ROLLAND"_s, u"LECLERCQ"_s, u"GUILLAUME"_s, u"LECOMTE"_s, u"LOPEZ"_s, u"JEAN"_s,
        u"DUPUY"_s, u"GUILLOT"_s, u"HUBERT"_s, u"BERGER"_s, u"CARPENTIER"_s, u"SANCHEZ"_s,
        u"DUPUIS"_s, u"MOULIN"_s, u"LOUIS"_s, u"DESCHAMPS"_s, u"HUET"_s, u"VASSEUR"_s,
        u"PEREZ"_s, u"BOUCHER"_s, u"FLEURY"_s, u"ROYER"_s, u"KLEIN"_s, u"JACQUET"_s,
        u"ADAM"_s, u"PARIS"_s, u"POIRIER"_s, u"MARTY"_s, u"AUBRY"_s, u"GUYOT"_s,
        u"CARRÉ"_s, u"CHARLES"_s, u"RENAULT"_s, u"CHARPENTIER"_s, u"MÉNARD"_s, u"MAILLARD"_s,
        u"BARON"_s, u"BERTIN"_s, u"BAILLY"_s, u"HERVÉ"_s, u"SCHNEIDER"_s, u"FERNANDEZ"_s,
        u"LE GALL"_s, u"COLLET"_s, u"LÉGER"_s, u"BOUVIER"_s, u"JULIEN"_s, u"PRÉVOST"_s,
        u"MILLET"_s, u"PERROT"_s, u"DANIEL"_s, u"LE ROUX"_s, u"COUSIN"_s, u"GERMAIN"_s,
        u"BRETON"_s, u"BESSON"_s, u"LANGLOIS"_s, u"RÉMY"_s, u"LE GOFF"_s, u"PELLETIER"_s,
        u"LÉVÊQUE"_s, u"PERRIER"_s, u"LEBLANC"_s, u"BARRÉ"_s, u"LEBRUN"_s, u"MARCHAL"_s,
        u"WEBER"_s, u"MALLET"_s, u"HAMON"_s, u"BOULANGER"_s, u"JACOB"_s, u"MONNIER"_s,
        u"MICHAUD"_s, u"RODRIGUEZ"_s, u"GUICHARD"_s, u"GILLET"_s, u"ÉTIENNE"_s, u"GRONDIN"_s,
        u"POULAIN"_s, u"TESSIER"_s, u"CHEVALLIER"_s, u"COLLIN"_s, u"CHAUVIN"_s, u"DA SILVA"_s,
        u"BOUCHET"_s, u"GAY"_s, u"LEMAÎTRE"_s, u"BÉNARD"_s, u"MARÉCHAL"_s, u"HUMBERT"_s,
        u"REYNAUD"_s, u"ANTOINE"_s, u"HOARAU"_s, u"PERRET"_s, u"BARTHÉLEMY"_s, u"CORDIER"_s,
        u"PICHON"_s, u"LEJEUNE"_s, u"GILBERT"_s, u"LAMY"_s, u"DELAUNAY"_s, u"PASQUIER"_s,
        u"CARLIER"_s, u"LAPORTE"_s, u"DÉSIRÉ"_s, u"DÉSIRAT"_s, u"D'ALMEIDA"_s, u"D'ANGELO"_s,
        u"D'ARTOIS"_s, u"D'AUBIGNÉ"_s, u"DE LA FONTAINE"_s, u"ÉVRARD"_s, u"ÉMERY"_s, u"CÔTÉ"_s,
        u"BRÛLÉ"_s, u"CHÂTELAIN"_s, u"LEFRANÇOIS"_s, u"DUCHÊNE"_s, u"FRÉMONT"_s, u"THÉVENIN"_s,
        u"GRÉGOIRE"_s, u"HÉBERT"_s, u"BÉRANGER"_s, u"BÉGUIN"_s, u"SÉGUIN"_s, u"VÉRON"_s,
        u"PÉPIN"_s, u"LÉONARD"_s, u"MÉRIGOT"_s, u"NÉDÉLEC"_s, u"ÉLOY"_s, u"ZÉLIE"_s,
    };
    return names;
}

const QStringList &masculineNames()
{
    static const QStringList names = {
        u"Jean"_s, u"Pierre"_s, u"Michel"_s, u"André"_s, u"Philippe"_s, u"René"_s,
        u"Louis"_s, u"Alain"_s, u"Jacques"_s, u"Bernard"_s, u"Marcel"_s, u"Daniel"_s,
        u"Roger"_s, u"Robert"_s, u"Paul"_s, u"Claude"_s, u"Christian"_s, u"Henri"_s,
        u"Georges"_s, u"Nicolas"_s, u"François"_s, u"Patrick"_s, u"Gérard"_s, u"Christophe"_s,
        u"Joseph"_s, u"Julien"_s, u"Maurice"_s, u"Laurent"_s, u"Frédéric"_s, u"Raymond"_s,
        u"Éric"_s, u"Stéphane"_s, u"David"_s, u"Pascal"_s, u"Sébastien"_s, u"Alexandre"_s,
        u"Thierry"_s, u"Olivier"_s, u"Thomas"_s, u"Antoine"_s, u"Roland"_s, u"Guy"_s,
        u"Dominique"_s, u"Gilles"_s, u"Lucien"_s, u"Hugo"_s, u"Léo"_s, u"Gabriel"_s,
        u"Raphaël"_s, u"Arthur"_s, u"Jules"_s, u"Adam"_s, u"Maël"_s, u"Noé"_s,
        u"Théo"_s, u"Étienne"_s, u"Jérôme"_s, u"Grégoire"_s, u"Benoît"_s, u"Joël"_s,
        u"Noël"_s, u"Hervé"_s, u"Aurélien"_s, u"Cédric"_s, u"Jérémy"_s, u"Clément"_s,
        u"Valentin"_s, u"Mathéo"_s, u"Timothée"_s, u"Anatole"_s, u"Édouard"_s, u"Félix"_s,
        u"Gaëtan"_s, u"Honoré"_s, u"Loïc"_s, u"Mickaël"_s, u"Régis"_s, u"Yannick"_s,
    };
    return names;
}

const QStringList &feminineNames()
{
    static const QStringList names = {
        u"Marie"_s, u"Jeanne"_s, u"Françoise"_s, u"Monique"_s, u"Catherine"_s, u"Nathalie"_s,
        u"Isabelle"_s, u"Jacqueline"_s, u"Anne"_s, u"Sylvie"_s, u"Martine"_s, u"Madeleine"_s,
        u"Nicole"_s, u"Suzanne"_s, u"Hélène"_s, u"Christine"_s, u"Marguerite"_s, u"Denise"_s,
        u"Louise"_s, u"Christiane"_s, u"Yvonne"_s, u"Valérie"_s, u"Sophie"_s, u"Sandrine"_s,
        u"Stéphanie"_s, u"Céline"_s, u"Véronique"_s, u"Chantal"_s, u"Renée"_s, u"Élisabeth"_s,
        u"Thérèse"_s, u"Geneviève"_s, u"Josiane"_s, u"Émilie"_s, u"Aurélie"_s, u"Camille"_s,
        u"Léa"_s, u"Manon"_s, u"Chloé"_s, u"Inès"_s, u"Zoé"_s, u"Océane"_s,
        u"Clémence"_s, u"Mélanie"_s, u"Gaëlle"_s, u"Noémie"_s, u"Maëlys"_s, u"Anaïs"_s,
        u"Agnès"_s, u"Bénédicte"_s, u"Danièle"_s, u"Irène"_s, u"Joséphine"_s, u"Léonie"_s,
        u"Lucie"_s, u"Mireille"_s, u"Odile"_s, u"Pénélope"_s, u"Raphaëlle"_s, u"Séverine"_s,
        u"Solène"_s, u"Adèle"_s, u"Béatrice"_s, u"Cécile"_s, u"Éloïse"_s, u"Gisèle"_s,
        u"Héloïse"_s, u"Laëtitia"_s, u"Mélissa"_s, u"Nadège"_s, u"Rosalie"_s, u"Victoire"_s,
    };
    return names;
}

// Shares of compound names, in percent: high enough that a million draws
// are mostly distinct patients, low enough that simple names stay common.
constexpr int compoundFamilyPercent = 35;
constexpr int compoundGivenPercent = 40;

} // namespace

NameGenerator::NameGenerator(std::uint64_t seed)
    : m_state(seed)
{
}

NameGenerator::Patient NameGenerator::next()
{
    Patient patient;
    patient.nom = familyName();
    patient.prenom = givenName();
    return patient;
}

// splitmix64: small, fast, and the same on every machine and compiler.
std::uint64_t NameGenerator::nextRandom()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int NameGenerator::below(int count)
{
    return int(((nextRandom() >> 32) * std::uint64_t(count)) >> 32);
}

QString NameGenerator::familyName()
{
    const QStringList &names = familyNames();
    const QString &first = names.at(below(int(names.size())));
    if (below(100) >= compoundFamilyPercent)
        return first;
    const QString &second = names.at(below(int(names.size())));
    return second == first ? first : first + u'-' + second;
}

QString NameGenerator::givenName()
{
    const QStringList &names = below(2) == 0 ? masculineNames() : feminineNames();
    const QString &first = names.at(below(int(names.size())));
    if (below(100) >= compoundGivenPercent)
        return first;
    const QString &second = names.at(below(int(names.size())));
    return second == first ? first : first + u'-' + second;
}
