#include "GuiTest.h"
#include "uVantrel.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

using namespace GuiTest;

// Runs at a display scale of 200 % (QT_SCALE_FACTOR=2).
class TestHighDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void toolbarPicturesAreDrawnForTheScale();
};

void TestHighDpi::toolbarPicturesAreDrawnForTheScale()
{
    const auto window = startWindow();
    auto *bar = child<QToolBar>(*window, "tbrStandard");
    QCOMPARE(bar->devicePixelRatioF(), 2.0);
    const QPixmap rendered = bar->grab();
    QCOMPARE(rendered.devicePixelRatio(), 2.0);
    QCOMPARE(rendered.size(), bar->size() * 2);
    for (QAction *entry : bar->actions()) {
        if (entry->isSeparator())
            continue;
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(entry));
        const QPixmap picture = button->icon().pixmap(button->iconSize(), button->devicePixelRatioF());
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.size(), button->iconSize() * 2);
        // Drawn at 32 x 32, not a 16 x 16 picture blown up.
        const QImage sharp = picture.toImage();
        const QImage blown = button->icon().pixmap(button->iconSize(), 1.0).toImage().scaled(sharp.size());
        QVERIFY2(sharp.convertToFormat(blown.format()) != blown, qPrintable(entry->objectName()));
    }
}

ZELK_GUI_TEST_MAIN(TestHighDpi)
#include "tst_HighDpi.moc"
