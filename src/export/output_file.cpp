#include "output_file.h"
#include "data/error.h"
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dd::exporting {

namespace {
constexpr long kCancelled = 18;   // the runtime's "user interrupt"
constexpr int kBufferSize = 1 << 16;

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
}  // namespace

Error fileError(int error, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return Error(61, QStringLiteral("磁盘已满，无法写入【%1】。").arg(shown));
    case EACCES:
    case EPERM:
    case EROFS:
        return Error(70, QStringLiteral("没有权限写入【%1】。").arg(shown));
    case ENOENT:
    case ENOTDIR:
        return Error(76, QStringLiteral("找不到路径【%1】。").arg(shown));
    default:
        return Error(75, QStringLiteral("无法写入【%1】：%2")
                             .arg(shown, QString::fromLocal8Bit(std::strerror(error))));
    }
}

Error exportCancelled()
{
    return Error(kCancelled, QStringLiteral("导出已取消。"));
}

bool isExportCancelled(const Error &e)
{
    return e.Number() == kCancelled;
}

AtomicTarget::AtomicTarget(const QString &target) : target_(QFileInfo(target).absoluteFilePath())
{
    const QFileInfo info(target_);
    if (info.isDir())
        throw Error(75, QStringLiteral("【%1】是一个文件夹。").arg(QDir::toNativeSeparators(target_)));
    QByteArray pattern = QFile::encodeName(info.absolutePath() + QStringLiteral("/.")
                                           + info.fileName() + QStringLiteral(".XXXXXX"));
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        throw fileError(errno, target_);
    temp_ = QFile::decodeName(pattern);
    // mkstemp makes the file private; the finished file gets the usual mode.
    ::fchmod(fd_, 0666 & ~currentUmask());
}

AtomicTarget::~AtomicTarget()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(QFile::encodeName(temp_).constData());
}

int AtomicTarget::takeDescriptor()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void AtomicTarget::commit()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw fileError(errno, target_);
    committed_ = true;
}

OutputFile::OutputFile(int fd, QString shownName, bool owned)
    : fd_(fd), name_(std::move(shownName)), owned_(owned)
{
    buffer_.reserve(kBufferSize);
}

OutputFile::~OutputFile()
{
    if (owned_ && fd_ >= 0)
        ::close(fd_);
}

void OutputFile::write(const QByteArray &bytes)
{
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize)
        flush();
}

void OutputFile::flush()
{
    const char *p = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, name_);
        }
        p += n;
        left -= n;
    }
    buffer_.clear();
}

void OutputFile::finish()
{
    flush();
    if (!owned_)
        return;
    if (::fsync(fd_) != 0 && errno != EINVAL)
        throw fileError(errno, name_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw fileError(errno, name_);
}

}  // namespace dd::exporting
