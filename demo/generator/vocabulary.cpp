#include "vocabulary.h"
#include <QFile>
#include <QStringList>

// The built-in vocabulary lives in a static library's resources, which the
// linker keeps only when asked for by name.
static void initVocabularyResource() { Q_INIT_RESOURCE(dictgen); }

namespace dictgen {

bool readVocabulary(const QString &path, Vocabulary *out, QString *error)
{
    initVocabularyResource();
    QFile file(path.isEmpty() ? QStringLiteral(":/dictgen/vocabulary.txt") : path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("cannot read vocabulary %1").arg(file.fileName());
        return false;
    }
    QString section;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const QStringList p = line.split(QLatin1Char('|'));
        if (section == QLatin1String("modules") && p.size() == 3)
            out->modules.append({p[0], p[1], p[2]});
        else if (section == QLatin1String("accounts") && p.size() == 2)
            out->accounts.append({p[0], p[1]});
        else if (section == QLatin1String("tables") && p.size() == 3)
            out->stems.append({p[0], p[1], p[2]});
        else if (section == QLatin1String("fields") && p.size() == 3)
            out->fields.append({p[0], p[1], p[2]});
        else {
            if (error)
                *error = QStringLiteral("bad vocabulary line in [%1]: %2").arg(section, line);
            return false;
        }
    }
    if (out->modules.isEmpty() || out->accounts.isEmpty() || out->fields.isEmpty()) {
        if (error)
            *error = QStringLiteral("vocabulary lacks modules, accounts or fields");
        return false;
    }
    return true;
}

}  // namespace dictgen
