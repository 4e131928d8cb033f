#include "demopractice.h"

#include "databasefile.h"
#include "dayrecord.h"
#include "practicesetup.h"
#include "slotgrid.h"
#include "slottimes.h"
#include "sqlitestatement.h"
#include "datenumber.h"

#include <random>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace DemoPractice {

namespace {

constexpr int DemoUserCount = 3;
constexpr int SurgeonUser = 3;

const QStringList &notes()
{
    static const QStringList all{u"contrôle"_s,      u"1ère consultation"_s,  u"renouvellement ordonnance"_s,
                                 u"vaccin"_s,        u"résultats prise de sang"_s, u"certificat sport"_s,
                                 u"ECG"_s,           u"suivi tension"_s,      u"tél. 06 12 34 56 78"_s,
                                 u"pansement"_s,     u"visite post-op"_s,     u"retard possible"_s};
    return all;
}

const QStringList &postits()
{
    static const QStringList all{u"Rappeler le laboratoire avant midi"_s, u"Commander des gants et des compresses"_s,
                                 u"Réunion de cabinet à 19h"_s,          u"Livraison du nouvel échographe"_s,
                                 u"Le technicien passe pour l'imprimante"_s};
    return all;
}

const QStringList &operations()
{
    static const QStringList all{u"cholécystectomie"_s, u"hernie inguinale"_s, u"appendicectomie"_s,
                                 u"canal carpien"_s,    u"exérèse de lipome"_s, u"varices"_s};
    return all;
}

// How full a day is: the past as it happened, the weeks ahead booked less
// and less.
double fillRate(QDate day, QDate today)
{
    const qint64 weeksAhead = today.addDays(1 - today.dayOfWeek()).daysTo(day) / 7;
    if (day <= today || weeksAhead <= 0)
        return 0.8;
    return weeksAhead == 1 ? 0.55 : 0.3;
}

// A slot in the consulting hours: the half-hour after 08h and the lunch
// break stay free.
bool consultingSlot(int minutes, int slot)
{
    if (!SlotTimes::hasOwnTime(minutes, slot))
        return false;
    const QTime start = SlotTimes::startOf(minutes, slot);
    return (start >= QTime(8, 30) && start < QTime(12, 0)) || (start >= QTime(14, 0) && start < QTime(19, 0));
}

class DayMaker
{
public:
    DayMaker(const QList<NameGenerator::Patient> &patients, int user, QDate day, QDate today)
        : m_patients(patients), m_user(user), m_day(day), m_today(today),
          m_random(std::uint32_t(DateNumber::fromDate(day)) * 8u + std::uint32_t(user))
    {
    }

    // False for a day the practitioner does not work.
    bool make(int minutes, DayRecord &record)
    {
        const int weekday = m_day.dayOfWeek();
        // Dr Martin also sees patients on Saturday mornings and is on call on
        // Sunday mornings, so that the demo shows a living day whatever day
        // it is opened on.
        const bool weekend = weekday == Qt::Saturday || weekday == Qt::Sunday;
        if (weekend && m_user != 1)
            return false;
        const bool inTheatre = m_user == SurgeonUser && weekday == Qt::Tuesday;
        // The Wednesday of today's week (Monday to Sunday).
        const bool absentMorning = m_user == 2 && weekday == Qt::Wednesday && m_day.addDays(-2) <= m_today
                                   && m_today <= m_day.addDays(4);
        const bool echoAfternoon = m_user == 1 && weekday == Qt::Thursday;
        const double rate = fillRate(m_day, m_today) * (weekend ? 0.5 : 1.0);

        for (int slot = 0; slot < SlotCount; ++slot) {
            const bool morning = slot < MorningSlotCount;
            if ((morning && (inTheatre || absentMorning)) || (!morning && weekend))
                continue;
            if (!consultingSlot(minutes, slot) || !chance(rate))
                continue;
            const bool echo = echoAfternoon && !morning;
            record.slots[slot] = patientName() + note(echo);
            record.checks[slot] = (m_day < m_today || (m_day == m_today && morning)) && chance(0.9);
        }
        if (absentMorning)
            record.absent1 = {true, u"Formation"_s}; // the panel shows a few words in large type
        if (echoAfternoon)
            record.echo2 = {true, u"Echographies"_s};
        if (inTheatre)
            record.bloc = theatreProgramme();
        if (weekday == Qt::Sunday)
            record.postit = u"Garde du dimanche matin"_s;
        else if (chance(0.15))
            record.postit = pick(postits());
        return true;
    }

private:
    bool chance(double probability) { return std::uniform_real_distribution<double>(0, 1)(m_random) < probability; }
    int below(qsizetype count) { return std::uniform_int_distribution<int>(0, int(count) - 1)(m_random); }
    QString pick(const QStringList &texts) { return texts.at(below(texts.size())); }

    QString patientName()
    {
        const NameGenerator::Patient &patient = m_patients.at(below(m_patients.size()));
        return patient.nom + u' ' + patient.prenom;
    }

    QString note(bool echo)
    {
        if (echo)
            return chance(0.5) ? u" - écho abdominale"_s : u" - écho thyroïde"_s;
        return chance(0.35) ? u" - "_s + pick(notes()) : QString();
    }

    // Lines joined by CR LF, as the theatre programme box keeps them.
    QString theatreProgramme()
    {
        QStringList lines;
        for (const char *hour : {"08h00", "10h00", "11h30"})
            lines << QLatin1StringView(hour) + u' ' + patientName() + u" : "_s + pick(operations());
        return lines.join(u"\r\n"_s);
    }

    const QList<NameGenerator::Patient> &m_patients;
    int m_user;
    QDate m_day;
    QDate m_today;
    std::mt19937 m_random;
};

QVariant markText(const HalfDayMark &mark)
{
    return mark.set ? QVariant(mark.text) : QVariant();
}

Status insertDay(SqliteStatement &insert, sqlite3 *db, qint32 dateNumber, const DayRecord &day)
{
    insert.bind(1, qint64(dateNumber));
    insert.bind(2, DayEncoding::encodeSlots(day.slots));
    insert.bind(3, day.postit);
    insert.bind(4, day.bloc);
    int parameter = 5;
    for (const HalfDayMark *mark : {&day.absent1, &day.absent2, &day.echo1, &day.echo2}) {
        insert.bind(parameter++, qint64(mark->set ? 1 : 0));
        insert.bind(parameter++, markText(*mark));
    }
    insert.bind(parameter, DayEncoding::encodeChecks(day.checks));
    const bool done = insert.step() == SqliteStatement::Step::Done;
    insert.reset();
    if (!done)
        return Status::failure(u"Erreur de la base de données : %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(db))));
    return Status::success();
}

Status fillUser(SqliteConnection &db, int user, int minutes, const Weeks &weeks, QDate today,
                const QList<NameGenerator::Patient> &patients)
{
    SqliteStatement insert;
    const QString sql = u"INSERT INTO RVOUS%1 (AGENDATE, RVOUS, Postit, Bloc, ABSENT1, ABSENT1_TXT, ABSENT2,"
                        " ABSENT2_TXT, ECHO1, ECHO1_TXT, ECHO2, ECHO2_TXT, COCHE)"
                        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(user);
    if (insert.prepare(db.handle(), sql) != SQLITE_OK)
        return Status::failure(u"Erreur de la base de données : %1"_s.arg(db.lastErrorText()));
    for (QDate day = weeks.first; day <= weeks.last; day = day.addDays(1)) {
        DayRecord record;
        if (!DayMaker(patients, user, day, today).make(minutes, record))
            continue;
        if (Status inserted = insertDay(insert, db.handle(), DateNumber::fromDate(day), record); !inserted.ok())
            return inserted;
    }
    return Status::success();
}

} // namespace

UserConfig users()
{
    UserConfig users = PracticeSetup::firstUsers();
    // Colours are 0x00BBGGRR: a pale yellow, a pale green and a pale blue.
    users[0].name = u"Dr Martin"_s;
    users[0].colour = 0x00D8F4FF;
    users[0].intervalIndex = 1; // 15 minutes
    users[1].name = u"Dr Lefèvre"_s;
    users[1].colour = 0x00DCF0DC;
    users[1].intervalIndex = 2; // 20 minutes
    users[2].name = u"Dr Moreau"_s; // the surgeon: theatre on Tuesdays
    users[2].colour = 0x00F5E6D2;
    users[2].intervalIndex = 3; // 30 minutes
    return users;
}

Weeks weeksAround(QDate today)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    return {monday.addDays(-21), monday.addDays(20)};
}

Status fill(SqliteConnection &db, QDate today, QList<NameGenerator::Patient> patients)
{
    if (patients.isEmpty()) {
        NameGenerator generator;
        for (int i = 0; i < 400; ++i)
            patients.append(generator.next());
    }
    const UserConfig config = users();
    const Weeks weeks = weeksAround(today);
    Status status = DatabaseFile::execute(db, "BEGIN;");
    for (int user = 1; user <= DemoUserCount && status.ok(); ++user)
        status = fillUser(db, user, SlotGrid::minutesOfIndex(config[user - 1].intervalIndex), weeks, today, patients);
    if (status.ok())
        status = DatabaseFile::execute(db, "COMMIT;");
    return status;
}

} // namespace DemoPractice
