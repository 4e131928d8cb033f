#pragma once

#include "engine.h"
#include "status.h"

#include <QObject>
#include <QString>

#include <memory>

// Data1: the search window's own connection to the database file, bound to
// a record source (an SQL text of the engine's dialect). refresh() opens a
// new view of the record source, on the connection it keeps while the file
// is untouched and on a new one otherwise, so that a search always sees
// what every workstation has saved until then.
class DataControl : public QObject
{
    Q_OBJECT

public:
    explicit DataControl(QObject *parent = nullptr);
    ~DataControl() override;

    void setDatabaseName(const QString &path) { m_databaseName = path; }
    void setRecordSource(const QString &sqlText) { m_recordSource = sqlText; }

    // On failure the previous view is gone too and the message says why.
    Status refresh();
    // The view of the record source after a successful refresh, else null.
    View *recordset() const { return m_view.get(); }

private:
    QString m_databaseName;
    QString m_recordSource;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<View> m_view;
};
