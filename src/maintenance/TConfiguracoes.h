#pragma once

#include <QString>

namespace marvek {

// The maintenance options: three clean-up switches of the restore's purge and the two list
// files they read. A new object has every switch off and both paths empty.
class TConfiguracoes {
public:
    bool ExecutarTruncates() const { return m_executarTruncates; }
    bool ZerarNumlanc() const { return m_zerarNumlanc; }
    bool ExecutarDeletes() const { return m_executarDeletes; }
    QString ArquivoTruncates() const { return m_arquivoTruncates; }
    QString ArquivoDeletes() const { return m_arquivoDeletes; }

    void SetExecutarTruncates(bool v) { m_executarTruncates = v; }
    void SetZerarNumlanc(bool v) { m_zerarNumlanc = v; }
    void SetExecutarDeletes(bool v) { m_executarDeletes = v; }
    void SetArquivoTruncates(const QString& v) { m_arquivoTruncates = v; }
    void SetArquivoDeletes(const QString& v) { m_arquivoDeletes = v; }

private:
    bool m_executarTruncates = false;
    bool m_zerarNumlanc = false;
    bool m_executarDeletes = false;
    QString m_arquivoTruncates;
    QString m_arquivoDeletes;
};

} // namespace marvek
