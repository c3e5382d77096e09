// The script document: the new-file template, opening and saving, the modified mark, and
// saves that fail or meet a file changed by another program.
#include "ScriptTestSupport.h"

#include "script/QuilletDoc.h"

#include <QDateTime>
#include <QDir>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// Types one character into the document at `at`.
bool Type(CQuilletDoc& document, TextPosition at = {8, 0}) {
    TextPosition end;
    return document.Buffer().InsertTextAt(nullptr, at, "!", end, ActionTyping);
}

// Opens `path` holding `bytes` as the document's file and types one character into it.
bool OpenAndModify(CQuilletDoc& document, const QString& path, const QByteArray& bytes) {
    if (!WriteFileBytes(path, bytes) || !document.OnOpenDocument(path)) return false;
    document.SetPathName(path);
    return Type(document, {0, 0});
}

} // namespace

class TestQuilletDoc : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init() { ClearScriptSettings(); }

    // Header lines 2, 3, 4 and 7 of a new script, joined with '|'.
    void headerPlaceholders_data() {
        QTest::addColumn<QByteArrayList>("user"); // name, company, web address, as stored
        QTest::addColumn<QString>("lines");
        const QString y = QStringLiteral(" \u00A9") +
                          QString::number(QDateTime::currentDateTimeUtc().date().year());
        QTest::newRow("no user details keep author and address, drop the company")
            << QByteArrayList{"", "", ""}
            << "// <name_of_script> by <name_of_author>" + y +
                   "|// <url_of_author>|// This script file is copyright by "
                   "|// express written permission from .";
        QTest::newRow("author without company is the company too")
            << QByteArrayList{"Ann", "", "http://ann.example"}
            << "// <name_of_script> by Ann" + y +
                   "|// http://ann.example|// This script file is copyright by Ann"
                   "|// express written permission from Ann.";
        QTest::newRow("address without author stays a placeholder")
            << QByteArrayList{"", "Shard Inc", "http://x.example"}
            << "// <name_of_script> by <name_of_author>" + y +
                   "|// <url_of_author>|// This script file is copyright by Shard Inc"
                   "|// express written permission from Shard Inc.";
        QTest::newRow("author without address removes the placeholder")
            << QByteArrayList{"Bob", "Bob's Shard", ""}
            << "// <name_of_script> by Bob" + y +
                   "|// |// This script file is copyright by Bob's Shard"
                   "|// express written permission from Bob's Shard.";
        QTest::newRow("UTF-8 settings become Windows-1252, '?' where it has no byte")
            << QByteArrayList{"J\xC3\xBCrgen", "Shard \xE4\xB8\xAD \xF0\x9F\x98\x80", "w"}
            << "// <name_of_script> by J\u00FCrgen" + y +
                   "|// w|// This script file is copyright by Shard ? ?"
                   "|// express written permission from Shard ? ?.";
        QTest::newRow("a setting that is not UTF-8 is kept as written")
            << QByteArrayList{"J\xFCrgen", "", ""}
            << "// <name_of_script> by J\u00FCrgen" + y +
                   "|// |// This script file is copyright by J\u00FCrgen"
                   "|// express written permission from J\u00FCrgen.";
    }
    void headerPlaceholders() {
        QFETCH(QByteArrayList, user);
        QFETCH(QString, lines);
        const char* keys[] = {"UserName", "UserCompany", "UserInternet"};
        for (int i = 0; i < 3; ++i)
            SettingsStore().SetValue("User", keys[i], user[i].toStdString(), true);
        CQuilletDoc document;
        QVERIFY(document.OnNewDocument());
        const QStringList all = QString::fromLatin1(AllText(document.Buffer())).split("\r\n");
        QCOMPARE(QStringList({all[1], all[2], all[3], all[6]}).join(u'|'), lines);
    }

    // A new script holds the template unmarked and without undo; an edit marks the
    // document (not its buffer), and a save writes CR LF between the 15 lines, none after
    // the last, and clears the mark.
    void newDocumentHoldsTheTemplate() {
        CQuilletDoc document;
        QVERIFY(document.OnNewDocument());
        CTextBuffer& buffer = document.Buffer();
        QCOMPARE(buffer.LineCount(), 15);
        QCOMPARE(buffer.Line(0), std::string_view("//" + std::string(62, '*')));
        QCOMPARE(buffer.Line(9), std::string_view("VERSION=0.54"));
        QCOMPARE(buffer.Line(14), std::string_view("[EOF]"));
        QVERIFY(!document.IsModified());
        QVERIFY(!buffer.HasUndo());
        QVERIFY(Type(document));
        QVERIFY(document.IsModified() && !buffer.IsModified());
        const QString path = m_dir.filePath(QStringLiteral("marked.scp"));
        QVERIFY(document.DoSave(path));
        QVERIFY(!document.IsModified());
        QCOMPARE(document.Title(), QStringLiteral("marked.scp"));
        const QByteArray saved = ReadFileBytes(path);
        QCOMPARE(saved.count("\r\n"), 14);
        QCOMPARE(saved.count('\n'), 14);
        QVERIFY(saved.endsWith("\r\n\r\n[EOF]"));
    }

    void saveAndReopenByteForByte_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF file") << QByteArray("[ITEMDEF i_a]\r\nID=1\r\n\r\n[EOF]");
        QTest::newRow("LF file keeps LF") << QByteArray("[ITEMDEF i_a]\nID=1\n[EOF]\n");
        QTest::newRow("LF CR file keeps LF CR") << QByteArray("a\n\rb\n\rc");
        QTest::newRow("large file read on a worker thread")
            << QByteArray("[ITEMDEF i_big]\r\nNAME=big item\r\n").repeated(200000);
    }
    void saveAndReopenByteForByte() {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(QStringLiteral("roundtrip.scp"));
        const QString copy = m_dir.filePath(QStringLiteral("copy.scp"));
        CQuilletDoc document;
        QVERIFY(WriteFileBytes(path, bytes) && document.OnOpenDocument(path));
        QVERIFY(document.OnSaveDocument(copy));
        QCOMPARE(ReadFileBytes(copy), bytes);
    }

    // What cannot be opened says why, at once: nothing waits for a pipe's writer.
    void openingNamesTheReason_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "missing"
                                      << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("named pipe") << "pipe"
                                    << "Not a regular file";
        QTest::newRow("device") << "device"
                                << "Not a regular file";
    }
    void openingNamesTheReason() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString path = kind == "folder" ? m_dir.path() : m_dir.filePath(kind + ".scp");
        if (kind == "pipe") QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == "device") path = QStringLiteral("/dev/zero");
        CQuilletDoc document;
        QVERIFY(!document.OnOpenDocument(path));
        QCOMPARE(document.LastFileError(), reason);
    }

    // A refused save names the file and the reason; the document keeps its mark, its
    // path and its title.
    void failedSaveKeepsTheDocument_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "no/such/folder/a.scp"
                                        << "No such file or directory";
        QTest::newRow("over a folder") << "folder"
                                       << "Is a directory";
        QTest::newRow("through a link loop") << "loop"
                                             << "Too many levels of symbolic links";
    }
    void failedSaveKeepsTheDocument() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        QFile::link(m_dir.filePath(QStringLiteral("loop")), m_dir.filePath(QStringLiteral("loop")));
        CQuilletDoc document;
        QVERIFY(document.OnNewDocument() && Type(document));
        document.SetTitle(QStringLiteral("Sphere1"));
        const QString path = m_dir.filePath(target);
        MessageRecorder messages;
        QVERIFY(!document.DoSave(path));
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Could not save '%1'.\n\n%2")
                                                 .arg(QDir::toNativeSeparators(path), reason)});
        QVERIFY(document.IsModified());
        QVERIFY(document.PathName().isEmpty());
        QCOMPARE(document.Title(), QStringLiteral("Sphere1"));
    }

    void failedSaveAsKeepsPathAndTitle() {
        const QString original = m_dir.filePath(QStringLiteral("original.scp"));
        CQuilletDoc document;
        QVERIFY(OpenAndModify(document, original, "a\r\nb"));
        MessageRecorder messages;
        FileDialogAnswer answer(m_dir.filePath(QStringLiteral("gone/renamed.scp")));
        QVERIFY(!document.DoSave(QString())); // Save As
        QCOMPARE(messages.texts.size(), 1);
        QCOMPARE(document.PathName(), original);
        QCOMPARE(document.Title(), QStringLiteral("original.scp"));
        QVERIFY(document.IsModified());
        QCOMPARE(ReadFileBytes(original), QByteArray("a\r\nb"));
    }

    void saveOverAFileChangedOnDisk_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("user keeps the other program's file") << false;
        QTest::newRow("user replaces it") << true;
    }
    void saveOverAFileChangedOnDisk() {
        QFETCH(bool, overwrite);
        const QString path = m_dir.filePath(QStringLiteral("shared.scp"));
        CQuilletDoc document;
        QVERIFY(OpenAndModify(document, path, "mine"));
        // Another program writes the file; its time is moved on so that the change shows
        // even on file systems with coarse times.
        QVERIFY(WriteFileBytes(path, "theirs, longer"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();

        MessageRecorder messages(overwrite ? QMessageBox::Yes : QMessageBox::No);
        QCOMPARE(document.DoFileSave(), overwrite);
        QCOMPARE(messages.texts.size(), 1);
        QCOMPARE(ReadFileBytes(path), overwrite ? QByteArray("!mine") : "theirs, longer");
        QCOMPARE(document.IsModified(), !overwrite);
    }

    void saveAfterTheFileWasDeleted() {
        const QString path = m_dir.filePath(QStringLiteral("deleted.scp"));
        CQuilletDoc document;
        QVERIFY(OpenAndModify(document, path, "keep me"));
        QVERIFY(QFile::remove(path));
        MessageRecorder messages;
        QVERIFY(document.DoFileSave());
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(ReadFileBytes(path), QByteArray("!keep me"));
    }
};

QTEST_MAIN(TestQuilletDoc)
#include "tst_QuilletDoc.moc"
