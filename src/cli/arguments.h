#pragma once
// The one parser of the command line's options: `--name VALUE`,
// `--name=VALUE`, switches without a value, and `--help` / `-h` in any
// command. Each option may be given once.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace dd::cli {

struct Option {
    QString name;        // without the leading "--"
    QString valueName;   // shown in the usage ("SERVER"); empty for a switch
    QString help;        // one line of the usage text
    bool required = false;
};

// A wrong command line, worded for the user.
struct UsageError {
    QString text;
};

class Arguments {
public:
    // Throws UsageError: an argument that is not an option, an unknown
    // option, one given twice, a value missing, a required option missing.
    // `--help` anywhere asks for the usage instead (nothing else checked).
    static Arguments parse(const QStringList &args, const QList<Option> &options);

    bool helpAsked() const { return help_; }
    bool has(const QString &name) const { return values_.contains(name); }
    // The value given, or an empty text.
    QString value(const QString &name) const { return values_.value(name); }

private:
    bool help_ = false;
    QMap<QString, QString> values_;
};

}  // namespace dd::cli
