#pragma once
// Where an export's bytes go. A file target is written through QSaveFile:
// the bytes go to a temporary file beside it, which replaces the target
// only once everything is written, so a cancelled or failed export leaves
// no partial file and an existing target untouched.
#include "data/error.h"
#include <QByteArray>
#include <QString>

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

// Opens a QSaveFile on `target`; throws Error with the reason when it cannot.
void openTarget(QFileDevice &file, const QString &target);
// The user's text for a failed file operation on `path`: from errno, or
// from a file whose operation failed.
Error fileError(int error, const QString &path);
Error fileError(const QFileDevice &file, const QString &path);
// A stopped export.
Error exportCancelled();
bool isExportCancelled(const Error &e);

}  // namespace dd::exporting
