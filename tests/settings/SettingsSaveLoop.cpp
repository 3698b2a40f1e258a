// Saves the settings record over and over until it is killed.
// Usage: SettingsSaveLoop DIRECTORY
// Every record it writes holds the watch list below and an LED size from 3 to 10.
#include "MemoryKeyStore.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: SettingsSaveLoop DIRECTORY\n");
        return 2;
    }
    UserDefaults store(QString::fromLocal8Bit(argv[1]));
    MemoryKeyStore keys;
    Settings settings(store, keys);
    QList<WatchItem> items;
    for (int i = 0; i < 40; ++i) {
        items.append(WatchItem{QUuid(QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC9%1").arg(i, 4, 10, QLatin1Char('0'))),
                               ItemKind::quote, QStringLiteral("SYM%1").arg(i), QStringLiteral("Valeur n°%1").arg(i),
                               i % 2 ? std::optional<QString>(QStringLiteral("XPAR")) : std::nullopt});
    }
    settings.setItems(items);
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n)
        settings.setLedSize(3.0 + static_cast<double>(n % 8));
}
