// Makes the table of pinyin initials that the search matches against: for
// every Han character with a Mandarin reading in the Unicode Character
// Database's Unihan_Readings.txt, the set of first letters of its readings.
//
//   pinyin_table_gen /usr/share/unicode/Unihan_Readings.txt.bz2 OUT.inc
//
// Readings come from kMandarin, kHanyuPinlu, kXHC1983 and kTGHZ2013 (modern
// usage: 行 gives x and h); a character none of those names falls back to
// kHanyuPinyin. The output is C++ text: a palette of letter masks (bit 0 = a)
// and, for runs of code points, one palette index per code point.
#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>
#include <map>
#include <vector>

namespace {

QByteArray readAll(const QString &path)
{
    if (path.endsWith(QLatin1String(".bz2"))) {
        QProcess bzip2;
        bzip2.start(QStringLiteral("bzip2"), {QStringLiteral("-dc"), path});
        if (!bzip2.waitForFinished(120000) || bzip2.exitCode() != 0)
            return {};
        return bzip2.readAllStandardOutput();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The first letters of one field value: "0442.080:háng 0443.050:hàng",
// "xíng(2943) háng(218)", "20811.060:háng,xìng".
quint32 initialsOf(const QString &value)
{
    quint32 mask = 0;
    for (const QString &token : value.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QString readings = token.mid(token.lastIndexOf(QLatin1Char(':')) + 1);
        readings = readings.left(readings.indexOf(QLatin1Char('(')));
        for (const QString &syllable : readings.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString base = syllable.normalized(QString::NormalizationForm_D);
            const QChar c = base.isEmpty() ? QChar() : base.at(0).toLower();
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                mask |= 1u << (c.unicode() - 'a');
        }
    }
    return mask;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pinyin_table_gen Unihan_Readings.txt[.bz2] OUT.inc\n");
        return 2;
    }
    const QByteArray text = readAll(QString::fromLocal8Bit(argv[1]));
    if (text.isEmpty()) {
        std::fprintf(stderr, "pinyin_table_gen: cannot read %s (Debian package unicode-data)\n", argv[1]);
        return 1;
    }

    std::map<char32_t, quint32> modern, fallback;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.startsWith("U+"))
            continue;
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() < 3)
            continue;
        const char32_t cp = char32_t(parts[0].mid(2).toUInt(nullptr, 16));
        const QByteArray &field = parts[1];
        const quint32 mask = initialsOf(QString::fromUtf8(parts[2]));
        if (field == "kMandarin" || field == "kHanyuPinlu" || field == "kXHC1983" || field == "kTGHZ2013")
            modern[cp] |= mask;
        else if (field == "kHanyuPinyin")
            fallback[cp] |= mask;
    }
    std::map<char32_t, quint32> masks = fallback;
    for (const auto &[cp, mask] : modern)
        masks[cp] = mask;

    // Runs of code points no more than kGap apart share one block.
    constexpr char32_t kGap = 64;
    std::vector<quint32> palette{0};
    std::map<quint32, int> paletteIndex{{0, 0}};
    struct Block { char32_t first; std::vector<int> indexes; };
    std::vector<Block> blocks;
    for (const auto &[cp, mask] : masks) {
        if (!mask)
            continue;
        auto found = paletteIndex.find(mask);
        if (found == paletteIndex.end()) {
            found = paletteIndex.emplace(mask, int(palette.size())).first;
            palette.push_back(mask);
        }
        if (blocks.empty() || cp >= blocks.back().first + blocks.back().indexes.size() + kGap)
            blocks.push_back({cp, {}});
        Block &b = blocks.back();
        b.indexes.resize(cp - b.first + 1, 0);
        b.indexes.back() = found->second;
    }

    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "pinyin_table_gen: cannot write %s\n", argv[2]);
        return 1;
    }
    QTextStream s(&out);
    s << "// Made by pinyin_table_gen from Unihan_Readings.txt; do not edit.\n";
    s << "static const quint32 kInitialMasks[] = {";
    for (size_t i = 0; i < palette.size(); ++i)
        s << (i % 12 ? " " : "\n    ") << "0x" << Qt::hex << palette[i] << Qt::dec << ",";
    s << "\n};\n";
    s << "static const quint16 kInitialIndexes[] = {";
    size_t n = 0;
    for (const Block &b : blocks)
        for (int index : b.indexes)
            s << (n++ % 24 ? " " : "\n    ") << index << ",";
    s << "\n};\n";
    s << "struct InitialBlock { char32_t first; quint32 count; quint32 offset; };\n";
    s << "static const InitialBlock kInitialBlocks[] = {\n";
    quint32 offset = 0;
    for (const Block &b : blocks) {
        s << "    {0x" << Qt::hex << quint32(b.first) << Qt::dec << ", " << b.indexes.size() << ", "
          << offset << "},\n";
        offset += quint32(b.indexes.size());
    }
    s << "};\n";
    std::fprintf(stderr, "pinyin_table_gen: %zu characters, %zu masks, %zu blocks\n", masks.size(),
                 palette.size(), blocks.size());
    return 0;
}
