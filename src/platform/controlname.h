#pragma once

#include <QLatin1String>
#include <QString>

// Every control carries its design name as its objectName, which other
// windows and the tests find it by; an element of a control array is
// "Name_i" (Text1_5, List1_6).
namespace ControlName {

template <typename Control>
Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

inline QString element(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

} // namespace ControlName
