// The words of the sources' health, in French as written and in English as translated, and
// the log's plain English.

#include "FakeClock.h"
#include "health/SourceHealthText.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

namespace {

SourceFailure failure(FailureKind kind, int status = 0, NetworkProblem network = NetworkProblem::none, int code = 0)
{
    return SourceFailure{kind, status, code, network, {}};
}

const SourceId feed = SourceId::feedWith(QUuid::createUuid());

} // namespace

class TestSourceHealthText : public QObject
{
    Q_OBJECT
private:
    // 14:02 on the fake clock's day: "next try" reads as a time of today.
    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(14, 2))};

    QDateTime at(int hour, int minute, int days = 0) const
    {
        return QDateTime(QDate(2026, 3, 2).addDays(days), QTime(hour, minute));
    }

    void texts_data(bool english)
    {
        QTest::addColumn<SourceId>("source");
        QTest::addColumn<SourceFailure>("failure");
        QTest::addColumn<QDateTime>("nextTry");
        QTest::addColumn<QString>("text");
        const auto row = [english](const char *name, SourceId source, SourceFailure failure, QDateTime nextTry,
                                   const char *french, const char *inEnglish) {
            QTest::newRow(name) << source << failure << nextTry << QString::fromUtf8(english ? inEnglish : french);
        };
        row("key refused", SourceId::metalsDev(), failure(FailureKind::keyRejected, 401), {},
            "Metals.Dev a refusé la clé (HTTP 401)", "Metals.Dev refused the key (HTTP 401)");
        row("symbol not found", SourceId::yahoo(), failure(FailureKind::notFound, 404), {},
            "Yahoo : symbole introuvable (HTTP 404)", "Yahoo: symbol not found (HTTP 404)");
        row("key missing", SourceId::weatherApi(), failure(FailureKind::missingKey), {}, "Clé WeatherAPI manquante",
            "WeatherAPI key missing");
        row("too many requests", SourceId::twelveData(), failure(FailureKind::tooManyRequests, 429), at(14, 10),
            "Twelve Data : trop de requêtes (HTTP 429), prochain essai à 14:10",
            "Twelve Data: too many requests (HTTP 429), next try at 14:10");
        row("no network", SourceId::yahoo(), failure(FailureKind::network, 0, NetworkProblem::hostNotFound), {},
            "Pas de réseau (hôte introuvable)", "No network (host not found)");
        row("refused", SourceId::metalsDev(), failure(FailureKind::network, 0, NetworkProblem::connectionRefused), {},
            "Metals.Dev injoignable (connexion refusée)", "Metals.Dev unreachable (connection refused)");
        row("time-out", SourceId::weatherApi(), failure(FailureKind::timeout), {},
            "Pas de réponse de WeatherAPI (délai dépassé)", "No answer from WeatherAPI (time-out)");
        row("server error", SourceId::yahoo(), failure(FailureKind::serverError, 503), {},
            "Yahoo : erreur du serveur (HTTP 503)", "Yahoo: server error (HTTP 503)");
        row("place not found, code", SourceId::weatherApi(), failure(FailureKind::notFound, 400, {}, 1006), {},
            "WeatherAPI : lieu introuvable (HTTP 400)", "WeatherAPI: place not found (HTTP 400)");
        row("code in the body", SourceId::twelveData(), failure(FailureKind::notFound, 0, {}, 404), {},
            "Twelve Data : symbole introuvable (code 404)", "Twelve Data: symbol not found (code 404)");
        row("unreadable", SourceId::metalsDev(), failure(FailureKind::unreadable), {}, "Metals.Dev : réponse illisible",
            "Metals.Dev: unreadable answer");
        row("feed redirects", feed, failure(FailureKind::tooManyRedirects), {}, "Le Monde : trop de redirections",
            "Le Monde: too many redirects");
        row("feed gone", feed, failure(FailureKind::notFound, 404), {}, "Le Monde : flux introuvable (HTTP 404)",
            "Le Monde: feed not found (HTTP 404)");
        row("feed locked", feed, failure(FailureKind::accessDenied, 403), {}, "Le Monde : accès refusé (HTTP 403)",
            "Le Monde: access denied (HTTP 403)");
        row("feed address", feed, failure(FailureKind::badAddress), {}, "Le Monde : adresse invalide",
            "Le Monde: invalid address");
        row("symbol", SourceId::yahoo(), failure(FailureKind::badAddress), {}, "Yahoo : symbole invalide",
            "Yahoo: invalid symbol");
        row("service error", SourceId::metalsDev(), failure(FailureKind::serviceError), {},
            "Metals.Dev a répondu par une erreur", "Metals.Dev answered with an error");
        row("redirect refused", SourceId::twelveData(), failure(FailureKind::redirectRefused), {},
            "Twelve Data : redirection refusée", "Twelve Data: redirect refused");
        row("bad request", SourceId::yahoo(), failure(FailureKind::httpError, 400), {},
            "Yahoo : requête refusée (HTTP 400)", "Yahoo: request refused (HTTP 400)");
    }

    void compareTexts()
    {
        QFETCH(SourceId, source);
        QFETCH(SourceFailure, failure);
        QFETCH(QDateTime, nextTry);
        QFETCH(QString, text);
        QCOMPARE(SourceHealthText::failureText(source, failure, nextTry, QStringLiteral("Le Monde")), text);
    }

private slots:
    void frenchTexts_data() { texts_data(false); }
    void frenchTexts() { compareTexts(); }

    void englishTexts_data() { texts_data(true); }
    void englishTexts()
    {
        QTranslator translator;
        QVERIFY2(translator.load(QStringLiteral(DOTBANNER_EN_QM)), DOTBANNER_EN_QM);
        QVERIFY(QCoreApplication::installTranslator(&translator));
        compareTexts();
        QCoreApplication::removeTranslator(&translator);
    }

    void everyKindAndProblemHasWords()
    {
        for (int kind = 0; kind <= static_cast<int>(FailureKind::badAddress); ++kind) {
            const SourceFailure f = failure(static_cast<FailureKind>(kind));
            QVERIFY(SourceHealthText::failureText(SourceId::yahoo(), f).startsWith(u"Yahoo") ||
                    f.kind == FailureKind::missingKey || f.kind == FailureKind::network ||
                    f.kind == FailureKind::timeout);
            QVERIFY(!SourceHealthText::logReason(f).isEmpty());
        }
        QSet<QString> names;
        for (int problem = 0; problem <= static_cast<int>(NetworkProblem::other); ++problem)
            names.insert(SourceHealthText::networkProblemName(static_cast<NetworkProblem>(problem)));
        QCOMPARE(names.size(), 7); // none and other share "erreur réseau"
        QCOMPARE(SourceHealthText::sourceName(feed), QStringLiteral("Flux"));
    }

    void aTryOnAnotherDayNamesTheDay()
    {
        const QString text =
            SourceHealthText::failureText(SourceId::metalsDev(), failure(FailureKind::timeout), at(9, 0, 1));
        QVERIFY2(text.endsWith(QLocale().toString(QDate(2026, 3, 3), QLocale::ShortFormat) + " 09:00"),
                 qPrintable(text));
    }

    void keyStatusLines()
    {
        const auto check = [this](bool english) {
            const auto says = [english](const HealthRecord &record, const char *french, const char *inEnglish) {
                QCOMPARE(SourceHealthText::keyStatus(SourceId::metalsDev(), record),
                         QString::fromUtf8(english ? inEnglish : french));
            };
            HealthRecord record;
            says(record, "Pas encore utilisée", "Not used yet");
            record.state = HealthRecord::State::ok;
            says(record, "Acceptée", "Accepted"); // answering, without a success of its own yet
            record.lastSuccess = at(14, 2);
            says(record, "Acceptée — dernière réponse à 14:02", "Accepted — last answer at 14:02");
            // A failure kept for the record after a success says nothing against the key.
            record.lastFailure = failure(FailureKind::keyRejected, 401);
            says(record, "Acceptée — dernière réponse à 14:02", "Accepted — last answer at 14:02");
            record.state = HealthRecord::State::failing;
            says(record, "Refusée par Metals.Dev (HTTP 401) : vérifie la clé",
                 "Rejected by Metals.Dev (HTTP 401): check the key");
            SourceFailure late = failure(FailureKind::timeout);
            late.at = at(14, 5);
            record.lastFailure = late;
            record.nextTry = at(14, 10);
            says(record, "Pas de réponse de Metals.Dev (délai dépassé) à 14:05 ; prochain essai à 14:10",
                 "No answer from Metals.Dev (time-out) at 14:05; next try at 14:10");
            record.lastFailure = failure(FailureKind::missingKey);
            record.nextTry = {};
            says(record, "Aucune clé : les valeurs de Metals.Dev ne sont pas demandées",
                 "No key: values from Metals.Dev are not requested");
        };
        check(false);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(DOTBANNER_EN_QM)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        check(true);
        QCoreApplication::removeTranslator(&translator);
    }

    void feedStatusGivesTheStatusOrTheError()
    {
        HealthRecord record;
        QCOMPARE(SourceHealthText::feedStatus(record), QString()); // never asked
        record.state = HealthRecord::State::failing;
        record.lastFailure = failure(FailureKind::notFound, 404);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("HTTP 404 — introuvable"));
        record.lastFailure = failure(FailureKind::serverError, 503);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("HTTP 503 — erreur du serveur"));
        record.lastFailure = failure(FailureKind::httpError, 410);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("HTTP 410 — requête refusée"));
        record.lastFailure = failure(FailureKind::network, 0, NetworkProblem::hostNotFound);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("hôte introuvable"));
        record.lastFailure = failure(FailureKind::tooManyRedirects);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("trop de redirections"));
        record.lastFailure = failure(FailureKind::unreadable);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("réponse illisible"));
        // Answering again: nothing to say, whatever failed before.
        record.state = HealthRecord::State::ok;
        QCOMPARE(SourceHealthText::feedStatus(record), QString());

        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(DOTBANNER_EN_QM)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        record.state = HealthRecord::State::failing;
        record.lastFailure = failure(FailureKind::notFound, 404);
        QCOMPARE(SourceHealthText::feedStatus(record), QStringLiteral("HTTP 404 — not found"));
        QCOMPARE(SourceHealthText::keyStatus(SourceId::weatherApi(), HealthRecord()), QStringLiteral("Not used yet"));
        QCoreApplication::removeTranslator(&translator);
    }

    void logWordsAreEnglishAndPlain()
    {
        QCOMPARE(SourceHealthText::logReason(failure(FailureKind::keyRejected, 401)), "key rejected (HTTP 401)");
        QCOMPARE(SourceHealthText::logReason(failure(FailureKind::network, 0, NetworkProblem::hostNotFound)),
                 "network error (host not found)");
        QCOMPARE(SourceHealthText::logReason(failure(FailureKind::network, 0, NetworkProblem::other)), "network error");
        QCOMPARE(SourceHealthText::logReason(failure(FailureKind::serviceError, 0, {}, 1101)),
                 "error answer (code 1101)");
        QCOMPARE(SourceHealthText::logName(SourceId::yahoo()), "Yahoo Finance");
        QCOMPARE(SourceHealthText::logName(feed, "Le Monde"), "feed \"Le Monde\"");
    }
};

QTEST_GUILESS_MAIN(TestSourceHealthText)
#include "TestSourceHealthText.moc"
