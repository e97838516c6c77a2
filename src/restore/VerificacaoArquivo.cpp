#include "restore/VerificacaoArquivo.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "zip/MotorZip.h"

#include <QHash>

namespace marvek {

namespace {

bool extensaoSimples(const QString& ext) {
    if (ext.size() != 4 || ext.at(0) != QLatin1Char('.'))
        return false;
    for (int i = 1; i < 4; ++i)
        if (!ext.at(i).isLetterOrNumber() || ext.at(i).unicode() > 127)
            return false;
    return true;
}
} // namespace

bool ArquivoDeTabela(const QString& nome) {
    const QString n = nome.toUpper();
    return n.contains(QLatin1String("MYD")) || n.contains(QLatin1String("FRM")) ||
           n.contains(QLatin1String("MYI"));
}

QList<TTabelaArquivo> VerificarArquivoBackup(const QString& arquivoZip, bool testarCrc,
                                             QStringList* avulsos) {
    const QList<TEntradaZip> entradas = ListarEntradas(arquivoZip);
    struct Par {
        QString nome;
        QString arquivo;
        bool frm = false;
        bool myd = false;
        quint64 tamanho = 0;
        quint64 dados = 0;
    };
    QList<Par> pares;
    QHash<QString, qsizetype> indice;
    for (const TEntradaZip& e : entradas) {
        const QString base = e.nome.left(e.nome.size() - 4);
        const QString ext = e.nome.right(4);
        // Table files carry the server's file names: the table's name encoded (pre@0no.frm).
        const std::optional<QString> tabela = TabelaDoArquivo(base);
        if (e.nome.size() <= 4 || !tabela || !extensaoSimples(ext))
            throw EErro(QStringLiteral("O arquivo %1 contém a entrada \"%2\", que não é o "
                                       "arquivo de uma tabela")
                            .arg(arquivoZip, e.nome));
        if (!ArquivoDeTabela(e.nome)) {
            if (avulsos) // a stray file: extracted, never loaded
                avulsos->append(e.nome);
            continue;
        }
        const QString chave = base.toUpper();
        if (!indice.contains(chave)) {
            indice.insert(chave, pares.size());
            pares.append({*tabela, base});
        }
        Par& p = pares[indice.value(chave)];
        const QString x = ext.toUpper();
        if (x == QLatin1String(".FRM"))
            p.frm = true;
        else if (x == QLatin1String(".MYD"))
            p.myd = true;
        else if (x != QLatin1String(".MYI"))
            throw EErro(QStringLiteral("O arquivo %1 contém a entrada \"%2\", que não é o "
                                       "arquivo de uma tabela")
                            .arg(arquivoZip, e.nome));
        p.tamanho += e.tamanho;
        if (x == QLatin1String(".MYD"))
            p.dados += e.tamanho;
    }
    QList<TTabelaArquivo> tabelas;
    bool filial = false;
    for (const Par& p : pares) {
        if (!p.frm || !p.myd)
            throw EErro(QStringLiteral("O arquivo %1 não contém os dois arquivos da tabela %2 "
                                       "(%3.frm e %3.MYD)")
                            .arg(arquivoZip, NomeNoComando(p.nome), p.arquivo));
        if (p.nome.toUpper() == QLatin1String("FILIAL"))
            filial = true;
        tabelas.append({p.nome, p.arquivo, p.tamanho, p.dados});
    }
    if (!filial)
        throw EErro(QStringLiteral("O arquivo %1 não contém a tabela filial").arg(arquivoZip));
    if (testarCrc)
        TestarZip(arquivoZip);
    return tabelas;
}

} // namespace marvek
