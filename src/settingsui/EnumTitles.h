#pragma once

#include "types/SettingsEnums.h"

#include <QString>

/**
 * The titles the settings window and the menus show for each case, in the interface's language.
 * Defined here, with the interface; settings/SettingsEnums.h still declares them for older includers.
 */
QString title(WindowLevelMode value);
QString title(DockPosition value);
QString title(BarVariant value);
QString title(FontStyle value);
QString title(ColorTheme value);
QString title(StockProvider value);
QString title(ItemKind value);
