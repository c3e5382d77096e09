// Build step: draws each SVG file named on the command line at the 16 pixels of menus,
// tabs and toolbars with the program's own RenderSvg, into a PNG file of the same name in
// the output folder, and writes icons.qrc there listing them under ":/icons". The program
// then decodes small PNG files at start-up instead of parsing and drawing SVG.
#include "Icons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv); // pixmaps need it
    QTextStream errors(stderr);
    if (argc < 3) {
        errors << "usage: quillet_bake_icons OUTPUT-FOLDER FILE.svg...\n";
        return 2;
    }
    const QDir output(QFile::decodeName(argv[1]));
    if (!output.mkpath(QStringLiteral("."))) {
        errors << "cannot make " << output.path() << '\n';
        return 1;
    }
    QString qrc = QStringLiteral("<RCC>\n<qresource prefix=\"/icons\">\n");
    for (int i = 2; i < argc; ++i) {
        const QString svg = QFile::decodeName(argv[i]);
        const QString png = QFileInfo(svg).completeBaseName() + QStringLiteral(".png");
        const QPixmap pixmap = RenderSvg(svg, {16, 16});
        if (pixmap.isNull() || !pixmap.save(output.filePath(png), "PNG")) {
            errors << "cannot draw " << svg << " into " << output.filePath(png) << '\n';
            return 1;
        }
        qrc += QStringLiteral("    <file>%1</file>\n").arg(png);
    }
    qrc += QStringLiteral("</qresource>\n</RCC>\n");
    QFile list(output.filePath(QStringLiteral("icons.qrc")));
    if (!list.open(QIODevice::WriteOnly) || list.write(qrc.toUtf8()) != qrc.toUtf8().size()) {
        errors << "cannot write " << list.fileName() << '\n';
        return 1;
    }
    return 0;
}
