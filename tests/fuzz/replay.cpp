// Runs every saved fuzz input (the seed corpus and the inputs that once
// crashed) through the same check as the fuzzer.
#include "LoadCheck.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzInputs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data();
    void replay();
};

void TestFuzzInputs::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 10);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestFuzzInputs::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    checkLoadRoundTrip(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

QTEST_GUILESS_MAIN(TestFuzzInputs)
#include "replay.moc"
