#include "datacontrol.h"

DataControl::DataControl(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("Data1"));
}

DataControl::~DataControl()
{
    m_view.reset(); // a view goes before its database
}

Status DataControl::refresh()
{
    m_view.reset();
    // The search only reads: it never takes a write lock from a workstation
    // that saves, and works on a file it may not write.
    if (!m_database || !m_database->isUnchangedAt(m_databaseName)) {
        m_database = std::make_unique<Database>();
        if (Status status = m_database->open(m_databaseName, SqliteConnection::Mode::ReadOnly); !status) {
            m_database.reset();
            return status;
        }
    }
    return m_database->openView(m_recordSource, m_view);
}
