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
        captions << (!control ? QStringLiteral("<missing>")
                              : control->property(control->property("text").isValid() ? "text" : "title").toString());
    }
    return captions;
}
