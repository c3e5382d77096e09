#pragma once

#include "script/QuilletDoc.h"

#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QTreeView>

class COutlineModel;

// The Script tab's tree: the five roots of a script's outline and, below them, the sections
// of the active script. The outline is built on a worker thread from a copy of the lines
// it needs, when the script becomes active and a moment after its text stops changing.
class CScriptTree : public QTreeView {
    Q_OBJECT

public:
    explicit CScriptTree(QWidget* parent = nullptr);
    ~CScriptTree() override;

    // The script to outline; null empties the outline.
    void SetDocument(CQuilletDoc* document);
    CQuilletDoc* Document() const { return m_document; }
    COutlineModel& Model() const { return *m_model; }
    // Whether an outline is being built or waits to be built.
    bool IsUpdating() const { return m_timer.isActive() || m_building; }

    // How long the text must stay unchanged before the outline follows it.
    static constexpr int kSettleMs = 400;

signals:
    // The user chose the section whose header is on `line`: by a click (the tree keeps the
    // focus, to go on choosing) or by Enter or a double click (the script takes the focus).
    void SectionChosen(int line, bool focusScript);

private:
    void Rebuild();
    void OnClicked(const QModelIndex& index);
    void OnActivated(const QModelIndex& index);

    COutlineModel* m_model;
    QPointer<CQuilletDoc> m_document;
    QTimer m_timer;
    QThreadPool m_pool;
    // Results of older requests are dropped: only the newest outline is shown.
    quint64 m_request = 0;
    bool m_building = false;
};
