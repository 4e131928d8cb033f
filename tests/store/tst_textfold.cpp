#include "dialect.h"
#include "foldedneedle.h"
#include "storetestdatabase.h"
#include "textfold.h"
#include "textrules.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The search's comparison rule (case and accents ignored) in its three
// forms, which must always agree: LIKE '%text%' inside SQLite, the fast
// planora_contains over the stored bytes, and the find that selects the
// text in a slot. And the patterns the search window writes.
class TestTextFold : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contains_data();
    void contains();
    void patterns_data();
    void patterns();
};

namespace {

const QString Memory = u":memory:"_s;
// Long enough that the sixteen-byte skip runs over it before a match.
const QString Filler = u"Consultation de contrôle, tension 12/8 – "_s;

// Every character of the text bracketed, "[a][b]": taken literally by the
// dialect whatever it is.
QString bracketed(const QString &text)
{
    QString pattern;
    for (const QChar c : text) {
        pattern += u'[' + QString(c) + u']';
    }
    return pattern;
}

} // namespace

void TestTextFold::contains_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start"); // where find() selects; -1: not found
    QTest::addColumn<int>("length");

    const auto row = [](const char *name, const QString &text, const QString &needle, int start, int length) {
        QTest::newRow(name) << text << needle << start << length;
    };
    row("plain text", u"Mme Martin radio"_s, u"radio"_s, 11, 5);
    row("capitals found by small letters", u"RADIO GENOU"_s, u"radio"_s, 0, 5);
    row("accented capitals found without accents", u"Mme HÉLÈNE D"_s, u"helene"_s, 4, 6);
    row("accents in the needle, none in the text", u"HELENE"_s, u"Hélène"_s, 0, 6);
    row("another accent on the same letter", u"Noël"_s, u"noèl"_s, 0, 4);
    row("cedilla and circumflex", u"FRANÇOIS côté"_s, u"francois cote"_s, 0, 13);
    row("decomposed accents in the text", u"He\u0301le\u0300ne"_s, u"hélène"_s, 0, 8);
    row("rare letter in the middle: checked backwards over accents", u"xx Éléazar"_s, u"eleazar"_s, 3, 7);
    row("the letters before the rare one must match too", u"Mme Aléazar, Mme Eleazer"_s, u"éléazar"_s, -1, 0);
    row("match crossing a sixteen-byte block", Filler + u"Dr Kéravec"_s, u"KERAVEC"_s, int(Filler.size()) + 3, 7);
    row("match at the very end", Filler + Filler + u"z"_s, u"Z"_s, 2 * int(Filler.size()), 1);
    row("near miss at the end", Filler + u"radi"_s, u"radio"_s, -1, 0);
    row("not across a missing letter", u"rdio radi o"_s, u"radio"_s, -1, 0);
    row("an accent is not another letter", u"Hélène"_s, u"halene"_s, -1, 0);
    row("ligature is its own letter", u"cœur"_s, u"coeur"_s, -1, 0);
    row("sharp s is not ss", u"Strauß"_s, u"strauss"_s, -1, 0);
    row("across slots only as the text holds them", u"Dupont\r\nJean"_s, u"dupont\r\njean"_s, 0, 12);
    row("non-Latin letters ignore case", u"ΣΟΦΙΑ"_s, u"σοφια"_s, 0, 5);
    row("needle of non-ASCII letters only", u"abc ÉÉ"_s, u"éé"_s, 4, 2);
    row("character beyond the basic plane", u"note 😀 ok"_s, u"😀 OK"_s, 5, 5);
    row("wildcard characters are plain", u"dose 50% a_b [x] #2 *? l'ours"_s, u"% a_b [x] #2 *? l'"_s, 7, 18);
    row("percent is not any run", u"50 mg"_s, u"50%"_s, -1, 0);
    row("empty needle is everywhere", u"x"_s, QString(), 0, 0);
}

void TestTextFold::contains()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(int, length);
    const bool found = start >= 0;

    const TextFold::Span span = TextFold::find(text, needle);
    QCOMPARE(span.start, qsizetype(start));
    QCOMPARE(span.length, qsizetype(length));

    const QByteArray utf8 = text.toUtf8();
    QCOMPARE(FoldedNeedle(needle).foundIn(utf8.constData(), std::size_t(utf8.size())), found);

    // The needle in a pattern, as LIKE and as the fast function: the same
    // answer inside SQLite.
    const QString access = u'*' + bracketed(needle) + u'*';
    const QString like = Dialect::likePattern(access);
    QCOMPARE(TextRules::like(like, text, u'\\'), found);
    QCOMPARE(StoreTestDatabase::scalar(Memory, u"SELECT ?1 LIKE ?2 ESCAPE '\\'"_s, {text, like}),
             QVariant(qint64(found)));
    QCOMPARE(StoreTestDatabase::scalar(Memory, u"SELECT planora_contains(?1, ?2)"_s, {text, needle}),
             QVariant(qint64(found)));
}

void TestTextFold::patterns_data()
{
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("like");      // for ESCAPE '\'
    QTest::addColumn<QString>("contained"); // null: not a plain "*text*"

    QTest::newRow("plain search") << u"*radio*"_s << u"%radio%"_s << u"radio"_s;
    QTest::newRow("empty search") << u"**"_s << u"%%"_s << u""_s;
    QTest::newRow("bracketed wildcards are characters")
        << u"*[*][?][#][[]*"_s << u"%*?#[%"_s << u"*?#["_s;
    QTest::newRow("percent, underscore, backslash escaped") << u"*5%_\\*"_s << u"%5\\%\\_\\\\%"_s << u"5%_\\"_s;
    QTest::newRow("a lone bracket is a character") << u"*[x*"_s << u"%[x%"_s << u"[x"_s;
    QTest::newRow("wildcard inside") << u"*a?b*"_s << u"%a_b%"_s << QString();
    QTest::newRow("no leading star") << u"radio*"_s << u"radio%"_s << QString();
    QTest::newRow("single star") << u"*"_s << u"%"_s << QString();
}

void TestTextFold::patterns()
{
    QFETCH(QString, access);
    QFETCH(QString, like);
    QFETCH(QString, contained);
    QCOMPARE(Dialect::likePattern(access), like);
    const std::optional<QString> text = Dialect::containedText(access);
    QCOMPARE(text.has_value(), !contained.isNull());
    QCOMPARE(text.value_or(QString()), contained);
}

QTEST_GUILESS_MAIN(TestTextFold)
#include "tst_textfold.moc"
