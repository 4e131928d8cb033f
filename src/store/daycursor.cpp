#include "daycursor.h"

#include "daymerge.h"

#include "engine.h"
#include "storemessages.h"

namespace {

constexpr int UserCount = 6;

const QString dateField = QStringLiteral("AGENDATE");
const QString slotsField = QStringLiteral("RVOUS");
const QString postitField = QStringLiteral("Postit");
const QString blocField = QStringLiteral("Bloc");
const QString checksField = QStringLiteral("COCHE");

// The four half-day marks: flag field, text field, member of DayRecord, in
// the order a save writes them.
struct MarkFields
{
    QString flag;
    QString text;
    HalfDayMark DayRecord::*mark;
};

const std::array<MarkFields, 4> &markFields()
{
    static const std::array<MarkFields, 4> fields = {{
        {QStringLiteral("ABSENT1"), QStringLiteral("ABSENT1_TXT"), &DayRecord::absent1},
        {QStringLiteral("ABSENT2"), QStringLiteral("ABSENT2_TXT"), &DayRecord::absent2},
        {QStringLiteral("ECHO1"), QStringLiteral("ECHO1_TXT"), &DayRecord::echo1},
        {QStringLiteral("ECHO2"), QStringLiteral("ECHO2_TXT"), &DayRecord::echo2},
    }};
    return fields;
}

QStringList dayFields()
{
    QStringList names = {dateField, slotsField, postitField, blocField, checksField};
    for (const MarkFields &fields : markFields()) {
        names << fields.flag << fields.text;
    }
    return names;
}

QString tableOf(int user)
{
    return QStringLiteral("RVOUS") + QString::number(user);
}

Status checkDayFields(const View &view, int user, const QString &databasePath)
{
    for (const QString &field : dayFields()) {
        if (!view.hasField(field)) {
            return StoreMessages::missingColumn(field, tableOf(user), databasePath);
        }
    }
    return Status::success();
}

} // namespace

DayCursor::DayCursor() = default;
DayCursor::~DayCursor() = default;

void DayCursor::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_database) {
        m_database->setBusyTimeout(milliseconds);
    }
}

Status DayCursor::open(const QString &databasePath, int user, const QString &sqlText, qint32 dateNumber)
{
    m_view.reset(); // replaced at every positioning, found or not
    m_user = 0;
    Status status = user >= 1 && user <= UserCount ? reuseOrOpen(databasePath) : StoreMessages::unknownUser(user);
    std::unique_ptr<View> view;
    if (status) {
        status = m_database->openView(sqlText, view);
    }
    if (status) {
        status = checkDayFields(*view, user, databasePath);
    }
    if (status) {
        status = view->findFirst(dateField + u'=' + QString::number(dateNumber));
    }
    if (!status) {
        close(); // a failed positioning leaves nothing open on the file
        return status;
    }
    m_view = std::move(view);
    m_user = user;
    return Status::success();
}

// The file is opened again only when it is not the one the kept connection
// holds, unchanged (see Database::isUnchangedAt): opening costs the file
// checks, the pragmas, the schema parse and the text rules, several times
// the price of the day's query.
Status DayCursor::reuseOrOpen(const QString &databasePath)
{
    if (m_database && m_database->isUnchangedAt(databasePath)) {
        return Status::success();
    }
    close();
    auto database = std::make_unique<Database>();
    if (m_busyTimeoutMs) {
        database->setBusyTimeout(*m_busyTimeoutMs);
    }
    if (Status status = database->open(databasePath); !status) {
        return status;
    }
    m_database = std::move(database);
    return Status::success();
}

Status DayCursor::position(const QString &databasePath, int user, qint32 dateNumber)
{
    return open(databasePath, user, QStringLiteral("SELECT*FROM %1 ORDER BY AGENDATE").arg(tableOf(user)),
                dateNumber);
}

Status DayCursor::positionForSearch(const QString &databasePath, int user, qint32 dateNumber)
{
    return open(databasePath, user,
                QStringLiteral("SELECT*FROM %1 WHERE AGENDATE =%2").arg(tableOf(user)).arg(dateNumber),
                dateNumber);
}

bool DayCursor::isOpen() const
{
    return m_view != nullptr;
}

bool DayCursor::found() const
{
    return m_view && m_view->hasCurrentRow();
}

int DayCursor::user() const
{
    return m_user;
}

std::optional<DayRecord> DayCursor::currentRecord() const
{
    if (!found() || !m_view->reread()) {
        return std::nullopt;
    }
    DayRecord record;
    record.slots = DayEncoding::decodeSlots(m_view->text(slotsField));
    record.checks = DayEncoding::decodeChecks(m_view->text(checksField));
    record.postit = m_view->text(postitField);
    record.bloc = m_view->text(blocField);
    for (const MarkFields &fields : markFields()) {
        HalfDayMark &mark = record.*fields.mark;
        mark.set = m_view->number(fields.flag) != 0;
        // A _TXT field is read only when its flag is yes.
        mark.text = mark.set ? m_view->text(fields.text) : QString();
    }
    return record;
}

std::optional<qint32> DayCursor::currentDateNumber() const
{
    if (!found()) {
        return std::nullopt;
    }
    return qint32(m_view->number(dateField));
}

// A save: open the file afresh when needed, position on the day, then in
// one write transaction read the day again, merge and write it. A failure at
// any step closes the cursor, so that the next attempt opens the file again:
// whatever refused this save (a lock, a read-only folder, a replaced file)
// may be gone by then.
Status DayCursor::save(const QString &databasePath, int user, qint32 dateNumber, const DayRecord &remembered,
                       const DayRecord &shown, DayRecord &saved)
{
    // A connection opened while the file could not be written stays
    // read-only for its life; the file may have become writable since.
    if (m_database && m_database->isReadOnly()) {
        close();
    }
    Status status = position(databasePath, user, dateNumber);
    if (status) {
        status = m_database->beginWrite();
    }
    if (status) {
        status = writeMerged(dateNumber, remembered, shown, saved);
    }
    if (status) {
        status = m_database->commit();
    }
    if (!status) {
        if (m_database) {
            m_database->rollback();
        }
        close();
    }
    return status;
}

// Inside the write transaction: no other workstation can save between the
// read of the stored day and the write of the merged one.
Status DayCursor::writeMerged(qint32 dateNumber, const DayRecord &remembered, const DayRecord &shown,
                              DayRecord &saved)
{
    Status status = m_view->findFirst(dateField + u'=' + QString::number(dateNumber));
    if (!status) {
        return status;
    }
    const bool hasRow = found();
    const std::optional<DayRecord> stored = hasRow ? currentRecord() : DayRecord();
    if (!stored) {
        return StoreMessages::noCurrentRow();
    }
    const DayRecord merged = DayMerge::merge(remembered, shown, *stored);
    status = hasRow ? m_view->edit() : m_view->addNew();
    if (!status) {
        return status;
    }
    // Every field, in this order; a _TXT field only while its flag is yes,
    // so a cleared mark keeps the text it had.
    std::vector<std::pair<QString, QVariant>> fields = {
        {dateField, QString::number(dateNumber)},
        {slotsField, DayEncoding::encodeSlots(merged.slots)},
        {postitField, merged.postit},
        {blocField, merged.bloc},
    };
    for (const MarkFields &markField : markFields()) {
        const HalfDayMark &mark = merged.*markField.mark;
        fields.emplace_back(markField.flag, mark.set);
        if (mark.set) {
            fields.emplace_back(markField.text, mark.text);
        }
    }
    fields.emplace_back(checksField, DayEncoding::encodeChecks(merged.checks));
    for (const auto &[name, value] : fields) {
        if (status = m_view->setField(name, value); !status) {
            m_view->cancelUpdate();
            return status;
        }
    }
    status = m_view->update();
    if (status) {
        saved = merged;
    }
    return status;
}

void DayCursor::close()
{
    m_view.reset(); // a view goes before its database
    m_database.reset();
    m_user = 0;
}
