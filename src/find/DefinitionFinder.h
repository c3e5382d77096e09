#pragma once

#include "DefinitionIndex.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <map>
#include <string>
#include <vector>

// Answers "where is this name defined?" off the UI thread. It keeps the definitions index
// of the scripts below the server's folder, refreshed before each answer (only new and
// changed files are read again), and looks the open documents up in their current text.
class CDefinitionFinder : public QObject {
    Q_OBJECT

public:
    explicit CDefinitionFinder(QObject* parent = nullptr);
    ~CDefinitionFinder() override;

    // Looks `name` up in the scripts below `folder` (none when empty) and in `openTexts`
    // (encoded path -> text), which replace those files' saved text. The answer comes with
    // Found; a newer question makes an older answer be dropped.
    void Find(const QString& name, const QString& folder,
              std::map<std::string, std::string> openTexts);
    bool IsBusy() const { return m_busy; }

signals:
    void Found(const QString& name, const std::vector<DefinitionSite>& sites);

private:
    CDefinitionIndex m_index; // touched by the worker only
    std::atomic<bool> m_closing{false};
    QThreadPool m_worker;
    quint64 m_request = 0;
    bool m_busy = false;
};
