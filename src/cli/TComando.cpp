#include "cli/TComando.h"

#include "cli/Comandos.h"

namespace marvek {

const TOpcaoCli OpcaoPasta{{QStringLiteral("pasta")},
                           QStringLiteral("DIR"),
                           QStringLiteral("a pasta do programa: onde ficam sistema_qel.ini,\n"
                                          "LOG_MARVEK.txt, o histórico e query.txt\n"
                                          "(padrão: " MARVEK_PADRAO_PASTA ")")};
const TOpcaoCli OpcaoConexoes{
    {QStringLiteral("conexoes")},
    QStringLiteral("N"),
    QStringLiteral("quantas conexões ao servidor trabalham nas tabelas ao mesmo\n"
                   "tempo (1 a 16; padrão: os núcleos da máquina, no máximo 4;\n"
                   "1 = uma tabela depois da outra)")};
const TOpcaoCli OpcaoSilencioso{{QStringLiteral("q"), QStringLiteral("silencioso")},
                                QString(),
                                QStringLiteral("só os erros, na saída de erros; nada num sucesso")};
const TOpcaoCli OpcaoJson{{QStringLiteral("json")},
                          QString(),
                          QStringLiteral("no fim, um objeto JSON na saída padrão com o\n"
                                         "resultado (os textos vão para a saída de erros)")};
const TOpcaoCli OpcaoAjuda{
    {QStringLiteral("h"), QStringLiteral("help")}, QString(), QStringLiteral("esta ajuda")};
const TOpcaoCli OpcaoVersao{
    {QStringLiteral("V"), QStringLiteral("version")}, QString(), QStringLiteral("a versão")};

QString TComando::Uso() const {
    const QList<TOpcaoCli> opcoes = Opcoes();
    auto forma = [](const TOpcaoCli& o) {
        const QString nome = QStringLiteral("--") + o.nomes.first();
        return o.valor.isEmpty() ? nome : nome + QLatin1Char(' ') + o.valor;
    };
    QStringList partes;
    if (opcoes.contains(OpcaoPasta))
        partes << QLatin1Char('[') + forma(OpcaoPasta) + QLatin1Char(']');
    partes << Nome();
    if (!Argumento().isEmpty())
        partes << Argumento();
    for (const TOpcaoCli& o : opcoes)
        if (o.obrigatoria)
            partes << forma(o);
    for (const TOpcaoCli& o : opcoes)
        if (!o.obrigatoria && !(o == OpcaoPasta) && !(o == OpcaoSilencioso) && !(o == OpcaoJson))
            partes << QLatin1Char('[') + forma(o) + QLatin1Char(']');
    // As the usage shows it: "  marvek-cli " before the first line, 13 blanks before the others.
    const QString margem(13, QLatin1Char(' '));
    QString uso;
    qsizetype coluna = margem.size();
    for (const QString& parte : partes) {
        if (!uso.isEmpty() && coluna + 1 + parte.size() > 80) {
            uso += QLatin1Char('\n') + margem;
            coluna = margem.size();
        } else if (!uso.isEmpty()) {
            uso += QLatin1Char(' ');
            ++coluna;
        }
        uso += parte;
        coluna += parte.size();
    }
    return uso;
}

const QList<const TComando*>& Comandos() {
    static const QList<const TComando*> lista = {
        &ComandoBackup(),   &ComandoRestaurar(),      &ComandoVerificar(),  &ComandoReverter(),
        &ComandoReservas(), &ComandoLimparReservas(), &ComandoCifrarSenha()};
    return lista;
}

const TComando* AcharComando(const QString& nome) {
    for (const TComando* c : Comandos())
        if (c->Nome() == nome)
            return c;
    return nullptr;
}

} // namespace marvek
