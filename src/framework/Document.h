#pragma once

#include "CommandTarget.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <vector>

class QWidget;

// A document of the document/view bookkeeping: its title (the file name, or a numbered
// name such as Sphere1 until it is first saved), its path, its modified flag and its views;
// saving with Save and Save As, and the save prompt before it closes.
//
// A failed save is reported to the user and leaves the document as it was: still
// modified, with its old path and title. A save over a file that another program changed
// since it was read or last saved asks first, so that neither text is lost silently.
class CDocument : public QObject, public CCommandTarget {
    Q_OBJECT

public:
    CDocument();
    ~CDocument() override;

    // Framework steps: a new document, reading from and writing to a file, emptying.
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path) = 0;
    virtual void DeleteContents() {}
    // Why the last failed OnOpenDocument or OnSaveDocument failed, for the user.
    virtual QString LastFileError() const { return {}; }

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);
    const QString& PathName() const { return m_pathName; }
    // Takes `path` (made absolute) as the document's file; the title becomes its name.
    void SetPathName(const QString& path);

    // What the Save As dialog offers: a filter in the form "Name (*.ext)|*.ext||" and the
    // suffix added to a name typed without one.
    void SetSaveFilter(const QString& filter, const QString& suffix);

    // Save: to the document's file, or through the Save As dialog when it has none.
    bool DoFileSave();
    // Save As when `path` is empty, otherwise a save to `path`. False when the user
    // cancelled or the save failed (the user has then been told why).
    bool DoSave(const QString& path);
    // Before closing: a modified document asks whether to save it. False keeps it open.
    bool SaveModified();

    void AddView(QWidget* view);
    void RemoveView(QWidget* view);
    const std::vector<QWidget*>& Views() const { return m_views; }
    // The window that owns the document's messages and dialogs.
    QWidget* DialogParent() const;

signals:
    void TitleChanged();
    void ModifiedChanged(bool modified);
    // After a successful open or save under `path` (for the recent-file list).
    void FileUsed(const QString& path);

private:
    // Remembers the file's time and size, to notice a change by another program.
    void NoteFileOnDisk();
    bool ChangedOnDisk() const;
    bool ConfirmOverwriteChangedFile();

    QString m_title;
    QString m_pathName;
    QString m_saveFilter;
    QString m_saveSuffix;
    bool m_modified = false;
    QDateTime m_diskTime;
    qint64 m_diskSize = -1;
    std::vector<QWidget*> m_views;
};
