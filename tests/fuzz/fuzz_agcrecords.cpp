// Utilisat.agc and Alpha.agc as they may come from any workstation: any
// bytes, any encoding, any length, read the way the program reads them.
#include "agcfile.h"
#include "agcvaluereader.h"
#include "legacytext.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = LegacyText::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    // Records of both files' sizes; every position handed out must lie inside
    // the record, or the configuration would be written out of bounds.
    for (const int recordSize : {30, 2})
        AgcFile::readRecords(text, recordSize, [recordSize](int position, const AgcValue &value) {
            if (position < 0 || position >= recordSize)
                std::abort();
            (void)value.toText(), (void)value.toInt32(), (void)value.toInt16(), (void)value.isTrue();
        });

    // The reader always moves forward: it cannot hand out more values than
    // there are characters (plus one trailing empty value).
    AgcValueReader reader(text);
    for (qsizetype values = 1; !reader.atEnd() && reader.next(); ++values)
        if (values > text.size() + 1)
            std::abort();
    return 0;
}
