#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QWidget;
class Settings;
class SettingsEnvironment;

/**
 * Reference pictures of the settings window's views, drawn off screen: the content
 * tab in edit mode, the whole view and the keys tab at 600 × 640, and the WeatherAPI
 * tutorial sheet at 500 × 460, each on the window background.
 */
namespace SettingsSnapshots {

inline constexpr QSize tabSize{600, 640};
inline constexpr QSize sheetSize{500, 460};

/** Lays `widget` out at `size` without putting it on screen and draws it. */
QImage render(QWidget *widget, QSize size);

QImage contentTab(Settings &settings, SettingsEnvironment &environment);
QImage wholeView(Settings &settings, SettingsEnvironment &environment);
QImage keysTab(Settings &settings, SettingsEnvironment &environment);
QImage weatherTutorial(SettingsEnvironment &environment);

/**
 * Writes PREFIX-content.png, PREFIX-all.png, PREFIX-keys.png and PREFIX-tuto.png in
 * this order. A picture that cannot be made or written is skipped; returns how many
 * were written.
 */
int writeAll(const QString &prefix, Settings &settings, SettingsEnvironment &environment);

} // namespace SettingsSnapshots
