#include <QtTest>
class TstRestauracao : public QObject {
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TstRestauracao)
#include "tst_restauracao.moc"
