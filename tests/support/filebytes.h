#pragma once

#include <QFile>

// A file's bytes, or `absent` when it cannot be read; and a file written
// whole (true) or not.
inline QByteArray bytesOf(const QString &path, const QByteArray &absent = "<absent>")
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : absent;
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
