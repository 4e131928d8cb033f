#include "agcfile.h"

#include "agcvaluereader.h"
#include "atomicwrite.h"
#include "legacytext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace AgcFile {

QString locate(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(fileName)).isFile())
        return dir.filePath(fileName);
    const QStringList entries =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(fileName);
}

std::optional<QString> readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return LegacyText::decode(file.readAll());
}

bool readRecords(const QString &text, int recordSize,
                 const std::function<void(int, const AgcValue &)> &store)
{
    AgcValueReader reader(text);
    while (!reader.atEnd()) {
        for (int position = 0; position < recordSize; ++position) {
            const std::optional<AgcValue> value = reader.next();
            if (!value)
                return false;
            store(position, *value);
        }
    }
    return true;
}

bool writeRecord(const QString &path, const QList<AgcValue> &values)
{
    QStringList fields;
    fields.reserve(values.size());
    for (const AgcValue &value : values)
        fields.append(value.fileText());
    return writeFileAtomically(path, (fields.join(u',') + u"\r\n").toUtf8());
}

} // namespace AgcFile
