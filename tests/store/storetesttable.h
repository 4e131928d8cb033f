#pragma once

#include "storetestdatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A data table's columns, their types and names in the same order; a row
// of it; and the current row's values, by the columns' names.
template <typename... Types, typename... Names> void columns(const Names &...names)
{
    (QTest::addColumn<Types>(names), ...);
}

template <typename... Values> void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

template <typename... Types, typename... Names> std::tuple<Types...> fetch(const Names &...names)
{
    return {*static_cast<Types *>(QTest::qData(names, qMetaTypeId<Types>()))...};
}
