#pragma once
// Where an export's bytes go. A regular file is written through QSaveFile:
// the bytes go to a temporary file beside it, which replaces the target
// only once everything is written, so a cancelled or failed export leaves
// no partial file and an existing target untouched. Anything else (a FIFO,
// a device, standard output) is written directly: replacing it would
// replace the device node or the pipe, not write to it.
#include "data/error.h"
#include <QByteArray>
#include <QString>
#include <memory>

class QFileDevice;

namespace dd::exporting {

// A buffered writer on an open file (a QSaveFile, or standard output);
// write errors become Error.
class OutputFile {
public:
    OutputFile(QFileDevice &file, QString shownName);
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    void write(const QByteArray &bytes);
    void write(const QString &text) { write(text.toUtf8()); }
    void write(const char *ascii) { write(QByteArray(ascii)); }
    // Writes what is buffered.
    void finish();

private:
    void flush();
    QFileDevice &file_;
    QString name_;
    QByteArray buffer_;
};

// An export's destination, open for writing: "-" is standard output; a
// FIFO, a device, or a path under /dev or /proc (/dev/stdout, /dev/fd/3) is
// opened and written as it is; a regular file is written through a save
// file, or directly when it exists in a folder where no file can be made.
class ExportTarget {
public:
    // Throws Error with the reason when it cannot be opened.
    explicit ExportTarget(const QString &output);
    ~ExportTarget();
    ExportTarget(const ExportTarget &) = delete;
    ExportTarget &operator=(const ExportTarget &) = delete;

    QFileDevice &device() { return *file_; }
    const QString &shownName() const { return shown_; }
    // Makes the written bytes the target's; throws Error when that fails.
    void commit();

private:
    std::unique_ptr<QFileDevice> file_;
    bool saveFile_ = false;
    QString shown_;
};

// Whether a path is written in place rather than through a save file.
bool isWrittenDirectly(const QString &path);
// The user's text for a failed file operation on `path`: from errno, or
// from a file whose operation failed.
Error fileError(int error, const QString &path);
Error fileError(const QFileDevice &file, const QString &path);
// A stopped export.
Error exportCancelled();
bool isExportCancelled(const Error &e);

}  // namespace dd::exporting
