#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace memofile
{

namespace
{
const QString TemporaryInfix = QStringLiteral(".saving-");
constexpr int TemporarySuffixLength = 6;

services::FileError errorOf(const QString &path, const QString &reason)
{
    return {QFileInfo(path).absoluteFilePath(), reason};
}

services::FileError errnoError(const QString &path, int error)
{
    return errorOf(path, qt_error_string(error));
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("フォルダー");
    if (S_ISFIFO(mode))
        return QStringLiteral("名前付きパイプ（FIFO）");
    if (S_ISSOCK(mode))
        return QStringLiteral("ソケット");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("デバイス");
    return QStringLiteral("特殊なファイル");
}

std::optional<services::FileError> refusal(const QString &path, const struct stat &status)
{
    if (!S_ISREG(status.st_mode))
        return errorOf(
            path, QStringLiteral("メモのファイルではありません（%1）").arg(kindOf(status.st_mode)));
    return std::nullopt;
}

services::FileError tooLarge(const QString &path)
{
    return errorOf(path,
        QStringLiteral("メモのファイルとしては大きすぎます（上限 %1 バイト）")
            .arg(MaxMemoFileSize));
}

bool writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

QString randomSuffix()
{
    static constexpr char Alphabet[]
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < TemporarySuffixLength; ++i)
        suffix
            += QLatin1Char(Alphabet[QRandomGenerator::global()->bounded(int(sizeof Alphabet) - 1)]);
    return suffix;
}

// Created with mode 0666 so the umask applies as to any new file.
int createTemporary(const QString &target, QString *name)
{
    for (;;) {
        *name = target + TemporaryInfix + randomSuffix();
        const int fd = ::open(QFile::encodeName(*name).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}

// The rename is only lasting once the folder that holds it is on disk.
int syncFolder(const QString &target)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return errno;
    // Some file systems cannot sync a folder: nothing more can be done there.
    const int result = ::fsync(dir) == 0 || errno == EINVAL ? 0 : errno;
    ::close(dir);
    return result;
}
} // namespace

services::ReadResult readMemoFile(const QString &path)
{
    using services::ReadStatus;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return {ReadStatus::Missing, {}, std::nullopt};
        return {ReadStatus::Failed, {}, errnoError(path, errno)};
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return {ReadStatus::Failed, {}, errnoError(path, errno)};
    if (auto refused = refusal(path, status))
        return {ReadStatus::Failed, {}, refused};
    if (status.st_size > MaxMemoFileSize)
        return {ReadStatus::Failed, {}, tooLarge(path)};

    // The file may grow while it is read: read one byte past the limit at most.
    QByteArray bytes(qMin<qint64>(status.st_size, MaxMemoFileSize) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {ReadStatus::Failed, {}, errnoError(path, errno)};
        if (got == 0)
            break;
        filled += got;
        if (filled == bytes.size()) {
            if (filled > MaxMemoFileSize)
                break;
            bytes.resize(MaxMemoFileSize + 1);
        }
    }
    if (filled > MaxMemoFileSize)
        return {ReadStatus::Failed, {}, tooLarge(path)};
    bytes.truncate(filled);
    return {ReadStatus::Read, std::move(bytes), std::nullopt};
}

QString saveTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    // A dangling link: the save creates the file it points to.
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

namespace
{
// Whether the file a save would replace exists, and why it must not be replaced.
std::optional<services::FileError> oldFile(
    const QString &path, const QByteArray &nativeTarget, struct stat *old, bool *exists)
{
    *exists = ::stat(nativeTarget.constData(), old) == 0;
    if (!*exists && errno != ENOENT)
        return errnoError(path, errno);
    if (!*exists)
        return std::nullopt;
    if (auto refused = refusal(path, *old))
        return refused;
    // Root may write anything; the permission bits still say "keep it".
    if ((old->st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return errorOf(path, QStringLiteral("読み取り専用です（書き込みの許可がありません）"));
    return std::nullopt;
}
} // namespace

std::optional<services::FileError> replaceRefusal(const QString &path)
{
    struct stat old = {};
    bool exists = false;
    return oldFile(path, QFile::encodeName(saveTarget(path)), &old, &exists);
}

std::optional<services::FileError> replaceFile(const QString &path, QByteArrayView bytes)
{
    const QString target = saveTarget(path);
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat old = {};
    bool exists = false;
    if (auto refused = oldFile(path, nativeTarget, &old, &exists))
        return refused;

    QString temporary;
    int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return errnoError(path, errno);
    auto discard = qScopeGuard([&] {
        if (fd >= 0)
            ::close(fd);
        ::unlink(QFile::encodeName(temporary).constData());
    });
    if (!writeAll(fd, bytes))
        return errnoError(path, errno);
    if (exists) {
        // Another user's file stays theirs where the system lets us; its
        // group at least, when we belong to it.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly = ::fchown(fd, uid_t(-1), old.st_gid);
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return errnoError(path, errno);
    }
    if (::fsync(fd) != 0)
        return errnoError(path, errno);
    const int closing = ::close(fd);
    fd = -1;
    if (closing != 0)
        return errnoError(path, errno);
    if (::rename(QFile::encodeName(temporary).constData(), nativeTarget.constData()) != 0)
        return errnoError(path, errno);
    discard.dismiss();
    if (const int error = syncFolder(target))
        return errnoError(path, error);
    return std::nullopt;
}

void removeStrayTemporaries(const QString &path)
{
    const QFileInfo target(saveTarget(path));
    // Compared as it is: a name filter would read "[", "*" and "?" in the
    // memo's name as wildcards and take another memo's save in progress.
    const QString prefix = target.fileName() + TemporaryInfix;
    const QDir folder = target.absoluteDir();
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (name.size() == prefix.size() + TemporarySuffixLength && name.startsWith(prefix))
            QFile::remove(folder.filePath(name));
    }
}

} // namespace memofile
