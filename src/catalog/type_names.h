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

// A declared type as the server reports the column it makes of it: the
// canonical form, except that numeric stays numeric. Null like canonicalType.
QString declaredTypeText(const QString &declared);

}  // namespace dd::catalog

namespace dd::catalog {

// A column's type as SQL Server writes it, from what its catalog says: the
// base type's name, the length in bytes (-1 for max), precision and scale.
// nvarchar(20) for an nvarchar of 40 bytes.
QString typeText(const QString &baseType, int lengthBytes, int precision, int scale);

}  // namespace dd::catalog
