#include "health/SourceHealthText.h"

#include "util/Clock.h"

#include <QLocale>

namespace {

/** The thing a service did not find, by what it serves. */
QString notFoundText(const SourceId &source, const QString &name)
{
    switch (source.service) {
    case SourceId::Service::yahoo:
    case SourceId::Service::twelveData:
        return SourceHealthText::tr("%1 : symbole introuvable").arg(name);
    case SourceId::Service::weatherApi:
        return SourceHealthText::tr("%1 : lieu introuvable").arg(name);
    case SourceId::Service::metalsDev:
        return SourceHealthText::tr("%1 : métal introuvable").arg(name);
    case SourceId::Service::feed:
        break;
    }
    return SourceHealthText::tr("%1 : flux introuvable").arg(name);
}

QString badAddressText(const SourceId &source, const QString &name)
{
    if (source.service == SourceId::Service::yahoo || source.service == SourceId::Service::twelveData)
        return SourceHealthText::tr("%1 : symbole invalide").arg(name);
    return SourceHealthText::tr("%1 : adresse invalide").arg(name);
}

QString networkText(const QString &name, NetworkProblem problem)
{
    const QString what = SourceHealthText::networkProblemName(problem);
    switch (problem) {
    case NetworkProblem::connectionRefused:
    case NetworkProblem::connectionClosed:
    case NetworkProblem::secureConnection:
        // The network works; that one server does not take us.
        return SourceHealthText::tr("%1 injoignable (%2)").arg(name, what);
    case NetworkProblem::none:
    case NetworkProblem::hostNotFound:
    case NetworkProblem::unreachable:
    case NetworkProblem::proxy:
    case NetworkProblem::other:
        break;
    }
    return SourceHealthText::tr("Pas de réseau (%1)").arg(what);
}

QString nextTryText(const QDateTime &nextTry)
{
    return SourceHealthText::timeText(nextTry);
}

/** What an HTTP status means, in a few words, for a feed's row. */
QString statusWords(const SourceFailure &failure)
{
    switch (failure.kind) {
    case FailureKind::accessDenied:
    case FailureKind::keyRejected:
        return SourceHealthText::tr("accès refusé");
    case FailureKind::tooManyRequests:
        return SourceHealthText::tr("trop de requêtes");
    case FailureKind::notFound:
        return SourceHealthText::tr("introuvable");
    case FailureKind::serverError:
        return SourceHealthText::tr("erreur du serveur");
    default:
        break;
    }
    return SourceHealthText::tr("requête refusée");
}

} // namespace

QString SourceHealthText::timeText(const QDateTime &when)
{
    const QDateTime local = when.toLocalTime();
    const QString time = local.time().toString(QStringLiteral("HH:mm"));
    if (local.date() == Clock::current().now().toLocalTime().date())
        return time;
    return QLocale().toString(local.date(), QLocale::ShortFormat) + u' ' + time;
}

namespace {

const char *logProblemName(NetworkProblem problem)
{
    switch (problem) {
    case NetworkProblem::hostNotFound:
        return "host not found";
    case NetworkProblem::connectionRefused:
        return "connection refused";
    case NetworkProblem::connectionClosed:
        return "connection closed";
    case NetworkProblem::secureConnection:
        return "secure connection failed";
    case NetworkProblem::unreachable:
        return "network unreachable";
    case NetworkProblem::proxy:
        return "proxy error";
    case NetworkProblem::none:
    case NetworkProblem::other:
        break;
    }
    return nullptr;
}

} // namespace

QString SourceHealthText::sourceName(const SourceId &source, const QString &feedName)
{
    switch (source.service) {
    case SourceId::Service::yahoo:
        return QStringLiteral("Yahoo");
    case SourceId::Service::twelveData:
        return QStringLiteral("Twelve Data");
    case SourceId::Service::metalsDev:
        return QStringLiteral("Metals.Dev");
    case SourceId::Service::weatherApi:
        return QStringLiteral("WeatherAPI");
    case SourceId::Service::feed:
        break;
    }
    return feedName.isEmpty() ? tr("Flux") : feedName;
}

QString SourceHealthText::networkProblemName(NetworkProblem problem)
{
    switch (problem) {
    case NetworkProblem::hostNotFound:
        return tr("hôte introuvable");
    case NetworkProblem::connectionRefused:
        return tr("connexion refusée");
    case NetworkProblem::connectionClosed:
        return tr("connexion interrompue");
    case NetworkProblem::secureConnection:
        return tr("connexion sécurisée impossible");
    case NetworkProblem::unreachable:
        return tr("réseau inaccessible");
    case NetworkProblem::proxy:
        return tr("erreur du proxy");
    case NetworkProblem::none:
    case NetworkProblem::other:
        break;
    }
    return tr("erreur réseau");
}

QString SourceHealthText::failureText(const SourceId &source, const SourceFailure &failure, const QDateTime &nextTry,
                                      const QString &feedName)
{
    const QString name = sourceName(source, feedName);
    QString text;
    switch (failure.kind) {
    case FailureKind::missingKey:
        text = tr("Clé %1 manquante").arg(name);
        break;
    case FailureKind::keyRejected:
        text = tr("%1 a refusé la clé").arg(name);
        break;
    case FailureKind::accessDenied:
        text = tr("%1 : accès refusé").arg(name);
        break;
    case FailureKind::tooManyRequests:
        text = tr("%1 : trop de requêtes").arg(name);
        break;
    case FailureKind::notFound:
        text = notFoundText(source, name);
        break;
    case FailureKind::serverError:
        text = tr("%1 : erreur du serveur").arg(name);
        break;
    case FailureKind::httpError:
        text = tr("%1 : requête refusée").arg(name);
        break;
    case FailureKind::network:
        text = networkText(name, failure.network);
        break;
    case FailureKind::timeout:
        text = tr("Pas de réponse de %1 (délai dépassé)").arg(name);
        break;
    case FailureKind::unreadable:
        text = tr("%1 : réponse illisible").arg(name);
        break;
    case FailureKind::serviceError:
        text = tr("%1 a répondu par une erreur").arg(name);
        break;
    case FailureKind::tooManyRedirects:
        text = tr("%1 : trop de redirections").arg(name);
        break;
    case FailureKind::redirectRefused:
        text = tr("%1 : redirection refusée").arg(name);
        break;
    case FailureKind::badAddress:
        text = badAddressText(source, name);
        break;
    }
    if (failure.httpStatus != 0)
        text = tr("%1 (HTTP %2)").arg(text).arg(failure.httpStatus);
    else if (failure.serviceCode != 0)
        text = tr("%1 (code %2)").arg(text).arg(failure.serviceCode);
    if (nextTry.isValid())
        text = tr("%1, prochain essai à %2").arg(text, nextTryText(nextTry));
    return text;
}

QString SourceHealthText::keyStatus(const SourceId &source, const HealthRecord &record)
{
    const QString name = sourceName(source);
    switch (record.state) {
    case HealthRecord::State::unknown:
        return tr("Pas encore utilisée");
    case HealthRecord::State::ok:
        if (!record.lastSuccess.isValid())
            return tr("Acceptée");
        return tr("Acceptée — dernière réponse à %1").arg(timeText(record.lastSuccess));
    case HealthRecord::State::failing:
        break;
    }
    if (!record.lastFailure)
        return tr("Pas encore utilisée");
    const SourceFailure &failure = *record.lastFailure;
    QString text;
    if (failure.kind == FailureKind::missingKey)
        return tr("Aucune clé : les valeurs de %1 ne sont pas demandées").arg(name);
    if (failure.kind == FailureKind::keyRejected) {
        text = failure.httpStatus != 0
                   ? tr("Refusée par %1 (HTTP %2) : vérifie la clé").arg(name).arg(failure.httpStatus)
                   : tr("Refusée par %1 : vérifie la clé").arg(name);
    } else {
        text = failureText(source, failure);
        if (failure.at.isValid())
            text = tr("%1 à %2").arg(text, timeText(failure.at));
    }
    if (record.nextTry.isValid())
        text = tr("%1 ; prochain essai à %2").arg(text, timeText(record.nextTry));
    return text;
}

QString SourceHealthText::feedStatus(const HealthRecord &record)
{
    if (!record.isFailing() || !record.lastFailure)
        return {};
    const SourceFailure &failure = *record.lastFailure;
    if (failure.httpStatus != 0)
        return tr("HTTP %1 — %2").arg(failure.httpStatus).arg(statusWords(failure));
    switch (failure.kind) {
    case FailureKind::network:
        return networkProblemName(failure.network);
    case FailureKind::timeout:
        return tr("délai dépassé");
    case FailureKind::unreadable:
        return tr("réponse illisible");
    case FailureKind::tooManyRedirects:
        return tr("trop de redirections");
    case FailureKind::redirectRefused:
        return tr("redirection refusée");
    case FailureKind::badAddress:
        return tr("adresse invalide");
    default:
        break;
    }
    return failureText(SourceId::feedWith({}), failure);
}

QString SourceHealthText::logName(const SourceId &source, const QString &feedName)
{
    switch (source.service) {
    case SourceId::Service::yahoo:
        return QStringLiteral("Yahoo Finance");
    case SourceId::Service::twelveData:
        return QStringLiteral("Twelve Data");
    case SourceId::Service::metalsDev:
        return QStringLiteral("Metals.Dev");
    case SourceId::Service::weatherApi:
        return QStringLiteral("WeatherAPI");
    case SourceId::Service::feed:
        break;
    }
    return QStringLiteral("feed \"%1\"").arg(feedName);
}

QString SourceHealthText::logReason(const SourceFailure &failure)
{
    QString reason;
    switch (failure.kind) {
    case FailureKind::missingKey:
        reason = QStringLiteral("no key");
        break;
    case FailureKind::keyRejected:
        reason = QStringLiteral("key rejected");
        break;
    case FailureKind::accessDenied:
        reason = QStringLiteral("access denied");
        break;
    case FailureKind::tooManyRequests:
        reason = QStringLiteral("too many requests");
        break;
    case FailureKind::notFound:
        reason = QStringLiteral("not found");
        break;
    case FailureKind::serverError:
        reason = QStringLiteral("server error");
        break;
    case FailureKind::httpError:
        reason = QStringLiteral("request refused");
        break;
    case FailureKind::network:
        reason = QStringLiteral("network error");
        if (const char *problem = logProblemName(failure.network))
            reason += QStringLiteral(" (%1)").arg(QLatin1String(problem));
        break;
    case FailureKind::timeout:
        reason = QStringLiteral("no answer in time");
        break;
    case FailureKind::unreadable:
        reason = QStringLiteral("unreadable answer");
        break;
    case FailureKind::serviceError:
        reason = QStringLiteral("error answer");
        break;
    case FailureKind::tooManyRedirects:
        reason = QStringLiteral("too many redirects");
        break;
    case FailureKind::redirectRefused:
        reason = QStringLiteral("redirect refused");
        break;
    case FailureKind::badAddress:
        reason = QStringLiteral("invalid address or symbol, nothing sent");
        break;
    }
    if (failure.httpStatus != 0)
        reason += QStringLiteral(" (HTTP %1)").arg(failure.httpStatus);
    else if (failure.serviceCode != 0)
        reason += QStringLiteral(" (code %1)").arg(failure.serviceCode);
    return reason;
}
