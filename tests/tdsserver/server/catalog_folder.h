#pragma once
// The served folder: catalog X is the file X.db in it. Names compare without
// regard to case, as catalog names do on the server being imitated.
#include <QString>

namespace tds {

class CatalogFolder {
public:
    explicit CatalogFolder(QString path) : path_(std::move(path)) {}
    const QString &path() const { return path_; }

    // The catalog's name as its file spells it; empty when there is none
    // (or the name is no plain file name).
    QString resolve(const QString &name) const;
    QString filePath(const QString &resolvedName) const;

private:
    QString path_;
};

}  // namespace tds
