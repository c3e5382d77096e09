#include "FindResultsModel.h"

#include "framework/Windows1252.h"

#include <QDir>
#include <QPoint>

#include <algorithm>

namespace {

// A shown line keeps this many bytes before the match and this many in all; the rest is
// cut, so a pasted binary line does not make a row thousands of characters wide.
constexpr int kShownBefore = 80;
constexpr int kShownBytes = 300;

// Tabs and control bytes show as one space each, so that offsets stay those of the bytes.
QString ShownBytes(std::string_view bytes) {
    QString text = TextFromWindows1252(bytes);
    for (QChar& ch : text)
        if (ch.unicode() < 0x20) ch = u' ';
    return text;
}

} // namespace

CFindResultsModel::CFindResultsModel(QObject* parent) : CTwoLevelModel(parent) {}

void CFindResultsModel::Clear() {
    beginResetModel();
    m_files.clear();
    m_longest = 0;
    endResetModel();
}

CFindResultsModel::LineRow CFindResultsModel::MakeLineRow(const QString& path, FoundLine found) {
    const std::string_view bytes = found.text;
    const int first = std::max(0, found.column - kShownBefore);
    const std::string_view shown = bytes.substr(std::size_t(first), std::size_t(kShownBytes));
    const QString prefix = QStringLiteral("%1(%2): %3")
                               .arg(QDir::toNativeSeparators(path))
                               .arg(found.line + 1)
                               .arg(first > 0 ? QStringLiteral("\u2026") : QString());
    LineRow row;
    row.text = prefix + ShownBytes(shown);
    row.matchStart = int(prefix.size()) + found.column - first;
    row.matchLength = std::clamp(found.length, 0, int(row.text.size()) - row.matchStart);
    row.found = std::move(found);
    return row;
}

void CFindResultsModel::Append(const QList<FoundFile>& files) {
    if (files.isEmpty()) return;
    const int first = int(m_files.size());
    beginInsertRows({}, first, first + int(files.size()) - 1);
    for (const FoundFile& file : files) {
        FileRow row{file.path, {}};
        row.lines.reserve(file.lines.size());
        for (const FoundLine& found : file.lines) {
            row.lines.push_back(MakeLineRow(file.path, found));
            m_longest = std::max(m_longest, int(row.lines.back().text.size()));
        }
        m_files.push_back(std::move(row));
    }
    endInsertRows();
}

bool CFindResultsModel::LocationOf(const QModelIndex& index, Location& location) const {
    if (!index.isValid() || IsTopRow(index)) return false;
    const FileRow& file = m_files[std::size_t(TopRowOf(index))];
    const FoundLine& found = file.lines[std::size_t(index.row())].found;
    location = {file.path, found.line, found.column, found.length};
    return true;
}

QVariant CFindResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (IsTopRow(index)) {
        const FileRow& file = m_files[std::size_t(index.row())];
        if (role == Qt::DisplayRole)
            return QStringLiteral("%1 (%2)")
                .arg(QDir::toNativeSeparators(file.path))
                .arg(file.lines.size());
        return {};
    }
    const LineRow& line = m_files[std::size_t(TopRowOf(index))].lines[std::size_t(index.row())];
    if (role == Qt::DisplayRole) return line.text;
    if (role == MatchRole) return QPoint(line.matchStart, line.matchLength);
    return {};
}
