#include "restore/LimparOutrasFiliais.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "maintenance/TConfiguracoes.h"
#include "operador/TOperador.h"

#include <QFile>

static void iniciarRecursoQuery() {
    Q_INIT_RESOURCE(restore);
}

namespace marvek {

namespace {

QStringList lerLinhas(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("Cannot open file \"%1\". %2").arg(arquivo, f.errorString()));
    QStringList linhas;
    const QByteArray dados = f.readAll();
    if (dados.isEmpty())
        return linhas;
    // One name per line; CR LF, LF or CR end a line, the names are taken unchanged.
    QByteArray linha;
    for (qsizetype i = 0; i < dados.size(); ++i) {
        const char c = dados.at(i);
        if (c == '\r' || c == '\n') {
            linhas << QString::fromLatin1(linha);
            linha.clear();
            if (c == '\r' && i + 1 < dados.size() && dados.at(i + 1) == '\n')
                ++i;
        } else {
            linha += c;
        }
    }
    if (!linha.isEmpty())
        linhas << QString::fromLatin1(linha);
    return linhas;
}
} // namespace

QStringList ListaTabelasPAF() {
    return {QStringLiteral("paf_req25_r01"),        QStringLiteral("paf_req25_r02"),
            QStringLiteral("paf_req25_r03"),        QStringLiteral("paf_req25_r04"),
            QStringLiteral("paf_req25_r04_r06"),    QStringLiteral("paf_req25_r04_r07"),
            QStringLiteral("paf_req25_r05"),        QStringLiteral("paf_req25_r06"),
            QStringLiteral("paf_req25_r06_r07"),    QStringLiteral("paf_req25_r06ex"),
            QStringLiteral("paf_req25_r06ex_r07"),  QStringLiteral("paf_req25_r07"),
            QStringLiteral("esp_estoque_anterior"), QStringLiteral("esp_paf_req25_r02"),
            QStringLiteral("esp_paf_req25_r03"),    QStringLiteral("esp_paf_req25_r04"),
            QStringLiteral("esp_paf_req25_r05"),    QStringLiteral("esp_paf_req25_r06ex"),
            QStringLiteral("esp_paf_req25_r07")};
}

QString ObterCodFilial(TOperador& op, int codFisica) {
    const QString texto = QString::number(codFisica);
    op.GravarLog(QStringLiteral("Obter Cod. Filial: ") + texto);
    return texto;
}

QByteArray ConteudoQueryTxt() {
    iniciarRecursoQuery();
    QFile recurso(QStringLiteral(":/textfile/query"));
    if (!recurso.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("Recurso QUERY não encontrado"));
    return recurso.readAll();
}

QString GerarQueryTxt() {
    const QString caminho = PastaDeDados() + QStringLiteral("query.txt");
    const QByteArray dados = ConteudoQueryTxt();
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dados) != dados.size())
        throw EErro(QStringLiteral("Cannot create file \"%1\". %2").arg(caminho, f.errorString()));
    return caminho;
}

void TruncarTabelas(TOperador& op, TDM& dm, const QStringList& tabelas) {
    const qsizetype n = tabelas.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString& tabela = tabelas.at(i);
        try {
            dm.ExecutarComando(QStringLiteral("TRUNCATE ") + CitarIdentificador(tabela));
            op.GravarLog(QStringLiteral("Truncate na tabela ") + tabela);
            op.ProcessarMensagens();
        } catch (const EErro& e) {
            op.GravarLog(QStringLiteral("Erro ao efetuar truncate na tabela ") + tabela +
                         QStringLiteral(" Erro : ") + e.Mensagem());
        }
    }
}

void DeletarRegistros(TOperador& op, TDM& dm, const QStringList& tabelas, const QString& filial) {
    for (const QString& tabela : tabelas) {
        try {
            const QString coluna =
                dm.ConsultarValor(QStringLiteral("describe ") + CitarIdentificador(tabela) +
                                      QStringLiteral(" filial_id"),
                                  QString())
                    .toString();
            if (!coluna.trimmed().isEmpty()) {
                dm.ExecutarComando(QStringLiteral("DELETE FROM ") + CitarIdentificador(tabela) +
                                   QStringLiteral(" where filial_id <> \"") + filial +
                                   QStringLiteral("\""));
                op.GravarLog(QStringLiteral("Delete na tabela ") + tabela);
            }
            op.ProcessarMensagens();
        } catch (const EErro& e) {
            op.GravarLog(QStringLiteral("Erro ao efetuar delete na tabela ") + tabela +
                         QStringLiteral(" Erro : ") + e.Mensagem());
            op.ProcessarMensagens();
        }
    }
}

QStringList TabelasDaLimpezaFixa() {
    return {QStringLiteral("movment"),  QStringLiteral("entradas"), QStringLiteral("pedidos"),
            QStringLiteral("curvaabc"), QStringLiteral("pagar"),    QStringLiteral("pagamentos")};
}

QString ComandoDaLimpezaFixa(const QString& tabela, const QString& filial) {
    const QString inicio = tabela == QLatin1String("movment") ? QStringLiteral("DELETE from ")
                                                              : QStringLiteral("delete from ");
    return inicio + tabela + QStringLiteral(" where filial_id <> \"") + filial +
           QStringLiteral("\"");
}

void LimparOutrasFiliais(TOperador& op, TDM& dm, const QString& filial,
                         const std::optional<TConfiguracoes>& opcoes) {
    try {
        for (const QString& tabela : TabelasDaLimpezaFixa()) {
            dm.ExecutarComando(ComandoDaLimpezaFixa(tabela, filial));
            op.ProcessarMensagens();
        }

        try {
            TruncarTabelas(op, dm, ListaTabelasPAF());
        } catch (const EErro&) {
            op.Mostrar(TCaixa::Erro, QStringLiteral("Erro ao efetuar truncate nas tabelas do PAF"));
            throw EAbortar();
        }

        if (!opcoes)
            return;
        // The run's own copy of the options: both clean-ups read their tables from the built-in
        // list, written out for them; the face's options stay as they are.
        TConfiguracoes o = *opcoes;
        const QString lista = GerarQueryTxt();
        o.SetArquivoTruncates(lista);
        o.SetArquivoDeletes(lista);
        if (o.ExecutarTruncates())
            TruncarTabelas(op, dm, lerLinhas(o.ArquivoTruncates()));
        if (o.ExecutarDeletes() &&
            op.Confirmar(QStringLiteral("Deseja realmente utilizar o comando de delete pelo "
                                        "arquivo?"),
                         true, QStringLiteral("Confirmação...")))
            DeletarRegistros(op, dm, lerLinhas(o.ArquivoDeletes()), filial);
        if (o.ZerarNumlanc()) {
            try {
                const QString numlanc =
                    dm.ConsultarValor(QStringLiteral("SHOW TABLES LIKE \"numlanc\""), QString())
                        .toString();
                if (!numlanc.trimmed().isEmpty()) {
                    dm.ExecutarComando(QStringLiteral("TRUNCATE numlanc"));
                    op.GravarLog(QStringLiteral("Truncate numlanc"));
                }
            } catch (const EErro&) {
                // A missing or unusable numlanc is no error: only nlanc must be reset.
            }
            dm.ExecutarComando(QStringLiteral("TRUNCATE nlanc"));
            dm.ExecutarComando(QStringLiteral("INSERT INTO nlanc(nlanc_id) VALUES(1)"));
            op.GravarLog(QStringLiteral("Truncate nlanc"));
        }
        if (QFile::exists(lista))
            QFile::remove(lista);
    } catch (const EErro& e) {
        op.Mostrar(TCaixa::ErroPadrao, QStringLiteral("Ocorreu o seguinte erro:\r") + e.Mensagem());
    }
}

} // namespace marvek
