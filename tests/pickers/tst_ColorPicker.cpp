// The Color Picker: the tub, slider, list and filter rules with their labels and insertion
// texts, the drawing, a missing or short HUES.MUL, names, and the script view's command.
#include "../script/ScriptTestSupport.h"

#include "clientfiles/ColorFrom555.h"
#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "pickers/ColorPicker.h"
#include "pickers/DyeTub.h"
#include "pickers/HueListBox.h"
#include "pickers/ShadesBar.h"
#include "script/QuilletDoc.h"
#include "script/QuilletView.h"

#include <QtEndian>
#include <QtTest>
#include <QtWidgets>

class TestColorPicker : public QObject {
    Q_OBJECT

    // Colour word j of hue index h in the files written here: no two alike nearby.
    static quint16 Word(int hue, int j) { return quint16((hue * 37 + j * 1021) & 0x7FFF); }
    static QColor Colour(int hue, int j) { return QColor(QRgb(ColorFrom555(Word(hue, j)))); }
    static QPoint CellCentre(int cell) { return {cell % 20 * 15 + 7, cell / 20 * 15 + 7}; }

    // A HUES.MUL of `blocks` blocks; the names are empty but those of `names` (20 bytes at most).
    static QByteArray HueBlocks(int blocks, const QMap<int, QByteArray>& names = {}) {
        QByteArray bytes(blocks * 708, '\0');
        for (int hue = 0; hue < blocks * 8; ++hue) {
            char* entry = bytes.data() + hue / 8 * 708 + 4 + hue % 8 * 88;
            for (int j = 0; j < 32; ++j)
                qToLittleEndian(Word(hue, j), entry + 2 * j);
            memcpy(entry + 68, names.value(hue).constData(), names.value(hue).size());
        }
        return bytes;
    }

    // Puts `hues` (none for a null array) as "hues.mul" in the client folder that the saved
    // settings name under `key`.
    static void SetClientFolder(const QByteArray& hues, const QByteArray& key = "Ultima Online") {
        static QTemporaryDir dir;
        QFile::remove(dir.filePath("hues.mul"));
        if (!hues.isNull()) WriteFileBytes(dir.filePath("hues.mul"), hues);
        WriteFileBytes(dir.filePath("quillet.ini"), "[UO]\n" + key + "=" + dir.path().toUtf8());
        SettingsStore().SetPath(dir.filePath("quillet.ini").toStdString());
    }

    static void Pick(CColorPicker& picker, int row) {
        picker.HueList()->setCurrentIndex(picker.HueList()->model()->index(row, 0));
    }

    // The white frame's first corner in reading order is the framed cell's top left.
    static int FramedCell(CColorPicker& picker) {
        const QImage tub = picker.Tub()->grab().toImage();
        for (int cell = 0; cell < 200; ++cell)
            if (tub.pixelColor(cell % 20 * 15, cell / 20 * 15) == Qt::white) return cell;
        return -1;
    }

private slots:
    // Steps: d checks "Decimal", k presses Right on the slider, r releases the mouse on it,
    // sN drags it to N, cN clicks tub cell N, xN clicks the tub at (N, 7), pN picks list row
    // N, fTEXT types the filter. Then "&Insert" is pressed.
    void rules_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("slider");
        QTest::addColumn<QString>("label"); // after "Color Code"
        QTest::addColumn<int>("framed");
        QTest::addColumn<QString>("text");
        QTest::newRow("hue 2 at start") << "" << 0 << " 0x0002" << 0 << "02";
        QTest::newRow("hue 10 gets a 0") << "p9" << 3 << " 0x000A" << 1 << "0A";
        QTest::newRow("hue 33 has its 0") << "p32" << 1 << " 0x0021" << 6 << "021";
        QTest::newRow("hue 160 gets a 0") << "p159" << 3 << " 0x00A0" << 31 << "0A0";
        QTest::newRow("hue 1500, past the file") << "p1499" << 0 << " 0x05DC" << -1 << "05DC";
        QTest::newRow("hue 3000, the last") << "p2999" << 0 << " 0x0BB8" << -1 << "0BB8";
        QTest::newRow("keys alone apply nothing") << "d k k k" << 3 << ": 2" << 0 << "2";
        QTest::newRow("a mouse release applies") << "d k k k r" << 3 << ": 5" << 0 << "5";
        QTest::newRow("slider 3, cell 37: 5k + 5") << "d s3 c37" << 3 << ": 190" << 37 << "190";
        QTest::newRow("then slider 0: 5k + 2") << "d s3 c37 s0" << 0 << ": 187" << 37 << "187";
        QTest::newRow("the grid's right line") << "d x300" << 0 << ": 2" << 0 << "2";
        QTest::newRow("item 7: slider 1, cell 1") << "d p7" << 1 << ": 8" << 1 << "8";
        QTest::newRow("item 1000: the last cell") << "d p1000" << 4 << ": 1001" << 199 << "1001";
        QTest::newRow("item 0 frames nothing") << "d p8 p0" << 2 << ": 1" << -1 << "1";
        QTest::newRow("item 1001 frames nothing") << "d p8 p1001" << 2 << ": 1002" << -1 << "1002";
        QTest::newRow("filter by name") << "d fblue p1" << 1 << ": 78" << 15 << "78";
        QTest::newRow("filter by hex number") << "d f0x481 p0" << 0 << ": 1153" << -1 << "1153";
        QTest::newRow("filter by number") << "d f1153 p0" << 0 << ": 1153" << -1 << "1153";
        QTest::newRow("empty filter: all") << "d fblue f p7" << 1 << ": 8" << 1 << "8";
        QTest::newRow("filtering picks nothing") << "d p77 c0 fblue" << 1 << ": 3" << 0 << "3";
    }
    void rules() {
        QFETCH(QString, steps);
        QFETCH(QString, label);
        SetClientFolder(HueBlocks(128, {{5, "Light Blue"}, {77, "dark BLUE"}}));
        CColorPicker picker;
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QChar what = step[0];
            const int n = step.mid(1).toInt();
            if (what == 'd') picker.DecimalBox()->setChecked(true);
            if (what == 'k') QTest::keyClick(picker.Slider(), Qt::Key_Right);
            if (what == 's') picker.Slider()->setValue(n);
            if (what == 's' || what == 'r') QTest::mouseRelease(picker.Slider(), Qt::LeftButton);
            if (what == 'c') QTest::mouseClick(picker.Tub(), Qt::LeftButton, {}, CellCentre(n));
            if (what == 'x') QTest::mouseClick(picker.Tub(), Qt::LeftButton, {}, QPoint(n, 7));
            if (what == 'p') Pick(picker, n);
            if (what == 'f') picker.FilterField()->setText(step.mid(1));
        }
        QTEST(picker.Slider()->value(), "slider");
        QTEST(FramedCell(picker), "framed");
        QCOMPARE(picker.CodeLabel()->text(), "Color Code" + label);
        QTest::mouseClick(picker.InsertButton(), Qt::LeftButton);
        QTEST(QString::fromStdString(picker.InsertionText()), "text");
    }

    void drawing() {
        SetClientFolder(HueBlocks(128));
        CColorPicker picker;
        picker.show();
        Pick(picker, 1);
        QCOMPARE(picker.Tub()->grab().toImage().pixelColor(CellCentre(199)), Colour(996, 31));
        const QImage shades = picker.ShadesBar()->grab().toImage();
        for (int i = 0; i < 32; ++i)
            QCOMPARE(shades.pixelColor(15 * i + 7, 15), Colour(1, i));
        QListView* list = picker.HueList();
        const QImage rows = list->viewport()->grab().toImage();
        const QRect plain = list->visualRect(list->model()->index(0, 0));
        const QRect picked = list->visualRect(list->model()->index(1, 0));
        const int y = plain.center().y();
        QCOMPARE(rows.pixelColor(plain.topLeft()), QColor(Qt::white));
        QCOMPARE(rows.pixelColor(plain.left() + 3, y), QColor(Qt::black));
        QCOMPARE(rows.pixelColor(plain.right() - 61, y), Colour(0, 31));
        QCOMPARE(rows.pixelColor(plain.right() - 60, y), QColor(Qt::black));
        QCOMPARE(rows.pixelColor(picked.topLeft() + QPoint(1, 0)), QColor(Qt::black)); // dotted
        QCOMPARE(rows.pixelColor(picked.topLeft() + QPoint(2, 0)), QColor(Qt::white));
    }

    void unreadableFile() {
        QStringList shown;
        const MessageHandler old =
            SetMessageHandler([&](QWidget*, const QString& text, const QString& caption,
                                  QMessageBox::Icon icon, QMessageBox::StandardButtons) {
                shown << QStringLiteral("%1|%2|%3").arg(text, caption).arg(icon);
                return QMessageBox::Ok;
            });
        SetClientFolder(QByteArray());
        CColorPicker missing;
        SetClientFolder(HueBlocks(1), "Other"); // the Windows folder of the original setup
        CColorPicker windows;
        SetMessageHandler(old);
        QCOMPARE(shown, QStringList(2, "Could not open HUES.MUL.\nCheck the Ultima Online "
                                       "Directory|File Error|3"));
        QCOMPARE(windows.HueList()->model()->rowCount(), 0);
        QCOMPARE(missing.Tub()->grab().toImage().pixelColor(CellCentre(0)),
                 missing.palette().window().color());
    }

    // Names and colours (the last of the shades bar), also of real client files at hand.
    void names_data() {
        QTest::addColumn<QByteArray>("hues");
        QTest::addColumn<int>("hue");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        const QByteArray full = "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("20 bytes, no zero")
            << HueBlocks(1, {{2, full}}) << 2 << QString(full) << Colour(2, 31);
        QTest::newRow("Windows-1252") << HueBlocks(1, {{3, "\xe9t\xe9\n\x80"}}) << 3
                                      << "\u00e9t\u00e9 \u20ac" << Colour(3, 31);
        QTest::newRow("past the file")
            << HueBlocks(1) << 8 << "" << qApp->palette().window().color();
        const QString corpus = QStringLiteral(QUILLET_UO_CORPUS_DIR "/");
        QTest::newRow("pre-alpha Gold") << ReadFileBytes(corpus + "uoprealpha/HUES.MUL") << 22
                                        << "Gold" << QColor(192, 176, 96);
        QTest::newRow("T2A, 20 bytes") << ReadFileBytes(corpus + "rundir-t2a/hues.mul") << 1060
                                       << "_MARSHAL_SIZING_ROUT" << QColor(48, 200, 112);
    }
    void names() {
        QFETCH(QByteArray, hues);
        QFETCH(int, hue);
        if (hues.isEmpty()) QSKIP("no client files corpus");
        SetClientFolder(hues);
        CColorPicker picker;
        Pick(picker, hue);
        QTEST(picker.NameLabel()->text(), "name");
        QTEST(picker.ShadesBar()->grab().toImage().pixelColor(15 * 31 + 7, 15), "colour");
    }

    // Enter in the search field moves to the list; it does not insert.
    void enterInTheSearchField() {
        SetClientFolder(HueBlocks(4));
        CColorPicker picker;
        picker.show();
        QTest::keyClicks(picker.FilterField(), QStringLiteral("0x1"));
        QTest::keyClick(picker.FilterField(), Qt::Key_Return);
        QVERIFY(picker.isVisible());
        QVERIFY(picker.InsertionText().empty());
    }

    void scriptViewCommand() {
        SetClientFolder(HueBlocks(1));
        CQuilletDoc document;
        document.Buffer().InsertLineRecord("");
        CQuilletView view(document);
        view.OnInitialUpdate();
        const DialogHandler old = SetDialogHandler([](QDialog& dialog) {
            auto& picker = static_cast<CColorPicker&>(dialog);
            Pick(picker, 1152);
            QTest::mouseClick(picker.InsertButton(), Qt::LeftButton);
            return picker.result();
        });
        QVERIFY(view.ExecuteCommand(ID_TOOLS_COLOR_PICKER));
        SetDialogHandler(old);
        QCOMPARE(AllText(document.Buffer()), std::string("0481"));
        QCOMPARE(document.Buffer().UndoLabel(), std::string("Insert Script"));
        TextPosition at;
        QVERIFY(document.Buffer().UndoGroup(at));
        QCOMPARE(AllText(document.Buffer()), std::string());
    }
};

QTEST_MAIN(TestColorPicker)
#include "tst_ColorPicker.moc"
