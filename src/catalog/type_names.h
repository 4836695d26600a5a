#pragma once
// SQL Server's column type names, written one way: lower case, no blanks,
// synonyms replaced by the name the server itself reports, and the lengths
// and precisions a bare name implies written out (varchar = varchar(1),
// decimal = decimal(18,0)). Both the documented and the physical types are
// compared in this form.
#include <QString>

namespace dd::catalog {

// The canonical form, or a null QString when the text is no SQL Server type
// (free text such as 字符型, or empty).
QString canonicalType(const QString &type);

}  // namespace dd::catalog
