#include "FolderListing.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_allRemovable{false};

// Beyond this many entries a folder is taken to hold a subfolder without looking further.
constexpr int SubfolderLookLimit = 1000;

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// A directory stream for a folder, closed when it goes. O_NONBLOCK keeps a FIFO that took a
// folder's name from stalling the open; O_DIRECTORY refuses it anyway.
class CDirStream {
public:
    CDirStream(int at, const char* path) {
        const int fd =
            ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) return;
        m_dir = ::fdopendir(fd);
        if (!m_dir) ::close(fd);
    }
    ~CDirStream() {
        if (m_dir) ::closedir(m_dir);
    }
    CDirStream(const CDirStream&) = delete;
    CDirStream& operator=(const CDirStream&) = delete;

    int Fd() const { return m_dir ? ::dirfd(m_dir) : -1; }
    // The next entry other than "." and "..", or null at the end or on an error.
    const dirent* Next() {
        if (!m_dir) return nullptr;
        while (const dirent* entry = ::readdir(m_dir))
            if (!IsDotOrDotDot(entry->d_name)) return entry;
        return nullptr;
    }

private:
    DIR* m_dir = nullptr;
};

// Whether `entry` of the folder open at `dirFd` is a folder, following links.
bool LeadsToFolder(int dirFd, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat info;
    return ::fstatat(dirFd, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

bool HasShownSubfolder(int dirFd, const char* name, bool showHidden,
                       const std::atomic<bool>* stop) {
    CDirStream folder(dirFd, name);
    int looked = 0;
    while (const dirent* entry = folder.Next()) {
        if (++looked > SubfolderLookLimit || (stop && *stop)) return true;
        if (entry->d_name[0] == '.' && !showHidden) continue;
        if (LeadsToFolder(folder.Fd(), *entry)) return true;
    }
    return false;
}

// Mount points hold their octal escapes in /proc/self/mounts: "\040" for a space.
QByteArray Unescape(const QByteArray& field) {
    QByteArray plain;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3') {
            plain +=
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            plain += field[i];
        }
    }
    return plain;
}

bool IsNetworkType(const QByteArray& type) {
    static constexpr std::array kNetworkTypes = {
        "nfs",    "nfs4",        "cifs",           "smb3", "smbfs",          "sshfs", "fuse.sshfs",
        "9p",     "afs",         "ncpfs",          "ceph", "glusterfs",      "davfs", "fuse.davfs2",
        "lustre", "fuse.rclone", "fuse.glusterfs", "gfs2", "fuse.gvfsd-fuse"};
    return std::find(kNetworkTypes.begin(), kNetworkTypes.end(), type) != kNetworkTypes.end();
}

// The kernel's "removable" flag of a block device, read from the device or, for a
// partition, from the disk that holds it.
bool IsRemovableDevice(const QByteArray& device) {
    char real[PATH_MAX];
    if (!device.startsWith("/dev/") || !::realpath(device.constData(), real)) return false;
    const QByteArray name = QByteArray(real).mid(5);
    if (name.isEmpty() || name.contains('/')) return false;
    for (const char* place : {"/removable", "/../removable"}) {
        QFile flag("/sys/class/block/" + QString::fromLocal8Bit(name) + place);
        if (flag.open(QIODevice::ReadOnly)) return flag.read(1) == "1";
    }
    return false;
}

// The mounted file systems, read from /proc/self/mounts rather than through statfs on each,
// which would hang on an unreachable network share. Where the table is missing every path
// counts as fixed.
class CMountTable {
public:
    CMountTable() {
        QFile table(QStringLiteral("/proc/self/mounts"));
        if (!table.open(QIODevice::ReadOnly)) return;
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 3) continue;
            m_mounts.push_back(
                {QFile::decodeName(Unescape(fields[1])), Unescape(fields[0]), fields[2]});
        }
        // Longest first, so that the first mount that holds a path is the one it lies on.
        std::stable_sort(m_mounts.begin(), m_mounts.end(), [](const Mount& a, const Mount& b) {
            return a.root.size() > b.root.size();
        });
    }

    bool IsFixed(const QString& path) const {
        if (g_allRemovable) return false;
        const auto holder = std::find_if(m_mounts.begin(), m_mounts.end(), [&](const Mount& m) {
            return path == m.root || m.root == u"/" || path.startsWith(m.root + u'/');
        });
        if (holder == m_mounts.end()) return true;
        if (!holder->fixed) holder->fixed = !IsNetworkType(holder->type) && !IsRemovable(*holder);
        return *holder->fixed;
    }

    bool IsMountPoint(const QString& path) const {
        return std::any_of(m_mounts.begin(), m_mounts.end(),
                           [&](const Mount& m) { return m.root == path; });
    }

private:
    struct Mount {
        QString root;
        QByteArray device;
        QByteArray type;
        mutable std::optional<bool> fixed = {};
    };
    static bool IsRemovable(const Mount& mount) {
        return mount.root.startsWith(u"/media/") || mount.root.startsWith(u"/run/media/") ||
               mount.device.startsWith("//") || IsRemovableDevice(mount.device);
    }

    std::vector<Mount> m_mounts;
};

bool HasNoSuffix(const char* name) {
    const char* dot = std::strrchr(name, '.');
    return dot == nullptr || dot == name;
}

FolderEntry::Kind KindOfMode(mode_t mode, const char* name) {
    if (S_ISDIR(mode)) return FolderEntry::Kind::Folder;
    if (!S_ISREG(mode)) return FolderEntry::Kind::Other;
    const bool mayRun = (mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    return mayRun && HasNoSuffix(name) ? FolderEntry::Kind::Executable : FolderEntry::Kind::File;
}

// Sets the kind and link flag of `item` from `entry` of the folder open at `dirFd`, with a
// stat call only where the entry's type leaves a question open.
void Classify(int dirFd, const dirent& entry, FolderEntry& item) {
    const char* name = entry.d_name;
    struct stat info;
    switch (entry.d_type) {
    case DT_DIR:
        item.kind = FolderEntry::Kind::Folder;
        return;
    case DT_REG:
        if (HasNoSuffix(name)) break; // whether it may run decides its icon
        item.kind = FolderEntry::Kind::File;
        return;
    case DT_LNK:
        item.link = true;
        break;
    case DT_UNKNOWN:
        if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
        item.link = S_ISLNK(info.st_mode);
        if (item.link) break;
        item.kind = KindOfMode(info.st_mode, name);
        return;
    default:
        return;
    }
    if (::fstatat(dirFd, name, &info, 0) == 0) item.kind = KindOfMode(info.st_mode, name);
}

QString RealPath(const QString& path) {
    char real[PATH_MAX];
    return ::realpath(QFile::encodeName(path).constData(), real) ? QFile::decodeName(real) : path;
}

} // namespace

QString ChildPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

FolderListing ListFolder(const QString& path, bool showFiles, bool showHidden,
                         const std::atomic<bool>* stop) {
    FolderListing listing;
    const CMountTable mounts;
    listing.fixedDisk = mounts.IsFixed(path);
    CDirStream folder(AT_FDCWD, QFile::encodeName(path).constData());
    while (const dirent* entry = folder.Next()) {
        if (stop && *stop) break;
        const char* name = entry->d_name;
        FolderEntry item;
        item.hidden = name[0] == '.';
        if (item.hidden && !showHidden) continue;
        Classify(folder.Fd(), *entry, item);
        if (!item.IsFolder() && !showFiles) continue;
        item.name = QFile::decodeName(name);
        if (item.IsFolder()) {
            const QString childPath = ChildPath(path, item.name);
            // A child lies on its folder's disk unless a mount or a link takes it elsewhere.
            const bool fixed = item.link ? mounts.IsFixed(RealPath(childPath))
                               : mounts.IsMountPoint(childPath) ? mounts.IsFixed(childPath)
                                                                : listing.fixedDisk;
            item.expandable =
                showFiles || !fixed || HasShownSubfolder(folder.Fd(), name, showHidden, stop);
        }
        listing.entries.push_back(std::move(item));
    }
    SortEntries(listing.entries);
    return listing;
}

void SortEntries(std::vector<FolderEntry>& entries) {
    // The C locale compares code points only; English gives the natural order there too.
    const QLocale locale =
        QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(entries.size());
    for (const FolderEntry& entry : entries)
        keys.push_back(collator.sortKey(entry.name));
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (entries[a].IsFolder() != entries[b].IsFolder()) return entries[a].IsFolder();
        const int byName = keys[a].compare(keys[b]);
        return byName != 0 ? byName < 0 : entries[a].name < entries[b].name;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

void TreatAllMediaAsRemovable(bool removable) {
    g_allRemovable = removable;
}
