#pragma once
#include <QString>
#include <QVector>

namespace dictgen {

struct Vocabulary {
    struct Module { QString systemid, name, prefix; };
    struct Account { QString id, name; };
    struct Stem { QString prefix, stem, description; };
    struct Field { QString name, meaning, type; };
    QVector<Module> modules;
    QVector<Account> accounts;
    QVector<Stem> stems;
    QVector<Field> fields;
};

// Reads a vocabulary text; an empty path reads the one built into the generator.
bool readVocabulary(const QString &path, Vocabulary *out, QString *error);

}  // namespace dictgen
