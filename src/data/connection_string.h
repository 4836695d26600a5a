#pragma once
#include <QString>

namespace dd {

// A connection string as the user-facing text, together with the catalog and
// server it was built from. The connection hands the parts to the driver as
// separate values, so a server name or password holding ; = { } cannot add
// or change attributes.
class ConnectionString {
public:
    ConnectionString() = default;
    ConnectionString(QString text, QString catalog, QString dataSource)
        : text_(std::move(text)), catalog_(std::move(catalog)), dataSource_(std::move(dataSource)) {}

    // Parses "Key=Value;..." text (Initial Catalog, Data Source). Values are
    // taken as they stand; use the builders where the parts are known.
    static ConnectionString fromText(const QString &text);

    const QString &text() const { return text_; }
    const QString &catalog() const { return catalog_; }
    const QString &dataSource() const { return dataSource_; }
    bool isEmpty() const { return text_.isEmpty(); }

    bool operator==(const QString &other) const { return text_ == other; }

private:
    QString text_, catalog_, dataSource_;
};

}  // namespace dd
