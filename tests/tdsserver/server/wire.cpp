#include "wire.h"
#include <cstring>

namespace tds {

void WireWriter::u16(quint16 v)
{
    u8(quint8(v));
    u8(quint8(v >> 8));
}

void WireWriter::u16be(quint16 v)
{
    u8(quint8(v >> 8));
    u8(quint8(v));
}

void WireWriter::u32(quint32 v)
{
    u16(quint16(v));
    u16(quint16(v >> 16));
}

void WireWriter::u32be(quint32 v)
{
    u16be(quint16(v >> 16));
    u16be(quint16(v));
}

void WireWriter::u64(quint64 v)
{
    u32(quint32(v));
    u32(quint32(v >> 32));
}

void WireWriter::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    u64(bits);
}

void WireWriter::utf16(const QString &s)
{
    for (QChar c : s)
        u16(c.unicode());
}

void WireWriter::bVarchar(const QString &s)
{
    const QString cut = s.left(255);
    u8(quint8(cut.size()));
    utf16(cut);
}

void WireWriter::usVarchar(const QString &s)
{
    const QString cut = s.left(65535);
    u16(quint16(cut.size()));
    utf16(cut);
}

void WireWriter::bVarbyte(const QByteArray &b)
{
    u8(quint8(qMin<qsizetype>(b.size(), 255)));
    buf_.append(b.left(255));
}

void WireWriter::patchU16(int at, quint16 v)
{
    buf_[at] = char(v & 0xff);
    buf_[at + 1] = char(v >> 8);
}

bool WireReader::need(int n)
{
    if (n < 0 || pos_ + n > d_.size()) {
        ok_ = false;
        pos_ = int(d_.size());
        return false;
    }
    return true;
}

quint8 WireReader::u8()
{
    if (!need(1))
        return 0;
    return quint8(d_.at(pos_++));
}

quint16 WireReader::u16()
{
    if (!need(2))
        return 0;
    const quint16 v = quint16(quint8(d_.at(pos_)) | (quint8(d_.at(pos_ + 1)) << 8));
    pos_ += 2;
    return v;
}

quint16 WireReader::u16be()
{
    const quint16 v = u16();
    return quint16((v >> 8) | (v << 8));
}

quint32 WireReader::u32()
{
    const quint32 lo = u16();
    const quint32 hi = u16();
    return lo | (hi << 16);
}

quint32 WireReader::u32be()
{
    const quint32 hi = u16be();
    const quint32 lo = u16be();
    return lo | (hi << 16);
}

quint64 WireReader::u64()
{
    const quint64 lo = u32();
    const quint64 hi = u32();
    return lo | (hi << 32);
}

double WireReader::f64()
{
    const quint64 bits = u64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

float WireReader::f32()
{
    const quint32 bits = u32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArray WireReader::bytes(int n)
{
    if (!need(n))
        return QByteArray();
    const QByteArray b = d_.mid(pos_, n);
    pos_ += n;
    return b;
}

QString WireReader::utf16(int chars)
{
    return decodeUtf16(bytes(chars * 2));
}

void WireReader::seek(int pos)
{
    if (pos < 0 || pos > d_.size()) {
        ok_ = false;
        pos_ = int(d_.size());
        return;
    }
    pos_ = pos;
}

QString decodeUtf16(const QByteArray &bytes)
{
    QString s;
    s.reserve(bytes.size() / 2);
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        s.append(QChar(quint16(quint8(bytes.at(i)) | (quint8(bytes.at(i + 1)) << 8))));
    return s;
}

QByteArray encodeUtf16(const QString &s)
{
    WireWriter w;
    w.utf16(s);
    return w.take();
}

}  // namespace tds
