#pragma once

#include "framework/CommandTarget.h"

#include <QMdiSubWindow>

#include <memory>

class CDocument;
class CTextView;

// The MDI child window of one script: it owns the document and shows its one view. It has
// no commands of its own but Close; closing asks to save a modified document and stays
// open when the user cancels or the save fails.
class CChildFrame : public QMdiSubWindow, public CCommandTarget {
    Q_OBJECT

public:
    // Takes ownership of both; the view is shown as the window's widget.
    CChildFrame(std::unique_ptr<CDocument> document, CTextView* view);
    ~CChildFrame() override;

    CDocument& Document() const { return *m_document; }
    CTextView* View() const { return m_view; }
    // Closes the window once its document's save question has been answered elsewhere
    // (Exit asks about every document before it closes any).
    bool CloseAnswered();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CDocument> m_document;
    CTextView* m_view;
    bool m_answered = false;
};
