#include "ScriptTextBuffer.h"

#include "framework/Document.h"

void CScriptTextBuffer::MarkModified(bool modified) {
    m_document.SetModifiedFlag(modified);
}
