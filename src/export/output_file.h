#pragma once
// Where an export's bytes go. An export never writes into its target: it
// writes a temporary file beside it and renames that over the target only
// when everything is written, so a cancelled or failed export leaves no
// partial file and an existing target untouched.
#include "data/error.h"
#include <QByteArray>
#include <QString>


namespace dd::exporting {

// A temporary file beside `target`, removed again unless committed.
class AtomicTarget {
public:
    explicit AtomicTarget(const QString &target);   // throws Error
    ~AtomicTarget();
    AtomicTarget(const AtomicTarget &) = delete;
    AtomicTarget &operator=(const AtomicTarget &) = delete;

    const QString &tempPath() const { return temp_; }
    // The open temporary file (taken over by an OutputFile, or closed).
    int takeDescriptor();
    // Renames the temporary file over the target.
    void commit();

private:
    QString target_, temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// A buffered writer on a file descriptor; write errors become Error.
class OutputFile {
public:
    OutputFile(int fd, QString shownName, bool owned);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    void write(const QByteArray &bytes);
    void write(const QString &text) { write(text.toUtf8()); }
    void write(const char *ascii) { write(QByteArray(ascii)); }
    // Writes what is buffered and, for an owned file, syncs and closes it.
    void finish();

private:
    void flush();
    int fd_;
    QString name_;
    bool owned_;
    QByteArray buffer_;
};

// The user's text for a failed file operation (errno) on `path`.
Error fileError(int error, const QString &path);
// A stopped export.
Error exportCancelled();
bool isExportCancelled(const Error &e);

}  // namespace dd::exporting
