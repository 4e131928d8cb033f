#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file's content as a whole: written beside it, then renamed
// over it. False when any step fails; the old file is then left whole.
[[nodiscard]] bool writeFileAtomically(const QString &path, const QByteArray &bytes);
