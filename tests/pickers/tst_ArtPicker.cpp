// The Art Picker on client folders written by the test: the id list, labels and insertion
// texts, scrolling, picking, the grid as drawn, the UOP client, the error messages, and
// the script view's command.
#include "ClientFileWriters.h"

#include "../script/ScriptTestSupport.h"
#include "../view/ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "pickers/ArtCanvas.h"
#include "pickers/ArtPicker.h"
#include "script/QuilletDoc.h"
#include "script/QuilletView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Static ids 0, 1 and 0x0EED: red, green and blue squares of 20 pixels.
const std::map<int, QByteArray> kThreeTiles{{0, SolidArtEntry(20, 20, 0x7C00)},
                                            {1, SolidArtEntry(20, 20, 0x03E0)},
                                            {0x0EED, SolidArtEntry(20, 20, 0x001F)}};

void PressInsert(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QLatin1String("&Insert")) button->click();
}

// The middle of the tile in `column`, `row` of the canvas.
QPoint Cell(int column, int row) {
    return {column * CArtPicker::CellPitch + 22, row * CArtPicker::CellPitch + 22};
}

} // namespace

class TestArtPicker : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The saved settings name the test's folder; the store in memory names another one,
    // which must not count.
    void init() {
        const QString ini = m_dir.filePath(QStringLiteral("quillet.ini"));
        QVERIFY(WriteFileBytes(ini, "[UO]\r\nUltima Online=" + m_dir.path().toUtf8() + "\r\n"));
        SettingsStore().SetPath(ini.toStdString());
        SettingsStore().SetValue("UO", "Ultima Online", "/nowhere", true);
        for (const QString& name :
             QDir(m_dir.path()).entryList({"*.mul", "*.MUL", "*.uop", "*.Mul"}))
            QFile::remove(m_dir.filePath(name));
    }

    // Labels and insertion texts in both forms; without a click the first id is picked.
    void pickAndInsert_data() {
        QTest::addColumn<int>("row"); // -1: no click
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("0x0EED in hexadecimal") << 2 << false << "ID: 0x0EED"
                                               << "0eed";
        QTest::newRow("0x0EED in decimal") << 2 << true << "ID: 3821"
                                           << "3821";
        QTest::newRow("1 in decimal, right-aligned") << 1 << true << "ID:    1"
                                                     << "1";
        QTest::newRow("no click: the first id") << -1 << false << "ID: 0x0000"
                                                << "00";
    }
    void pickAndInsert() {
        QFETCH(int, row);
        QFETCH(bool, decimal);
        QFETCH(QString, label);
        QFETCH(QString, inserted);
        WriteMulArt(m_dir.path(), kThreeTiles, 0xC000, "artidx.mul", "Art.Mul");
        CArtPicker picker;
        QVERIFY(picker.IsReady());
        QCOMPARE(picker.StaticIds(), (std::vector<std::uint16_t>{0, 1, 0x0EED}));
        if (row >= 0) QTest::mouseClick(picker.Canvas(), Qt::LeftButton, {}, Cell(0, row));
        picker.DecimalBox()->setChecked(decimal);
        QCOMPARE(picker.IdLabel()->text(), label);
        PressInsert(picker);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.InsertionText(), inserted);
    }

    // A step is a column of 5, until the last 50 ids are on screen; a click off the tiles
    // or past the last id picks nothing.
    void scrollAndPickLimits() {
        std::map<int, QByteArray> tiles;
        for (int i = 0; i < 72; ++i)
            tiles[3 * i] = SolidArtEntry(2, 2, 0);
        WriteMulArt(m_dir.path(), tiles);
        CArtPicker picker;
        QList<int> tops;
        for (int step : {-1, 1, 1, 1, 1, 1, 1})
            picker.Scroll(step), tops << picker.Top();
        QCOMPARE(tops, (QList<int>{0, 5, 10, 15, 20, 22, 22}));
        picker.PickAt(Cell(9, 4));
        QCOMPARE(picker.Selected(), 71);
        for (QPoint off : {QPoint(450, 10), QPoint(10, 225), QPoint(-1, 10)})
            picker.PickAt(off);
        QCOMPARE(picker.Selected(), 71);
    }

    // The grid: grey lines, white tiles, the picked one on dark blue in a dotted frame,
    // empty cells past the last id; the same from a UOP client, stored or compressed.
    void gridAsDrawn_data() {
        QTest::addColumn<int>("uop"); // 0: the MUL pair, 1: stored UOP, 2: zlib UOP
        QTest::newRow("ARTIDX.MUL and ART.MUL") << 0;
        QTest::newRow("artLegacyMUL.uop, stored") << 1;
        QTest::newRow("artLegacyMUL.uop, zlib") << 2;
    }
    void gridAsDrawn() {
        QFETCH(int, uop);
        if (uop == 0)
            WriteMulArt(m_dir.path(), kThreeTiles);
        else
            WriteUopArt(m_dir.path(), kThreeTiles, uop == 2, "ArtLegacyMUL.UOP");
        CArtPicker picker;
        QVERIFY(picker.IsReady());
        QTest::mouseClick(picker.Canvas(), Qt::LeftButton, {}, Cell(0, 1));
        const QImage grid = picker.Canvas()->GridImage();
        QCOMPARE(grid.pixelColor(45, 100), QColor(125, 125, 125)); // a grid line
        QCOMPARE(grid.pixelColor(10, 10), QColor(248, 0, 0));      // id 0's art
        QCOMPARE(grid.pixelColor(40, 40), QColor(Qt::white));      // beside it
        QCOMPARE(grid.pixelColor(10, 55), QColor(0, 248, 0));      // id 1, picked
        QCOMPARE(grid.pixelColor(40, 85), QColor(0, 0, 127));
        int dots = 0; // the dotted frame on the grid line left of the picked tile
        for (int y = 45; y <= 90; ++y)
            dots += grid.pixelColor(0, y) == Qt::black;
        QVERIFY2(dots > 20 && dots < 26, qPrintable(QString::number(dots)));
        QCOMPARE(grid.pixelColor(10, 100), QColor(0, 0, 248));
        QCOMPARE(grid.pixelColor(10, 145), QColor(125, 125, 125)); // past the last id
    }

    void errorMessages_data() {
        QTest::addColumn<bool>("index");
        QTest::addColumn<QString>("message");
        QTest::newRow("no client files")
            << false << "Could not open ARTIDX.MUL.\nCheck the Ultima Online Directory";
        QTest::newRow("an index without art")
            << true << "Could not open ART.MUL.\nCheck the Ultima Online Directory";
    }
    void errorMessages() {
        QFETCH(bool, index);
        QFETCH(QString, message);
        if (index) WriteOrFail(m_dir.filePath(QStringLiteral("ARTIDX.MUL")), QByteArray(24, '\0'));
        MessageRecorder messages;
        CArtPicker picker;
        QVERIFY(!picker.IsReady());
        QCOMPARE(messages.texts, QStringList{message});
        QCOMPARE(messages.captions, QStringList{"File Error"});
    }

    // The script view runs the picker and inserts its text as one "Insert Script" step.
    void scriptViewInserts() {
        WriteMulArt(m_dir.path(), kThreeTiles);
        CQuilletDoc document;
        CQuilletView view(document);
        SetBufferText(document.Buffer(), "");
        view.OnInitialUpdate();
        const DialogHandler old = SetDialogHandler([](QDialog& dialog) {
            static_cast<CArtPicker&>(dialog).PickAt(Cell(0, 2));
            PressInsert(dialog);
            return dialog.result();
        });
        QVERIFY(view.ExecuteCommand(ID_TOOLS_ART_PICKER));
        SetDialogHandler(old);
        QCOMPARE(document.Buffer().Line(0), std::string_view("0eed"));
        QCOMPARE(document.Buffer().UndoLabel(), std::string("Insert Script"));
    }
};

QTEST_MAIN(TestArtPicker)
#include "tst_ArtPicker.moc"
