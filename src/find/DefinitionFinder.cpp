#include "DefinitionFinder.h"

#include "framework/Windows1252.h"

#include <QFile>

#include <memory>

namespace {

// The files whose definitions the server reads.
constexpr const char* kScriptTypes = "*.scp";

} // namespace

CDefinitionFinder::CDefinitionFinder(QObject* parent) : QObject(parent) {
    m_worker.setMaxThreadCount(1);
}

CDefinitionFinder::~CDefinitionFinder() {
    // A running lookup posts its answer to this object: it must end first, and a long
    // refresh stops early.
    m_closing = true;
    m_worker.waitForDone();
}

void CDefinitionFinder::Find(const QString& name, const QString& folder,
                             std::map<std::string, std::string> openTexts) {
    const quint64 request = ++m_request;
    m_busy = true;
    const std::string bytes = Windows1252FromText(name);
    const std::string root =
        folder.isEmpty() ? std::string() : QFile::encodeName(folder).toStdString();
    auto texts = std::make_shared<std::map<std::string, std::string>>(std::move(openTexts));
    m_worker.start([this, name, bytes, root, texts, request] {
        if (!root.empty()) m_index.Refresh(root, kScriptTypes, &m_closing);
        std::map<std::string, std::string_view> overrides;
        for (const auto& [path, text] : *texts)
            overrides.emplace(path, text);
        auto sites =
            std::make_shared<std::vector<DefinitionSite>>(m_index.Lookup(bytes, overrides));
        QMetaObject::invokeMethod(
            this,
            [this, name, sites, request] {
                if (request != m_request) return;
                m_busy = false;
                emit Found(name, *sites);
            },
            Qt::QueuedConnection);
    });
}
