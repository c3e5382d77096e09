#include "QuilletDoc.h"

#include "NewScriptTemplate.h"

#include "buffer/BufferObserver.h"
#include "framework/ProgressWindow.h"
#include "framework/SettingsStore.h"
#include "framework/Windows1252.h"
#include "prefs/IniFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

// Files from this size on are read on a worker thread with a progress window.
constexpr qint64 kLargeFile = 4 * 1024 * 1024;

} // namespace

CQuilletDoc::CQuilletDoc() : m_buffer(*this) {
    m_viewFont.faceName = QStringLiteral("Courier New");
    m_viewFont.height = 16;
    m_viewFont.weight = 400;
    m_viewFont.charSet = 0;
    m_buffer.AttachView(this);
}

CQuilletDoc::~CQuilletDoc() {
    m_buffer.DetachView(this);
    m_buffer.ClearAll();
}

void CQuilletDoc::OnBufferChanged(CBufferObserver*, const ChangeContext*, unsigned hints, int) {
    // Bookmarks change flags only, not the text.
    if (!(hints & HintLineFlags)) emit TextChanged();
}

bool CQuilletDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    CIniFile& settings = SettingsStore();
    // The settings file is UTF-8; the script is Windows-1252.
    const std::string author = Windows1252FromSetting(settings.GetValue("User", "UserName"));
    const std::string company = Windows1252FromSetting(settings.GetValue("User", "UserCompany"));
    const std::string webAddress =
        Windows1252FromSetting(settings.GetValue("User", "UserInternet"));
    const std::string header =
        NewScriptHeader(author, company, webAddress, QDateTime::currentDateTimeUtc().date().year());

    m_buffer.ResetToEmpty(StyleDOS);
    auto* source = Views().empty() ? nullptr : dynamic_cast<CBufferObserver*>(Views().front());
    TextPosition end;
    m_buffer.InsertTextAt(source, {0, 0}, header, end, 0, false);
    m_buffer.InsertTextAt(source, end, kNewScriptTrailer, end, 0, false);
    m_buffer.MarkModified(false);
    return true;
}

bool CQuilletDoc::OnOpenDocument(const QString& path) {
    m_lastFileError.clear();
    if (!CDocument::OnOpenDocument(path)) return false;
    // The buffer refuses what is not a regular file (a pipe would wait for a writer
    // forever) and a file too large for memory, and says why.
    if (ReadWithProgress(path)) return true;
    m_lastFileError = BufferError(QStringLiteral("The file could not be read."));
    return false;
}

QString CQuilletDoc::BufferError(const QString& fallback) const {
    const std::string& reason = m_buffer.LastError();
    return reason.empty() ? fallback : QString::fromLocal8Bit(reason);
}

bool CQuilletDoc::ReadWithProgress(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    if (QFileInfo(path).size() < kLargeFile) return m_buffer.ReadFromFile(name, -1);

    // No view is attached to the buffer yet, so the worker thread is the only one that
    // touches it until it is done; the document's own watch only emits TextChanged, which
    // reaches receivers on the UI thread queued.
    bool ok = false;
    CProgressWindow progress(QStringLiteral("Loading %1...").arg(QDir::toNativeSeparators(path)),
                             DialogParent());
    progress.RunOnWorker([&] { ok = m_buffer.ReadFromFile(name, -1); });
    return ok;
}

bool CQuilletDoc::OnSaveDocument(const QString& path) {
    m_lastFileError.clear();
    if (m_buffer.WriteToFile(QFile::encodeName(path).toStdString(), -1, true)) return true;
    m_lastFileError = BufferError(QStringLiteral("The file could not be written."));
    return false;
}

void CQuilletDoc::DeleteContents() {
    CDocument::DeleteContents();
    m_buffer.ClearAll();
}
