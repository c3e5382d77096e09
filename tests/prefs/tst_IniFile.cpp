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
std::string S(const QByteArray& b) {
    return std::string(b.constData(), std::size_t(b.size()));
}
QByteArray Q(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
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

// The text stored in a symbolic link, or empty when it is none.
QString rawLink(const QString& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.toLocal8Bit().constData(), buffer, sizeof buffer);
    return n > 0 ? QString::fromLocal8Bit(buffer, n) : QString();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                  QDir::System);
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    // Each row: the file, one value looked up in it, and the store as Save writes it.
    void loadParsesLines_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("canonical");
        QTest::newRow("empty file holds nothing") << B("") << B("S") << B("k") << B("") << B("");
        QTest::newRow("line ends alone hold nothing")
            << B("\r\n\n\r\n") << B("") << B("") << B("") << B("");
        QTest::newRow("CR LF file")
            << B("[S]\r\na=1\r\nb=2\r\n") << B("S") << B("b") << B("2") << B("[S]\r\na=1\r\nb=2");
        QTest::newRow("LF file") << B("[S]\na=1\nb=2\n") << B("S") << B("b") << B("2")
                                 << B("[S]\r\na=1\r\nb=2");
        QTest::newRow("last line without line end is kept")
            << B("[S]\r\na=1") << B("S") << B("a") << B("1") << B("[S]\r\na=1");
        QTest::newRow("keys before the first section go to the empty-named section")
            << B("a=1\r\n[S]\r\nb=2") << B("") << B("a") << B("1")
            << B("[]\r\na=1\r\n\r\n[S]\r\nb=2");
        QTest::newRow("value starts after the first equals sign")
            << B("[S]\r\na=b=c") << B("S") << B("a") << B("b=c") << B("[S]\r\na=b=c");
        QTest::newRow("spaces around the equals sign are kept")
            << B("[S]\r\nKey = Value") << B("S") << B("Key ") << B(" Value")
            << B("[S]\r\nKey = Value");
        QTest::newRow("semicolon line is a key line without equals sign")
            << B("[S]\r\n;note") << B("S") << B("") << B("note") << B("[S]\r\n=note");
        QTest::newRow("blank-looking line is a key line")
            << B("[S]\r\n  \r\n") << B("S") << B("") << B(" ") << B("[S]\r\n= ");
        QTest::newRow("uneven brackets are stripped")
            << B("[[[UO]\r\nk=1") << B("UO") << B("k") << B("1") << B("[UO]\r\nk=1");
        QTest::newRow("empty brackets name the empty section")
            << B("[]\r\nk=1") << B("") << B("k") << B("1") << B("[]\r\nk=1");
        QTest::newRow("bracket without closing bracket is a key line")
            << B("[S]\r\n[UO\r\n") << B("S") << B("") << B("UO") << B("[S]\r\n=UO");
        QTest::newRow("lone bracket is a key line with empty value")
            << B("[S]\r\n[\r\n") << B("S") << B("") << B("") << B("[S]\r\n=");
        QTest::newRow("bracketed key is a key line")
            << B("[S]\r\n[a]=5") << B("S") << B("[a]") << B("5") << B("[S]\r\n[a]=5");
        QTest::newRow("section without keys is not created")
            << B("[A]\r\n[B]\r\nk=1\r\n[C]") << B("A") << B("k") << B("") << B("[B]\r\nk=1");
        QTest::newRow("repeated section is merged into the first")
            << B("[A]\r\na=1\r\n[B]\r\nb=2\r\n[A]\r\nc=3") << B("A") << B("c") << B("3")
            << B("[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2");
        QTest::newRow("repeated key keeps its place and last value")
            << B("[A]\r\nk=1\r\nj=2\r\nk=3") << B("A") << B("k") << B("3")
            << B("[A]\r\nk=3\r\nj=2");
        QTest::newRow("lone CR inside a line is kept")
            << B("[S]\r\nk=a\rb\r\n") << B("S") << B("k") << B("a\rb") << B("[S]\r\nk=a\rb");
        QTest::newRow("only the CR right before LF ends the line")
            << B("[S]\r\nk=v\r\r\n") << B("S") << B("k") << B("v\r") << B("[S]\r\nk=v\r");
        QTest::newRow("CR at end of file without LF is kept")
            << B("[S]\r\nk=v\r") << B("S") << B("k") << B("v\r") << B("[S]\r\nk=v\r");
        QTest::newRow("zero bytes are kept") << B("[S\0]\r\nk\0=v\0w") << B("S\0") << B("k\0")
                                             << B("v\0w") << B("[S\0]\r\nk\0=v\0w");
        QTest::newRow("high bytes are kept")
            << B("[\xE4\xF6]\r\n\xA9=\xFF\x80") << B("\xE4\xF6") << B("\xA9") << B("\xFF\x80")
            << B("[\xE4\xF6]\r\n\xA9=\xFF\x80");
        // A line longer than 2047 bytes is read as pieces of 2047 bytes, each a line of its own.
        const QByteArray x = QByteArray(2045, 'x');
        QTest::newRow("10000-byte line yields 2047-byte pieces")
            << B("[S]\r\nk=") + QByteArray(9998, 'x') + B("\r\n") << B("S") << B("k") << x
            << B("[S]\r\nk=") + x + B("\r\n=") + QByteArray(1811, 'x');
        QTest::newRow("2047-byte line with CR LF is one whole line")
            << B("[S]\r\nk=") + x + B("\r\nj=1") << B("S") << B("k") << x
            << B("[S]\r\nk=") + x + B("\r\nj=1");
        QTest::newRow("2047-byte line with LF is one whole line")
            << B("[S]\nk=") + x + B("\nj=1") << B("S") << B("k") << x
            << B("[S]\r\nk=") + x + B("\r\nj=1");
        QTest::newRow("CR of a CR LF at the piece limit is no value byte")
            << B("[S]\r\nk=") + x.left(2044) + B("\r\nj=1") << B("S") << B("k") << x.left(2044)
            << B("[S]\r\nk=") + x.left(2044) + B("\r\nj=1");
        QTest::newRow("lone CR at the piece limit stays in the piece")
            << B("[S]\r\nk=") + x.left(2044) + B("\ry=1") << B("S") << B("k")
            << x.left(2044) + B("\r") << B("[S]\r\nk=") + x.left(2044) + B("\r\r\ny=1");
        QTest::newRow("2048-byte line leaves a one-byte piece")
            << B("[S]\r\nk=") + x + B("z\r\nj=1") << B("S") << B("") << B("")
            << B("[S]\r\nk=") + x + B("\r\n=\r\nj=1");
        QTest::newRow("overlong section line starts no section")
            << B("[") + QByteArray(3000, 's') + B("]\r\nk=1") << B("") << B("k") << B("1")
            << B("[]\r\n=") + QByteArray(953, 's') + B("]\r\nk=1");
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
        QCOMPARE(Q(ini.GetValue(S(section), S(key))), value);
        QCOMPARE(saved(ini, dir.filePath("out.ini")), canonical);
    }

    void loadMergesIntoStore() {
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(ini.SetValue("B", "x", "0", true));
        QVERIFY(load(ini, dir.filePath("1.ini"), B("[A]\r\na=1\r\nb=2")));
        QVERIFY(load(ini, dir.filePath("2.ini"), B("[B]\r\nc=3\r\n[A]\r\na=9\r\nd=4")));
        QCOMPARE(saved(ini, dir.filePath("out.ini")),
                 B("[B]\r\nx=0\r\nc=3\r\n\r\n[A]\r\na=9\r\nb=2\r\nd=4"));
    }

    void loadFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file keeps last error") << "missing" << kErrorSection;
        QTest::newRow("empty path keeps last error") << "empty" << kErrorSection;
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
        ini.SetPath(kind == "empty" ? std::string() : path.toStdString());
        QVERIFY(!ini.Load());
        QCOMPARE(QString::fromStdString(ini.GetLastError()), error);
        QCOMPARE(ini.GetValue("S", "k"), std::string("1"));
    }

    void lookups_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("existing key") << B("User") << B("UserName") << B("Ann") << "";
        QTest::newRow("key in another case is missing")
            << B("User") << B("USERNAME") << B("") << kErrorKey;
        QTest::newRow("section in another case is missing")
            << B("user") << B("UserName") << B("") << kErrorSection;
        QTest::newRow("section name is not trimmed")
            << B(" User") << B("UserName") << B("") << kErrorSection;
        QTest::newRow("key name is not trimmed")
            << B("User") << B("UserName ") << B("") << kErrorKey;
        QTest::newRow("key found only in another section")
            << B("Other") << B("UserName") << B("") << kErrorKey;
    }
    void lookups() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QString, error);
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"),
                     B("[User]\r\nUserName=Ann\r\nusername=Bob\r\n[Other]\r\nx=1")));
        QCOMPARE(Q(ini.GetValue(S(section), S(key))), value);
        QCOMPARE(QString::fromStdString(ini.GetLastError()), error);
        QCOMPARE(ini.GetValueInt(S(section), S(key)), 0);
    }

    void indexes() {
        CIniFile ini;
        QVERIFY(ini.SetValue("A", "a", "1", true));
        QVERIFY(ini.SetValue("B", "b1", "2", true));
        QVERIFY(ini.SetValue("B", "b2", "3", true));
        QCOMPARE(ini.FindSection("B"), 1);
        QCOMPARE(ini.FindSection("C"), -1);
        QCOMPARE(ini.FindKey(1, "b2"), 1);
        QCOMPARE(ini.FindKey(1, "a"), -1);
        QCOMPARE(ini.FindKey(-1, "a"), -1);
        QCOMPARE(ini.FindKey(2, "a"), -1);
        QCOMPARE(ini.FindKey(INT_MIN, "a"), -1);
        // A successful lookup leaves an earlier error in place.
        QCOMPARE(ini.GetValue("A", "zz"), std::string());
        QCOMPARE(ini.GetValue("A", "a"), std::string("1"));
        QCOMPARE(ini.GetLastError(), std::string(kErrorKey));
    }

    void getValueInt_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain number") << B("2593") << 2593;
        QTest::newRow("digits before junk") << B("12abc") << 12;
        QTest::newRow("no digits") << B("abc") << 0;
        QTest::newRow("leading white space and minus") << B(" \t\n\v\f\r-42") << -42;
        QTest::newRow("plus sign") << B("+7") << 7;
        QTest::newRow("space after sign") << B("- 5") << 0;
        QTest::newRow("two signs") << B("--5") << 0;
        QTest::newRow("hex is not read") << B("0x1A") << 0;
        QTest::newRow("no-break space is no white space") << B("\xA0\x35") << 0;
        QTest::newRow("zero byte ends the number") << B("5\0009") << 5;
        QTest::newRow("largest int") << B("2147483647") << INT_MAX;
        QTest::newRow("smallest int") << B("-2147483648") << INT_MIN;
        QTest::newRow("just above int is clamped") << B("2147483648") << INT_MAX;
        QTest::newRow("just below int is clamped") << B("-2147483649") << INT_MIN;
        QTest::newRow("huge value is clamped") << B("99999999999999999999999999") << INT_MAX;
    }
    void getValueInt() {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        CIniFile ini;
        QVERIFY(ini.SetValue("S", "k", S(text), true));
        QCOMPARE(ini.GetValueInt("S", "k"), expected);
    }

    void setValue_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("canonical");
        const QByteArray base = B("[S1]\r\na=1\r\n\r\n[S2]\r\nb=2");
        QTest::newRow("existing key changes without create")
            << B("S2") << B("b") << B("9") << false << true << B("[S1]\r\na=1\r\n\r\n[S2]\r\nb=9");
        QTest::newRow("missing key fails without create")
            << B("S1") << B("z") << B("9") << false << false << base;
        QTest::newRow("missing section fails without create")
            << B("New") << B("A") << B("1") << false << false << base;
        QTest::newRow("new key goes to the end of its section")
            << B("S1") << B("z") << B("9") << true << true
            << B("[S1]\r\na=1\r\nz=9\r\n\r\n[S2]\r\nb=2");
        QTest::newRow("new section goes after all others")
            << B("New") << B("A") << B("1") << true << true << base + B("\r\n\r\n[New]\r\nA=1");
        QTest::newRow("existing key changes in place with create")
            << B("S1") << B("a") << B("x") << true << true << B("[S1]\r\na=x\r\n\r\n[S2]\r\nb=2");
        QTest::newRow("value may become empty")
            << B("S1") << B("a") << B("") << false << true << B("[S1]\r\na=\r\n\r\n[S2]\r\nb=2");
    }
    void setValue() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(bool, create);
        QFETCH(bool, result);
        QFETCH(QByteArray, canonical);
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"), B("[S1]\r\na=1\r\n[S2]\r\nb=2\r\n")));
        QCOMPARE(ini.SetValue(S(section), S(key), S(value), create), result);
        QCOMPARE(saved(ini, dir.filePath("out.ini")), canonical);
        QCOMPARE(ini.GetLastError(), std::string());
    }

    void setValueInt() {
        const std::pair<int, const char*> cases[] = {
            {2593, "2593"}, {-1, "-1"}, {INT_MIN, "-2147483648"}};
        for (const auto& [value, text] : cases) {
            CIniFile ini;
            QVERIFY(!ini.SetValueInt("Telnet", "Port", value, false));
            QVERIFY(ini.SetValueInt("Telnet", "Port", value, true));
            QCOMPARE(ini.GetValue("Telnet", "Port"), std::string(text));
            QCOMPARE(ini.GetValueInt("Telnet", "Port"), value);
        }
    }

    void manySections() {
        QByteArray file;
        for (int i = 0; i < 5000; ++i)
            file += (i ? "\r\n\r\n[S" : "[S") + QByteArray::number(i) +
                    "]\r\na=" + QByteArray::number(i) + "\r\nb=x";
        QTemporaryDir dir;
        CIniFile ini;
        QVERIFY(load(ini, dir.filePath("in.ini"), file));
        QCOMPARE(ini.FindSection("S0"), 0);
        QCOMPARE(ini.FindSection("S4999"), 4999);
        QCOMPARE(ini.FindSection("S5000"), -1);
        QCOMPARE(ini.FindKey(4999, "b"), 1);
        QCOMPARE(ini.GetValueInt("S2500", "a"), 2500);
        QCOMPARE(saved(ini, dir.filePath("out.ini")), file);
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

    void saveFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder does not exist") << "nofolder"
                                               << "No such file or directory";
        QTest::newRow("path is a folder") << "folder"
                                          << "Is a directory";
        QTest::newRow("empty path") << "empty"
                                    << "No such file or directory";
        QTest::newRow("file without write bits is read-only, for root too") << "readonly"
                                                                            << "Permission denied";
        QTest::newRow("folder without write permission") << "lockedfolder"
                                                         << "Permission denied";
        QTest::newRow("symlink loop") << "loop"
                                      << "Too many levels of symbolic links";
        QTest::newRow("running out of room keeps the old file whole") << "full"
                                                                      << "File too large";
    }
    void saveFailures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == "lockedfolder" && ::geteuid() == 0)
            QSKIP("permission bits on a folder do not stop root from writing");
        QTemporaryDir dir;
        QString path = dir.filePath("quillet.ini");
        const QByteArray old = B("[Old]\r\nk=1\r\n");
        if (kind == "nofolder")
            path = dir.filePath("missing/quillet.ini");
        else if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir("quillet.ini"));
        else if (kind == "empty")
            path.clear();
        else if (kind == "loop")
            QVERIFY(QFile::link(path, path));
        else
            QVERIFY(WriteFileBytes(path, old));
        if (kind == "readonly") QVERIFY(::chmod(path.toLocal8Bit().constData(), 0444) == 0);
        if (kind == "lockedfolder")
            QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0555) == 0);
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
        ::chmod(dir.path().toLocal8Bit().constData(), 0755);
        QVERIFY(!ok);
        QCOMPARE(QString::fromStdString(ini.SaveError()), reason);
        QCOMPARE(entries(dir.path()), before); // no temporary file is left behind
        if (kind == "folder") QVERIFY(QFileInfo(path).isDir());
        if (QFileInfo(path).isFile()) QCOMPARE(ReadFileBytes(path), old);
    }

    void savePermissions_data() {
        QTest::addColumn<int>("existingMode");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("expected");
        QTest::newRow("existing 0600 is kept") << 0600 << 022 << 0600;
        QTest::newRow("existing 0755 is kept") << 0755 << 077 << 0755;
        QTest::newRow("new file under umask 022 is 0644") << -1 << 022 << 0644;
        QTest::newRow("new file under umask 077 is 0600") << -1 << 077 << 0600;
    }
    void savePermissions() {
        QFETCH(int, existingMode);
        QFETCH(int, mask);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("quillet.ini");
        if (existingMode >= 0) {
            QVERIFY(WriteFileBytes(path, QByteArray(5000, 'o')));
            QCOMPARE(::chmod(path.toLocal8Bit().constData(), mode_t(existingMode)), 0);
        }
        CIniFile ini;
        QVERIFY(ini.SetValue("S", "k", "v", true));
        ini.SetPath(path.toStdString());
        const mode_t oldMask = ::umask(mode_t(mask));
        const bool ok = ini.Save();
        ::umask(oldMask);
        QVERIFY(ok);
        struct stat st {};
        QCOMPARE(::stat(path.toLocal8Bit().constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), expected);
        QCOMPARE(ReadFileBytes(path), B("[S]\r\nk=v"));
        QCOMPARE(entries(dir.path()), QStringList{"quillet.ini"});
    }

    void saveThroughSymlink_data() {
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("absolute link to existing file") << "ABS" << true;
        QTest::newRow("link to a link") << "second.ini" << true;
        QTest::newRow("dangling link creates its target") << "../real/quillet.ini" << false;
    }
    void saveThroughSymlink() {
        QFETCH(QString, linkTarget);
        QFETCH(bool, targetExists);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("links") && QDir(dir.path()).mkpath("real"));
        const QString real = dir.filePath("real/quillet.ini");
        const QString link = dir.filePath("links/quillet.ini");
        if (targetExists) QVERIFY(WriteFileBytes(real, "old"));
        if (linkTarget == "ABS") linkTarget = real;
        if (linkTarget == "second.ini")
            QCOMPARE(::symlink("../real/quillet.ini",
                               dir.filePath("links/second.ini").toLocal8Bit().constData()),
                     0);
        QCOMPARE(::symlink(linkTarget.toLocal8Bit().constData(), link.toLocal8Bit().constData()),
                 0);
        const QStringList linksBefore = entries(dir.filePath("links"));

        CIniFile ini;
        QVERIFY(ini.SetValue("S", "k", "v", true));
        ini.SetPath(link.toStdString());
        QVERIFY(ini.Save());
        QCOMPARE(rawLink(link), linkTarget);
        QCOMPARE(ReadFileBytes(real), B("[S]\r\nk=v"));
        QCOMPARE(entries(dir.filePath("links")), linksBefore);
        QCOMPARE(entries(dir.filePath("real")), QStringList{"quillet.ini"});
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
