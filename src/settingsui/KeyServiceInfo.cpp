#include "settingsui/KeyServiceInfo.h"

#include "settings/Settings.h"
#include "settingsui/UiStyle.h"

KeyServiceInfo KeyServiceInfo::twelveData()
{
    KeyServiceInfo info{KeyService::twelveData,
                        QStringLiteral("Twelve Data"),
                        Icons::Symbol::chartUptrend,
                        UiStyle::blue(),
                        tr("Colle ta clé Twelve Data ici"),
                        tr("Actions, ETF, indices, crypto, devises"),
                        {},
                        {},
                        QUrl(QStringLiteral("https://twelvedata.com/")),
                        QStringLiteral("twelvedata.com")};
    info.steps = {
        {tr("Crée un compte gratuit"),
         tr("Sur le site de Twelve Data, clique sur « Sign up » et confirme ton adresse e-mail.")},
        {tr("Ouvre ton tableau de bord"), tr("Une fois connecté, va dans la section « API keys ».")},
        {tr("Copie ta clé"), tr("Une clé est déjà générée pour toi. Copie-la avec le bouton prévu.")},
        {tr("Colle-la ici"),
         tr("Reviens dans l'onglet Clés API de Dotbanner et colle-la dans le champ. Elle reste dans le "
            "trousseau de ton ordinateur.")},
    };
    info.note = tr("Offre gratuite : 8 requêtes par minute et 800 par jour. Les places boursières hors "
                   "États-Unis peuvent demander un forfait payant : vérifie la couverture sur ton compte.");
    return info;
}

KeyServiceInfo KeyServiceInfo::weather()
{
    KeyServiceInfo info{KeyService::weather,
                        QStringLiteral("WeatherAPI"),
                        Icons::Symbol::cloudSunFill,
                        UiStyle::teal(),
                        tr("Colle ta clé WeatherAPI ici"),
                        tr("Météo et recherche de villes"),
                        {},
                        {},
                        QUrl(QStringLiteral("https://www.weatherapi.com/")),
                        QStringLiteral("weatherapi.com")};
    info.steps = {
        {tr("Crée un compte gratuit"), tr("Sur %1, clique sur « Sign up » et valide ton e-mail.").arg(info.domain)},
        {tr("Ouvre ton tableau de bord"), tr("Ta clé API s'affiche directement sur la page d'accueil du compte.")},
        {tr("Copie ta clé"), tr("Sélectionne la clé et copie-la.")},
        {tr("Colle-la ici"),
         tr("Colle-la dans le champ WeatherAPI de l'onglet Clés API. Les villes se suggèrent alors dès "
            "que tu tapes.")},
    };
    info.note = tr("Offre gratuite : environ 100 000 appels par mois. L'app interroge la météo 3 fois "
                   "par jour. Le nom WeatherAPI.com doit être cité comme source.");
    return info;
}

KeyServiceInfo KeyServiceInfo::metals()
{
    KeyServiceInfo info{KeyService::metals,
                        QStringLiteral("Metals.Dev"),
                        Icons::Symbol::diamondFill,
                        UiStyle::orange(),
                        tr("Colle ta clé Metals.Dev ici"),
                        tr("Or, argent, platine, cuivre…"),
                        {},
                        {},
                        QUrl(QStringLiteral("https://metals.dev/")),
                        QStringLiteral("metals.dev")};
    info.steps = {
        {tr("Crée un compte"), tr("Sur %1, inscris-toi avec ton e-mail.").arg(info.domain)},
        {tr("Récupère ta clé"), tr("Elle apparaît dans ton tableau de bord, dans la section « API key ».")},
        {tr("Colle-la ici"), tr("Colle-la dans le champ Metals.Dev de l'onglet Clés API.")},
        {tr("Rien d'autre à faire"),
         tr("L'app n'interroge Metals.Dev que 3 fois par jour (9h00, 12h30 et 17h00), pour rester "
            "dans les quotas.")},
    };
    info.note = tr("Les quotas de l'offre gratuite dépendent de ton compte : vérifie-les sur le site "
                   "avant de t'en servir.");
    return info;
}

KeyServiceInfo KeyServiceInfo::of(KeyService service)
{
    // Built on each call, not kept: the texts follow the interface's language.
    switch (service) {
    case KeyService::twelveData:
        return twelveData();
    case KeyService::weather:
        return weather();
    case KeyService::metals:
        return metals();
    }
    return twelveData();
}

QList<KeyService> KeyServiceInfo::all()
{
    return {KeyService::twelveData, KeyService::weather, KeyService::metals};
}

QString KeyServiceInfo::key(const Settings &settings) const
{
    switch (service) {
    case KeyService::twelveData:
        return settings.stockKey();
    case KeyService::weather:
        return settings.weatherKey();
    case KeyService::metals:
        return settings.metalsKey();
    }
    return QString();
}

void KeyServiceInfo::setKey(Settings &settings, const QString &value) const
{
    switch (service) {
    case KeyService::twelveData:
        settings.setStockKey(value);
        break;
    case KeyService::weather:
        settings.setWeatherKey(value);
        break;
    case KeyService::metals:
        settings.setMetalsKey(value);
        break;
    }
}
