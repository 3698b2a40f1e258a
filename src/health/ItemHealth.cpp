#include "health/ItemHealth.h"

#include "health/SourceHealth.h"
#include "health/SourceHealthText.h"

#include <QUrlQuery>

namespace {

// Internal addresses never reach the browser: the band's owner answers them itself.
const QString kScheme = QStringLiteral("dotbanner");
const QString kKeysPath = QStringLiteral("keys");

const char *serviceWord(KeyService service)
{
    switch (service) {
    case KeyService::twelveData:
        return "twelveData";
    case KeyService::weather:
        return "weather";
    case KeyService::metals:
        return "metals";
    }
    return "";
}

} // namespace

SourceId ItemHealth::sourceOf(ItemKind kind, StockProvider provider)
{
    switch (kind) {
    case ItemKind::weather:
        return SourceId::weatherApi();
    case ItemKind::metal:
        return SourceId::metalsDev();
    case ItemKind::quote:
        break;
    }
    return provider == StockProvider::twelveData ? SourceId::twelveData() : SourceId::yahoo();
}

std::optional<KeyService> ItemHealth::keyOf(const SourceId &source)
{
    switch (source.service) {
    case SourceId::Service::twelveData:
        return KeyService::twelveData;
    case SourceId::Service::weatherApi:
        return KeyService::weather;
    case SourceId::Service::metalsDev:
        return KeyService::metals;
    case SourceId::Service::yahoo:
    case SourceId::Service::feed:
        break;
    }
    return std::nullopt;
}

std::optional<ItemHealth::Why> ItemHealth::why(const SourceHealth &health, const WatchItem &item,
                                               StockProvider provider)
{
    const SourceId source = sourceOf(item.kind, provider);
    const std::optional<SourceFailure> failure = health.failureFor(source, item.id);
    if (!failure)
        return std::nullopt;
    Why why;
    why.text = SourceHealthText::failureText(source, *failure, health.nextTryFor(source, item.id));
    if (failure->kind == FailureKind::missingKey) {
        why.key = keyOf(source);
        why.text = tr("%1 — cliquer pour l'ajouter").arg(why.text);
    } else if (failure->kind == FailureKind::keyRejected) {
        why.key = keyOf(source);
        why.text = tr("%1 — cliquer pour la corriger").arg(why.text);
    }
    return why;
}

QUrl ItemHealth::keyFieldLink(KeyService service)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(kKeysPath);
    url.setQuery(QStringLiteral("field=") + QLatin1String(serviceWord(service)));
    return url;
}

std::optional<KeyService> ItemHealth::keyFieldOf(const QUrl &url)
{
    if (url.scheme() != kScheme || url.path() != kKeysPath || !url.host().isEmpty())
        return std::nullopt;
    const QString field = QUrlQuery(url).queryItemValue(QStringLiteral("field"));
    for (const KeyService service : {KeyService::twelveData, KeyService::weather, KeyService::metals}) {
        if (field == QLatin1String(serviceWord(service)))
            return service;
    }
    return std::nullopt;
}
