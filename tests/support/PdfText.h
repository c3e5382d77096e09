#pragma once

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>

// What poppler-utils read back from PDF files.
inline bool HasPopplerTools() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

inline QByteArray ToolOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    return process.waitForFinished(60000) ? process.readAllStandardOutput() : QByteArray();
}

struct PdfWord {
    int page = 0; // from 1
    QRectF box;   // in points from the page's top left corner
    QString text;
};

// The words of a PDF file as they were drawn, each page's footer "Page N/M" apart.
struct PdfText {
    QList<PdfWord> words;
    QStringList footers;
    QRectF firstFooter;
    QSizeF pageSize;

    explicit PdfText(const QString& pdf) {
        static const QRegularExpression tag("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"|"
                                            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                            "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<");
        int pages = 0;
        for (const auto& m :
             tag.globalMatch(ToolOutput("pdftotext", {"-bbox", "-raw", pdf, "-"}))) {
            const auto at = [&](int i) { return m.captured(i).toDouble(); };
            if (!m.captured(1).isEmpty()) {
                pageSize = QSizeF(at(1), at(2));
                ++pages;
                continue;
            }
            QString text = m.captured(7).replace("&lt;", "<").replace("&gt;", ">");
            text.replace("&quot;", "\"").replace("&apos;", "'").replace("&amp;", "&");
            words.append({pages, QRectF(QPointF(at(3), at(4)), QPointF(at(5), at(6))), text});
            // A page's footer is drawn before its lines.
            const qsizetype n = words.size();
            if (n > 1 && words[n - 2].text == "Page" && footers.size() < pages) {
                footers << "Page " + text;
                if (pages == 1) firstFooter = words[n - 2].box | words[n - 1].box;
                words.remove(n - 2, 2);
            }
        }
    }
    bool FootersCountPages() const {
        for (int page = 1; page <= footers.size(); ++page)
            if (footers[page - 1] != QStringLiteral("Page %1/%2").arg(page).arg(footers.size()))
                return false;
        return !footers.isEmpty();
    }
    PdfWord Find(const QString& text) const {
        for (const PdfWord& word : words)
            if (word.text == text) return word;
        return {};
    }
    QStringList Texts() const {
        QStringList texts;
        for (const PdfWord& word : words)
            texts << word.text;
        return texts;
    }
};
