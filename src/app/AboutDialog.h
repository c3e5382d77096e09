#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// "About Brindle's Quillet": the picture, the version line of this build, two credit
// lines, the version history (read from `historyPath`) in a read-only field, and OK.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr,
                          const QString& historyPath = QStringLiteral(":/history.txt"));

    QString VersionLine() const;
    QString HistoryText() const;

private:
    void LoadHistory(const QString& path);

    QLabel* m_version;
    QPlainTextEdit* m_history;
};

// "Version: 0.8.5 ( Build: 344 )" for this build.
QString VersionLineText();
