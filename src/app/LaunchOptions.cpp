#include "app/LaunchOptions.h"

namespace {

std::optional<QString> valueAfter(const QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name, 1);
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return arguments.at(at + 1);
}

} // namespace

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    const QStringList own = arguments.mid(1);
    LaunchOptions options;
    options.twoLines = own.contains(QStringLiteral("--two-lines"));
    options.debugWeather = own.contains(QStringLiteral("--debug-weather"));
    options.snapshotUi = valueAfter(arguments, QStringLiteral("--snapshot-ui"));
    options.snapshot = valueAfter(arguments, QStringLiteral("--snapshot"));
    options.mentionsSnapshot = own.contains(QStringLiteral("--snapshot-ui")) || own.contains(QStringLiteral("--snapshot"));
    return options;
}
