// The outline of a script: which lines are sections, under which root, with which label,
// checked on hand-made edges and against a plain line-by-line reading of every corpus script.
#include "buffer/TextBuffer.h"
#include "workspace/ScriptOutline.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

void Load(CTextBuffer& buffer, const QByteArray& text) {
    buffer.ResetToEmpty(StyleDOS);
    TextPosition end;
    buffer.InsertTextAt(nullptr, {0, 0}, std::string_view(text.constData(), text.size()), end, 0,
                        false);
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QStringList Outline(const CTextBuffer& buffer) {
    const ScriptOutline outline = BuildOutline(OutlineLines::From(buffer));
    QStringList described;
    for (const OutlineSection& s : outline.sections)
        described << QStringLiteral("%1:%2:%3:%4")
                         .arg(s.line)
                         .arg(int(s.root))
                         .arg(Latin1(outline.Text(s.header)), Latin1(outline.Text(s.defname)));
    return described;
}

// The plain reading: every line whose first non-blank byte is '[' is a header, up to ']';
// the first DEFNAME key before the next header names it.
QStringList ReferenceOutline(const CTextBuffer& buffer) {
    static const QRegularExpression header(
        QStringLiteral("^[ \\t]*\\[[ \\t]*([^\\]]*?)[ \\t]*(\\]|$)"));
    static const QRegularExpression defname(
        QStringLiteral("^[ \\t]*DEFNAME(?:[ \\t]*=[ \\t]*|[ \\t]+=?[ \\t]*)([^ \\t\\r/]*)"),
        QRegularExpression::CaseInsensitiveOption);
    const QMap<QString, int> roots{{"ITEMDEF", 0}, {"CHARDEF", 1}, {"FUNCTION", 2}, {"TYPEDEF", 3}};
    QStringList described;
    bool open = false;
    QString last;
    for (int i = 0; i < buffer.LineCount(); ++i) {
        const QString line = QString::fromLatin1(buffer.LineText(i), buffer.LineLength(i));
        if (const auto m = header.match(line); m.hasMatch()) {
            if (open) described << last;
            const QString name = m.captured(1);
            open = !name.isEmpty() && name.compare(QLatin1String("EOF"), Qt::CaseInsensitive) != 0;
            const QString word = name.section(QRegularExpression(QStringLiteral("[ \\t]")), 0, 0);
            last = QStringLiteral("%1:%2:%3:").arg(i).arg(roots.value(word.toUpper(), 4)).arg(name);
        } else if (open && !last.endsWith(QLatin1String("\x01"))) {
            if (const auto m = defname.match(line); m.hasMatch() && !m.captured(1).isEmpty())
                last += m.captured(1) + QLatin1String("\x01");
        }
    }
    if (open) described << last;
    for (QString& entry : described)
        entry.remove(QLatin1Char('\x01'));
    return described;
}

} // namespace

class TestScriptOutline : public QObject {
    Q_OBJECT

private slots:
    void sections_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("header on the first line, roots by their word in any case")
            << QByteArray("[itemdef 0eed]\r\nDEFNAME=i_gold\r\n[CharDef c_man]\r\n"
                          "[FUNCTION f_x]\r\n[TYPEDEF t_y]\r\n[EVENTS e_z]\r\n")
            << QStringList{"0:0:itemdef 0eed:i_gold", "2:1:CharDef c_man:", "3:2:FUNCTION f_x:",
                           "4:3:TYPEDEF t_y:", "5:4:EVENTS e_z:"};
        QTest::newRow("a longer word is another kind")
            << QByteArray("[ITEMDEFX a]\r\n[FUNCTIONS b]\r\n")
            << QStringList{"0:4:ITEMDEFX a:", "1:4:FUNCTIONS b:"};
        QTest::newRow("blanks, a comment after the bracket, no closing bracket")
            << QByteArray("  \t[ DIALOG d_x ]  // the menu\r\n[SPEECH s_y\r\n")
            << QStringList{"0:4:DIALOG d_x:", "1:4:SPEECH s_y:"};
        QTest::newRow("EOF ends the script: no section, its DEFNAME belongs to none")
            << QByteArray("[ITEMDEF a]\r\n[EOF]\r\nDEFNAME=lost\r\n[eof]\r\n[ITEMDEF b]\r\n")
            << QStringList{"0:0:ITEMDEF a:", "4:0:ITEMDEF b:"};
        QTest::newRow("DEFNAME forms: blanks, tab, comment; DEFNAME2 and later ones ignored")
            << QByteArray(
                   "DEFNAME=before\r\n[ITEMDEF 1]\r\nDEFNAME2=two\r\n  defname = one // x\r\n"
                   "DEFNAME=again\r\n[ITEMDEF 2]\r\nDEFNAME\ttabbed\r\n[ITEMDEF 3]\r\n"
                   "DEFNAMES=no\r\nDEFNAME=\r\n")
            << QStringList{"1:0:ITEMDEF 1:one", "5:0:ITEMDEF 2:tabbed", "7:0:ITEMDEF 3:"};
        QTest::newRow("comment lines and empty brackets are no sections")
            << QByteArray("//[ITEMDEF no]\r\n[]\r\nDEFNAME=x\r\n [ ] \r\n") << QStringList{};
    }
    void sections() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        CTextBuffer buffer;
        Load(buffer, text);
        QCOMPARE(Outline(buffer), expected);
        QCOMPARE(ReferenceOutline(buffer), expected);
    }

    void corpusMatchesThePlainReading_data() {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(QUILLET_CORPUS_DIR));
        if (!corpus.exists()) QSKIP("the corpus is not beside the project");
        for (const QString& name : corpus.entryList({QStringLiteral("*.scp")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void corpusMatchesThePlainReading() {
        QFETCH(QString, path);
        CTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(QFile::encodeName(path).toStdString()));
        const QStringList outline = Outline(buffer);
        QVERIFY(!outline.isEmpty());
        QCOMPARE(outline, ReferenceOutline(buffer));
    }

    void longLinesAreCutNotOverread() {
        const QByteArray name(100000, 'x');
        CTextBuffer buffer;
        Load(buffer, "[FUNCTION " + name + "]\r\nDEFNAME=" + name + "\r\n");
        const QStringList outline = Outline(buffer);
        QCOMPARE(outline.size(), 1);
        // The copy keeps the first 256 bytes of a line: "FUNCTION " and 246 of the name.
        QCOMPARE(outline[0],
                 QStringLiteral("0:2:FUNCTION %1:%2")
                     .arg(QString(246, QLatin1Char('x')), QString(248, QLatin1Char('x'))));
    }

    // A world save: the outline keeps its first 200,000 header and DEFNAME lines.
    void hugeScriptsAreOutlinedUpToABound() {
        CTextBuffer buffer;
        Load(buffer, QByteArray("[SECTOR 0,0]\r\nRAINCHANCE=25\r\n").repeated(200001));
        const QStringList outline = Outline(buffer);
        QCOMPARE(outline.size(), 200000);
        QCOMPARE(outline.last(), QStringLiteral("399998:4:SECTOR 0,0:"));
    }
};

QTEST_APPLESS_MAIN(TestScriptOutline)
#include "tst_ScriptOutline.moc"
