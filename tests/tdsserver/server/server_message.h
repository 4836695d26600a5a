#pragma once
// An ERROR or INFO as SQL Server sends it, and the ones this server raises,
// with SQL Server's own numbers, states, classes and texts.
#include <QString>

namespace tds {

struct ServerMessage {
    qint32 number = 0;
    quint8 state = 1;
    quint8 severity = 16;  // class: 10 and below are information
    QString text;
    QString procedure;
    quint32 line = 1;
    bool isError() const { return severity > 10; }
};

namespace messages {
ServerMessage loginFailed(const QString &user);                   // 18456
ServerMessage untrustedDomain();                                   // 18452
ServerMessage cannotOpenDatabase(const QString &catalog);         // 4060
ServerMessage databaseDoesNotExist(const QString &catalog);       // 911
ServerMessage changedDatabase(const QString &catalog);            // 5701 (information)
ServerMessage changedLanguage(const QString &language);           // 5703 (information)
ServerMessage invalidObject(const QString &name);                 // 208
ServerMessage invalidColumn(const QString &name);                 // 207
ServerMessage ambiguousColumn(const QString &name);               // 209
ServerMessage incorrectSyntax(const QString &near);               // 102
ServerMessage unclosedQuotation(const QString &rest);             // 105
ServerMessage unknownFunction(const QString &name);               // 195
ServerMessage mustDeclareVariable(const QString &name);           // 137
ServerMessage readOnlyDatabase(const QString &catalog);           // 3906
ServerMessage unknownProcedure(const QString &name);              // 2812
ServerMessage noCursor();                                         // 16954 (information)
ServerMessage invalidCursor();                                    // 16916
ServerMessage invalidPreparedHandle(qint32 handle);               // 8179
ServerMessage commitWithoutBegin();                               // 3902
ServerMessage rollbackWithoutBegin();                             // 3903
ServerMessage protocolError(const QString &what);                 // 4002
ServerMessage cannotRun(const QString &why);                      // 50000
}  // namespace messages

}  // namespace tds
