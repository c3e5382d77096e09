// The script document: the new-file template, opening and saving, the modified mark, and
// saves that fail or meet a file changed by another program.
#include "ScriptTestSupport.h"

#include "script/NewScriptTemplate.h"
#include "script/QuilletDoc.h"

#include <QDateTime>
#include <QDir>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::string Line(const std::string& text, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) - start);
}

// Opens `path` holding `bytes` as the document's file and types one character into it.
bool OpenAndModify(CQuilletDoc& document, const QString& path, const QByteArray& bytes) {
    if (!WriteBytes(path, bytes) || !document.OnOpenDocument(path)) return false;
    document.SetPathName(path);
    TextPosition end;
    return document.Buffer().InsertTextAt(nullptr, {0, 0}, "!", end, ActionTyping);
}

QString CurrentYear() {
    return QString::number(QDateTime::currentDateTimeUtc().date().year());
}

} // namespace

class TestQuilletDoc : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearScriptSettings(); }

    void headerPlaceholders_data();
    void headerPlaceholders();
    void newDocumentHoldsTheTemplate();
    void editsMarkTheDocument();
    void saveAndReopenByteForByte_data();
    void saveAndReopenByteForByte();
    void openingAMissingFileFails();
    void failedSaveKeepsTheDocument();
    void failedSaveAsKeepsPathAndTitle();
    void closingAfterAFailedSaveIsRefused();
    void saveOverAFileChangedOnDisk_data();
    void saveOverAFileChangedOnDisk();
    void saveAfterTheFileWasDeleted();

private:
    QTemporaryDir m_dir;
};

void TestQuilletDoc::headerPlaceholders_data() {
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("web");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("line3");
    QTest::addColumn<QString>("line4");
    QTest::addColumn<QString>("line7");

    const QString y = QStringLiteral("\u00A9") + CurrentYear();
    QTest::newRow("no user details keep author and address, drop the company")
        << ""
        << ""
        << ""
        << "// <name_of_script> by <name_of_author> " + y << "// <url_of_author>"
        << "// This script file is copyright by "
        << "// express written permission from .";
    QTest::newRow("author without company is the company too")
        << "Ann"
        << ""
        << "http://ann.example"
        << "// <name_of_script> by Ann " + y << "// http://ann.example"
        << "// This script file is copyright by Ann"
        << "// express written permission from Ann.";
    QTest::newRow("address without author stays a placeholder")
        << ""
        << "Shard Inc"
        << "http://x.example"
        << "// <name_of_script> by <name_of_author> " + y << "// <url_of_author>"
        << "// This script file is copyright by Shard Inc"
        << "// express written permission from Shard Inc.";
    QTest::newRow("author without address removes the placeholder")
        << "Bob"
        << "Bob's Shard"
        << ""
        << "// <name_of_script> by Bob " + y << "// "
        << "// This script file is copyright by Bob's Shard"
        << "// express written permission from Bob's Shard.";
}

void TestQuilletDoc::headerPlaceholders() {
    QFETCH(QString, author);
    QFETCH(QString, company);
    QFETCH(QString, web);
    CIniFile& settings = SettingsStore();
    settings.SetValue("User", "UserName", author.toStdString(), true);
    settings.SetValue("User", "UserCompany", company.toStdString(), true);
    settings.SetValue("User", "UserInternet", web.toStdString(), true);

    CQuilletDoc document;
    QVERIFY(document.OnNewDocument());
    QFETCH(QString, line2);
    QFETCH(QString, line3);
    QFETCH(QString, line4);
    QFETCH(QString, line7);
    const std::string text = AllText(document.Buffer());
    const auto latin1 = [](const std::string& line) { return QString::fromLatin1(line); };
    QCOMPARE(latin1(Line(text, 1)), line2);
    QCOMPARE(latin1(Line(text, 2)), line3);
    QCOMPARE(latin1(Line(text, 3)), line4);
    QCOMPARE(latin1(Line(text, 6)), line7);
}

void TestQuilletDoc::newDocumentHoldsTheTemplate() {
    CQuilletDoc document;
    QVERIFY(document.OnNewDocument());
    CTextBuffer& buffer = document.Buffer();
    QCOMPARE(buffer.LineCount(), 15);
    // The bare header is 438 bytes; each placeholder gives way to its value.
    const std::size_t filled = 438 - (16 - 1) - 2 * (17 - 1) - (15 - 1) - (6 - 4);
    QCOMPARE(NewScriptHeader("A", "C", "U", 2002).size(), filled);
    QCOMPARE(buffer.Line(0), std::string_view("//" + std::string(62, '*')));
    QCOMPARE(buffer.Line(8), std::string_view(""));
    QCOMPARE(buffer.Line(9), std::string_view("VERSION=0.54"));
    QCOMPARE(buffer.Line(14), std::string_view("[EOF]"));
    QCOMPARE(buffer.LineEndStyleOf(), int(StyleDOS));
    QVERIFY(!document.IsModified());
    QVERIFY(!buffer.HasUndo());
}

void TestQuilletDoc::editsMarkTheDocument() {
    CQuilletDoc document;
    QVERIFY(document.OnNewDocument());
    TextPosition end;
    QVERIFY(document.Buffer().InsertTextAt(nullptr, {8, 0}, "x", end, ActionTyping));
    QVERIFY(document.IsModified());
    QVERIFY(!document.Buffer().IsModified()); // the mark lives in the document

    const QString path = m_dir.filePath(QStringLiteral("marked.scp"));
    QVERIFY(document.DoSave(path));
    QVERIFY(!document.IsModified());
    QCOMPARE(document.Title(), QStringLiteral("marked.scp"));
}

void TestQuilletDoc::saveAndReopenByteForByte_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF file") << QByteArray("[ITEMDEF i_a]\r\nID=1\r\n\r\n[EOF]");
    QTest::newRow("LF file keeps LF") << QByteArray("[ITEMDEF i_a]\nID=1\n[EOF]\n");
    QTest::newRow("LF CR file keeps LF CR") << QByteArray("a\n\rb\n\rc");
    QTest::newRow("Windows-1252 bytes kept") << QByteArray("// \xA9 2002 \x80\x81\r\nNAME=\xE9");
    QTest::newRow("large file read on a worker thread")
        << QByteArray("[ITEMDEF i_big]\r\nNAME=big item\r\n").repeated(200000);
}

void TestQuilletDoc::saveAndReopenByteForByte() {
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.scp"));
    QVERIFY(WriteBytes(path, bytes));
    CQuilletDoc document;
    QVERIFY(document.OnOpenDocument(path));
    const QString copy = m_dir.filePath(QStringLiteral("copy.scp"));
    QVERIFY(document.OnSaveDocument(copy));
    QCOMPARE(ReadBytes(copy), bytes);
}

void TestQuilletDoc::openingAMissingFileFails() {
    CQuilletDoc document;
    QVERIFY(!document.OnOpenDocument(m_dir.filePath(QStringLiteral("missing.scp"))));
    QVERIFY(!document.LastFileError().isEmpty());
    QVERIFY(!document.OnOpenDocument(m_dir.path()));
}

void TestQuilletDoc::failedSaveKeepsTheDocument() {
    CQuilletDoc document;
    QVERIFY(document.OnNewDocument());
    document.SetTitle(QStringLiteral("Sphere1"));
    TextPosition end;
    document.Buffer().InsertTextAt(nullptr, {8, 0}, "text", end, ActionTyping);

    const QString path = m_dir.filePath(QStringLiteral("no/such/folder/a.scp"));
    MessageRecorder messages;
    QVERIFY(!document.DoSave(path));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().contains(QDir::toNativeSeparators(path)));
    QVERIFY(messages.texts.first().contains(u'\n')); // and the reason
    QVERIFY(document.IsModified());
    QVERIFY(document.PathName().isEmpty());
    QCOMPARE(document.Title(), QStringLiteral("Sphere1"));
}

void TestQuilletDoc::failedSaveAsKeepsPathAndTitle() {
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
    QCOMPARE(ReadBytes(original), QByteArray("a\r\nb"));
}

void TestQuilletDoc::closingAfterAFailedSaveIsRefused() {
    CQuilletDoc document;
    QVERIFY(document.OnNewDocument());
    TextPosition end;
    document.Buffer().InsertTextAt(nullptr, {8, 0}, "x", end, ActionTyping);

    MessageRecorder messages(QMessageBox::Yes); // "Save changes?" Yes
    FileDialogAnswer answer(m_dir.filePath(QStringLiteral("missing/dir/x.scp")));
    QVERIFY(!document.SaveModified());
    QCOMPARE(messages.texts.size(), 2); // the question and the failure
    QVERIFY(document.IsModified());
}

void TestQuilletDoc::saveOverAFileChangedOnDisk_data() {
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("user keeps the other program's file") << false;
    QTest::newRow("user replaces it") << true;
}

void TestQuilletDoc::saveOverAFileChangedOnDisk() {
    QFETCH(bool, overwrite);
    const QString path = m_dir.filePath(QStringLiteral("shared.scp"));
    CQuilletDoc document;
    QVERIFY(OpenAndModify(document, path, "mine"));

    // Another program writes the file; its time is moved on so that the change shows
    // even on file systems with coarse times.
    QVERIFY(WriteBytes(path, "theirs, longer"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                             QFileDevice::FileModificationTime));
    file.close();

    MessageRecorder messages(overwrite ? QMessageBox::Yes : QMessageBox::No);
    QCOMPARE(document.DoFileSave(), overwrite);
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(ReadBytes(path), overwrite ? QByteArray("!mine") : QByteArray("theirs, longer"));
    QCOMPARE(document.IsModified(), !overwrite);
}

void TestQuilletDoc::saveAfterTheFileWasDeleted() {
    const QString path = m_dir.filePath(QStringLiteral("deleted.scp"));
    CQuilletDoc document;
    QVERIFY(OpenAndModify(document, path, "keep me"));
    QVERIFY(QFile::remove(path));

    MessageRecorder messages;
    QVERIFY(document.DoFileSave());
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(ReadBytes(path), QByteArray("!keep me"));
}

QTEST_MAIN(TestQuilletDoc)
#include "tst_QuilletDoc.moc"
