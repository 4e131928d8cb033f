#pragma once

#include <QString>

#include <cstdint>

// Invented patients for a sample names database: French family names in
// capitals and given names, accents included, some of them compound
// ("LEROY-MÉNARD", "Marie-Hélène"), a few with an apostrophe ("D'ALMEIDA").
// The same seed always gives the same sequence, so a sample database can be
// made again identically; there are enough combinations for a million
// mostly distinct patients.
class NameGenerator
{
public:
    explicit NameGenerator(std::uint64_t seed = 20031231);

    struct Patient
    {
        QString nom;
        QString prenom;
    };

    Patient next();

private:
    std::uint64_t nextRandom();
    // A uniformly drawn index below count.
    int below(int count);
    QString familyName();
    QString givenName();

    std::uint64_t m_state = 0;
};
