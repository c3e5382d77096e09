#pragma once

#include <QChar>
#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;

// "Send command to console...": one line of at most MaxLength characters. Up and Down in
// the field walk through the commands sent in this run of the program, newest first.
class CCommandDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int MaxLength = 126;
    static constexpr int HistorySize = 100;

    // `initial` (none: a null character) stands in the field with the caret after it.
    explicit CCommandDialog(QChar initial = QChar(), QWidget* parent = nullptr);

    QLineEdit* CommandField() const { return m_field; }
    QString Command() const;

    // The commands sent in this run, newest first, at most HistorySize.
    static const QStringList& History();
    static void Remember(const QString& command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowHistoryEntry(int index);

    QLineEdit* m_field;
    int m_historyIndex = -1; // -1: the text being typed, not a remembered one
    QString m_draft;
};
