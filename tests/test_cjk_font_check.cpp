#include "cjk_font_check.h"
#include "log_capture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

// Run twice by CTest: with the machine's fonts (a Chinese font is installed by the set-up
// script) and with a font configuration that has no fonts at all
// (KESTRANE_EXPECT_NO_CJK_FONT set).
class TestCjkFontCheck : public QObject {
    Q_OBJECT

    static bool isAscii(const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() > 0x7e || (c.unicode() < 0x20 && c != '\n'))
                return false;
        }
        return true;
    }

    static QList<QMessageBox *> notices()
    {
        QList<QMessageBox *> boxes;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                boxes << box;
        }
        return boxes;
    }

private slots:
    void noticeOnlyWithoutAChineseFont()
    {
        const bool fontless = qEnvironmentVariableIsSet("KESTRANE_EXPECT_NO_CJK_FONT");
        LogCapture log;
        QCOMPARE(CjkFontCheck::hasSimplifiedChineseFont(), !fontless);

        QMessageBox *box = CjkFontCheck::warnIfMissing();
        if (!fontless) {
            QVERIFY(!box);
            QVERIFY(notices().isEmpty());
            QVERIFY(!log.contains("[WARNING] [Startup] No font with Simplified Chinese"));
            return;
        }
        QVERIFY(box);
        QCOMPARE(notices(), QList<QMessageBox *>{box});
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY(box->text().contains("sudo apt install fonts-noto-cjk"));
        // Readable with whatever font is there: nothing but ASCII.
        QVERIFY2(isAscii(box->text()), qPrintable(box->text()));
        QVERIFY(isAscii(box->windowTitle()));
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->buttons().first()->text(), "OK");
        QCOMPARE(log.count("[WARNING] [Startup] No font with Simplified Chinese glyphs"), 1);

        // Once per run.
        QVERIFY(!CjkFontCheck::warnIfMissing());
        QCOMPARE(log.count("No font with Simplified Chinese glyphs"), 1);

        QPointer<QMessageBox> guard(box);
        box->buttons().first()->click();
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestCjkFontCheck)
#include "test_cjk_font_check.moc"
