#pragma once
// A dictionary folder in a temporary directory, for tests: generated or
// hand-made catalogs, and a fingerprint of every file to prove that nothing
// was written.
#include "dictionary_generator.h"
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace ddtest {

class DictionaryFolder {
public:
    DictionaryFolder();
    const QString &path() const { return path_; }

    void generate(const dictgen::Options &options);
    void accounts(const QVector<dictgen::AccountRow> &accounts);
    void catalog(const QString &name, const QVector<dictgen::TableRow> &tables);
    void emptyCatalog(const QString &name);
    // Runs one statement on a written catalog, for values the generator
    // cannot write as they are.
    void execute(const QString &catalog, const QString &statement);

    // SHA-1 of every file, by name.
    QMap<QString, QByteArray> fingerprint() const;

private:
    QTemporaryDir dir_;
    QString path_;
};

// A table row with n generated fields named F1..Fn.
dictgen::TableRow table(const QString &systemid, const QString &module, const QString &name,
                        const QString &description, int fields);

}  // namespace ddtest
