#pragma once

#include "buffer/TextBuffer.h"

class CDocument;

// The text buffer of a script document: the modified mark lives in the document, so every
// change, undo and redo marks the document, and only a successful save or a new document
// clears it. The buffer's own modified field stays clear.
class CScriptTextBuffer : public CTextBuffer {
public:
    explicit CScriptTextBuffer(CDocument& document) : m_document(document) {}

    void MarkModified(bool modified) override;

private:
    CDocument& m_document;
};
