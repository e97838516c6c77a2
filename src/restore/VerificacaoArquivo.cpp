#include "restore/VerificacaoArquivo.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "data/TDM.h"
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

// The files of one name, by their upper-cased endings.
struct TGrupo {
    QString nome;
    QString arquivo;
    QHash<QString, quint64> tamanhos;
    QStringList entradas;
};

// The archive's entries grouped by the name they share, in the archive's order; an entry that
// is not a table's file by its name is refused.
QList<TGrupo> agrupar(const QString& arquivoZip) {
    QList<TGrupo> grupos;
    QHash<QString, qsizetype> indice;
    for (const TEntradaZip& e : ListarEntradas(arquivoZip)) {
        const QString base = e.nome.left(e.nome.size() - 4);
        const QString ext = e.nome.right(4);
        // Table files carry the server's file names: the table's name encoded (pre@0no.frm).
        const std::optional<QString> tabela = TabelaDoArquivo(base);
        if (e.nome.size() <= 4 || !tabela || !extensaoSimples(ext))
            throw EErro(QStringLiteral("O arquivo %1 contém a entrada \"%2\", que não é o "
                                       "arquivo de uma tabela")
                            .arg(arquivoZip, e.nome));
        const QString chave = base.toUpper();
        if (!indice.contains(chave)) {
            indice.insert(chave, grupos.size());
            grupos.append({*tabela, base, {}, {}});
        }
        TGrupo& g = grupos[indice.value(chave)];
        g.tamanhos.insert(ext.toUpper(), e.tamanho);
        g.entradas << e.nome;
    }
    return grupos;
}

// A group's table, checked whole: its engine told by its files (each kind complete, and only
// one kind), its size and its data file's size.
TTabelaArquivo tabelaDoGrupo(const QString& arquivoZip, const TGrupo& g) {
    const auto tem = [&g](const char* ext) {
        return g.tamanhos.contains(QString::fromLatin1(ext));
    };
    const int kinds = (tem(".MYD") || tem(".MYI") ? 1 : 0) + (tem(".MAD") || tem(".MAI") ? 1 : 0) +
                      (tem(".IBD") || tem(".CFG") || tem(".SQL") ? 1 : 0);
    const TMotor motor = tem(".IBD") || tem(".CFG") || tem(".SQL") ? TMotor::InnoDB
                         : tem(".MAD") || tem(".MAI")              ? TMotor::Aria
                                                                   : TMotor::MyISAM;
    TTabelaArquivo t{g.nome, g.arquivo, 0, 0, motor};
    QStringList faltam;
    for (const QString& ext : ExtensoesNoArquivo(motor)) {
        const QString x = ext.toUpper();
        if (!g.tamanhos.contains(x))
            faltam << g.arquivo + ext;
        t.tamanho += g.tamanhos.value(x);
        if (x == QLatin1String(".MYD") || x == QLatin1String(".MAD") || x == QLatin1String(".IBD"))
            t.dados = g.tamanhos.value(x);
    }
    if (kinds > 1)
        throw EErro(QStringLiteral("O arquivo %1 traz a tabela %2 com arquivos de mais de um "
                                   "tipo de tabela")
                        .arg(arquivoZip, NomeNoComando(g.nome)));
    if (!faltam.isEmpty())
        throw EErro(QStringLiteral("O arquivo %1 não contém todos os arquivos da tabela %2 "
                                   "(%3): faltam %4")
                        .arg(arquivoZip, NomeNoComando(g.nome), NomeDoMotor(motor),
                             faltam.join(QStringLiteral(", "))));
    return t;
}

} // namespace

bool ArquivoDeTabela(const QString& nome) {
    const QString n = nome.toUpper();
    return n.contains(QLatin1String("MYD")) || n.contains(QLatin1String("FRM")) ||
           n.contains(QLatin1String("MYI"));
}

QList<TTabelaArquivo> VerificarArquivoBackup(const QString& arquivoZip, bool testarCrc,
                                             QStringList* avulsos) {
    const QList<TGrupo> grupos = agrupar(arquivoZip);
    static const QStringList conhecidas = {QStringLiteral(".FRM"), QStringLiteral(".MYD"),
                                           QStringLiteral(".MYI"), QStringLiteral(".MAI"),
                                           QStringLiteral(".MAD"), QStringLiteral(".IBD"),
                                           QStringLiteral(".CFG"), QStringLiteral(".SQL")};
    QList<TTabelaArquivo> tabelas;
    bool filial = false;
    for (const TGrupo& g : grupos) {
        // A name that looks like a table's file must be one; other files of a name without its
        // .frm are strays: extracted, never loaded.
        const bool temFrm = g.tamanhos.contains(QStringLiteral(".FRM"));
        for (const QString& nome : g.entradas) {
            const bool conhecida = conhecidas.contains(nome.right(4).toUpper());
            if (ArquivoDeTabela(nome) && !conhecida)
                throw EErro(QStringLiteral("O arquivo %1 contém a entrada \"%2\", que não é o "
                                           "arquivo de uma tabela")
                                .arg(arquivoZip, nome));
            if (avulsos && !ArquivoDeTabela(nome) && (!temFrm || !conhecida))
                avulsos->append(nome);
        }
        const auto tem = [&g](const char* ext) {
            return g.tamanhos.contains(QString::fromLatin1(ext));
        };
        // (files only another engine's table has are a table missing its .frm, not strays)
        if (!temFrm && !tem(".MYD") && !tem(".MYI") && !tem(".MAD") && !tem(".MAI") &&
            !tem(".IBD") && !tem(".CFG"))
            continue;
        const TTabelaArquivo t = tabelaDoGrupo(arquivoZip, g);
        if (g.nome.toUpper() == QLatin1String("FILIAL"))
            filial = true;
        tabelas.append(t);
    }
    if (!filial)
        throw EErro(QStringLiteral("O arquivo %1 não contém a tabela filial").arg(arquivoZip));
    if (testarCrc)
        TestarZip(arquivoZip);
    return tabelas;
}

} // namespace marvek
