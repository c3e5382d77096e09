// The Sphere.ini form: which files File > Open shows in it, the values it reads, the
// bytes Apply writes (and does not), failures, and Edit as Text.
#include "../app/AppTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "prefs/SphereIniGeneral.h"
#include "prefs/SphereIniProperties.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray Corpus(const char* name) {
    return ReadFileBytes(QStringLiteral(QUILLET_CORPUS_DIR "/") + name);
}

// `bytes` with the lines `name` and `zone` (found after a line end) set to "New Namé" (in
// UTF-8 after a byte order mark, else in Windows-1252) and 3.
QByteArray Edited(QByteArray bytes, const QByteArray& name, const QByteArray& zone) {
    const char* named = bytes.startsWith("\xEF\xBB\xBF") ? "New Nam\xC3\xA9" : "New Nam\xE9";
    for (const auto& [line, value] : {std::pair(name, named), std::pair(zone, "3")})
        bytes.replace('\n' + line, '\n' + line.left(line.indexOf('=') + 1) + value);
    return bytes;
}

} // namespace

class TestSphereIni : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(QStringLiteral("sphere.ini"));
    const QDateTime m_time{QDate(2001, 1, 1), QTime(0, 0)};

    // The file holds `bytes`, dated m_time, and a form shows it.
    std::unique_ptr<CSphereINIProperties> Form(const QByteArray& bytes) {
        QFile file(m_path);
        const bool ready = WriteFileBytes(m_path, bytes) && file.open(QIODevice::ReadWrite) &&
                           file.setFileTime(m_time, QFileDevice::FileModificationTime);
        auto form = std::make_unique<CSphereINIProperties>(m_path);
        if (!ready || !form->ReadFile()) qFatal("cannot prepare %s", qPrintable(m_path));
        return form;
    }

private slots:
    void init() { PrepareAppEnvironment(m_dir, {}); }
    void cleanup() { QFile::remove(m_path) || QDir().rmdir(m_path); }

    // What File > Open does with a file: opens it as a document (0), shows the form (1), or
    // shows the form, in which the user edits the name and clicks Edit as Text (2).
    void openShowsTheFormForSphereIniOnly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("outcome");
        QTest::newRow("sphere.ini shows the form") << "sphere.ini" << 1;
        QTest::newRow("SPHERE.INI shows the form") << "SPHERE.INI" << 1;
        QTest::newRow("Sphere.Ini: Edit as Text opens it") << "Sphere.Ini" << 2;
        QTest::newRow("sphere.ini.bak opens as a document") << "sphere.ini.bak" << 0;
        QTest::newRow("my_sphere.ini opens as a document") << "my_sphere.ini" << 0;
    }
    void openShowsTheFormForSphereIniOnly() {
        QFETCH(QString, name);
        QFETCH(int, outcome);
        const QString path = m_dir.filePath(name);
        QVERIFY(WriteFileBytes(path, "[SPHERE]\r\nSERVNAME=Test"));
        RunningApp running({m_dir.filePath(QStringLiteral("none.scp"))});
        FileDialogAnswer answer(path);
        QString shown;
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto& form = static_cast<CSphereINIProperties&>(dialog);
            shown = form.windowTitle() + ' ' + form.GeneralPage().ServerName()->text();
            form.GeneralPage().ServerName()->setText(QStringLiteral("not saved"));
            (outcome == 2 ? form.EditAsTextButton() : form.CancelButton())->click();
            return form.result();
        });
        running.Frame().RunCommand(ID_FILE_OPEN);
        SetDialogHandler(old);
        QCOMPARE(shown, outcome ? QStringLiteral("Properties of Sphere.INI Test") : QString());
        QCOMPARE(running.Windows().size(), outcome == 1 ? 0 : 1);
        if (outcome == 2) QCOMPARE(running.Active()->windowTitle(), name);
        QCOMPARE(ReadFileBytes(path), QByteArray("[SPHERE]\r\nSERVNAME=Test"));
    }

    // The values shown (the time zone as its entry); an unchanged Apply leaves the file as
    // it was; Apply with the name " New Namé " and the time zone +3 gives `applied`.
    void readAndApply_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("applied");
        const auto row = [](const char* name, QByteArray in, const char* shown, QByteArray out) {
            QTest::newRow(name) << in << QString(shown) << out;
        };
        for (const auto& [file, shown, name, zone] :
             {std::tuple{"sphere.ini", "MyShard|me@my.email.com|www.myshard.com|0",
                         "ServName=MyShard", "TimeZone=0"},
              {"KDS-Core_sphere.ini", "KingdomS|admin@kdsshard.com.br|kdsshard.com.br|0",
               "ServName=KingdomS", "TimeZone=0"},
              {"SphereServer_sphere.ini", "MyShard|my@email.com|www.myshard.com|+5",
               "SERVNAME=MyShard", "TIMEZONE=5"},
              {"uoapo_sphere.ini", "UO-ApoSources|admin@yourserver.com|www.mywebsite.com|-5",
               "ServName=UO-ApoSources", "TimeZone=-5"}})
            if (!Corpus(file).isEmpty()) // the corpus may not stand beside the project
                row(file, Corpus(file), shown, Edited(Corpus(file), name, zone));
        row("any case, blanks and trailing comments kept, URL keeps //",
            "[sphere]\r\n servname =  Old \t// c\r\nurl=http://a.b // c\r\nTIMEZONE=+05",
            "Old||http://a.b|+5",
            "[sphere]\r\n servname =  New Nam\xE9 \t// c\r\nurl=http://a.b // c\r\nTIMEZONE=3");
        row("last one counts; other sections, comments, after [EOF] ignored; key added after "
            "the last setting, before the next section's comment",
            "ServName=0\n[SPHERE]\nServName=A\nX=1\n\n// web\n[WEB]\nURL=W\n[Sphere]\n"
            "//ServName=C\nServName=B\n[EOF]\n[SPHERE]\nURL=E",
            "B|||",
            "ServName=0\n[SPHERE]\nServName=A\nX=1\nTimeZone=3\n\n// web\n[WEB]\nURL=W\n"
            "[Sphere]\n//ServName=C\nServName=New Nam\xE9\n[EOF]\n[SPHERE]\nURL=E");
        row("stray LF in a CR LF file", "[SPHERE]\r\nURL=L\nTimeZone=EST\n// next\r\n", "||L|EST",
            "[SPHERE]\r\nURL=L\nTimeZone=3\nServName=New Nam\xE9\r\n// next\r\n");
        row("UTF-8 after a byte order mark", "\xEF\xBB\xBF[SPHERE]\nURL=Caf\xC3\xA9",
            "||Caf\u00E9|",
            "\xEF\xBB\xBF[SPHERE]\nURL=Caf\xC3\xA9\nServName=New Nam\xC3\xA9\nTimeZone=3");
        row("section made before the first header, [EOF], after the byte order mark",
            "\xEF\xBB\xBF[eof]\n[SPHERE]\nServName=E", "|||",
            "\xEF\xBB\xBF[SPHERE]\nServName=New "
            "Nam\xC3\xA9\nTimeZone=3\n\n[eof]\n[SPHERE]\nServName=E");
        row("Windows-1252, odd time zone, no line end at the end",
            "[SPHERE]\nServName=Caf\xE9\xA0\nTimeZone=+99999999999",
            "Caf\u00E9\u00A0|||+99999999999", "[SPHERE]\nServName=New Nam\xE9\nTimeZone=3");
        row("empty file", "", "|||", "[SPHERE]\r\nServName=New Nam\xE9\r\nTimeZone=3\r\n");
    }
    void readAndApply() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(QByteArray, applied);
        const auto form = Form(bytes);
        const CSphereINIGeneral& page = form->GeneralPage();
        QCOMPARE(QStringList({page.ServerName()->text(), page.AdminEmail()->text(),
                              page.Website()->text(), page.TimeZone()->currentText()})
                     .join('|'),
                 shown);
        form->ApplyButton()->click();
        QCOMPARE(ReadFileBytes(m_path), bytes);
        QCOMPARE(QFileInfo(m_path).lastModified(), m_time);
        page.ServerName()->setText(QStringLiteral(" New Nam\u00E9 "));
        page.TimeZone()->setCurrentText(QStringLiteral("+3"));
        form->ApplyButton()->click();
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(ReadFileBytes(m_path), applied);
    }

    void saveIntoAFolderIsReportedAndKeepsTheForm() {
        const auto form = Form("[SPHERE]\nServName=Old\n");
        form->GeneralPage().ServerName()->setText(QStringLiteral("New"));
        QVERIFY(QFile::remove(m_path) && QDir().mkdir(m_path)); // fails for root too
        MessageRecorder messages;
        form->ApplyButton()->click();
        QCOMPARE(messages.texts, QStringList{"Could not save '" + m_path + "'.\n\nIs a directory"});
        QCOMPARE(form->result(), 0);
    }
};

QTEST_MAIN(TestSphereIni)
#include "tst_SphereIni.moc"
