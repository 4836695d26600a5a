#include "output_file.h"
#include "data/error.h"
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

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

void openTarget(QFileDevice &file, const QString &target)
{
    const QFileInfo info(target);
    const QString path = info.absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(path);
    if (info.isDir())
        throw Error(75, QStringLiteral("【%1】是一个文件夹。").arg(shown));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw noPath(shown);
    if (file.open(QIODevice::WriteOnly))
        return;
    if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        throw noPermission(shown);
    throw fileError(file, path);
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
