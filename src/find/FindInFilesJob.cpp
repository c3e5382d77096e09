#include "FindInFilesJob.h"

#include "FileWalk.h"
#include "TextMatcher.h"

#include <QElapsedTimer>
#include <QFile>

namespace {

// How often a running search hands its findings to the window.
constexpr qint64 kBatchMs = 50;

qint64 NowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed() + 1; // never 0: that means "nothing posted yet"
}

} // namespace

CFindInFilesJob::CFindInFilesJob(QObject* parent) : QObject(parent) {}

CFindInFilesJob::~CFindInFilesJob() {
    m_stop = true;
    JoinWorker();
}

void CFindInFilesJob::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void CFindInFilesJob::Start(FindInFilesRequest request) {
    m_stop = true;
    JoinWorker();
    m_stop = false;
    m_pending.clear();
    m_searched = 0;
    m_deliveryPosted = false;
    m_lastPost = 0;
    m_running = true;
    const quint64 run = ++m_run;
    m_worker = std::thread(
        [this, request = std::move(request), run]() mutable { Run(std::move(request), run); });
}

void CFindInFilesJob::Stop() {
    m_stop = true;
    JoinWorker();
}

void CFindInFilesJob::Run(FindInFilesRequest request, quint64 run) {
    FindInFilesSummary summary;
    const CTextMatcher matcher(request.needle, request.flags);
    const int length = int(matcher.NeedleLength());
    const FilePatterns patterns = FilePatterns::Parse(request.fileTypes.toStdString());
    std::string bytes;
    std::string error;
    // False once the search must end: stopped, or as many lines as a search lists.
    const auto add = [&](FoundFile& file, int line, std::string_view text, int column) {
        if (summary.matchingLines >= kMaxLines) {
            summary.truncated = true;
            return false;
        }
        file.lines.push_back({line, column, length, std::string(text)});
        ++summary.matchingLines;
        return !m_stop;
    };
    const auto search = [&](const std::string& path) {
        if (m_stop || summary.truncated) return;
        FoundFile file{QFile::decodeName(path.c_str()), {}};
        if (const auto open = request.openDocuments.find(path);
            open != request.openDocuments.end()) {
            const std::vector<std::string>& lines = open->second;
            for (int i = 0; i < int(lines.size()); ++i) {
                const int column = matcher.FindInLine(lines[std::size_t(i)]);
                if (column >= 0 && !add(file, i, lines[std::size_t(i)], column)) break;
            }
        } else if (ReadWholeFile(path, bytes, error)) {
            matcher.ForEachMatchingLine(bytes, [&](const LineMatch& match) {
                return add(file, match.line, match.text, match.column);
            });
        } else {
            ++summary.unreadable;
        }
        ++summary.searchedFiles;
        if (!file.lines.empty()) ++summary.matchingFiles;
        Keep(std::move(file), summary.searchedFiles, run, false);
    };
    const WalkCounts counts =
        WalkFiles(QFile::encodeName(request.folder).toStdString(), patterns, search, &m_stop);
    summary.unreadable += counts.unreadable;
    summary.stopped = m_stop;
    Keep({}, summary.searchedFiles, run, true);
    QMetaObject::invokeMethod(
        this,
        [this, summary, run] {
            if (run != m_run) return;
            Deliver(run);
            m_running = false;
            emit Finished(summary);
        },
        Qt::QueuedConnection);
}

void CFindInFilesJob::Keep(FoundFile file, std::size_t searched, quint64 run, bool force) {
    const qint64 now = NowMs();
    bool post = false;
    {
        const std::lock_guard lock(m_mutex);
        const bool first = !file.lines.empty() && m_lastPost == 0;
        if (!file.lines.empty()) m_pending.append(std::move(file));
        m_searched = searched;
        const bool due = force || first || now - m_lastPost >= kBatchMs;
        if (due && !m_deliveryPosted) {
            m_deliveryPosted = true;
            m_lastPost = now;
            post = true;
        }
    }
    if (post)
        QMetaObject::invokeMethod(
            this, [this, run] { Deliver(run); }, Qt::QueuedConnection);
}

void CFindInFilesJob::Deliver(quint64 run) {
    // A delivery posted by an older search must not take the newer one's findings.
    if (run != m_run) return;
    QList<FoundFile> files;
    std::size_t searched = 0;
    {
        const std::lock_guard lock(m_mutex);
        files.swap(m_pending);
        searched = m_searched;
        m_deliveryPosted = false;
    }
    emit Found(files, searched);
}
