#include "DocTemplate.h"

#include "Document.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString CanonicalOrAbsolute(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

CDocTemplate::CDocTemplate(const QString& docString) : m_fields(docString.split(u'\n')) {}

QString CDocTemplate::DocString(DocStringIndex index) const {
    return index < m_fields.size() ? m_fields[index] : QString();
}

QString CDocTemplate::NextUntitledTitle() const {
    return DocString(DocName) + QString::number(m_untitledCount + 1);
}

void CDocTemplate::AddDocument(CDocument* document) {
    m_documents.push_back(document);
}

void CDocTemplate::RemoveDocument(CDocument* document) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), document),
                      m_documents.end());
}

CDocument* CDocTemplate::FindOpenDocument(const QString& path) const {
    const QString wanted = CanonicalOrAbsolute(path);
    for (CDocument* document : m_documents) {
        if (!document->PathName().isEmpty() && CanonicalOrAbsolute(document->PathName()) == wanted)
            return document;
    }
    return nullptr;
}
