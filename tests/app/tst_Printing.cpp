// Printing from the program: `--pdf` as a process, the print commands and Print Setup
// without a printer, Print Preview.
#include "AppTestSupport.h"
#include "PdfText.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "framework/PrinterSetup.h"

#include <QPrintPreviewWidget>
#include <QtTest>

class TestPrinting : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString kScript = m_dir.filePath(QStringLiteral("script.scp"));

private slots:
    // A corpus script where the corpus stands beside the project, else one of two pages.
    void initTestCase() {
        QByteArray text = ReadFileBytes(QStringLiteral(QUILLET_CORPUS_DIR "/d_travel.scp"));
        const bool corpus = !text.isEmpty();
        for (int i = 0; !corpus && i < 100; ++i)
            text += QStringLiteral("[ITEMDEF i_%1]\r\n\tNAME=item %1\r\n").arg(i).toLatin1();
        QVERIFY(WriteFileBytes(kScript, text));
    }
    void init() {
        PrepareAppEnvironment(m_dir, ReadFileBytes(QStringLiteral(QUILLET_DEFAULT_INI)));
    }

    void pdfFromTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString out = m_dir.filePath(QStringLiteral("out.pdf"));
        QTest::newRow("a script gives its text page by page")
            << QStringList{kScript, out} << 0 << "";
        QTest::newRow("a missing script")
            << QStringList{m_dir.filePath(QStringLiteral("none.scp")), out} << 1 << "cannot read";
        QTest::newRow("a folder that does not exist")
            << QStringList{kScript, m_dir.filePath(QStringLiteral("no/out.pdf"))} << 1
            << "cannot write";
        QTest::newRow("no output file") << QStringList{kScript} << 2 << "usage";
    }
    void pdfFromTheCommandLine() {
        if (!HasPopplerTools()) QSKIP("pdftotext (poppler-utils) is not installed");
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QFile::remove(m_dir.filePath(QStringLiteral("out.pdf")));
        QProcess quillet;
        quillet.start(QStringLiteral(QUILLET_BINARY), QStringList{"--pdf"} + arguments);
        QVERIFY(quillet.waitForFinished(60000));
        QTEST(quillet.exitCode(), "status");
        QVERIFY(QString::fromLocal8Bit(quillet.readAllStandardError()).contains(error));
        QCOMPARE(QFile::exists(arguments.value(1)), error.isEmpty());
        if (!error.isEmpty()) return;
        const PdfText printed(arguments[1]);
        QCOMPARE(printed.Texts(), QString::fromLatin1(ReadFileBytes(kScript))
                                      .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts));
        QVERIFY(printed.FootersCountPages() && printed.footers.size() > 1);
    }

    void printingWithoutAPrinterSaysSo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<unsigned>("command");
        QTest::newRow("the Print command") << QStringList{kScript} << ID_FILE_PRINT;
        QTest::newRow("Print Setup") << QStringList{kScript} << ID_FILE_PRINT_SETUP;
        QTest::newRow("/p") << QStringList{"/p", kScript} << 0u;
        QTest::newRow("/pt") << QStringList{"/pt", kScript, "Laser"} << 0u;
    }
    void printingWithoutAPrinterSaysSo() {
        if (PrintersAvailable()) QSKIP("this machine has a printer, which the test would use");
        QFETCH(QStringList, arguments);
        QFETCH(unsigned, command);
        RunningApp running(arguments);
        QCOMPARE(running.started, command != 0);
        if (running.started) QVERIFY(running.Frame().RunCommand(command));
        QCOMPARE(running.messages.texts, QStringList{NoPrinterText()});
        QCOMPARE(running.app->ExitStatus(), running.started ? 0 : 1);
    }

    void previewShowsThePages() {
        RunningApp running({kScript});
        int pages = 0;
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            preview->updatePreview();
            pages = preview->pageCount();
            return int(QDialog::Rejected);
        });
        QVERIFY(running.Frame().RunCommand(ID_FILE_PRINT_PREVIEW));
        SetDialogHandler(old);
        QCOMPARE(pages, 2);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_Printing.moc"
