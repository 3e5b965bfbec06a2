#include "Pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QtTest>

namespace {

int paintedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPictureIsDrawnOnATransparentGround_data();
    void everyPictureIsDrawnOnATransparentGround();
    void picturesDifferFromEachOther();
    void picturesStaySharpAtTwiceTheScale();
    void programIcon();
};

void TestPictures::everyPictureIsDrawnOnATransparentGround_data()
{
    QTest::addColumn<int>("index");
    for (int index = 0; index < Pictures::Count; ++index)
        QTest::addRow("picture %d", index) << index;
}

void TestPictures::everyPictureIsDrawnOnATransparentGround()
{
    QFETCH(int, index);
    const QImage image = Pictures::picture(index).pixmap(16, 16).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    const int painted = paintedPixels(image);
    QVERIFY2(painted >= 12, qPrintable(QString::number(painted)));
    QVERIFY2(painted < 16 * 16, "the ground must stay transparent somewhere");
    QVERIFY(Pictures::picture(index).pixmap(16, 16, QIcon::Disabled).toImage() != image);
}

void TestPictures::picturesDifferFromEachOther()
{
    QList<QImage> images;
    for (int index = 0; index < Pictures::Count; ++index)
        images << Pictures::picture(index).pixmap(16, 16).toImage();
    for (int a = 0; a < images.size(); ++a) {
        for (int b = a + 1; b < images.size(); ++b)
            QVERIFY2(images[a] != images[b], qPrintable(QStringLiteral("%1 and %2").arg(a).arg(b)));
    }
    QVERIFY(Pictures::picture(Pictures::Count).isNull());
}

// At 200 % a picture is drawn at 32 x 32 device pixels, not scaled up.
void TestPictures::picturesStaySharpAtTwiceTheScale()
{
    const QIcon icon = Pictures::picture(Pictures::Save);
    const QPixmap doubled = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(doubled.devicePixelRatio(), 2.0);
    QCOMPARE(doubled.size(), QSize(32, 32));
    const QImage sharp = doubled.toImage();
    const QImage blown = icon.pixmap(16, 16).toImage().scaled(32, 32);
    QVERIFY(sharp.convertToFormat(blown.format()) != blown);
}

void TestPictures::programIcon()
{
    const QImage image = Pictures::programIcon().pixmap(32, 32).toImage();
    QVERIFY(paintedPixels(image) > 32 * 32 / 2);
}

QTEST_MAIN(TestPictures)
#include "tst_Pictures.moc"
