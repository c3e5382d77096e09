#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What to look for, where, and the current text of the open documents in that place.
struct FindInFilesRequest {
    std::string needle; // Windows-1252 bytes
    unsigned flags = 0; // FindMatchCase, FindWholeWord
    QString folder;
    QString fileTypes; // "*.scp;*.ini"
    // Open documents below the folder, by encoded path: their lines as the editor holds
    // them, searched instead of the files on disk.
    std::map<std::string, std::vector<std::string>> openDocuments;
};

// One line that holds a match; the line counts from 0, the column is a byte offset.
struct FoundLine {
    int line = 0;
    int column = 0;
    int length = 0;
    std::string text;
};

struct FoundFile {
    QString path;
    std::vector<FoundLine> lines;
};

struct FindInFilesSummary {
    std::size_t matchingLines = 0;
    std::size_t matchingFiles = 0;
    std::size_t searchedFiles = 0;
    std::size_t unreadable = 0; // files and folders that could not be read
    bool stopped = false;       // by Stop or by a new search
    bool truncated = false;     // ended at the most matches a search lists
};

// Runs one search at a time on a worker thread. Results arrive in batches on the UI
// thread, the first as soon as it is found and then at most every few dozen milliseconds,
// so the window keeps painting and taking input. A new search stops the running one;
// nothing of the old one arrives after that.
class CFindInFilesJob : public QObject {
    Q_OBJECT

public:
    // A search lists at most this many lines; more would only fill memory.
    static constexpr std::size_t kMaxLines = 100000;

    explicit CFindInFilesJob(QObject* parent = nullptr);
    ~CFindInFilesJob() override;

    void Start(FindInFilesRequest request);
    void Stop();
    bool IsRunning() const { return m_running; }

signals:
    void Found(const QList<FoundFile>& files, std::size_t searchedFiles);
    void Finished(const FindInFilesSummary& summary);

private:
    void Run(FindInFilesRequest request, quint64 run);
    // Worker side: keeps a file's lines for the next batch, posting one when it is due.
    void Keep(FoundFile file, std::size_t searched, quint64 run, bool force);
    // UI side: hands the kept files on, unless they belong to an older search.
    void Deliver(quint64 run);
    void JoinWorker();

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    quint64 m_run = 0;
    bool m_running = false;

    std::mutex m_mutex; // guards what follows
    QList<FoundFile> m_pending;
    std::size_t m_searched = 0;
    bool m_deliveryPosted = false;
    qint64 m_lastPost = 0;
};
