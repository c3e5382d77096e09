#include "ChildFrame.h"

#include "framework/Icons.h"

#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "view/TextView.h"

#include <QCloseEvent>
#include <QIcon>

CChildFrame::CChildFrame(std::unique_ptr<CDocument> document, CTextView* view)
    : m_document(std::move(document)), m_view(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(LoadIcon(QStringLiteral("script")));
    setWidget(view);
    m_document->AddView(view);
    view->SetNextCommandTarget(m_document.get());
    m_document->SetNextCommandTarget(this);
    setWindowTitle(m_document->Title());
    connect(m_document.get(), &CDocument::TitleChanged, this,
            [this] { setWindowTitle(m_document->Title()); });
    setWindowModified(m_document->IsModified());
    connect(m_document.get(), &CDocument::ModifiedChanged, this, &QWidget::setWindowModified);
    OnCommand(ID_FILE_CLOSE, [this](unsigned) { close(); });
}

CChildFrame::~CChildFrame() {
    // The view leaves the document's buffer before the document goes.
    m_document->RemoveView(m_view);
    delete m_view;
}

bool CChildFrame::CloseAnswered() {
    m_answered = true;
    return close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_answered && !m_document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
