#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// File system states that a load or save can run into, and a way to see
// everything a folder holds.

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

inline QByteArray ReadFileOr(const QString& path, const QByteArray& missing) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : missing;
}

// Moves source over target in one step, as an editor saving a file does.
inline void ReplaceFile(const QString& source, const QString& target) {
    std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData());
}

// A socket in the file system: it has a name and a directory entry, but
// opening it as a file fails.
inline void MakeSocketFile(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

// Limits the size of every file the process writes while it lives: a write
// beyond it fails as on a full disk (with SIGXFSZ ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
};

// A small memory file system mounted for as long as this lives, where that
// is allowed (root with the right to mount), so that a disk can really fill.
class ScopedTmpfs {
public:
    ScopedTmpfs(const QString& path, int kibibytes) : path_(QFile::encodeName(path)) {
        QDir().mkpath(path);
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
        mounted_ = ::mount("tmpfs", path_.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~ScopedTmpfs() {
        if (mounted_) {
            ::umount(path_.constData());
        }
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool Mounted() const { return mounted_; }

private:
    QByteArray path_;
    bool mounted_ = false;
};

// One line for each entry below a folder, by path relative to it: its type,
// and a file's bytes or a link's target.
inline QStringList SnapshotOf(const QString& root) {
    QStringList lines;
    QDirIterator entries(root,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info(path);
        QFile file(path);
        const QString description =
            info.isSymLink()                 ? QStringLiteral("link ") + info.symLinkTarget()
            : info.isDir()                   ? QStringLiteral("folder")
            : !info.isFile()                 ? QStringLiteral("other")
            : file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().toHex())
                                             : QStringLiteral("unreadable file");
        lines.append(QDir(root).relativeFilePath(path) + QStringLiteral(": ") + description);
    }
    lines.sort();
    return lines;
}
