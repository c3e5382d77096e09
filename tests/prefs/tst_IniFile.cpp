#include "TestFiles.h"
#include "prefs/IniFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kErrorOpen = "Unable to open ini file.";
const char* const kErrorSection = "Unable to locate specified key.";
const char* const kErrorKey = "Unable to locate specified value.";

// Literal bytes, embedded zero bytes included.
template <std::size_t N> QByteArray B(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

bool load(CIniFile& ini, const QString& path, const QByteArray& bytes) {
    ini.SetPath(path.toStdString());
    return WriteFileBytes(path, bytes) && ini.Load();
}

// The whole store as Save writes it.
QByteArray saved(CIniFile& ini, const QString& path) {
    ini.SetPath(path.toStdString());
    return ini.Save() ? ReadFileBytes(path) : QByteArray("<save failed>");
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                  QDir::System);
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    ScratchWorkingFolder m_scratch;

private slots:
    // Each row: the file, one value looked up in it, and the store as Save writes it.
    void loadParsesLines_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("canonical");
        const auto row = [](const char* name, const QByteArray& input, const QByteArray& section,
                            const QByteArray& key, const QByteArray& value,
                            const QByteArray& canonical) {
            QTest::newRow(name) << input << section << key << value << canonical;
        };
        row("empty file holds nothing", "", "S", "k", "", "");
        row("line ends alone hold nothing", "\r\n\n\r\n", "", "", "", "");
        row("CR LF file", "[S]\r\na=1\r\nb=2\r\n", "S", "b", "2", "[S]\r\na=1\r\nb=2");
        row("LF file", "[S]\na=1\nb=2\n", "S", "b", "2", "[S]\r\na=1\r\nb=2");
        row("last line without line end is kept", "[S]\r\na=1", "S", "a", "1", "[S]\r\na=1");
        row("keys before the first section go to the empty-named section", "a=1\r\n[S]\r\nb=2", "",
            "a", "1", "[]\r\na=1\r\n\r\n[S]\r\nb=2");
        row("value starts after the first equals sign", "[S]\r\na=b=c", "S", "a", "b=c",
            "[S]\r\na=b=c");
        row("spaces around the equals sign are kept", "[S]\r\nKey = Value", "S", "Key ", " Value",
            "[S]\r\nKey = Value");
        row("semicolon line is a key line without equals sign", "[S]\r\n;note", "S", "", "note",
            "[S]\r\n=note");
        row("uneven brackets are stripped", "[[[UO]\r\nk=1", "UO", "k", "1", "[UO]\r\nk=1");
        row("empty brackets name the empty section", "[]\r\nk=1", "", "k", "1", "[]\r\nk=1");
        row("bracket without closing bracket is a key line", "[S]\r\n[UO\r\n", "S", "", "UO",
            "[S]\r\n=UO");
        row("lone bracket is a key line with empty value", "[S]\r\n[\r\n", "S", "", "", "[S]\r\n=");
        row("section without keys is not created", "[A]\r\n[B]\r\nk=1\r\n[C]", "A", "k", "",
            "[B]\r\nk=1");
        row("repeated section is merged into the first", "[A]\r\na=1\r\n[B]\r\nb=2\r\n[A]\r\nc=3",
            "A", "c", "3", "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2");
        row("repeated key keeps its place and last value", "[A]\r\nk=1\r\nj=2\r\nk=3", "A", "k",
            "3", "[A]\r\nk=3\r\nj=2");
        row("lone CR inside a line is kept", "[S]\r\nk=a\rb\r\n", "S", "k", "a\rb",
            "[S]\r\nk=a\rb");
        row("only the CR right before LF ends the line", "[S]\r\nk=v\r\r\n", "S", "k", "v\r",
            "[S]\r\nk=v\r");
        row("CR at end of file without LF is kept", "[S]\r\nk=v\r", "S", "k", "v\r",
            "[S]\r\nk=v\r");
        row("zero bytes are kept", B("[S\0]\r\nk\0=v\0w"), B("S\0"), B("k\0"), B("v\0w"),
            B("[S\0]\r\nk\0=v\0w"));
        row("high bytes are kept", "[\xE4\xF6]\r\n\xA9=\xFF\x80", "\xE4\xF6", "\xA9", "\xFF\x80",
            "[\xE4\xF6]\r\n\xA9=\xFF\x80");
        // A line longer than 2047 bytes is read as pieces of 2047 bytes, each a line of its own.
        const QByteArray x(2045, 'x'), y(2044, 'x');
        row("10000-byte line yields 2047-byte pieces", "[S]\r\nk=" + QByteArray(9998, 'x') + "\r\n",
            "S", "k", x, "[S]\r\nk=" + x + "\r\n=" + QByteArray(1811, 'x'));
        row("2047-byte line with CR LF is one whole line", "[S]\r\nk=" + x + "\r\nj=1", "S", "k", x,
            "[S]\r\nk=" + x + "\r\nj=1");
        row("CR of a CR LF at the piece limit is no value byte", "[S]\r\nk=" + y + "\r\nj=1", "S",
            "k", y, "[S]\r\nk=" + y + "\r\nj=1");
        row("lone CR at the piece limit stays in the piece", "[S]\r\nk=" + y + "\ry=1", "S", "k",
            y + "\r", "[S]\r\nk=" + y + "\r\r\ny=1");
        row("2048-byte line leaves a one-byte piece", "[S]\r\nk=" + x + "z\r\nj=1", "S", "", "",
            "[S]\r\nk=" + x + "\r\n=\r\nj=1");
        row("overlong section line starts no section", "[" + QByteArray(3000, 's') + "]\r\nk=1", "",
            "k", "1", "[]\r\n=" + QByteArray(953, 's') + "]\r\nk=1");
    }
    void loadParsesLines() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, canonical);
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"), input));
        QCOMPARE(QByteArray::fromStdString(ini.GetValue(section.toStdString(), key.toStdString())),
                 value);
        QCOMPARE(saved(ini, dir.filePath("out.ini")), canonical);
    }

    void loadMergesIntoStore() {
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(ini.SetValue("B", "x", "0", true));
        QVERIFY(load(ini, dir.filePath("1.ini"), "[A]\r\na=1\r\nb=2"));
        QVERIFY(load(ini, dir.filePath("2.ini"), "[B]\r\nc=3\r\n[A]\r\na=9\r\nd=4"));
        QCOMPARE(saved(ini, dir.filePath("out.ini")),
                 QByteArray("[B]\r\nx=0\r\nc=3\r\n\r\n[A]\r\na=9\r\nb=2\r\nd=4"));
    }

    void loadFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file keeps last error") << "missing" << kErrorSection;
        QTest::newRow("folder cannot be opened") << "folder" << kErrorOpen;
        QTest::newRow("FIFO cannot be opened and does not block") << "fifo" << kErrorOpen;
        QTest::newRow("unreadable file cannot be opened") << "unreadable" << kErrorOpen;
    }
    void loadFailures() {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        if (kind == "unreadable" && ::geteuid() == 0)
            QSKIP("permission bits do not stop root from reading");
        QTemporaryDir dir;
        const QString path = dir.filePath("quillet.ini");
        if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir("quillet.ini"));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        else if (kind == "unreadable")
            QVERIFY(WriteFileBytes(path, "[S]\r\nk=2") &&
                    ::chmod(path.toLocal8Bit().constData(), 0200) == 0);

        CIniFile ini;
        QVERIFY(ini.SetValue("S", "k", "1", true));
        QCOMPARE(ini.GetValue("Nope", "k"), std::string());
        ini.SetPath(path.toStdString());
        QVERIFY(!ini.Load());
        QCOMPARE(ini.GetValue("S", "k"),
                 std::string("1")); // a lookup that succeeds keeps the error
        QCOMPARE(QString::fromStdString(ini.GetLastError()), error);
    }

    void lookups_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* section, const char* key,
                            const char* value, const char* error) {
            QTest::newRow(name) << QString(section) << QString(key) << QString(value)
                                << QString(error);
        };
        row("existing key", "User", "UserName", "Ann", "");
        row("key in another case is missing", "User", "USERNAME", "", kErrorKey);
        row("section in another case is missing", "user", "UserName", "", kErrorSection);
        row("key found only in another section", "Other", "UserName", "", kErrorKey);
    }
    void lookups() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, error);
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"),
                     "[User]\r\nUserName=Ann\r\nusername=Bob\r\n[Other]\r\nx=1"));
        QCOMPARE(QString::fromStdString(ini.GetValue(section.toStdString(), key.toStdString())),
                 value);
        QCOMPARE(QString::fromStdString(ini.GetLastError()), error);
        QCOMPARE(ini.GetValueInt(section.toStdString(), key.toStdString()), 0);
        QCOMPARE(ini.FindKey(-1, "x"), -1); // section indexes outside the store
        QCOMPARE(ini.FindKey(2, "x"), -1);
    }

    void getValueInt_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("digits before junk") << B("12abc") << 12;
        QTest::newRow("leading white space and minus") << B(" \t\n\v\f\r-42") << -42;
        QTest::newRow("plus sign") << B("+7") << 7;
        QTest::newRow("space after sign") << B("- 5") << 0;
        QTest::newRow("no-break space is no white space") << B("\xA0\x35") << 0;
        QTest::newRow("zero byte ends the number") << B("5\0009") << 5;
        QTest::newRow("smallest int") << B("-2147483648") << INT_MIN;
        QTest::newRow("just above int is clamped") << B("2147483648") << INT_MAX;
        QTest::newRow("just below int is clamped") << B("-2147483649") << INT_MIN;
        QTest::newRow("huge value is clamped") << B("99999999999999999999999999") << INT_MAX;
    }
    void getValueInt() {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        CIniFile ini;
        QVERIFY(ini.SetValue("S", "k", text.toStdString(), true));
        QCOMPARE(ini.GetValueInt("S", "k"), expected);
    }

    void setValue_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("canonical");
        const auto row = [](const char* name, const char* section, const char* key, bool create,
                            bool result, const QByteArray& canonical) {
            QTest::newRow(name) << QString(section) << QString(key) << create << result
                                << canonical;
        };
        const QByteArray base = "[S1]\r\na=1\r\n\r\n[S2]\r\nb=2";
        row("existing key changes without create", "S2", "b", false, true,
            "[S1]\r\na=1\r\n\r\n[S2]\r\nb=9");
        row("missing key fails without create", "S1", "z", false, false, base);
        row("missing section fails without create", "New", "A", false, false, base);
        row("new key goes to the end of its section", "S1", "z", true, true,
            "[S1]\r\na=1\r\nz=9\r\n\r\n[S2]\r\nb=2");
        row("new section goes after all others", "New", "A", true, true,
            base + "\r\n\r\n[New]\r\nA=9");
        row("existing key changes in place with create", "S1", "a", true, true,
            "[S1]\r\na=9\r\n\r\n[S2]\r\nb=2");
    }
    void setValue() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(bool, create);
        QFETCH(bool, result);
        QFETCH(QByteArray, canonical);
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"), "[S1]\r\na=1\r\n[S2]\r\nb=2\r\n"));
        QCOMPARE(ini.SetValue(section.toStdString(), key.toStdString(), "9", create), result);
        QCOMPARE(saved(ini, dir.filePath("out.ini")), canonical);
    }

    // Random bytes, rich in line ends, brackets, equals signs and zero bytes, must load,
    // and what is saved must read back to the same store.
    void binaryJunk_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void binaryJunk() {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        static const char special[] = {'\0', '\r', '\n', '[', ']', '=', ' '};
        QByteArray junk;
        for (int i = 0; i < 200000; ++i) {
            const quint32 r = random.generate();
            // Some long runs without a line end, so that lines are split too.
            const int run = r % 97 == 0 ? 3000 : 1;
            const char c = r % 3 == 0 ? special[(r >> 8) % sizeof special] : char(r >> 16);
            junk += QByteArray(run, c == '\n' && run > 1 ? 'x' : c);
        }
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("junk.ini"), junk));
        const QByteArray first = saved(ini, dir.filePath("first.ini"));
        CIniFile again;
        again.SetPath(dir.filePath("first.ini").toStdString());
        QVERIFY(again.Load());
        QCOMPARE(saved(again, dir.filePath("second.ini")), first);
    }

    // The store saves through the writer that text files use, whose other refusals (folders,
    // missing folders, symbolic link loops, locked folders) and whose handling of links and
    // permission bits the text buffer's tests cover.
    void saveFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty path") << "empty"
                                    << "No such file or directory";
        QTest::newRow("file without write bits is read-only, for root too") << "readonly"
                                                                            << "Permission denied";
        QTest::newRow("running out of room keeps the old file whole") << "full"
                                                                      << "File too large";
    }
    void saveFailures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = kind == "empty" ? QString() : dir.filePath("quillet.ini");
        const QByteArray old = "[Old]\r\nk=1\r\n";
        if (!path.isEmpty()) QVERIFY(WriteFileBytes(path, old));
        if (kind == "readonly") QVERIFY(::chmod(path.toLocal8Bit().constData(), 0444) == 0);
        const QStringList before = entries(dir.path());

        CIniFile ini;
        QVERIFY(ini.SetValue("New", "k", std::string(100000, 'v'), true));
        ini.SetPath(path.toStdString());
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limit = saved;
        if (kind == "full") limit.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool ok = ini.Save();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok);
        QCOMPARE(QString::fromStdString(ini.SaveError()), reason);
        QCOMPARE(entries(dir.path()), before); // no temporary file is left behind
        if (!path.isEmpty()) QCOMPARE(ReadFileBytes(path), old);
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
