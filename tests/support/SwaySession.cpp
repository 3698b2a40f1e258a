#include "SwaySession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

namespace {

// A loaded machine may need several seconds for one swaymsg or grim run.
constexpr int toolTimeoutMs = 30000;

std::optional<QByteArray> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(toolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(QLatin1Char(' '))),
                 process.readAllStandardError().constData());
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

std::optional<QJsonObject> findNode(const QJsonObject &node, const std::function<bool(const QJsonObject &)> &match)
{
    if (match(node))
        return node;
    for (const char *key : {"nodes", "floating_nodes"}) {
        for (const QJsonValue &child : node.value(QLatin1String(key)).toArray()) {
            if (auto found = findNode(child.toObject(), match))
                return found;
        }
    }
    return std::nullopt;
}

} // namespace

bool SwaySession::available(QString *why)
{
    for (const char *variable : {"SWAYSOCK", "WAYLAND_DISPLAY", "DISPLAY"}) {
        if (qEnvironmentVariableIsEmpty(variable)) {
            *why = QStringLiteral("%1 is not set: run the test through tests/support/with-sway.sh")
                       .arg(QLatin1String(variable));
            return false;
        }
    }
    return true;
}

bool SwaySession::command(const QString &command)
{
    const auto out = run(QStringLiteral("swaymsg"), {command});
    if (!out)
        return false;
    // swaymsg answers [{"success": true}, ...], one entry per command.
    for (const QJsonValue &result : QJsonDocument::fromJson(*out).array()) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    }
    return true;
}

QJsonObject SwaySession::tree()
{
    const auto out = run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    return out ? QJsonDocument::fromJson(*out).object() : QJsonObject();
}

std::optional<QJsonObject> SwaySession::window(const QString &appId)
{
    return findNode(tree(), [&appId](const QJsonObject &node) {
        return node.value(QLatin1String("app_id")).toString() == appId ||
               node.value(QLatin1String("window_properties")).toObject().value(QLatin1String("class")).toString() ==
                   appId;
    });
}

QRect SwaySession::rect(const QJsonObject &node)
{
    const QJsonObject r = node.value(QLatin1String("rect")).toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                 r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

QRect SwaySession::outputRect(const QString &name)
{
    const auto out = run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_outputs")});
    if (!out)
        return {};
    for (const QJsonValue &output : QJsonDocument::fromJson(*out).array()) {
        if (output.toObject().value(QLatin1String("name")).toString() == name)
            return rect(output.toObject());
    }
    return {};
}

QString SwaySession::focusedWorkspace()
{
    const auto out = run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_workspaces")});
    if (!out)
        return {};
    for (const QJsonValue &workspace : QJsonDocument::fromJson(*out).array()) {
        if (workspace.toObject().value(QLatin1String("focused")).toBool())
            return workspace.toObject().value(QLatin1String("name")).toString();
    }
    return {};
}

QImage SwaySession::screenshot(const QRect &area)
{
    QStringList arguments;
    if (area.isValid()) {
        arguments << QStringLiteral("-g")
                  << QStringLiteral("%1,%2 %3x%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
    }
    arguments << QStringLiteral("-t") << QStringLiteral("png") << QStringLiteral("-");
    const auto out = run(QStringLiteral("grim"), arguments);
    if (!out)
        return {};
    return QImage::fromData(*out, "PNG").convertToFormat(QImage::Format_RGB32);
}

bool SwaySession::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}
