#include "QuilletApp.h"

#include "AboutDialog.h"
#include "ChildFrame.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "PdfCommandLine.h"
#include "SettingsLocation.h"

#include "framework/CommandIds.h"
#include "framework/DeferredIconStyle.h"
#include "framework/Icons.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "framework/PrinterSetup.h"
#include "framework/Profile.h"
#include "framework/Windows1252.h"
#include "script/QuilletDoc.h"
#include "script/QuilletView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>

#include <memory>

CQuilletApp::CQuilletApp() : m_template(ResString(IDR_QUILLETTYPE)) {
    Q_INIT_RESOURCE(quillet);
    Q_INIT_RESOURCE(quillet_icons);
    // Before the first window, whose bars and menus take icons from the style.
    QApplication::setStyle(new CDeferredIconStyle);
    RegisterAppCommands();
}

CQuilletApp::~CQuilletApp() {
    delete m_mainFrame;
}

bool CQuilletApp::InitInstance(const QStringList& arguments) {
    SetRegistryKey(QStringLiteral("Brindles Quillet"), ResString(57344));
    const CommandLineInfo info = ParseCommandLine(arguments);
    // Before the main window and the settings file, whose problems would show as messages.
    if (info.action == CommandLineInfo::ExportPdf) {
        QTextStream errors(stderr);
        m_exitStatus = ExportScriptAsPdf(info.files, errors);
        return false;
    }
    QApplication::setWindowIcon(LoadIcon(QStringLiteral("quillet")));
    m_recentFiles.ReadList();

    m_mainFrame = new CMainFrame(m_recentFiles);
    m_mainFrame->Create(SettingsFilePath());
    m_mainFrame->SetNextCommandTarget(this);

    if (info.action == CommandLineInfo::FilePrint || info.action == CommandLineInfo::FilePrintTo) {
        m_exitStatus = PrintFile(info.files.first(), info.printer) ? 0 : 1;
        return false;
    }
    // Shown before the scripts open, so that they are laid out in the window's real size
    // and the progress of a large file shows over it.
    m_mainFrame->showNormal();
    if (info.action == CommandLineInfo::FileNew) return OpenDocumentFile(QString()) != nullptr;
    // A file that cannot be opened has been reported; the program runs on without it.
    for (const QString& file : info.files)
        OpenDocumentFile(file);
    return true;
}

CDocument* CQuilletApp::OpenDocumentFile(const QString& path) {
    if (!path.isEmpty()) {
        if (CDocument* open = m_template.FindOpenDocument(path)) {
            if (CChildFrame* frame = FrameOf(open))
                m_mainFrame->MdiArea().setActiveSubWindow(frame);
            return open;
        }
    }

    auto owned = std::make_unique<CQuilletDoc>();
    CQuilletDoc* document = owned.get();
    document->SetSaveFilter(m_template.DocString(CDocTemplate::FilterName) +
                                QStringLiteral("|*.scp|All Files (*.*)|*.*||"),
                            m_template.DocString(CDocTemplate::FilterExt).mid(1));
    connect(document, &CDocument::FileUsed, this,
            [this](const QString& used) { m_recentFiles.Add(used); });
    auto* frame = new CChildFrame(std::move(owned), new CQuilletView(*document));

    bool ok = false;
    if (path.isEmpty()) {
        document->SetTitle(m_template.NextUntitledTitle());
        ok = document->OnNewDocument();
        if (ok) m_template.CountUntitled();
    } else {
        ok = document->OnOpenDocument(path);
        if (ok) {
            document->SetPathName(path);
        } else {
            QString text =
                QStringLiteral("Could not open '%1'.").arg(QDir::toNativeSeparators(path));
            if (!document->LastFileError().isEmpty())
                text += QStringLiteral("\n\n") + document->LastFileError();
            ShowMessage(m_mainFrame, text, QString(), QMessageBox::Critical);
        }
    }
    if (!ok) {
        delete frame;
        return nullptr;
    }

    m_template.AddDocument(document);
    connect(document, &QObject::destroyed, this,
            [this, document] { m_template.RemoveDocument(document); });
    m_mainFrame->AddChildFrame(frame);
    return document;
}

CChildFrame* CQuilletApp::FrameOf(const CDocument* document) const {
    for (QMdiSubWindow* window : m_mainFrame->MdiArea().subWindowList()) {
        auto* frame = qobject_cast<CChildFrame*>(window);
        if (frame && &frame->Document() == document) return frame;
    }
    return nullptr;
}

void CQuilletApp::RegisterAppCommands() {
    OnCommand(ID_FILE_NEW, [this](unsigned) { OpenDocumentFile(QString()); });
    OnCommand(ID_APP_ABOUT, [this](unsigned) { OnAppAbout(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this](unsigned) { RunPrintSetup(m_mainFrame); });
    OnCommand(ID_APP_EXIT, [this](unsigned) { m_mainFrame->close(); });
    OnCommandRange(
        ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST,
        [this](unsigned id) { OpenRecentFile(int(id - ID_FILE_MRU_FILE1)); },
        [this](CCommandUI& ui) {
            ui.Enable(int(ui.Id() - ID_FILE_MRU_FILE1) < m_recentFiles.Paths().size());
        });
}

void CQuilletApp::OnAppAbout() {
    CAboutDialog about(m_mainFrame);
    RunModalDialog(about);
}

void CQuilletApp::OpenRecentFile(int index) {
    const QString path = m_recentFiles.Paths().value(index);
    // A file that is gone leaves the list, as it can no longer be opened from it.
    if (!path.isEmpty() && !OpenDocumentFile(path) && !QFileInfo::exists(path))
        m_recentFiles.Remove(index);
}

bool CQuilletApp::PrintFile(const QString& path, const QString& printer) {
    if (!PrintersAvailable()) {
        ShowMessage(m_mainFrame, NoPrinterText());
        return false;
    }
    if (!printer.isEmpty() && !SelectPrinter(printer)) {
        ShowMessage(m_mainFrame, QStringLiteral("The printer '%1' is not installed.").arg(printer));
        return false;
    }
    CDocument* document = OpenDocumentFile(path);
    if (!document) return false;
    CChildFrame* frame = FrameOf(document);
    const bool printed = frame->View()->PrintDirect();
    frame->close();
    return printed;
}
