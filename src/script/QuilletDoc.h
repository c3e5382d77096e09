#pragma once

#include "ScriptTextBuffer.h"

#include "buffer/BufferObserver.h"

#include "framework/Document.h"
#include "view/FontTemplate.h"

#include <QString>

// The document of one script: its text buffer, the font of its views, and the new-file
// template that every new script starts with (a comment header with the user's details
// from the settings store, and a trailer), inserted without undo records.
class CQuilletDoc : public CDocument, private CBufferObserver {
    Q_OBJECT

public:
    CQuilletDoc();
    ~CQuilletDoc() override;

    bool OnNewDocument() override;
    // Reads the file with its own line-end style. A large file is read on a worker thread
    // while a progress window shows and the program keeps repainting.
    bool OnOpenDocument(const QString& path) override;
    // Writes the file with the buffer's line-end style; false when the write failed.
    bool OnSaveDocument(const QString& path) override;
    void DeleteContents() override;
    QString LastFileError() const override { return m_lastFileError; }

    CTextBuffer& Buffer() { return m_buffer; }
    const FontTemplate& ViewFont() const { return m_viewFont; }

signals:
    // After any change of the text: an edit, an undo or redo, a new text read or made.
    // Emitted on the thread that changed the buffer.
    void TextChanged();

private:
    // The document watches its own buffer as a view would, to tell others of changes.
    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override;
    void OnEditActionDone(int, std::string_view) override {}

    bool ReadWithProgress(const QString& path);
    // The buffer's reason for its last failed read or write, or `fallback` without one.
    QString BufferError(const QString& fallback) const;

    CScriptTextBuffer m_buffer;
    FontTemplate m_viewFont;
    QString m_lastFileError;
};
