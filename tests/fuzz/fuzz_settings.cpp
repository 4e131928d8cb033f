// The settings file as anybody may have edited it: any bytes.
#include "inidocument.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniDocument document = IniDocument::fromBytes(bytes);
    const QString section = QStringLiteral("PLANORA");

    // Whatever the file held, a value written is read back as written, the
    // file written out reads back the same, and any text escaped unescapes
    // to itself.
    const QString written = QString::fromUtf8(bytes.left(64)) + QStringLiteral(" \\ \r\n\t x ");
    document.setValue(section, QStringLiteral("CheminUt"), written);
    const IniDocument reread = IniDocument::fromBytes(document.toUtf8());
    if (document.value(section, QStringLiteral("CHEMINUT")) != written
        || reread.value(section, QStringLiteral("cheminut")) != written
        || IniDocument::unescape(IniDocument::escape(QString::fromUtf8(bytes))) != QString::fromUtf8(bytes))
        std::abort();
    return 0;
}
