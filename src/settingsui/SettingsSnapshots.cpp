#include "settingsui/SettingsSnapshots.h"

#include "settings/Keychain.h"
#include "settingsui/ContentTab.h"
#include "settingsui/KeysTab.h"
#include "settingsui/SettingsView.h"
#include "settingsui/TutorialSheet.h"

#include <QApplication>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

#include <memory>

namespace SettingsSnapshots {

QImage render(QWidget *widget, QSize size)
{
    // A widget that was never shown lays out wrongly when grabbed: show it, off screen.
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->setAutoFillBackground(true);
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    widget->setFixedSize(size);
    widget->show();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QImage image = widget->grab().toImage();
    widget->hide();
    return image;
}

QImage contentTab(Settings &settings, SettingsEnvironment &environment)
{
    const auto tab = std::make_unique<ContentTab>(settings, environment);
    tab->setEditing(true);
    return render(tab.get(), tabSize);
}

QImage wholeView(Settings &settings, SettingsEnvironment &environment)
{
    const auto view = std::make_unique<SettingsView>(settings, environment);
    return render(view.get(), tabSize);
}

QImage keysTab(Settings &settings, SettingsEnvironment &environment)
{
    const auto tab = std::make_unique<KeysTab>(settings, environment);
    return render(tab.get(), tabSize);
}

QImage weatherTutorial(SettingsEnvironment &environment)
{
    const auto sheet = std::make_unique<TutorialSheet>(KeyService::weather, environment);
    sheet->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    return render(sheet.get(), sheetSize);
}

int writeAll(const QString &prefix, Settings &settings, SettingsEnvironment &environment)
{
    int written = 0;
    const auto write = [&](const QImage &image, const char *suffix) {
        if (!image.isNull() && image.save(prefix + QLatin1String(suffix), "PNG"))
            ++written;
    };
    write(contentTab(settings, environment), "-content.png");
    write(wholeView(settings, environment), "-all.png");
    write(keysTab(settings, environment), "-keys.png");
    write(weatherTutorial(environment), "-tuto.png");
    return written;
}

} // namespace SettingsSnapshots
