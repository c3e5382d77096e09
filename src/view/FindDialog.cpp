#include "FindDialog.h"

#include "TextSearch.h"
#include "TextView.h"

#include "framework/MessageBox.h"
#include "framework/Windows1252.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

namespace {

constexpr unsigned IdsCannotFindString = 8606;

QRadioButton* AddRadio(QGroupBox* box, const QString& text, const QString& name) {
    auto* radio = new QRadioButton(text, box);
    radio->setObjectName(name);
    box->layout()->addWidget(radio);
    return radio;
}

} // namespace

unsigned FindOptions::Flags() const {
    unsigned flags = 0;
    if (matchCase) flags |= FindMatchCase;
    if (wholeWord) flags |= FindWholeWord;
    if (directionUp) flags |= FindDirectionUp;
    return flags;
}

bool SearchBytes(const QString& text, std::string& bytes) {
    bytes = Windows1252FromText(text);
    return bytes.size() == std::size_t(text.size());
}

void ShowCannotFindMessage(QWidget* parent, const QString& text) {
    QString message = ResString(IdsCannotFindString);
    message.replace(QLatin1String("%s"), text);
    ShowMessage(parent, message, QString(), QMessageBox::NoIcon, QMessageBox::Ok);
}

CFindDialog::CFindDialog(CTextView* view, const FindOptions& options, TextPosition start)
    : QDialog(view), m_view(view), m_options(options), m_start(start) {
    setWindowTitle(QStringLiteral("Find"));

    auto* findBox = new QGroupBox(QStringLiteral("Fi&nd what:"), this);
    m_findWhat = new QPlainTextEdit(findBox);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    m_findWhat->setTabChangesFocus(true);
    m_findWhat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_findWhat->setFixedHeight(m_findWhat->fontMetrics().lineSpacing() * 3 + 12);
    auto* findLayout = new QVBoxLayout(findBox);
    findLayout->addWidget(m_findWhat);

    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("&Match case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    // The scope has no effect: only the active document is ever searched.
    auto* scopeBox = new QGroupBox(QStringLiteral("Search in"), this);
    scopeBox->setLayout(new QVBoxLayout);
    AddRadio(scopeBox, QStringLiteral("&Active Document"), QStringLiteral("scopeActive"))
        ->setChecked(true);
    AddRadio(scopeBox, QStringLiteral("All open &script files"), QStringLiteral("scopeScripts"));
    AddRadio(scopeBox, QStringLiteral("All &open documents"), QStringLiteral("scopeOpen"));
    scopeBox->setEnabled(false);

    auto* directionBox = new QGroupBox(QStringLiteral("Direction"), this);
    directionBox->setLayout(new QHBoxLayout);
    m_up = AddRadio(directionBox, QStringLiteral("&Up"), QStringLiteral("directionUp"));
    m_down = AddRadio(directionBox, QStringLiteral("&Down"), QStringLiteral("directionDown"));
    auto* directionGroup = new QButtonGroup(this);
    directionGroup->addButton(m_up);
    directionGroup->addButton(m_down);

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    // Help has no action in this program.
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("help"));

    auto* optionRow = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    checks->addStretch();
    optionRow->addLayout(checks);
    optionRow->addWidget(directionBox, 0, Qt::AlignTop);
    auto* left = new QVBoxLayout;
    left->addWidget(findBox);
    left->addLayout(optionRow);
    left->addWidget(scopeBox);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    m_findWhat->setPlainText(m_options.text);
    m_wholeWord->setChecked(m_options.wholeWord);
    m_matchCase->setChecked(m_options.matchCase);
    (m_options.directionUp ? m_up : m_down)->setChecked(true);
    m_findNext->setEnabled(!m_options.text.isEmpty());

    connect(m_findWhat, &QPlainTextEdit::textChanged, this,
            [this] { m_findNext->setEnabled(!m_findWhat->toPlainText().isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &CFindDialog::OnFindNext);
    connect(cancel, &QPushButton::clicked, this, &CFindDialog::reject);
}

void CFindDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_findWhat->selectAll();
    m_findWhat->setFocus();
}

void CFindDialog::StoreControls() {
    // The text as it stands in the box: toPlainText() would turn a no-break space into a
    // plain one, and the search would miss the very bytes that were proposed.
    m_options.text = m_findWhat->document()->toRawText();
    for (QChar& ch : m_options.text) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) ch = u'\n';
    }
    m_options.wholeWord = m_wholeWord->isChecked();
    m_options.matchCase = m_matchCase->isChecked();
    m_options.directionUp = m_up->isChecked();
}

void CFindDialog::OnFindNext() {
    StoreControls();
    std::string bytes;
    TextPosition found;
    if (SearchBytes(m_options.text, bytes) &&
        m_view->FindTextFrom(bytes, m_start, m_options.Flags(), true, found)) {
        m_view->SelectFoundText(found, static_cast<int>(bytes.size()));
        accept();
        return;
    }
    ShowCannotFindMessage(this, m_options.text);
    m_start = {};
}

void CFindDialog::reject() {
    StoreControls();
    QDialog::reject();
}
