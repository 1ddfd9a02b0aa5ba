// The JSON reader: value mapping, tolerance, failure cases and robustness against hostile text.
#include "JsonReader.h"

#include "TestMain.h"

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestJsonReader : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void nullString();
    void nesting_data();
    void nesting();
    void deepNestingFailsWithoutCrash_data();
    void deepNestingFailsWithoutCrash();
    void everyPrefixOfAReplyFails_data();
    void everyPrefixOfAReplyFails();
    void agreesWithQtOnSampleReplies_data();
    void agreesWithQtOnSampleReplies();
    void agreesWithQtOnRandomDocuments();
    void survivesRandomText();
    void survivesMutatedReplies();

private:
    static QString sample(const QString &name);
};

QString TestJsonReader::sample(const QString &name)
{
    QFile file(QStringLiteral(QPA_SOURCE_DIR "/tests/weather/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void TestJsonReader::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVariant>("expected");

    const QVariant none;
    QTest::newRow("empty string") << u""_s << false << none;
    QTest::newRow("only blanks") << u" \t\r\n"_s << false << none;
    QTest::newRow("true") << u"true"_s << true << QVariant(true);
    QTest::newRow("false after blanks") << u" \t\r\nfalse"_s << true << QVariant(false);
    QTest::newRow("null") << u"null"_s << true << none;
    QTest::newRow("tru at the end") << u"tru"_s << false << none;
    QTest::newRow("nul in an array") << u"[nul]"_s << false << QVariant(QVariantList());
    QTest::newRow("minus five") << u"-5"_s << true << QVariant(int(-5));
    QTest::newRow("zero") << u"0"_s << true << QVariant(uint(0));
    QTest::newRow("largest uint") << u"4294967295"_s << true << QVariant(uint(4294967295u));
    QTest::newRow("above uint") << u"4294967296"_s << true << QVariant(qulonglong(4294967296ull));
    QTest::newRow("largest qulonglong") << u"18446744073709551615"_s << true
                                        << QVariant(qulonglong(18446744073709551615ull));
    QTest::newRow("above qulonglong") << u"18446744073709551616"_s << true
                                      << QVariant(u"18446744073709551616"_s);
    QTest::newRow("minus 9999999999") << u"-9999999999"_s << true << QVariant(qlonglong(-9999999999ll));
    QTest::newRow("below qlonglong") << u"-9223372036854775809"_s << true
                                     << QVariant(u"-9223372036854775809"_s);
    QTest::newRow("one point five") << u"1.5"_s << true << QVariant(1.5);
    QTest::newRow("negative with exponent") << u"-2.5e2"_s << true << QVariant(-250.0);
    QTest::newRow("1e5 is text") << u"1e5"_s << true << QVariant(u"1e5"_s);
    QTest::newRow("lone minus is text") << u"-"_s << true << QVariant(u"-"_s);
    QTest::newRow("number then text") << u"12abc"_s << true << QVariant(uint(12));
    QTest::newRow("plain string") << u"\"abc\""_s << true << QVariant(u"abc"_s);
    QTest::newRow("chinese string") << u"\"北京\""_s << true << QVariant(u"北京"_s);
    QTest::newRow("u escape 4e2d") << u"\"\\u4e2d\""_s << true << QVariant(u"中"_s);
    QTest::newRow("u escape upper case") << u"\"\\u4E2D\\u6587\""_s << true << QVariant(u"中文"_s);
    QTest::newRow("invalid u escape gives 0") << u"\"a\\uzzzzb\""_s << true
                                              << QVariant(u"a"_s + QChar(0) + u"b"_s);
    QTest::newRow("short u escape") << u"\"\\u12\""_s << false << none;
    QTest::newRow("simple escapes") << u"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\""_s << true
                                    << QVariant(u"\"\\/\b\f\n\r\t"_s);
    QTest::newRow("unknown escape dropped") << u"\"a\\qb\""_s << true << QVariant(u"ab"_s);
    QTest::newRow("backslash at end") << u"\"abc\\"_s << false << none;
    QTest::newRow("unterminated string") << u"\"abc"_s << false << none;
    QTest::newRow("unterminated object") << u"{\"a\":1"_s << false << QVariant(QVariantMap());
    QTest::newRow("unterminated array") << u"[1,2"_s << false << QVariant(QVariantList());
    QTest::newRow("object missing colon") << u"{\"a\" 1}"_s << false << QVariant(QVariantMap());
    QTest::newRow("object missing value") << u"{\"a\":}"_s << false << QVariant(QVariantMap());
    QTest::newRow("unquoted key") << u"{a:1}"_s << false << QVariant(QVariantMap());
    QTest::newRow("closing bracket first") << u"]"_s << false << none;
    QTest::newRow("colon first") << u":"_s << false << none;
    QTest::newRow("character above 255") << u"中"_s << false << none;
    QTest::newRow("repeated key keeps later")
        << u"{\"a\":1,\"a\":2}"_s << true << QVariant(QVariantMap{{u"a"_s, uint(2)}});
    QTest::newRow("keys sorted") << u"{\"b\":true,\"a\":null}"_s << true
                                 << QVariant(QVariantMap{{u"a"_s, QVariant()}, {u"b"_s, true}});
    QTest::newRow("two commas in an array")
        << u"[1,,2]"_s << true << QVariant(QVariantList{uint(1), uint(2)});
    QTest::newRow("object opening with a comma")
        << u"{,\"a\":\"x\"}"_s << true << QVariant(QVariantMap{{u"a"_s, u"x"_s}});
    QTest::newRow("array of commas") << u"[,,]"_s << true << QVariant(QVariantList());
    QTest::newRow("elements without commas")
        << u"[1 \"a\"]"_s << true << QVariant(QVariantList{uint(1), u"a"_s});
    QTest::newRow("trailing text ignored")
        << u"{\"a\":[]};var x = ]]]"_s << true << QVariant(QVariantMap{{u"a"_s, QVariantList()}});
    QTest::newRow("nested")
        << u" { \"l\" : { \"l1\" : \"28\" , \"l2\" : [ -1 , 2.0 ] } } "_s << true
        << QVariant(QVariantMap{
               {u"l"_s, QVariantMap{{u"l1"_s, u"28"_s}, {u"l2"_s, QVariantList{-1, 2.0}}}}});
}

void TestJsonReader::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QVariant, expected);

    bool actualOk = !ok;
    const QVariant actual = JsonReader::parse(text, actualOk);
    QCOMPARE(actualOk, ok);
    QCOMPARE(actual.typeId(), expected.typeId());
    QCOMPARE(actual, expected);
}

void TestJsonReader::nullString()
{
    bool ok = false;
    const QVariant result = JsonReader::parse(QString(), ok);
    QVERIFY(ok);
    QVERIFY(!result.isValid());
}

void TestJsonReader::nesting_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("arrays") << u"["_s << u"]"_s;
    QTest::newRow("objects") << u"{\"k\":"_s << u"}"_s;
}

void TestJsonReader::nesting()
{
    QFETCH(QString, open);
    QFETCH(QString, close);
    // The deepest accepted nesting reads fully; one level more fails.
    const auto build = [&](int depth) {
        QString inner = open == u"[" ? QString() : u"1"_s;
        return open.repeated(depth) + inner + close.repeated(depth);
    };
    bool ok = false;
    QVariant value = JsonReader::parse(build(JsonReader::MaxDepth), ok);
    QVERIFY(ok);
    int depth = 0;
    while (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QVariantMap) {
        ++depth;
        value = value.typeId() == QMetaType::QVariantList ? value.toList().value(0)
                                                          : value.toMap().value(u"k"_s);
    }
    QCOMPARE(depth, JsonReader::MaxDepth);

    JsonReader::parse(build(JsonReader::MaxDepth + 1), ok);
    QVERIFY(!ok);
}

void TestJsonReader::deepNestingFailsWithoutCrash_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("300000 brackets") << u"["_s.repeated(300000);
    QTest::newRow("300000 closed brackets") << u"["_s.repeated(300000) + u"]"_s.repeated(300000);
    QTest::newRow("300000 objects") << u"{\"a\":"_s.repeated(300000);
    QTest::newRow("alternating") << u"[{\"x\":"_s.repeated(150000);
}

void TestJsonReader::deepNestingFailsWithoutCrash()
{
    QFETCH(QString, text);
    bool ok = true;
    const QVariant result = JsonReader::parse(text, ok);
    QVERIFY(!ok);
    QVERIFY(result.toList().isEmpty() && result.toMap().isEmpty());
}

void TestJsonReader::everyPrefixOfAReplyFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("forecast") << u"forecast3d.json"_s;
    QTest::newRow("observe") << u"observe.json"_s;
    QTest::newRow("index") << u"index.json"_s;
}

void TestJsonReader::everyPrefixOfAReplyFails()
{
    QFETCH(QString, name);
    const QString text = sample(name).trimmed();
    QVERIFY(!text.isEmpty());
    bool ok = false;
    JsonReader::parse(text, ok);
    QVERIFY(ok);
    // A reply cut anywhere before its last brace is never taken for data.
    for (qsizetype length = 0; length < text.size(); ++length) {
        JsonReader::parse(text.left(length), ok);
        if (ok)
            QFAIL(qPrintable(u"prefix of %1 characters was accepted"_s.arg(length)));
    }
}

void TestJsonReader::agreesWithQtOnSampleReplies_data()
{
    everyPrefixOfAReplyFails_data();
}

void TestJsonReader::agreesWithQtOnSampleReplies()
{
    QFETCH(QString, name);
    const QString text = sample(name);
    bool ok = false;
    const QVariant ours = JsonReader::parse(text, ok);
    QVERIFY(ok);
    const QVariant qts = QJsonDocument::fromJson(text.toUtf8()).toVariant();
    // Numbers differ in type by design (uint against double); compare their text.
    QCOMPARE(QJsonDocument::fromVariant(ours).toJson(), QJsonDocument::fromVariant(qts).toJson());
}

// Random documents of strings, escapes, booleans, arrays and objects (Qt reads null as nullptr_t).
static QVariant randomValue(QRandomGenerator &random, int depth)
{
    const int kind = int(random.bounded(depth > 5 ? 4 : 6));
    switch (kind) {
    case 0: return true;
    case 1: return false;
    case 2:
    case 3: {
        QString s;
        const int length = int(random.bounded(12));
        for (int i = 0; i < length; ++i) {
            static const char16_t pool[] = u"ab \"\\/\n\t中文{}[]:,é\u0001";
            s.append(QChar(pool[random.bounded(int(std::size(pool) - 1))]));
        }
        return s;
    }
    case 4: {
        QVariantList list;
        const int n = int(random.bounded(5));
        for (int i = 0; i < n; ++i)
            list.append(randomValue(random, depth + 1));
        return list;
    }
    default: {
        QVariantMap map;
        const int n = int(random.bounded(5));
        for (int i = 0; i < n; ++i)
            map.insert(u"k"_s + QString::number(random.bounded(8)), randomValue(random, depth + 1));
        return map;
    }
    }
}

void TestJsonReader::agreesWithQtOnRandomDocuments()
{
    QRandomGenerator random(20140708);
    for (int round = 0; round < 2000; ++round) {
        QVariantMap document;
        document.insert(u"v"_s, randomValue(random, 0));
        const QByteArray json = QJsonDocument::fromVariant(document).toJson(
            round % 2 ? QJsonDocument::Compact : QJsonDocument::Indented);
        bool ok = false;
        const QVariant ours = JsonReader::parse(QString::fromUtf8(json), ok);
        QVERIFY2(ok, json.constData());
        QCOMPARE(ours, QJsonDocument::fromJson(json).toVariant());
    }
}

void TestJsonReader::survivesRandomText()
{
    static const char16_t alphabet[] = u"{}[]:,\"\\u0123456789abcdefnrtlsE.+- \t\r\n中";
    QRandomGenerator random(42);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = int(random.bounded(64));
        for (int i = 0; i < length; ++i)
            text.append(QChar(alphabet[random.bounded(int(std::size(alphabet) - 1))]));
        bool ok = false;
        const QVariant result = JsonReader::parse(text, ok);
        if (ok)
            ++accepted;
        else
            QVERIFY(!result.isValid()
                    || (result.typeId() == QMetaType::QVariantList && result.toList().isEmpty())
                    || (result.typeId() == QMetaType::QVariantMap && result.toMap().isEmpty()));
    }
    QVERIFY(accepted > 0); // numbers, strings and literals do come out of random text
}

void TestJsonReader::survivesMutatedReplies()
{
    const QStringList replies{sample(u"forecast3d.json"_s), sample(u"observe.json"_s),
                              sample(u"index.json"_s), sample(u"sina.js"_s)};
    static const char16_t pool[] = u"{}[]:,\"\\ u0x";
    QRandomGenerator random(7);
    for (int round = 0; round < 4000; ++round) {
        QString text = replies.at(round % replies.size());
        const int edits = 1 + int(random.bounded(6));
        for (int e = 0; e < edits && !text.isEmpty(); ++e) {
            const int at = int(random.bounded(int(text.size())));
            const QChar c(pool[random.bounded(int(std::size(pool) - 1))]);
            switch (random.bounded(3)) {
            case 0: text[at] = c; break;
            case 1: text.remove(at, 1 + int(random.bounded(8))); break;
            default: text.insert(at, c); break;
            }
        }
        bool ok = false;
        JsonReader::parse(text, ok);
        const int cut = text.indexOf(u'{');
        if (cut >= 0)
            JsonReader::parse(text.mid(cut), ok);
    }
}

QPA_TEST_MAIN(TestJsonReader)
#include "tst_jsonreader.moc"
