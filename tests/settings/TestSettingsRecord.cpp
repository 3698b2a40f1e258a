#include "settings/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QByteArray validRecord =
    R"({"fontStyle":"hd","items":[)"
    R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","kind":"quote","label":"AAPL","symbol":"AAPL"},)"
    R"({"id":"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9","kind":"weather","label":"LYON","ref":"45.75,4.85","symbol":"Lyon"}],)"
    R"("ledSize":7,"levelMode":"desktop","metalCurrency":"USD","metalUnit":"g",)"
    R"("newsSources":[{"enabled":false,"id":"11111111-2222-3333-4444-555555555555","name":"Le Monde","url":" https://www.lemonde.fr/rss/une.xml "}],)"
    R"("position":"bottom","pushWindows":false,"showInDock":true,"speed":2.5,"stockProvider":"twelveData","theme":"amber","variant":"thick"})";

QByteArray withMember(const QByteArray &record, const QString &name, const QJsonValue &value)
{
    QJsonObject object = QJsonDocument::fromJson(record).object();
    if (value.isUndefined())
        object.remove(name);
    else
        object.insert(name, value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

class TestSettingsRecord : public QObject
{
    Q_OBJECT
private slots:
    void decodesEveryMember()
    {
        const auto record = SettingsRecord::decode(validRecord);
        QVERIFY(record);
        QCOMPARE(record->levelMode, WindowLevelMode::desktop);
        QCOMPARE(record->position, DockPosition::bottom);
        QCOMPARE(record->variant, BarVariant::thick);
        QCOMPARE(record->fontStyle, FontStyle::hd);
        QCOMPARE(record->theme, ColorTheme::amber);
        QCOMPARE(record->ledSize, 7.0);
        QCOMPARE(record->speed, 2.5);
        QCOMPARE(record->stockProvider, StockProvider::twelveData);
        QCOMPARE(record->metalCurrency, QStringLiteral("USD"));
        QCOMPARE(record->metalUnit, QStringLiteral("g"));
        QCOMPARE(record->showInDock, true);
        QCOMPARE(record->pushWindows, false);
        QCOMPARE(record->items.size(), 2);
        QCOMPARE(record->items[0].id, QUuid(QStringLiteral("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}")));
        QCOMPARE(record->items[0].ref, std::nullopt);
        QCOMPARE(record->items[1].kind, ItemKind::weather);
        QCOMPARE(record->items[1].ref, std::optional<QString>(QStringLiteral("45.75,4.85")));
        QCOMPARE(record->newsSources.size(), 1);
        QCOMPARE(record->newsSources[0].enabled, false);
        QCOMPARE(record->newsSources[0].url, QStringLiteral(" https://www.lemonde.fr/rss/une.xml "));
    }

    void encodesCompactlyAndRoundTripsByteForByte()
    {
        // Our encoder writes members in sorted order, so a record it wrote comes back unchanged.
        const auto record = SettingsRecord::decode(validRecord);
        QVERIFY(record);
        const auto bytes = record->encode();
        QVERIFY(bytes);
        QCOMPARE(*bytes, validRecord);
        QVERIFY(!bytes->contains('\n'));
        QVERIFY(!bytes->contains("\": "));
        QCOMPARE(bytes->count("\"ref\""), 1); // only the item that has one
    }

    void writesUuidsInUpperCase()
    {
        SettingsRecord record;
        record.items = {WatchItem{QUuid(QStringLiteral("{a0b1c2d3-e4f5-4a6b-8c9d-0e1f2a3b4c5d}")), ItemKind::metal,
                                  QStringLiteral("gold"), QStringLiteral("OR"), std::nullopt}};
        const QByteArray bytes = record.encode().value();
        QVERIFY(bytes.contains(R"("id":"A0B1C2D3-E4F5-4A6B-8C9D-0E1F2A3B4C5D")"));
        QVERIFY(!bytes.contains('{' + QByteArray("a0b1")));
        // Every member is written, the optional ones included.
        const QJsonObject object = QJsonDocument::fromJson(bytes).object();
        QCOMPARE(object.size(), 14);
    }

    void acceptsLowerCaseUuidsAndIgnoresUnknownMembers()
    {
        QByteArray bytes = validRecord;
        bytes.replace("E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
        bytes = withMember(bytes, QStringLiteral("version"), 2);
        const auto record = SettingsRecord::decode(bytes);
        QVERIFY(record);
        QCOMPARE(record->items[0].id, QUuid(QStringLiteral("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}")));
    }

    void optionalMembersMayBeMissingOrNull_data()
    {
        QTest::addColumn<QString>("member");
        for (const char *name : {"stockProvider", "metalCurrency", "metalUnit", "showInDock", "newsSources",
                                 "pushWindows"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void optionalMembersMayBeMissingOrNull()
    {
        QFETCH(QString, member);
        const SettingsRecord defaults;
        for (const QJsonValue &absent : {QJsonValue(QJsonValue::Undefined), QJsonValue(QJsonValue::Null)}) {
            const auto record = SettingsRecord::decode(withMember(validRecord, member, absent));
            QVERIFY(record);
            QCOMPARE(record->theme, ColorTheme::amber); // the others still load
            if (member == QLatin1String("stockProvider"))
                QCOMPARE(record->stockProvider, defaults.stockProvider);
            else if (member == QLatin1String("metalCurrency"))
                QCOMPARE(record->metalCurrency, QStringLiteral("EUR"));
            else if (member == QLatin1String("metalUnit"))
                QCOMPARE(record->metalUnit, QStringLiteral("toz"));
            else if (member == QLatin1String("showInDock"))
                QCOMPARE(record->showInDock, false);
            else if (member == QLatin1String("newsSources"))
                QCOMPARE(record->newsSources, NewsSource::defaults());
            else
                QCOMPARE(record->pushWindows, true);
        }
    }

    void rejectsTheWholeRecord_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, const QByteArray &bytes) { QTest::newRow(name) << bytes; };
        for (const char *name : {"levelMode", "position", "variant", "fontStyle", "theme", "ledSize", "speed", "items"}) {
            row(QByteArray("missing ").append(name), withMember(validRecord, QString::fromLatin1(name), {}));
            row(QByteArray("null ").append(name), withMember(validRecord, QString::fromLatin1(name), QJsonValue::Null));
        }
        row("capitalised theme", withMember(validRecord, QStringLiteral("theme"), QStringLiteral("Amber")));
        row("capitalised optional provider", withMember(validRecord, QStringLiteral("stockProvider"), QStringLiteral("Yahoo")));
        row("number for a string", withMember(validRecord, QStringLiteral("metalUnit"), 3));
        row("string for a number", withMember(validRecord, QStringLiteral("ledSize"), QStringLiteral("5")));
        row("number for a bool", withMember(validRecord, QStringLiteral("showInDock"), 1));
        row("object for items", withMember(validRecord, QStringLiteral("items"), QJsonObject()));
        QByteArray braced = validRecord;
        row("braced uuid", braced.replace("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"", "\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\""));
        QByteArray noHyphens = validRecord;
        row("uuid without hyphens", noHyphens.replace("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"", "\"E621E1F8C36C495A93FC0C247A3E6E5F\""));
        QByteArray badHex = validRecord;
        row("uuid with a non-hex digit", badHex.replace("E621E1F8-", "G621E1F8-"));
        QByteArray badKind = validRecord;
        row("unknown item kind", badKind.replace("\"kind\":\"weather\"", "\"kind\":\"Weather\""));
        QByteArray numericRef = validRecord;
        row("number as ref", numericRef.replace("\"ref\":\"45.75,4.85\"", "\"ref\":45.75"));
        QByteArray missingLabel = validRecord;
        row("item without label", missingLabel.replace("\"label\":\"AAPL\",", ""));
        QByteArray sourceNoEnabled = validRecord;
        row("source without enabled", sourceNoEnabled.replace("\"enabled\":false,", ""));
        QByteArray sourceNullName = validRecord;
        row("source with null name", sourceNullName.replace("\"name\":\"Le Monde\"", "\"name\":null"));
        QByteArray overflow = validRecord;
        row("number beyond a double", overflow.replace("\"ledSize\":7", "\"ledSize\":1e400"));
        row("array at the top", "[" + validRecord + "]");
        row("trailing garbage", validRecord + "x");
        row("truncated", validRecord.left(validRecord.size() / 2));
        row("empty", QByteArray());
        row("invalid UTF-8", QByteArray(validRecord).replace("AAPL", "\xff\xfe"));
    }

    void rejectsTheWholeRecord()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(SettingsRecord::decode(bytes), std::nullopt);
    }

    void nullRefCountsAsAbsent()
    {
        QByteArray bytes = validRecord;
        bytes.replace("\"ref\":\"45.75,4.85\"", "\"ref\":null");
        const auto record = SettingsRecord::decode(bytes);
        QVERIFY(record);
        QCOMPARE(record->items[1].ref, std::nullopt);
        QVERIFY(!record->encode()->contains("\"ref\""));
    }

    void refusesToEncodeWhatJsonCannotHold()
    {
        SettingsRecord record;
        record.ledSize = std::numeric_limits<double>::infinity();
        QCOMPARE(record.encode(), std::nullopt);
        record.ledSize = 5;
        record.speed = std::nan("");
        QCOMPARE(record.encode(), std::nullopt);
        record.speed = 3;
        record.theme = static_cast<ColorTheme>(42);
        QCOMPARE(record.encode(), std::nullopt);
    }

    void enumerationNamesAreCaseSensitive()
    {
        QCOMPARE(rawValue(FontStyle::pixelBold), QStringLiteral("pixelBold"));
        QCOMPARE(enumFromRaw<FontStyle>(QStringLiteral("pixelBold")), std::optional(FontStyle::pixelBold));
        QCOMPARE(enumFromRaw<FontStyle>(QStringLiteral("PixelBold")), std::nullopt);
        QCOMPARE(enumFromRaw<StockProvider>(QStringLiteral("twelvedata")), std::nullopt);
        QCOMPARE(allCases<WindowLevelMode>(),
                 (QList<WindowLevelMode>{WindowLevelMode::front, WindowLevelMode::normal, WindowLevelMode::desktop}));
    }

    // Every document of a JSON conformance suite, fed as a stored record: none of them is a
    // settings record, so each must be refused cleanly (the sanitizers watch for the rest).
    void conformanceCorpusIsRefused()
    {
        const QDir dir(QStringLiteral(DOTBANNER_CORPORA "/json/test_parsing"));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(names.size() > 300, qPrintable(dir.path()));
        int invalid = 0;
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(!SettingsRecord::decode(bytes), qPrintable(name));
            // A valid record wrapped around each document as an unknown member changes nothing,
            // as long as the document itself is valid JSON.
            const auto wrapped = SettingsRecord::decode(QByteArray(validRecord).insert(1, "\"extra\":" + bytes + ","));
            if (name.startsWith(QLatin1String("n_"))) {
                ++invalid;
                if (wrapped)
                    qInfo("accepted inside a record: %s", qPrintable(name));
            } else if (name.startsWith(QLatin1String("y_"))) {
                QVERIFY2(wrapped, qPrintable(name));
                QCOMPARE(wrapped->theme, ColorTheme::amber);
            }
        }
        QVERIFY(invalid > 100);
    }
};

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
