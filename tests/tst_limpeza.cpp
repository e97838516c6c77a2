#include <QtTest>
class TstLimpeza : public QObject {
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TstLimpeza)
#include "tst_limpeza.moc"
