// Replays every committed corpus file through its fuzz target, under the sanitizers of
// the ordinary build: the seeds, and every input that once crashed or hung a parser.
#include "fuzz_environment.h"
#include "fuzz_target.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestFuzzCorpus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FuzzEnvironment::ensure(); }

    void everyTargetHasACorpus()
    {
        int targets = 0;
        for (auto *t = FuzzTargetRegistration::first(); t; t = t->next, ++targets)
            QVERIFY2(!QDir(corpusDir(t->name)).entryList(QDir::Files).isEmpty(), t->name);
        QVERIFY(targets >= 8);
    }

    void replays_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<void *>("entry");
        for (auto *t = FuzzTargetRegistration::first(); t; t = t->next) {
            const QDir dir(corpusDir(t->name));
            for (const QString &file : dir.entryList(QDir::Files, QDir::Name))
                QTest::addRow("%s/%s", t->name, qPrintable(file))
                    << dir.filePath(file) << reinterpret_cast<void *>(t->entry);
        }
    }

    void replays()
    {
        QFETCH(QString, path);
        QFETCH(void *, entry);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // An empty input still gets a valid pointer, as libFuzzer gives it.
        static const uint8_t none = 0;
        const auto *data = bytes.isEmpty() ? &none : reinterpret_cast<const uint8_t *>(bytes.constData());
        QCOMPARE(reinterpret_cast<FuzzEntry>(entry)(data, size_t(bytes.size())), 0);
    }

private:
    static QString corpusDir(const char *target)
    {
        return QStringLiteral(KESTRANE_FUZZ_CORPUS_DIR "/") + QLatin1String(target);
    }
};

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
