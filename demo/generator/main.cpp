// dictgen: writes a dictionary folder from the vocabulary, a seed and sizes.
//   dictgen --out DIR [--config sample.ini] [--vocabulary FILE] [--seed N]
//           [--accounts N] [--years N] [--tables N] [--fields-min N] [--fields-max N]
//           [--no-physical]
#include "dictionary_generator.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption out("out", "Folder to write.", "dir");
    const QCommandLineOption config("config", "Sizes from an ini file ([sample] section).", "file");
    const QCommandLineOption vocabulary("vocabulary", "Vocabulary text.", "file");
    const QCommandLineOption seed("seed", "Random seed.", "n");
    const QCommandLineOption accounts("accounts", "Accounts.", "n");
    const QCommandLineOption years("years", "Years of the first account.", "n");
    const QCommandLineOption tables("tables", "Tables per account-year database.", "n");
    const QCommandLineOption fieldsMin("fields-min", "Fewest fields per table.", "n");
    const QCommandLineOption fieldsMax("fields-max", "Most fields per table.", "n");
    const QCommandLineOption modules("modules", "Modules.", "n");
    const QCommandLineOption noPhysical("no-physical", "Dictionary tables only, no database tables.");
    p.addOptions({out, config, vocabulary, seed, accounts, years, tables, fieldsMin, fieldsMax, modules, noPhysical});
    p.process(app);
    if (!p.isSet(out)) {
        std::fputs("dictgen: --out is required\n", stderr);
        return 2;
    }

    dictgen::Options o;
    if (p.isSet(config)) {
        QSettings ini(p.value(config), QSettings::IniFormat);
        ini.beginGroup("sample");
        o.seed = ini.value("seed", o.seed).toUInt();
        o.accounts = ini.value("accounts", o.accounts).toInt();
        o.yearsPerAccount = ini.value("years", o.yearsPerAccount).toInt();
        o.firstYear = ini.value("firstYear", o.firstYear).toInt();
        o.tables = ini.value("tables", o.tables).toInt();
        o.fieldsMin = ini.value("fieldsMin", o.fieldsMin).toInt();
        o.fieldsMax = ini.value("fieldsMax", o.fieldsMax).toInt();
        o.modules = ini.value("modules", o.modules).toInt();
        o.erpSample = ini.value("erpSample", o.erpSample).toBool();
        o.physicalTables = ini.value("physicalTables", o.physicalTables).toBool();
        o.filledPercent = ini.value("filledPercent", o.filledPercent).toInt();
    }
    auto number = [&](const QCommandLineOption &opt, int &field) {
        if (p.isSet(opt))
            field = p.value(opt).toInt();
    };
    if (p.isSet(seed))
        o.seed = p.value(seed).toUInt();
    number(accounts, o.accounts);
    number(years, o.yearsPerAccount);
    number(tables, o.tables);
    number(fieldsMin, o.fieldsMin);
    number(fieldsMax, o.fieldsMax);
    number(modules, o.modules);
    o.vocabularyFile = p.value(vocabulary);
    if (p.isSet(noPhysical))
        o.physicalTables = false;

    QString error;
    if (!dictgen::generate(o, p.value(out), &error)) {
        std::fprintf(stderr, "dictgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
