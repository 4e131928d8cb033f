#pragma once

#include "status.h"

#include <QString>

// The French texts the store gives its callers to show, in one place so
// that every path says the same thing the same way.
namespace StoreMessages {

Status missingFile(const QString &path);
Status notAFile(const QString &path);
Status legacyAccess(const QString &path);
Status notSqlite(const QString &path);
Status missingTable(const QString &table, const QString &path);
Status missingColumn(const QString &column, const QString &table, const QString &path);
Status readOnly(const QString &path);
Status busy(const QString &path, int busyTimeoutMs);
Status noCurrentRow();
Status notEditing();
Status unknownField(const QString &field);
Status unknownUser(int user);

// A failure reported by SQLite, in words a user can act on.
Status fromSqlite(int code, const QString &path, int busyTimeoutMs, const QString &detail);

} // namespace StoreMessages
