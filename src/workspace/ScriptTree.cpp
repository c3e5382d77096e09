#include "ScriptTree.h"

#include "OutlineModel.h"

#include <memory>

CScriptTree::CScriptTree(QWidget* parent) : QTreeView(parent), m_model(new COutlineModel(this)) {
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kSettleMs);
    connect(&m_timer, &QTimer::timeout, this, &CScriptTree::Rebuild);
    connect(this, &QTreeView::clicked, this, &CScriptTree::OnClicked);
    connect(this, &QTreeView::activated, this, &CScriptTree::OnActivated);
}

CScriptTree::~CScriptTree() {
    // A running build posts its result to this object: it must end first.
    m_pool.waitForDone();
}

void CScriptTree::SetDocument(CQuilletDoc* document) {
    if (document == m_document) return;
    if (m_document) m_document->disconnect(this);
    m_document = document;
    m_timer.stop();
    if (document) {
        connect(document, &CQuilletDoc::TextChanged, &m_timer, qOverload<>(&QTimer::start));
        Rebuild();
    } else {
        ++m_request;
        m_building = false;
        m_model->SetOutline(nullptr);
    }
}

void CScriptTree::Rebuild() {
    if (!m_document) return;
    // Only the copy of the relevant lines is taken here; the worker does the rest.
    auto lines = std::make_shared<OutlineLines>(OutlineLines::From(m_document->Buffer()));
    const quint64 request = ++m_request;
    m_building = true;
    m_pool.start([this, lines, request] {
        std::shared_ptr<const ScriptOutline> outline =
            std::make_shared<ScriptOutline>(BuildOutline(std::move(*lines)));
        QMetaObject::invokeMethod(
            this,
            [this, outline, request] {
                if (request != m_request) return;
                m_building = false;
                m_model->SetOutline(outline);
            },
            Qt::QueuedConnection);
    });
}

void CScriptTree::OnClicked(const QModelIndex& index) {
    const int line = m_model->LineOf(index);
    if (line >= 0) emit SectionChosen(line, false);
}

void CScriptTree::OnActivated(const QModelIndex& index) {
    const int line = m_model->LineOf(index);
    if (line >= 0) emit SectionChosen(line, true);
}
