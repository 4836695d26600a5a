#include <QTest>
class RelationsRules : public QObject { Q_OBJECT };
QTEST_APPLESS_MAIN(RelationsRules)
#include "tst_relations_rules.moc"
