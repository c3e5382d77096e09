// The Preferences dialog: pages shown from the store, Apply writing the keys in their
// order and saving, Cancel touching nothing, the password rules, the client name, a
// failed save, the file's mode, the caption bar and one page at a time.
#include "../script/ScriptTestSupport.h"

#include "prefs/GradientCaption.h"
#include "prefs/PageTree.h"
#include "prefs/PreferencePages.h"
#include "prefs/Preferences.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

void Press(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text) button->click();
}

// The page's fields in the order they stand.
QList<QLineEdit*> Fields(QWidget* page) {
    return page->findChildren<QLineEdit*>();
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

private slots:
    // A store read from a settings file holding only a user name.
    void init() {
        m_ini = m_dir.filePath(QStringLiteral("quillet.ini"));
        QFile::remove(m_ini);
        QVERIFY(WriteFileBytes(m_ini, "[User]\r\nUserName=Ann"));
        ::chmod(QFile::encodeName(m_ini).constData(), 0644);
        CIniFile& store = SettingsStore();
        store = CIniFile();
        store.SetPath(m_ini.toStdString());
        QVERIFY(store.Load());
    }

    // Apply writes the user, directory and console keys in that order, and saves.
    void applyWritesEveryKeyInOrder() {
        CPreferences preferences;
        const QList<QLineEdit*> user = Fields(preferences.PageAt(CPreferences::UserPage));
        QCOMPARE(user[0]->text(), QStringLiteral("Ann"));
        user[1]->setText(QStringLiteral("Shard"));
        const QList<QLineEdit*> console = Fields(preferences.PageAt(CPreferences::ConsolePage));
        console[0]->setText(QStringLiteral("10.0.0.2"));
        console[1]->setText(QStringLiteral("2593"));
        Press(preferences, QStringLiteral("&Apply"));
        QCOMPARE(preferences.result(), int(QDialog::Accepted));
        QCOMPARE(ReadFileBytes(m_ini),
                 QByteArray("[User]\r\nUserName=Ann\r\nUserCompany=Shard\r\nUserInternet=\r\n\r\n"
                            "[UO]\r\nUltima Online=\r\nSphereServer=\r\nAxis=\r\nUltima Online "
                            "Client=\r\n\r\n[Telnet]\r\nIP=10.0.0.2\r\nPort=2593\r\n"
                            "Sendpassword=0\r\nPassword=0\r\nSendspace=0"));
    }

    void cancelTouchesNothing() {
        const QDateTime before = QFileInfo(m_ini).lastModified();
        {
            CPreferences preferences;
            for (CPreferences::Page page : {CPreferences::UserPage, CPreferences::ConsolePage})
                for (QLineEdit* field : Fields(preferences.PageAt(page)))
                    field->setText(QStringLiteral("changed"));
            Press(preferences, QStringLiteral("&Cancel"));
        }
        QCOMPARE(ReadFileBytes(m_ini), QByteArray("[User]\r\nUserName=Ann"));
        QCOMPARE(QFileInfo(m_ini).lastModified(), before);
        QCOMPARE(SettingsStore().GetValue("User", "UserName"), std::string("Ann"));
        QCOMPARE(SettingsStore().FindSection("Telnet"), -1);
    }

    // Checking the box empties and enables the field; unchecking disables it and keeps its
    // text; Apply unchecked stores 0 for both. A stored password makes the file private.
    void passwordRules() {
        {
            CPreferences preferences;
            auto* page =
                static_cast<CGeneralTelnet*>(preferences.PageAt(CPreferences::ConsolePage));
            QVERIFY(!page->Password()->isEnabled());
            page->Password()->setText(QStringLiteral("old"));
            page->SendPassword()->click();
            QVERIFY(page->Password()->isEnabled());
            QCOMPARE(page->Password()->text(), QString());
            page->Password()->setText(QStringLiteral("secret"));
            Press(preferences, QStringLiteral("&Apply"));
        }
        QVERIFY(ReadFileBytes(m_ini).contains("Sendpassword=1\r\nPassword=secret"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(m_ini).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        CPreferences again;
        auto* page = static_cast<CGeneralTelnet*>(again.PageAt(CPreferences::ConsolePage));
        QCOMPARE(page->Password()->text(), QStringLiteral("secret"));
        page->SendPassword()->click();
        QVERIFY(!page->Password()->isEnabled());
        QCOMPARE(page->Password()->text(), QStringLiteral("secret"));
        Press(again, QStringLiteral("&Apply"));
        QVERIFY(ReadFileBytes(m_ini).contains("Sendpassword=0\r\nPassword=0"));
        QCOMPARE(::stat(QFile::encodeName(m_ini).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600)); // stays private
    }

    // Folders come whole from the folder dialog; the client program keeps its name only.
    void chooseFoldersAndClient() {
        CPreferences preferences;
        auto* page =
            static_cast<CGeneralDirectory*>(preferences.PageAt(CPreferences::DirectoriesPage));
        QList<QPushButton*> browse = page->findChildren<QPushButton*>();
        FileDialogAnswer folder(QStringLiteral("/games/uo"));
        browse.first()->click();
        QCOMPARE(page->ClientFolder()->text(), QStringLiteral("/games/uo"));
        FileDialogAnswer program(QStringLiteral("/games/uo/client.exe"));
        browse.last()->click();
        QCOMPARE(page->ClientProgram()->text(), QStringLiteral("client.exe"));
        QCOMPARE(program.requests, QStringList{"client.exe"});
    }

    void failedSaveIsReported() {
        SettingsStore().SetPath(m_dir.filePath(QStringLiteral("gone/quillet.ini")).toStdString());
        MessageRecorder messages;
        CPreferences preferences;
        Press(preferences, QStringLiteral("&Apply"));
        QCOMPARE(messages.texts,
                 QStringList{QStringLiteral("Could not save '%1'.\n\nNo such file or directory")
                                 .arg(m_dir.filePath(QStringLiteral("gone/quillet.ini")))});
        QCOMPARE(SettingsStore().GetValue("Telnet", "Password"),
                 std::string("0")); // kept for this run
    }

    // The tree opens expanded on "General Preferences"; each item shows its page alone.
    void onePageAtATime() {
        CPreferences preferences;
        preferences.show();
        QCOMPARE(preferences.VisiblePage(), preferences.PageAt(CPreferences::GeneralPage));
        int items = 0;
        for (QTreeWidgetItemIterator it(preferences.Tree()); *it; ++it, ++items) {
            QVERIFY((*it)->childCount() == 0 || (*it)->isExpanded());
            preferences.Tree()->setCurrentItem(*it);
            int visible = 0;
            for (int page = CPreferences::GeneralPage; page <= CPreferences::MousePage; ++page)
                visible += preferences.PageAt(CPreferences::Page(page))->isVisible();
            QCOMPARE(visible, 1);
        }
        QCOMPARE(items, 6);
        CPreferences directories(nullptr, CPreferences::DirectoriesPage);
        QCOMPARE(directories.VisiblePage(), directories.PageAt(CPreferences::DirectoriesPage));
        for (QLineEdit* field : Fields(preferences.PageAt(CPreferences::MousePage)))
            QVERIFY(!field->isEnabled());
    }

    // The gradient runs from teal to purple; the bold text stands left, the rest right.
    void captionBar_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("right");
        QTest::newRow("with a tab") << "General\tConsole" << true;
        QTest::newRow("without a tab") << "General Preferences" << false;
    }
    void captionBar() {
        QFETCH(QString, text);
        QFETCH(bool, right);
        CGradientCaption caption(text);
        caption.resize(300, CGradientCaption::Height);
        const QImage image = caption.grab().toImage();
        QCOMPARE(image.pixelColor(0, 1), QColor(0, 128, 128));
        QCOMPARE(image.pixelColor(299, 1), CGradientCaption::ColumnColour(299, 300));
        QCOMPARE(CGradientCaption::ColumnColour(150, 300), QColor(64, 64, 128));
        const auto white = [&](int from, int to) {
            int count = 0;
            for (int x = from; x < to; ++x)
                for (int y = 0; y < image.height(); ++y)
                    count += qGray(image.pixel(x, y)) > 200;
            return count;
        };
        QVERIFY(white(0, 100) > 20);
        QCOMPARE(white(200, 300) > 20, right);
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_Preferences.moc"
