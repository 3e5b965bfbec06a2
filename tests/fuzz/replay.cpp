// Runs every saved fuzz input (the seed corpora and the inputs that once
// crashed) through the same checks as the fuzzers.
#include "CatalogueCheck.h"
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
    for (const char *folder : {"corpus", "corpus-csv", "corpus-po"}) {
        const QDir corpus(QStringLiteral(FUZZ_CORPUS) + QLatin1Char('/') + QLatin1String(folder));
        const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY(names.size() >= 5);
        for (const QString &name : names)
            QTest::addRow("%s/%s", folder, qPrintable(name)) << corpus.filePath(name);
    }
}

void TestFuzzInputs::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    if (path.contains(QLatin1String("corpus-csv")))
        checkCsvImport(data, size_t(bytes.size()));
    else if (path.contains(QLatin1String("corpus-po")))
        checkPoImport(data, size_t(bytes.size()));
    else
        checkLoadRoundTrip(data, size_t(bytes.size()));
}

QTEST_GUILESS_MAIN(TestFuzzInputs)
#include "replay.moc"
