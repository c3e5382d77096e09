// Find in Files, its results pane, and Go to Definition in the main frame.
#include "ChildFrame.h"
#include "MainFrame.h"

#include "buffer/TextBuffer.h"
#include "find/DefinitionFinder.h"
#include "find/DefinitionListDialog.h"
#include "find/FileWalk.h"
#include "find/FindInFilesDialog.h"
#include "find/FindInFilesJob.h"
#include "find/FindResultsPane.h"
#include "find/TextMatcher.h"
#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "framework/ModalDialog.h"
#include "framework/Profile.h"
#include "framework/SettingsStore.h"
#include "framework/WinApp.h"
#include "framework/Windows1252.h"
#include "view/TextSearch.h"
#include "view/TextView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

#include <algorithm>

namespace {

const QString kFindSection = QStringLiteral("Editor/FindInFiles");
constexpr int kStatusMessageMs = 5000;

QString WithSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The lines of a document as the editor holds them now.
std::vector<std::string> LinesOf(const CTextBuffer& buffer) {
    std::vector<std::string> lines;
    lines.reserve(std::size_t(buffer.LineCount()));
    for (int i = 0; i < buffer.LineCount(); ++i)
        lines.emplace_back(buffer.Line(i));
    return lines;
}

// The text of a document with its own line ends, as it would be saved.
std::string TextOf(const CTextBuffer& buffer) {
    const int last = buffer.LineCount() - 1;
    if (last < 0) return {};
    return buffer.CopyRange({0, 0}, {last, buffer.LineLength(last)},
                            LineEndBytes(buffer.LineEndStyleOf()));
}

} // namespace

void CMainFrame::CreateFindTools() {
    m_findResults = new CFindResultsPane(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_findResults);
    m_findResults->hide();
    m_findJob = new CFindInFilesJob(this);
    m_definitions = new CDefinitionFinder(this);
    connect(m_findJob, &CFindInFilesJob::Found, m_findResults, &CFindResultsPane::AddFound);
    connect(m_findJob, &CFindInFilesJob::Finished, m_findResults, &CFindResultsPane::EndSearch);
    connect(m_findResults, &CFindResultsPane::StopRequested, m_findJob, &CFindInFilesJob::Stop);
    connect(m_findResults, &CFindResultsPane::ResultChosen, this,
            [this](const CFindResultsModel::Location& at, bool focusScript) {
                OpenMatch(at.path, at.line, at.column, at.length, focusScript);
            });
    connect(m_definitions, &CDefinitionFinder::Found, this, &CMainFrame::ShowDefinitions);
}

void CMainFrame::RegisterFindCommands() {
    OnCommand(ID_EDIT_FIND_IN_FILES, [this](unsigned) { OnFindInFiles(); });
    const UpdateHandler whileResults = [this](CCommandUI& ui) {
        ui.Enable(m_findResults->Model().rowCount() > 0);
    };
    OnCommand(
        ID_EDIT_NEXT_RESULT, [this](unsigned) { m_findResults->Step(true); }, whileResults);
    OnCommand(
        ID_EDIT_PREV_RESULT, [this](unsigned) { m_findResults->Step(false); }, whileResults);
    const UpdateHandler whileScript = [this](CCommandUI& ui) { ui.Enable(ActiveChildFrame()); };
    OnCommand(
        ID_EDIT_GOTO_DEFINITION, [this](unsigned) { OnGoToDefinition(); }, whileScript);
    OnCommand(
        ID_EDIT_FIND_REFERENCES, [this](unsigned) { OnFindReferences(); }, whileScript);
}

QString CMainFrame::SearchFolder() const {
    if (const QString server = SphereServerFolder(); !server.isEmpty())
        return QDir::toNativeSeparators(server);
    if (CChildFrame* active = ActiveChildFrame();
        active && !active->Document().PathName().isEmpty())
        return QDir::toNativeSeparators(QFileInfo(active->Document().PathName()).absolutePath());
    return QDir::toNativeSeparators(QDir::homePath());
}

QString CMainFrame::WordAtCaret() const {
    CChildFrame* active = ActiveChildFrame();
    if (!active) return {};
    CTextView* view = active->View();
    const TextPosition caret = view->CaretPosition();
    const int start = view->WordStartLeft(caret).ch;
    const int end = view->WordEndRight(caret).ch;
    return TextFromWindows1252(
        view->Buffer()->Line(caret.line).substr(std::size_t(start), std::size_t(end - start)));
}

FindInFilesOptions CMainFrame::DefaultFindOptions() const {
    FindInFilesOptions options;
    options.matchCase = GetProfileInt(kFindSection, QStringLiteral("MatchCase"), 0) != 0;
    options.wholeWord = GetProfileInt(kFindSection, QStringLiteral("WholeWord"), 0) != 0;
    options.fileTypes =
        GetProfileString(kFindSection, QStringLiteral("FileTypes"), options.fileTypes);
    options.folder = SearchFolder();
    options.text = GetProfileString(kFindSection, QStringLiteral("FindWhat"));
    // As Find proposes: a selection inside one line, else the word at the caret.
    if (CChildFrame* active = ActiveChildFrame()) {
        if (const QString selected = active->View()->SingleLineSelection(); !selected.isEmpty())
            options.text = selected;
        else if (const QString word = WordAtCaret(); !word.isEmpty())
            options.text = word;
    }
    return options;
}

void CMainFrame::OnFindInFiles() {
    CFindInFilesDialog dialog(DefaultFindOptions(), this);
    if (RunModalDialog(dialog) != QDialog::Accepted) return;
    const FindInFilesOptions chosen = dialog.Options();
    WriteProfileInt(kFindSection, QStringLiteral("MatchCase"), chosen.matchCase);
    WriteProfileInt(kFindSection, QStringLiteral("WholeWord"), chosen.wholeWord);
    WriteProfileString(kFindSection, QStringLiteral("FileTypes"), chosen.fileTypes);
    WriteProfileString(kFindSection, QStringLiteral("FindWhat"), chosen.text);
    StartFindInFiles(chosen);
}

void CMainFrame::StartFindInFiles(const FindInFilesOptions& options) {
    FindInFilesRequest request;
    request.needle = Windows1252FromText(options.text);
    request.flags = (options.matchCase ? unsigned(FindMatchCase) : 0u) |
                    (options.wholeWord ? unsigned(FindWholeWord) : 0u);
    const QString folder = QDir::cleanPath(QFileInfo(options.folder).absoluteFilePath());
    request.folder = folder;
    request.fileTypes = options.fileTypes;
    // Open documents in the searched place count with their text as it is now.
    const FilePatterns patterns = FilePatterns::Parse(options.fileTypes.toStdString());
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (!child || child->Document().PathName().isEmpty()) continue;
        const QFileInfo file(child->Document().PathName());
        const QString path = QDir::cleanPath(file.absoluteFilePath());
        if (!path.startsWith(WithSlash(folder)) ||
            !patterns.Matches(QFile::encodeName(file.fileName()).toStdString()))
            continue;
        request.openDocuments.emplace(QFile::encodeName(path).toStdString(),
                                      LinesOf(*child->View()->Buffer()));
    }
    m_findResults->BeginSearch(
        QStringLiteral("'%1' in %2").arg(options.text, QDir::toNativeSeparators(folder)));
    m_findJob->Start(std::move(request));
}

void CMainFrame::OpenMatch(const QString& path, int line, int column, int length,
                           bool focusScript) {
    // A new script not saved yet goes by its title.
    QMdiSubWindow* open = nullptr;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child && child->Document().PathName().isEmpty() && child->Document().Title() == path)
            open = window;
    }
    if (open) {
        m_mdiArea->setActiveSubWindow(open);
    } else {
        CWinApp* app = CWinApp::Instance();
        if (!app || !app->OpenDocumentFile(path)) return;
    }
    CChildFrame* frame = ActiveChildFrame();
    if (!frame) return;
    CTextView* view = frame->View();
    // The text may have changed since the search: the match is placed where it still fits.
    const int target = std::clamp(line, 0, view->LineCount() - 1);
    const int lineLength = view->Buffer()->LineLength(target);
    const int start = std::clamp(column, 0, lineLength);
    // The line goes a third of the way down, so that a pane opening below keeps it in view
    // and the lines around it show.
    if (target < view->FirstVisibleLine() ||
        target >= view->FirstVisibleLine() + view->ScreenLines())
        view->ScrollToLine(std::max(0, target - view->ScreenLines() / 3), true);
    view->SelectFoundText({target, start}, std::clamp(length, 0, lineLength - start));
    if (focusScript) view->setFocus();
}

void CMainFrame::OnGoToDefinition() {
    const QString name = WordAtCaret();
    if (name.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("No name at the caret"), kStatusMessageMs);
        return;
    }
    std::map<std::string, std::string> openTexts;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (!child) continue;
        const QString path =
            child->Document().PathName().isEmpty()
                ? child->Document().Title()
                : QDir::cleanPath(QFileInfo(child->Document().PathName()).absoluteFilePath());
        openTexts.emplace(QFile::encodeName(path).toStdString(), TextOf(*child->View()->Buffer()));
    }
    statusBar()->showMessage(QStringLiteral("Looking for the definition of '%1'...").arg(name));
    m_definitions->Find(name, SphereServerFolder(), std::move(openTexts));
}

void CMainFrame::ShowDefinitions(const QString& name, const std::vector<DefinitionSite>& sites) {
    statusBar()->clearMessage();
    if (sites.empty()) {
        statusBar()->showMessage(QStringLiteral("No definition of '%1' found").arg(name),
                                 kStatusMessageMs);
        return;
    }
    std::size_t chosen = 0;
    if (sites.size() > 1) {
        CDefinitionListDialog dialog(name, sites, this);
        if (RunModalDialog(dialog) != QDialog::Accepted || dialog.Chosen() < 0) return;
        chosen = std::size_t(dialog.Chosen());
    }
    const DefinitionSite& site = sites[chosen];
    // The caret goes onto the name in its line.
    const CTextMatcher matcher(Windows1252FromText(name), FindWholeWord);
    const int column = std::max(0, matcher.FindInLine(site.text));
    OpenMatch(QFile::decodeName(site.path.c_str()), site.line, column, 0, true);
}

void CMainFrame::OnFindReferences() {
    const QString name = WordAtCaret();
    if (name.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("No name at the caret"), kStatusMessageMs);
        return;
    }
    FindInFilesOptions options = DefaultFindOptions();
    options.text = name;
    options.wholeWord = true;
    options.matchCase = false;
    StartFindInFiles(options);
}
