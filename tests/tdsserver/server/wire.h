#pragma once
// Little-endian byte writing and reading as the protocol lays it out. The
// reader never throws: reading past the end yields zeros and clears ok().
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tds {

class WireWriter {
public:
    void u8(quint8 v) { buf_.append(char(v)); }
    void u16(quint16 v);
    void u16be(quint16 v);
    void u32(quint32 v);
    void u32be(quint32 v);
    void u64(quint64 v);
    void f64(double v);
    void bytes(const QByteArray &b) { buf_.append(b); }
    // UTF-16LE without any length.
    void utf16(const QString &s);
    // One-byte character count, then UTF-16LE (cut at 255 characters).
    void bVarchar(const QString &s);
    // Two-byte character count, then UTF-16LE.
    void usVarchar(const QString &s);
    // One-byte byte count, then the bytes.
    void bVarbyte(const QByteArray &b);

    int size() const { return int(buf_.size()); }
    void patchU16(int at, quint16 v);
    const QByteArray &data() const { return buf_; }
    QByteArray take() { return std::move(buf_); }

private:
    QByteArray buf_;
};

class WireReader {
public:
    explicit WireReader(const QByteArray &data, int start = 0) : d_(data), pos_(start) {}

    quint8 u8();
    quint16 u16();
    quint16 u16be();
    quint32 u32();
    quint32 u32be();
    quint64 u64();
    double f64();
    float f32();
    QByteArray bytes(int n);
    QString utf16(int chars);
    QString bVarchar() { return utf16(u8()); }
    QString usVarchar() { return utf16(u16()); }
    void skip(int n) { bytes(n); }

    int pos() const { return pos_; }
    void seek(int pos);
    int remaining() const { return int(d_.size()) - pos_; }
    bool atEnd() const { return pos_ >= d_.size(); }
    bool ok() const { return ok_; }
    // Peek without moving; 0 past the end.
    quint8 peek() const { return pos_ < d_.size() ? quint8(d_.at(pos_)) : 0; }

private:
    bool need(int n);
    const QByteArray &d_;
    int pos_ = 0;
    bool ok_ = true;
};

QString decodeUtf16(const QByteArray &bytes);
QByteArray encodeUtf16(const QString &s);

}  // namespace tds
