#include "output_file.h"
#include "data/error.h"
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace dd::exporting {

namespace {
constexpr long kCancelled = 18;   // the runtime's "user interrupt"
constexpr int kBufferSize = 1 << 16;

Error diskFull(const QString &shown)
{
    return Error(61, QStringLiteral("磁盘已满，无法写入【%1】。").arg(shown));
}
Error noPermission(const QString &shown)
{
    return Error(70, QStringLiteral("没有权限写入【%1】。").arg(shown));
}
Error noPath(const QString &shown)
{
    return Error(76, QStringLiteral("找不到路径【%1】。").arg(shown));
}
Error cannotWrite(const QString &shown, const QString &reason)
{
    return Error(75, QStringLiteral("无法写入【%1】：%2").arg(shown, reason));
}
}  // namespace

Error fileError(int error, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return diskFull(shown);
    case EACCES:
    case EPERM:
    case EROFS:
        return noPermission(shown);
    case ENOENT:
    case ENOTDIR:
        return noPath(shown);
    default:
        return cannotWrite(shown, QString::fromLocal8Bit(std::strerror(error)));
    }
}

Error fileError(const QFileDevice &file, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return diskFull(shown);
    case QFileDevice::PermissionsError:
        return noPermission(shown);
    default:
        return cannotWrite(shown, file.errorString());
    }
}

bool isWrittenDirectly(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return true;   // a FIFO, a device, a socket
#ifdef Q_OS_UNIX
    // /dev/stdout leads through /proc to whatever standard output is, even
    // a regular file that the shell has open.
    const QString absolute = info.absoluteFilePath();
    return absolute.startsWith(QLatin1String("/dev/")) || absolute.startsWith(QLatin1String("/proc/"));
#else
    return false;
#endif
}

namespace {

void openSaveFile(QSaveFile &file, const QString &target)
{
    const QFileInfo info(target);
    const QString path = info.absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(path);
    if (info.isDir())
        throw Error(75, QStringLiteral("【%1】是一个文件夹。").arg(shown));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw noPath(shown);
    // A file that exists in a folder where no new file can be made is
    // written in place.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly))
        return;
    if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        throw noPermission(shown);
    throw fileError(file, path);
}

}  // namespace

ExportTarget::ExportTarget(const QString &output)
{
    if (output == QLatin1String("-")) {
        shown_ = QStringLiteral("标准输出");
        auto file = std::make_unique<QFile>();
#ifdef Q_OS_WIN
        _setmode(_fileno(stdout), _O_BINARY);   // bytes as written, no \n to \r\n
#endif
        if (!file->open(stdout, QIODevice::WriteOnly))
            throw fileError(*file, shown_);
        file_ = std::move(file);
        return;
    }
    shown_ = output;
    if (isWrittenDirectly(output)) {
        // Appending truncates nothing (standard output may be a file the
        // shell opened to append to) and, unlike QFile's Append, does not
        // need a file that can seek.
        const QString path = QFileInfo(output).absoluteFilePath();
        errno = 0;
        std::FILE *handle = std::fopen(QFile::encodeName(path).constData(), "ab");
        if (!handle)
            throw fileError(errno ? errno : EIO, path);
        auto file = std::make_unique<QFile>();
        if (!file->open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            std::fclose(handle);
            throw fileError(*file, path);
        }
        file_ = std::move(file);
        return;
    }
    auto file = std::make_unique<QSaveFile>(output);
    openSaveFile(*file, output);
    file_ = std::move(file);
    saveFile_ = true;
}

ExportTarget::~ExportTarget() = default;

void ExportTarget::commit()
{
    if (saveFile_) {
        if (!static_cast<QSaveFile &>(*file_).commit())
            throw fileError(*file_, shown_);
        return;
    }
    if (!file_->flush())
        throw fileError(*file_, shown_);
    file_->close();
}

Error exportCancelled()
{
    return Error(kCancelled, QStringLiteral("导出已取消。"));
}

bool isExportCancelled(const Error &e)
{
    return e.Number() == kCancelled;
}

OutputFile::OutputFile(QFileDevice &file, QString shownName)
    : file_(file), name_(std::move(shownName))
{
    buffer_.reserve(kBufferSize);
}

void OutputFile::write(const QByteArray &bytes)
{
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize)
        flush();
}

void OutputFile::flush()
{
    if (!buffer_.isEmpty() && file_.write(buffer_) != buffer_.size())
        throw fileError(file_, name_);
    buffer_.clear();
}

void OutputFile::finish()
{
    flush();
    if (!file_.flush())
        throw fileError(file_, name_);
}

}  // namespace dd::exporting
