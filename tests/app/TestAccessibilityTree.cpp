// What a screen reader reads of the program, read the way one reads it: through the accessibility
// bus, by pyatspi, from outside the process.

#include "ServiceFixture.h"
#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "band/BandLines.h"
#include "settingsui/DisplayTab.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SettingsView.h"

#include <QAccessible>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QByteArray feed = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Wire</title>"
                        "<link>https://wire.example/</link>"
                        "<item><title>Markets close higher</title><link>https://wire.example/1</link></item>"
                        "</channel></rss>";

QByteArray chart(double price, double previousClose)
{
    return "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":" + QByteArray::number(price) +
           ",\"chartPreviousClose\":" + QByteArray::number(previousClose) + "}}]}}";
}

/** Whether `path` ends in the band's line `line`. */
bool inBandLine(const QStringList &path, const QString &line)
{
    return path.size() >= 2 && path.at(path.size() - 2) == u"Bandeau Dotbanner" && path.last() == line;
}

/** One object of the tree as the reader saw it. */
struct Node
{
    QStringList path; ///< the names of its ancestors, the application first
    QString role;
    QString name;
    QString description;
    QVariant value;
    bool checked = false;
    bool showing = false;
};

} // namespace

class TestAccessibilityTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void bandItemsReadWithTheirValues();
    void displayTabControlsHaveRolesAndNames();
    void cleanupTestCase();

private:
    /** The tree as pyatspi reads it now; fails the test when it cannot be read. */
    QList<Node> readTree();
    static QList<Node> withRole(const QList<Node> &nodes, const QString &role);

    ServiceFixture m_services;
    std::unique_ptr<TickerController> m_controller;
    SettingsEnvironment m_environment;
    std::unique_ptr<SettingsView> m_view;
};

void TestAccessibilityTree::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QFAIL("needs an X11 display (run through with-x11.sh)");
    // The platform turns accessibility on once it has found the accessibility bus.
    QTRY_VERIFY2(QAccessible::isActive(), "no accessibility bus: run through tests/support/with-atspi.sh");

    LoopbackHttpServer &server = m_services.server;
    QVERIFY(server.start());
    server.serveAllServices();
    server.setHandler([](const LoopbackHttpServer::Request &request) {
        if (request.path() == "/feed.xml")
            return LoopbackHttpServer::Response(200, feed, "application/rss+xml");
        if (request.path() == "/v8/finance/chart/AAPL")
            return LoopbackHttpServer::Response(200, chart(687.3, 650));
        if (request.path() == "/v8/finance/chart/MC.PA")
            return LoopbackHttpServer::Response(200, chart(691.25, 700));
        return LoopbackHttpServer::Response(404);
    });

    Settings &settings = m_services.settings;
    settings.setPushWindows(false);
    settings.setVariant(BarVariant::thick);
    settings.setStockProvider(StockProvider::yahoo);
    settings.setItems({WatchItem{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt},
                       WatchItem{QUuid::createUuid(), ItemKind::quote, "MC.PA", "LVMH", std::nullopt}});
    settings.setNewsSources({NewsSource{QUuid::createUuid(), "Wire", server.baseUrl().toString() + "/feed.xml", true}});
    m_controller = std::make_unique<TickerController>(settings, m_services.data, m_services.news, nullptr,
                                                      &BandSurfaceFactory::make);
    m_services.data.refresh(false);
    m_services.news.refresh();
    QTRY_VERIFY(!m_controller->shownHeadlines().isEmpty());
    QTRY_VERIFY(m_controller->shownQuotes().size() == 2 && m_controller->shownQuotes().at(0).at.isValid() &&
                m_controller->shownQuotes().at(1).at.isValid());
    QTRY_VERIFY(m_controller->surface()->isShown());

    m_environment.openUrl = [](const QUrl &) {};
    m_view = std::make_unique<SettingsView>(settings, m_environment);
    m_view->tabs()->setCurrentWidget(m_view->displayTab());
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestAccessibilityTree::cleanupTestCase()
{
    m_view.reset();
    m_controller.reset();
}

QList<Node> TestAccessibilityTree::readTree()
{
    QProcess reader;
    // The system's own Python: pyatspi is a Debian package, not a module of any other Python.
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(DOTBANNER_SOURCE_DIR "/tests/app/atspi-tree.py"),
                  QString::number(QCoreApplication::applicationPid())});
    // The reader asks this process over the bus: the event loop must run to answer it.
    if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 60000)) {
        reader.kill();
        reader.waitForFinished();
        qWarning("the accessibility tree was not read within a minute");
        return {};
    }
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0) {
        qWarning("reading the accessibility tree failed: %s", reader.readAllStandardError().constData());
        return {};
    }
    QList<Node> nodes;
    for (const QByteArray &line : reader.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        Node node;
        for (const QJsonValue &name : object.value("path").toArray())
            node.path.append(name.toString());
        node.role = object.value("role").toString();
        node.name = object.value("name").toString();
        node.description = object.value("description").toString();
        node.value = object.value("value").toVariant();
        node.checked = object.value("checked").toBool();
        node.showing = object.value("showing").toBool();
        nodes.append(node);
    }
    return nodes;
}

QList<Node> TestAccessibilityTree::withRole(const QList<Node> &nodes, const QString &role)
{
    QList<Node> found;
    for (const Node &node : nodes) {
        if (node.role == role)
            found.append(node);
    }
    return found;
}

void TestAccessibilityTree::bandItemsReadWithTheirValues()
{
    const QList<Node> tree = readTree();
    QVERIFY(!tree.isEmpty());
    QStringList values;
    QStringList news;
    for (const Node &node : withRole(tree, QStringLiteral("list item"))) {
        if (inBandLine(node.path, "Cours"))
            values.append(node.name);
        else if (inBandLine(node.path, "Actualités"))
            news.append(node.name + " | " + node.description);
    }
    QCOMPARE(values, (QStringList{"AAPL 687.30 +5.74 %", "LVMH 691.25 -1.25 %"}));
    QCOMPARE(news.size(), 2); // the feed's name, then its title
    QVERIFY2(news.at(0).startsWith("Wire | Wire\nMarkets close higher"), qPrintable(news.at(0)));
    QVERIFY2(news.at(1).startsWith("Markets close higher | Wire\nMarkets close higher"), qPrintable(news.at(1)));

    // A new value is read at once: the band's item follows it.
    m_services.server.setHandler([](const LoopbackHttpServer::Request &request) {
        if (request.path() == "/v8/finance/chart/AAPL")
            return LoopbackHttpServer::Response(200, chart(700, 650));
        if (request.path() == "/v8/finance/chart/MC.PA")
            return LoopbackHttpServer::Response(200, chart(691.25, 700));
        return LoopbackHttpServer::Response(200, feed, "application/rss+xml");
    });
    m_services.data.refresh(true);
    QTRY_VERIFY(m_controller->shownQuotes().size() == 2 && m_controller->shownQuotes().at(0).price == "700.00");
    values.clear();
    for (const Node &node : withRole(readTree(), QStringLiteral("list item"))) {
        if (inBandLine(node.path, "Cours"))
            values.append(node.name);
    }
    QCOMPARE(values, (QStringList{"AAPL 700.00 +7.69 %", "LVMH 691.25 -1.25 %"}));
}

void TestAccessibilityTree::displayTabControlsHaveRolesAndNames()
{
    const QList<Node> tree = readTree();
    QStringList switches;
    for (const Node &node : withRole(tree, QStringLiteral("check box"))) {
        if (node.showing)
            switches.append(node.name + (node.checked ? " [on]" : " [off]"));
    }
    QVERIFY2(switches.contains("Afficher Dotbanner dans la barre des tâches [on]") ||
                 switches.contains("Afficher Dotbanner dans la barre des tâches [off]"),
             qPrintable(switches.join(", ")));
    QVERIFY2(switches.contains("Lancer Dotbanner à l'ouverture de session [on]") ||
                 switches.contains("Lancer Dotbanner à l'ouverture de session [off]"),
             qPrintable(switches.join(", ")));
    QVERIFY2(switches.contains("Repousser les fenêtres ouvertes sous le bandeau [off]"), qPrintable(switches.join(", ")));

    QHash<QString, double> sliders;
    for (const Node &node : withRole(tree, QStringLiteral("slider")))
        sliders.insert(node.name, node.value.toDouble());
    QVERIFY2(sliders.contains("Vitesse") && sliders.contains("Résolution des LED"),
             qPrintable(QStringList(sliders.keys()).join(", ")));
    QCOMPARE(sliders.value("Vitesse"), double(m_view->displayTab()->findChild<QSlider *>("speedSlider")->value()));
    QCOMPARE(sliders.value("Résolution des LED"),
             double(m_view->displayTab()->findChild<QSlider *>("ledSizeSlider")->value()));
}

QTEST_MAIN(TestAccessibilityTree)
#include "TestAccessibilityTree.moc"
