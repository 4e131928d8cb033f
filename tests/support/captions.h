#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

// The caption of each named control under root, in order: its text, or its
// title for a group box; "<missing>" when no such control exists.
inline QStringList captionsOf(const QObject *root, const QStringList &names)
{
    QStringList captions;
    for (const QString &name : names) {
        const QObject *control = root->findChild<QObject *>(name);
        const QVariant text = control ? control->property("text") : QVariant();
        captions << (!control ? QStringLiteral("<missing>") : text.isValid() ? text.toString()
                                                                             : control->property("title").toString());
    }
    return captions;
}
