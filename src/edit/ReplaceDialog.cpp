#include "ReplaceDialog.h"

#include "EditView.h"

#include "framework/Windows1252.h"
#include "view/TextSearch.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CReplaceDialog::CReplaceDialog(CEditView* view, const FindOptions& options,
                               const QString& replaceWith, const ReplaceScope& scope)
    : QDialog(view), m_view(view), m_options(options), m_replaceWith(replaceWith),
      m_scope(scope.hasSelection ? ScopeSelection : ScopeWholeFile), m_block(scope) {
    setWindowTitle(QStringLiteral("Replace"));

    m_findWhat = new QLineEdit(this);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_replaceEdit = new QLineEdit(this);
    m_replaceEdit->setObjectName(QStringLiteral("replaceWith"));
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(m_findWhat);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel->setBuddy(m_replaceEdit);

    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    auto* scopeBox = new QGroupBox(QStringLiteral("Replace in"), this);
    m_selection = new QRadioButton(QStringLiteral("&Selection"), scopeBox);
    m_selection->setObjectName(QStringLiteral("scopeSelection"));
    m_wholeFile = new QRadioButton(QStringLiteral("Wh&ole file"), scopeBox);
    m_wholeFile->setObjectName(QStringLiteral("scopeWholeFile"));
    auto* scopeLayout = new QVBoxLayout(scopeBox);
    scopeLayout->addWidget(m_selection);
    scopeLayout->addWidget(m_wholeFile);

    m_findNext = MakeButton(QStringLiteral("&Find Next"), QStringLiteral("findNext"), this);
    m_findNext->setDefault(true);
    auto* replace = MakeButton(QStringLiteral("&Replace"), QStringLiteral("replace"), this);
    auto* replaceAll =
        MakeButton(QStringLiteral("Replace &All"), QStringLiteral("replaceAll"), this);
    auto* cancel = MakeButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findWhat, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replaceEdit, 1, 1);
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    checks->addStretch();
    auto* optionRow = new QHBoxLayout;
    optionRow->addLayout(checks);
    optionRow->addWidget(scopeBox);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(optionRow);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(replace);
    buttons->addWidget(replaceAll);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    m_findWhat->setText(m_options.text);
    m_replaceEdit->setText(m_replaceWith);
    m_wholeWord->setChecked(m_options.wholeWord);
    m_matchCase->setChecked(m_options.matchCase);
    (m_scope == ScopeSelection ? m_selection : m_wholeFile)->setChecked(true);
    m_selection->setEnabled(m_block.hasSelection);
    m_findNext->setEnabled(!m_options.text.isEmpty());

    // Replace and Replace All stay enabled; they do nothing while the text is empty.
    connect(m_findWhat, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &CReplaceDialog::OnFindNext);
    connect(replace, &QPushButton::clicked, this, &CReplaceDialog::OnReplace);
    connect(replaceAll, &QPushButton::clicked, this, &CReplaceDialog::OnReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &CReplaceDialog::reject);
}

void CReplaceDialog::StoreControls() {
    m_options.text = m_findWhat->text();
    m_replaceWith = m_replaceEdit->text();
    m_options.wholeWord = m_wholeWord->isChecked();
    m_options.matchCase = m_matchCase->isChecked();
    m_scope = m_selection->isChecked() ? ScopeSelection : ScopeWholeFile;
    m_findEncodable = SearchBytes(m_options.text, m_findBytes);
}

void CReplaceDialog::reject() {
    StoreControls();
    QDialog::reject();
}

bool CReplaceDialog::SearchNext() {
    const unsigned flags =
        (m_options.matchCase ? FindMatchCase : 0u) | (m_options.wholeWord ? FindWholeWord : 0u);
    if (!m_findEncodable) return false;
    TextPosition found;
    const bool ok = m_scope == ScopeWholeFile
                        ? m_view->FindTextFrom(m_findBytes, m_current, flags, false, found)
                        : m_view->FindTextInRange(m_findBytes, m_current, m_block.blockStart,
                                                  m_block.blockEnd, flags, false, found);
    if (!ok) return false;
    m_current = found;
    m_view->SelectFoundText(m_current, static_cast<int>(m_findBytes.size()));
    return true;
}

void CReplaceDialog::ReportNotFound() {
    ShowCannotFindMessage(this, m_options.text);
    m_block.begin = m_scope == ScopeWholeFile ? TextPosition{} : m_block.blockStart;
}

bool CReplaceDialog::FindNextMatch() {
    if (SearchNext()) return true;
    ReportNotFound();
    return false;
}

void CReplaceDialog::OnFindNext() {
    StoreControls();
    if (m_options.text.isEmpty()) return;
    if (!m_found)
        m_current = m_block.begin;
    else
        ++m_current.ch;
    m_found = FindNextMatch();
}

void CReplaceDialog::ReplaceMatch() {
    // The replacement is one line: a line break pasted into the field is left out.
    std::string replacement = Windows1252FromText(m_replaceWith);
    std::erase_if(replacement, [](char byte) { return byte == '\r' || byte == '\n'; });
    const TextPosition match = m_current;
    m_view->ReplaceSelectionText(replacement);
    if (m_block.hasSelection) {
        const int delta =
            static_cast<int>(replacement.size()) - static_cast<int>(m_findBytes.size());
        for (TextPosition* edge : {&m_block.blockStart, &m_block.blockEnd}) {
            if (edge->line == match.line && edge->ch > match.ch) edge->ch += delta;
        }
    }
    // The next search starts after the inserted text, so a replacement holding the
    // searched text is not found again.
    m_current.ch += static_cast<int>(replacement.size());
}

void CReplaceDialog::OnReplace() {
    StoreControls();
    if (m_options.text.isEmpty()) return;
    if (!m_found) {
        m_current = m_block.begin;
        m_found = FindNextMatch();
        return;
    }
    ReplaceMatch();
    m_found = FindNextMatch();
}

void CReplaceDialog::OnReplaceAll() {
    StoreControls();
    if (m_options.text.isEmpty()) return;
    if (!m_found) {
        m_current = m_block.begin;
        m_found = FindNextMatch();
        if (!m_found) return;
    }
    // The screen is brought up to date once, when every match is replaced.
    m_view->SetCoalescedUpdates(true);
    do
        ReplaceMatch();
    while (SearchNext());
    m_view->SetCoalescedUpdates(false);
    m_found = false;
    ReportNotFound();
}
