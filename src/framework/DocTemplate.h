#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CDocument;

// The bookkeeping of one kind of document: its document string (window title, base name
// of new documents, file type names and filter), the numbering of new documents (Sphere1,
// Sphere2, ...) and the list of open documents.
class CDocTemplate {
public:
    enum DocStringIndex {
        WindowTitle,
        DocName,
        FileNewName,
        FilterName,
        FilterExt,
        RegFileTypeId,
        RegFileTypeName,
    };

    // Fields separated by "\n", in the order of DocStringIndex.
    explicit CDocTemplate(const QString& docString);

    QString DocString(DocStringIndex index) const;

    // The title of the next new document: the base name and the next number.
    QString NextUntitledTitle() const;
    // Counts a new document that was made successfully.
    void CountUntitled() { ++m_untitledCount; }

    void AddDocument(CDocument* document);
    void RemoveDocument(CDocument* document);
    const std::vector<CDocument*>& Documents() const { return m_documents; }
    // The open document of a file, compared by the file's canonical path; or null.
    CDocument* FindOpenDocument(const QString& path) const;

private:
    QStringList m_fields;
    int m_untitledCount = 0;
    std::vector<CDocument*> m_documents;
};
