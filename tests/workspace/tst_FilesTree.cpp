// The Files tree over folders made here: what each root lists and in which order, reading
// once, the child buttons on fixed and removable media, item menus and default actions,
// and entries that loop or vanish.
#include "TestFiles.h"

#include "workspace/FilesTree.h"
#include "workspace/FolderListing.h"

#include <QMenu>
#include <QScopeGuard>
#include <QtTest>

#include <sys/stat.h>

namespace {

// A temporary folder filled from a list: "name/" is a folder, anything else an empty file.
struct Scratch {
    QTemporaryDir dir;
    explicit Scratch(const QStringList& entries) {
        for (const QString& entry : entries) {
            QDir().mkpath(QFileInfo(dir.filePath(entry)).path());
            if (entry.endsWith(u'/'))
                QDir().mkpath(dir.filePath(entry));
            else
                WriteFileBytes(dir.filePath(entry), {});
        }
    }
    QString Path(const QString& entry = {}) const {
        return entry.isEmpty() ? dir.path() : dir.filePath(entry);
    }
};

// A shown tree with one root; menus are described rather than shown, openings recorded.
struct Tree : CFilesTree {
    QString menu = QStringLiteral("(none)");
    QStringList opened;
    int tips = 0; // status tips that reached the window
    bool event(QEvent* event) override {
        if (event->type() == QEvent::StatusTip)
            tips += !static_cast<QStatusTipEvent*>(event)->tip().isEmpty();
        return CFilesTree::event(event);
    }
    Tree(const QString& root, unsigned options) {
        AddRootFolder(root, options);
        SetShowMenu([this](QMenu& shown, const QPoint&) {
            QStringList entries;
            for (QAction* action : shown.actions()) {
                shown.setActiveAction(action);
                entries << (action == shown.defaultAction() ? "*" : "") +
                               (action->isEnabled() ? "" : QStringLiteral("-")) + action->text();
            }
            menu = entries.join(u'|');
        });
        SetOpenDocument(
            [this](const QString& path) { opened << "doc:" + QFileInfo(path).fileName(); });
        SetOpenUrl([this](const QUrl& url) {
            opened << "url:" + url.fileName();
            return true;
        });
        resize(300, 200);
        show();
    }
    QTreeWidgetItem* Root() const { return topLevelItem(0); }
    QTreeWidgetItem* Child(QTreeWidgetItem* folder, const QString& name) const {
        for (int i = 0; i < folder->childCount(); ++i)
            if (folder->child(i)->text(0) == name) return folder->child(i);
        return nullptr;
    }
    // Expands `item` and waits until its folder has been read.
    static bool Expand(QTreeWidgetItem* item) {
        item->setExpanded(true);
        return QTest::qWaitFor(
            [item] { return item->childCount() == 0 || !IsPlaceholder(item->child(0)); });
    }
    // The children's names, "+" after those with a button.
    static QString Children(QTreeWidgetItem* item) {
        QStringList names;
        for (int i = 0; i < item->childCount(); ++i)
            names << item->child(i)->text(0) + (HasButton(item->child(i)) ? "+" : "");
        return names.join(u',');
    }
    static bool HasButton(QTreeWidgetItem* item) {
        return item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator ||
               item->childCount() > 0;
    }
    // As the platform delivers a double click: click, press, double click, release.
    void DoubleClick(QPoint at) {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
    }
    void RightClick(QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport(), &event);
    }
};

} // namespace

class TestFilesTree : public QObject {
    Q_OBJECT

private slots:
    void listsByOptions_data() {
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<bool>("namedByPath");
        QTest::addColumn<QString>("children");
        QTest::newRow("folders only, by own name") << 0u << false << "a2+,A10,b";
        QTest::newRow("files too") << 0x01u << false << "a2+,A10+,b+,File2,file10,x.scp";
        QTest::newRow("all, named by path")
            << 0x33u << true << ".hid+,a2+,A10+,b+,.hfile,File2,file10,x.scp";
    }
    void listsByOptions() {
        QFETCH(unsigned, options);
        QFETCH(bool, namedByPath);
        QFETCH(QString, children);
        Scratch folder(
            {"a2/inner/", "A10/", "b/note.txt", ".hid/", "file10", "File2", "x.scp", ".hfile"});
        Tree tree(folder.Path(), options);
        QCOMPARE(tree.Root()->text(0), namedByPath ? QDir::toNativeSeparators(folder.Path())
                                                   : QDir(folder.Path()).dirName());
        QVERIFY(Tree::Expand(tree.Root()));
        QCOMPARE(Tree::Children(tree.Root()), children);
    }

    // Collapsing and expanding again shows what was read, even of a folder that changed.
    void readsOnce() {
        Scratch folder({"sub/one.txt"});
        Tree tree(folder.Path(), CFolderTree::ShowFiles);
        QVERIFY(Tree::Expand(tree.Root()));
        QTreeWidgetItem* sub = tree.Child(tree.Root(), "sub");
        QVERIFY(Tree::Expand(sub));
        WriteFileBytes(folder.Path("late.txt"), {});
        WriteFileBytes(folder.Path("sub/late.txt"), {});
        for (QTreeWidgetItem* item : {sub, tree.Root()}) {
            item->setExpanded(false);
            QVERIFY(Tree::Expand(item));
        }
        QCOMPARE(Tree::Children(tree.Root()), QStringLiteral("sub+"));
        QCOMPARE(Tree::Children(sub), QStringLiteral("one.txt"));
    }

    // Found empty, a folder on a fixed disk loses its button; on removable media it keeps
    // it, collapsed, and is read again on the next expansion.
    void emptyFolderButton_data() {
        QTest::addColumn<bool>("removable");
        QTest::addColumn<QString>("afterAddition");
        QTest::newRow("fixed disk") << false << "";
        QTest::newRow("removable media") << true << "new+";
    }
    void emptyFolderButton() {
        QFETCH(bool, removable);
        QFETCH(QString, afterAddition);
        TreatAllMediaAsRemovable(removable);
        const auto reset = qScopeGuard([] { TreatAllMediaAsRemovable(false); });
        Scratch folder({});
        Tree tree(folder.Path(), 0);
        QVERIFY(Tree::Expand(tree.Root()));
        QCOMPARE(Tree::HasButton(tree.Root()), removable);
        QVERIFY(!tree.Root()->isExpanded());
        QDir(folder.Path()).mkdir("new");
        QVERIFY(Tree::Expand(tree.Root()));
        QCOMPARE(Tree::Children(tree.Root()), afterAddition);
    }

    // The menu of what the right button or Shift+F10 meets; nothing on empty space, where
    // the selection goes.
    void menus_data() {
        QTest::addColumn<QString>("target"); // "" for empty space
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<QString>("menu");
        const QString file =
            "*&Open|Open &With Default Application|Open Containing &Folder|Copy &Path";
        QTest::newRow("file") << "a.txt" << false << file;
        QTest::newRow("file by Shift+F10") << "a.txt" << true << file;
        QTest::newRow("folder") << "sub" << false << "*&Open|Open in File &Manager|Copy &Path";
        QTest::newRow("placeholder") << "Loading..." << false << "-(empty)";
        QTest::newRow("file gone since") << "gone.txt" << false << "-(empty)";
        QTest::newRow("empty space") << "" << false << "(none)";
    }
    void menus() {
        QFETCH(QString, target);
        QFETCH(bool, byKeyboard);
        QFETCH(QString, menu);
        Scratch folder({"a.txt", "gone.txt", "sub/inner.txt"});
        Tree tree(folder.Path(), CFolderTree::ShowFiles);
        QVERIFY(Tree::Expand(tree.Root()));
        QFile::remove(folder.Path("gone.txt"));
        tree.Child(tree.Root(), "sub")->setExpanded(true); // its placeholder stays till events run
        QTreeWidgetItem* item =
            target.isEmpty() ? nullptr : tree.findItems(target, Qt::MatchRecursive).value(0);
        tree.setCurrentItem(tree.Root());
        if (byKeyboard) {
            tree.setCurrentItem(item);
            QTest::keyClick(&tree, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            tree.RightClick(item ? tree.visualItemRect(item).center() : QPoint(5, 190));
        }
        QCOMPARE(tree.menu, menu);
        QCOMPARE(tree.tips, menu.count(u'&')); // each entry but "(empty)" has a key and a tip
        QCOMPARE(tree.selectedItems(), item ? QList{item} : QList<QTreeWidgetItem*>());
    }

    // The default entry: double click or Enter. Quillet's files open as documents, others
    // by the desktop; a folder toggles, once.
    void defaultEntry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("result");
        QTest::newRow("script") << "a.SCP" << false << "doc:a.SCP";
        QTest::newRow("sphere.ini in any case") << "Sphere.INI" << true << "doc:Sphere.INI";
        QTest::newRow("file the user opened with Quillet")
            << "notes.txt" << true << "doc:notes.txt";
        QTest::newRow("other file") << "readme.txt" << false << "url:readme.txt";
        QTest::newRow("folder by double click") << "sub" << false << "expanded";
        QTest::newRow("folder by Enter") << "sub" << true << "expanded";
    }
    void defaultEntry() {
        QFETCH(QString, name);
        QFETCH(bool, byEnter);
        QFETCH(QString, result);
        Scratch folder({"a.SCP", "Sphere.INI", "notes.txt", "readme.txt", "sub/x"});
        Tree tree(folder.Path(), CFolderTree::ShowFiles);
        tree.SetEditedByQuillet([](const QString& path) { return path.endsWith("/notes.txt"); });
        QVERIFY(Tree::Expand(tree.Root()));
        QTreeWidgetItem* item = tree.Child(tree.Root(), name);
        tree.setCurrentItem(item);
        if (byEnter)
            QTest::keyClick(&tree, Qt::Key_Return);
        else
            tree.DoubleClick(tree.visualItemRect(item).center());
        QCOMPARE(item->isExpanded() ? QStringLiteral("expanded") : tree.opened.join(u','), result);
    }

    // Links that loop, lead nowhere or back up, a pipe, a folder that vanishes, and a tree
    // cleared or destroyed while reading.
    void hostileEntries() {
        Scratch folder({"vanishing/"});
        QVERIFY(QFile::link("self", folder.Path("self")));
        QVERIFY(QFile::link("nowhere", folder.Path("gone")));
        QVERIFY(QFile::link(".", folder.Path("up")));
        QCOMPARE(::mkfifo(QFile::encodeName(folder.Path("pipe.scp")).constData(), 0600), 0);
        Tree tree(folder.Path(), CFolderTree::ShowFiles);
        QVERIFY(Tree::Expand(tree.Root()));
        QCOMPARE(Tree::Children(tree.Root()), QStringLiteral("up+,vanishing+,gone,pipe.scp,self"));
        QTreeWidgetItem* up = tree.Child(tree.Root(), "up");
        QVERIFY(Tree::Expand(up));
        QVERIFY(Tree::Expand(tree.Child(up, "up")));
        QCOMPARE(tree.ItemPath(tree.Child(tree.Child(up, "up"), "self")),
                 folder.Path("up/up/self"));
        QDir(folder.Path("vanishing")).removeRecursively();
        QVERIFY(Tree::Expand(tree.Child(tree.Root(), "vanishing")));
        QCOMPARE(tree.Child(tree.Root(), "vanishing")->childCount(), 0);
        tree.Child(up, "self")->setExpanded(true); // a broken link is no folder
        QCOMPARE(tree.Child(up, "self")->childCount(), 0);
        tree.Child(up, "vanishing")->setExpanded(true);
        tree.clear();
        QTest::qWait(50);
        Tree(folder.Path(), 0).Root()->setExpanded(true);
    }
};

QTEST_MAIN(TestFilesTree)
#include "tst_FilesTree.moc"
