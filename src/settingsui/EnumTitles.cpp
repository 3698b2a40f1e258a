#include "settingsui/EnumTitles.h"

#include <QCoreApplication>

QString title(WindowLevelMode value)
{
    switch (value) {
    case WindowLevelMode::front:
        return QCoreApplication::translate("EnumTitles", "Au premier plan");
    case WindowLevelMode::normal:
        return QCoreApplication::translate("EnumTitles", "Normal (les fenêtres peuvent le couvrir)");
    case WindowLevelMode::desktop:
        return QCoreApplication::translate("EnumTitles", "Derrière toutes les fenêtres");
    }
    return {};
}

QString title(DockPosition value)
{
    switch (value) {
    case DockPosition::top:
        return QCoreApplication::translate("EnumTitles", "Haut de l'écran");
    case DockPosition::bottom:
        return QCoreApplication::translate("EnumTitles", "Bas de l'écran");
    }
    return {};
}

QString title(BarVariant value)
{
    switch (value) {
    case BarVariant::thin:
        return QCoreApplication::translate("EnumTitles", "1 ligne (cours)");
    case BarVariant::thick:
        return QCoreApplication::translate("EnumTitles", "2 lignes (cours + actualités)");
    }
    return {};
}

QString title(FontStyle value)
{
    switch (value) {
    case FontStyle::pixelBold:
        return QCoreApplication::translate("EnumTitles", "Pixel gras");
    case FontStyle::pixel:
        return QCoreApplication::translate("EnumTitles", "Pixel 5×7");
    case FontStyle::hd:
        return QCoreApplication::translate("EnumTitles", "Haute définition");
    }
    return {};
}

QString title(ColorTheme value)
{
    switch (value) {
    case ColorTheme::greenRed:
        return QCoreApplication::translate("EnumTitles", "Vert / rouge");
    case ColorTheme::amber:
        return QCoreApplication::translate("EnumTitles", "Ambre");
    case ColorTheme::blue:
        return QCoreApplication::translate("EnumTitles", "Bleu");
    }
    return {};
}

QString title(StockProvider value)
{
    switch (value) {
    case StockProvider::yahoo:
        return QCoreApplication::translate("EnumTitles", "Yahoo Finance (sans clé, non officiel)");
    case StockProvider::twelveData:
        return QCoreApplication::translate("EnumTitles", "Twelve Data (clé API personnelle)");
    }
    return {};
}

QString title(ItemKind value)
{
    switch (value) {
    case ItemKind::quote:
        return QCoreApplication::translate("EnumTitles", "Action, ETF, indice, crypto");
    case ItemKind::weather:
        return QCoreApplication::translate("EnumTitles", "Ville (météo)");
    case ItemKind::metal:
        return QCoreApplication::translate("EnumTitles", "Métal");
    }
    return {};
}
