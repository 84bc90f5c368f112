// Placeholder: the finder's tests come with the finder.
#include <QTest>

class AlignedTablesTest : public QObject {
    Q_OBJECT
};

QTEST_APPLESS_MAIN(AlignedTablesTest)
#include "AlignedTablesTest.moc"
