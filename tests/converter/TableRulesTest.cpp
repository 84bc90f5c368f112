// Placeholder: the finder's tests come with the finder.
#include <QTest>

class TableRulesTest : public QObject {
    Q_OBJECT
};

QTEST_APPLESS_MAIN(TableRulesTest)
#include "TableRulesTest.moc"
