#include "settings/SettingsEnums.h"

QString title(WindowLevelMode value)
{
    switch (value) {
    case WindowLevelMode::front:
        return QStringLiteral("Au premier plan");
    case WindowLevelMode::normal:
        return QStringLiteral("Normal (les fenêtres peuvent le couvrir)");
    case WindowLevelMode::desktop:
        return QStringLiteral("Derrière toutes les fenêtres");
    }
    return {};
}

QString title(DockPosition value)
{
    switch (value) {
    case DockPosition::top:
        return QStringLiteral("Haut de l'écran");
    case DockPosition::bottom:
        return QStringLiteral("Bas de l'écran");
    }
    return {};
}

QString title(BarVariant value)
{
    switch (value) {
    case BarVariant::thin:
        return QStringLiteral("1 ligne (cours)");
    case BarVariant::thick:
        return QStringLiteral("2 lignes (cours + actualités)");
    }
    return {};
}

QString title(FontStyle value)
{
    switch (value) {
    case FontStyle::pixelBold:
        return QStringLiteral("Pixel gras");
    case FontStyle::pixel:
        return QStringLiteral("Pixel 5×7");
    case FontStyle::hd:
        return QStringLiteral("Haute définition");
    }
    return {};
}

QString title(ColorTheme value)
{
    switch (value) {
    case ColorTheme::greenRed:
        return QStringLiteral("Vert / rouge");
    case ColorTheme::amber:
        return QStringLiteral("Ambre");
    case ColorTheme::blue:
        return QStringLiteral("Bleu");
    }
    return {};
}

QString title(StockProvider value)
{
    switch (value) {
    case StockProvider::yahoo:
        return QStringLiteral("Yahoo Finance (sans clé, non officiel)");
    case StockProvider::twelveData:
        return QStringLiteral("Twelve Data (clé API personnelle)");
    }
    return {};
}

QString title(ItemKind value)
{
    switch (value) {
    case ItemKind::quote:
        return QStringLiteral("Action, ETF, indice, crypto");
    case ItemKind::weather:
        return QStringLiteral("Ville (météo)");
    case ItemKind::metal:
        return QStringLiteral("Métal");
    }
    return {};
}
