#include "uAbout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Every text of the About window shows whole, whatever its font.
class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTextShowsWhole_data();
    void everyTextShowsWhole();
};

void TestAbout::everyTextShowsWhole_data()
{
    QTest::addColumn<int>("pointSize");
    for (const int size : {8, 13, 20, 32})
        QTest::addRow("%d points", size) << size;
}

void TestAbout::everyTextShowsWhole()
{
    QFETCH(int, pointSize);
    TfrmAboutBox about;
    about.setFont(QFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), pointSize));
    const QRect window = about.rect();
    auto *panel = about.findChild<QWidget *>(QStringLiteral("Panel1"));
    QVERIFY(window.contains(panel->geometry()));
    for (QLabel *label : about.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue; // the icon
        QVERIFY2(panel->contentsRect().contains(label->geometry()), qPrintable(label->objectName()));
        const QSize needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                               : label->sizeHint();
        QVERIFY2(label->width() >= needed.width() && label->height() >= needed.height(), qPrintable(label->objectName()));
    }
    // No two lines overlap, and the button is below the panel.
    const QStringList lines{QStringLiteral("lblProductName"), QStringLiteral("lblVersion"), QStringLiteral("lblCopyright"),
                            QStringLiteral("lblComments")};
    for (int i = 1; i < lines.size(); ++i)
        QVERIFY(about.findChild<QLabel *>(lines[i])->y() > about.findChild<QLabel *>(lines[i - 1])->geometry().bottom());
    auto *ok = about.findChild<QPushButton *>(QStringLiteral("OKButton"));
    QVERIFY(window.contains(ok->geometry()) && ok->y() > panel->geometry().bottom());
    QVERIFY(ok->width() >= ok->sizeHint().width());
}

QTEST_MAIN(TestAbout)
#include "tst_About.moc"
