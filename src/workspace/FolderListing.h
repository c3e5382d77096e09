#pragma once

#include <QString>

#include <atomic>
#include <vector>

// One entry of a folder as the Files tree shows it.
struct FolderEntry {
    enum class Kind {
        Folder,     // a folder, or a symbolic link to one
        File,       // a regular file
        Executable, // a regular file without a suffix that may run (only these are told apart)
        Other,      // a device, pipe or socket, or a link that leads nowhere
    };
    QString name;
    Kind kind = Kind::Other;
    bool link = false;       // a symbolic link, whether it leads anywhere or not
    bool hidden = false;     // the name starts with '.'
    bool expandable = false; // a folder that gets the child button

    bool IsFolder() const { return kind == Kind::Folder; }
};

// What a folder holds, and where it lies.
struct FolderListing {
    std::vector<FolderEntry> entries;
    // A fixed local disk: an empty folder here stays empty. On removable or network media
    // the contents may come and go, so the tree lets the user look again.
    bool fixedDisk = true;
};

// Reads the folder at `path`: folders always, other entries with `showFiles`, names starting
// with '.' with `showHidden`; sorted by SortEntries. A child folder is expandable when
// `showFiles` is set, when it lies off a fixed disk, or when it holds a subfolder that would
// be shown. A folder that cannot be read lists nothing. Reading stops early, with what it
// has, once `*stop` turns true. Safe on any thread.
FolderListing ListFolder(const QString& path, bool showFiles, bool showHidden,
                         const std::atomic<bool>* stop = nullptr);

// As a file manager orders them: folders first, then by name without regard to case, with
// runs of digits compared as numbers ("file2" before "file10").
void SortEntries(std::vector<FolderEntry>& entries);

// The path of the entry `name` in `folder`.
QString ChildPath(const QString& folder, const QString& name);

// For tests: while set, every folder counts as lying on removable media.
void TreatAllMediaAsRemovable(bool removable);
