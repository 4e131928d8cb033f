#include "agcvalue.h"
#include "agcvaluereader.h"
#include "legacytext.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The values a text reads as, each as the writer would write it: "a" a text,
// 1 a number, #TRUE# a boolean; joined by "|".
QString readAll(const QString &content)
{
    AgcValueReader reader(content);
    QStringList values;
    while (const std::optional<AgcValue> value = reader.next())
        values << value->fileText();
    return reader.atEnd() ? values.join(u'|') : u"<not at the end>"_s;
}

AgcValue firstValue(const QString &snippet)
{
    return AgcValueReader(snippet).next().value_or(AgcValue::text(u"<nothing>"_s));
}

} // namespace

// The values of the record format one by one: how the reader splits and
// recognises them, how each lands in a typed place, how it is written back,
// and how the bytes of a file become text.
class TestAgcFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsValues_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("values");

        QTest::newRow("values split across lines") << u"\"a\",1\r\n2,\"b\"\r\n"_s << u"\"a\"|1|2|\"b\""_s;
        QTest::newRow("LF alone and CR alone end a value") << u"1\n2\r3"_s << u"1|2|3"_s;
        QTest::newRow("blanks before a value skipped") << u"  \"a\",\t 5, #TRUE#"_s << u"\"a\"|5|#TRUE#"_s;
        QTest::newRow("blanks after an unquoted value dropped") << u"Dupont  ,5 \t\r\n"_s << u"\"Dupont\"|5"_s;
        QTest::newRow("blanks, commas, line breaks kept in quotes") << u"\" a, b\r\n\",2"_s << u"\" a, b\r\n\"|2"_s;
        QTest::newRow("rest after the closing quote skipped") << u"\"abc\"def ,2"_s << u"\"abc\"|2"_s;
        QTest::newRow("a quote inside a text ends it") << u"\"Dr \"Bob\"\",2"_s << u"\"Dr \"|2"_s;
        QTest::newRow("an unclosed quote runs to the end") << u"1,\"abc\r\ndef"_s << u"1|\"abc\r\ndef\""_s;
        QTest::newRow("booleans in any case") << u"#TRUE#,#false#"_s << u"#TRUE#|#FALSE#"_s;
        QTest::newRow("quoted boolean and number are texts") << u"\"#TRUE#\",\"12\""_s << u"\"#TRUE#\"|\"12\""_s;
        QTest::newRow("signed, decimal and exponent numbers") << u"-2147483643,+7,1.5,2E3,.5"_s
                                                              << u"-2147483643|7|1.5|2000|0.5"_s;
        QTest::newRow("almost numbers are texts") << u"12abc,1-2,--1,1e,#NULL#"_s
                                                  << u"\"12abc\"|\"1-2\"|\"--1\"|\"1e\"|\"#NULL#\""_s;
        QTest::newRow("empty values") << u"1,,\"\",2"_s << u"1|\"\"|\"\"|2"_s;
        QTest::newRow("empty lines and a comma at a line end are no values") << u"1,\r\n\r\n\r\n2,"_s << u"1|2"_s;
        QTest::newRow("only blanks and line ends") << u"  \r\n \t\r\n"_s << QString();
    }

    void readsValues()
    {
        QFETCH(QString, content);
        QFETCH(QString, values);
        QCOMPARE(readAll(content), values);
    }

    void landsInPlaces_data()
    {
        QTest::addColumn<QString>("snippet"); // the value as it stands in a file
        QTest::addColumn<QString>("places");  // text|32-bit|16-bit|true, "-" where conversion fails

        QTest::newRow("number into a text place becomes its text") << u"007"_s << u"7|7|7|0"_s;
        QTest::newRow("minus one is true") << u"-1.0"_s << u"-1|-1|-1|1"_s;
        QTest::newRow("other numbers are not") << u"1"_s << u"1|1|1|0"_s;
        QTest::newRow("#TRUE# is -1 as a number") << u"#TRUE#"_s << u"True|-1|-1|1"_s;
        QTest::newRow("#FALSE# is 0 as a number") << u"#FALSE#"_s << u"False|0|0|0"_s;
        QTest::newRow("quoted -1 converts but is not true") << u"\"-1\""_s << u"-1|-1|-1|0"_s;
        QTest::newRow("text holding a number converts") << u"\" 12632256 \""_s << u" 12632256 |12632256|-|0"_s;
        QTest::newRow("text that is no number leaves the place") << u"\"abc\""_s << u"abc|-|-|0"_s;
        QTest::newRow("smallest 32-bit number") << u"-2147483648"_s << u"-2147483648|-2147483648|-|0"_s;
        QTest::newRow("beyond 32 bits") << u"4294967295"_s << u"4294967295|-|-|0"_s;
        QTest::newRow("smallest 16-bit number") << u"-32768"_s << u"-32768|-32768|-32768|0"_s;
        QTest::newRow("beyond 16 bits") << u"32768"_s << u"32768|32768|-|0"_s;
        QTest::newRow("halves round to even, down") << u"2.5"_s << u"2.5|2|2|0"_s;
        QTest::newRow("halves round to even, up") << u"3.5"_s << u"3.5|4|4|0"_s;
    }

    void landsInPlaces()
    {
        QFETCH(QString, snippet);
        QFETCH(QString, places);

        const auto shown = [](auto number) { return number ? QString::number(*number) : u"-"_s; };
        const AgcValue value = firstValue(snippet);
        QCOMPARE(QStringList({value.toText(), shown(value.toInt32()), shown(value.toInt16()),
                              QString::number(value.isTrue())}).join(u'|'),
                 places);
    }

    void writesValues_data()
    {
        QTest::addColumn<QString>("snippet");
        QTest::addColumn<QString>("written");

        QTest::newRow("text between quotes, unchanged") << u"\"Dupont, Jean \""_s << u"\"Dupont, Jean \""_s;
        QTest::newRow("unquoted text gains quotes") << u"MATABLE"_s << u"\"MATABLE\""_s;
        QTest::newRow("system colour in plain decimal") << u"-2147483643"_s << u"-2147483643"_s;
        QTest::newRow("no plus sign, no leading zero") << u"+0012"_s << u"12"_s;
        QTest::newRow("booleans in capitals") << u"#true#"_s << u"#TRUE#"_s;
    }

    void writesValues()
    {
        QFETCH(QString, snippet);
        QFETCH(QString, written);

        QCOMPARE(firstValue(snippet).fileText(), written);
        QCOMPARE(readAll(written), written); // and reads back the same
    }

    void decodesBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");

        QTest::newRow("UTF-8 accents") << QByteArray("Op\xc3\xa9ratoire, Apr\xc3\xa9s") << u"Opératoire, Aprés"_s;
        QTest::newRow("Windows-1252 accents") << QByteArray("Op\xe9ratoire, Apr\xe9s") << u"Opératoire, Aprés"_s;
        QTest::newRow("Windows-1252 euro, quotes, oe") << QByteArray("\x80 \x93\x9c\x94 \x8c\x9f") << u"€ “œ” ŒŸ"_s;
        QTest::newRow("bytes Windows-1252 leaves undefined")
            << QByteArray("\x81\x8d\x8f\x90\x9d") << u"\u0081\u008d\u008f\u0090\u009d"_s;
        QTest::newRow("truncated UTF-8 at the end") << QByteArray("Op\xc3") << u"OpÃ"_s;
        QTest::newRow("overlong UTF-8") << QByteArray("\xc0\xaf") << u"À¯"_s;
        QTest::newRow("one stray byte makes the whole file Windows-1252")
            << QByteArray("Op\xc3\xa9ratoire \xe9") << u"OpÃ©ratoire é"_s;
        QTest::newRow("byte order mark dropped") << QByteArray("\xef\xbb\xbf\"Bloc\"") << u"\"Bloc\""_s;
    }

    void decodesBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(LegacyText::decode(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestAgcFormat)
#include "tst_agcformat.moc"
