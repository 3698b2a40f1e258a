#include "UiTestSupport.h"

#include "settingsui/ContentTab.h"
#include "settingsui/SettingsSnapshots.h"
#include "settingsui/SettingsView.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

/** Draws the reference pictures into the build folder (ui-shots/) and checks them. */
class TestSettingsSnapshots : public QObject
{
    Q_OBJECT
private slots:
    void writesTheFourPictures()
    {
        UiFixture fixture;
        const QString folder = QStringLiteral(DOTBANNER_BINARY_DIR "/ui-shots");
        QVERIFY(QDir().mkpath(folder));
        const QString prefix = folder + QStringLiteral("/settings");
        for (const char *suffix : {"-content.png", "-all.png", "-keys.png", "-tuto.png"})
            QFile::remove(prefix + QLatin1String(suffix));

        QCOMPARE(SettingsSnapshots::writeAll(prefix, fixture.settings, fixture.environment), 4);

        const struct
        {
            const char *suffix;
            QSize size;
        } expected[] = {{"-content.png", {600, 640}},
                        {"-all.png", {600, 640}},
                        {"-keys.png", {600, 640}},
                        {"-tuto.png", {500, 460}}};
        for (const auto &picture : expected) {
            const QImage image(prefix + QLatin1String(picture.suffix));
            QVERIFY2(!image.isNull(), picture.suffix);
            // Drawn at the device pixel ratio of the screen: compare logical sizes.
            QCOMPARE(image.size() / image.devicePixelRatio(), picture.size);
            // Not a blank picture: some pixels differ from the top-left corner's.
            const QRgb corner = image.pixel(0, 0);
            int differing = 0;
            for (int y = 0; y < image.height(); y += 7) {
                for (int x = 0; x < image.width(); x += 7)
                    differing += image.pixel(x, y) != corner;
            }
            QVERIFY2(differing > 100, picture.suffix);
        }
        // No network was needed and nothing was refreshed by drawing.
        QCOMPARE(fixture.forcedRefreshes + fixture.plainRefreshes + fixture.newsRefreshes, 0);
    }

    void writesNothingIntoAMissingFolder()
    {
        UiFixture fixture;
        const QString prefix = fixture.dir.path() + QStringLiteral("/no/such/folder/shot");
        QCOMPARE(SettingsSnapshots::writeAll(prefix, fixture.settings, fixture.environment), 0);
    }

    void drawsEveryTabOfTheWindow()
    {
        // Each tab on its own picture, for looking at the layout.
        UiFixture fixture;
        fixture.settings.setVariant(BarVariant::thick);
        SettingsView view(fixture.settings, fixture.environment);
        const QString folder = QStringLiteral(DOTBANNER_BINARY_DIR "/ui-shots");
        for (int i = 0; i < view.tabs()->count(); ++i) {
            view.tabs()->setCurrentIndex(i);
            const QImage image = SettingsSnapshots::render(&view, {600, 680});
            QVERIFY(image.save(folder + QStringLiteral("/window-tab%1.png").arg(i)));
        }
        // The lower part of the content tab: metal suggestions and the news feeds with a status each.
        const auto sources = fixture.settings.newsSources();
        fixture.environment.setNewsStatus(
            {{sources.at(0).id, FeedStatus::ok(12)}, {sources.at(1).id, FeedStatus::failed()}});
        view.tabs()->setCurrentIndex(1);
        auto *kind = view.findChild<QComboBox *>("kindPicker");
        kind->setCurrentIndex(kind->findText("Métal"));
        auto *scroll = view.contentTab()->findChild<QScrollArea *>("formScroll");
        QImage image = SettingsSnapshots::render(&view, {600, 680});
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        image = SettingsSnapshots::render(&view, {600, 680});
        QVERIFY(image.save(folder + QStringLiteral("/window-content-bottom.png")));

        // Edit mode just after a removal: the bar that offers to undo it.
        scroll->verticalScrollBar()->setValue(0);
        view.contentTab()->setEditing(true);
        auto *list = view.contentTab()->findChild<QListWidget *>("itemsList");
        list->itemWidget(list->item(1))->findChild<QToolButton *>("removeButton")->click();
        QTest::qWait(300);
        image = SettingsSnapshots::render(&view, {600, 680});
        QVERIFY(image.save(folder + QStringLiteral("/window-content-undo.png")));
    }
};

QTEST_MAIN(TestSettingsSnapshots)
#include "TestSettingsSnapshots.moc"
