#include "settingsui/KeyServiceInfo.h"

#include "settings/Settings.h"
#include "settingsui/UiStyle.h"

namespace {

KeyServiceInfo twelveData()
{
    KeyServiceInfo info{KeyService::twelveData, QStringLiteral("Twelve Data"), Icons::Symbol::chartUptrend,
                        UiStyle::blue(), QStringLiteral("Colle ta clé Twelve Data ici"),
                        QStringLiteral("Actions, ETF, indices, crypto, devises"), {}, {},
                        QUrl(QStringLiteral("https://twelvedata.com/")), QStringLiteral("twelvedata.com")};
    info.steps = {
        {QStringLiteral("Crée un compte gratuit"),
         QStringLiteral("Sur le site de Twelve Data, clique sur « Sign up » et confirme ton adresse e-mail.")},
        {QStringLiteral("Ouvre ton tableau de bord"),
         QStringLiteral("Une fois connecté, va dans la section « API keys ».")},
        {QStringLiteral("Copie ta clé"),
         QStringLiteral("Une clé est déjà générée pour toi. Copie-la avec le bouton prévu.")},
        {QStringLiteral("Colle-la ici"),
         QStringLiteral("Reviens dans l'onglet Clés API de Dotbanner et colle-la dans le champ. Elle reste dans le "
                        "trousseau de ton ordinateur.")},
    };
    info.note = QStringLiteral("Offre gratuite : 8 requêtes par minute et 800 par jour. Les places boursières hors "
                               "États-Unis peuvent demander un forfait payant : vérifie la couverture sur ton compte.");
    return info;
}

KeyServiceInfo weather()
{
    KeyServiceInfo info{KeyService::weather, QStringLiteral("WeatherAPI"), Icons::Symbol::cloudSunFill,
                        UiStyle::teal(), QStringLiteral("Colle ta clé WeatherAPI ici"),
                        QStringLiteral("Météo et recherche de villes"), {}, {},
                        QUrl(QStringLiteral("https://www.weatherapi.com/")), QStringLiteral("weatherapi.com")};
    info.steps = {
        {QStringLiteral("Crée un compte gratuit"),
         QStringLiteral("Sur ") + info.domain + QStringLiteral(", clique sur « Sign up » et valide ton e-mail.")},
        {QStringLiteral("Ouvre ton tableau de bord"),
         QStringLiteral("Ta clé API s'affiche directement sur la page d'accueil du compte.")},
        {QStringLiteral("Copie ta clé"), QStringLiteral("Sélectionne la clé et copie-la.")},
        {QStringLiteral("Colle-la ici"),
         QStringLiteral("Colle-la dans le champ WeatherAPI de l'onglet Clés API. Les villes se suggèrent alors dès "
                        "que tu tapes.")},
    };
    info.note = QStringLiteral("Offre gratuite : environ 100 000 appels par mois. L'app interroge la météo 3 fois "
                               "par jour. Le nom WeatherAPI.com doit être cité comme source.");
    return info;
}

KeyServiceInfo metals()
{
    KeyServiceInfo info{KeyService::metals, QStringLiteral("Metals.Dev"), Icons::Symbol::diamondFill,
                        UiStyle::orange(), QStringLiteral("Colle ta clé Metals.Dev ici"),
                        QStringLiteral("Or, argent, platine, cuivre…"), {}, {},
                        QUrl(QStringLiteral("https://metals.dev/")), QStringLiteral("metals.dev")};
    info.steps = {
        {QStringLiteral("Crée un compte"), QStringLiteral("Sur ") + info.domain
                                               + QStringLiteral(", inscris-toi avec ton e-mail.")},
        {QStringLiteral("Récupère ta clé"),
         QStringLiteral("Elle apparaît dans ton tableau de bord, dans la section « API key ».")},
        {QStringLiteral("Colle-la ici"), QStringLiteral("Colle-la dans le champ Metals.Dev de l'onglet Clés API.")},
        {QStringLiteral("Rien d'autre à faire"),
         QStringLiteral("L'app n'interroge Metals.Dev que 3 fois par jour (9h00, 12h30 et 17h00), pour rester "
                        "dans les quotas.")},
    };
    info.note = QStringLiteral("Les quotas de l'offre gratuite dépendent de ton compte : vérifie-les sur le site "
                               "avant de t'en servir.");
    return info;
}

} // namespace

const KeyServiceInfo &KeyServiceInfo::of(KeyService service)
{
    static const KeyServiceInfo infos[] = {twelveData(), weather(), metals()};
    switch (service) {
    case KeyService::twelveData:
        return infos[0];
    case KeyService::weather:
        return infos[1];
    case KeyService::metals:
        return infos[2];
    }
    return infos[0];
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
