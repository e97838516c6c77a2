#include "cli/Comandos.h"

#include "cli/FimDeComando.h"
#include "cli/TComando.h"
#include "data/Criptografia.h"
#include "restore/VerificacaoArquivo.h"
#include "zip/DescricaoArquivo.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace marvek {

namespace {

// Keeps the terminal from echoing while a password is typed; the old mode comes back however
// the reading ends.
class TSemEco {
public:
    TSemEco() {
        if (::isatty(STDIN_FILENO) != 1 || ::tcgetattr(STDIN_FILENO, &m_antes) != 0)
            return;
        termios novo = m_antes;
        novo.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_ativo = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &novo) == 0;
    }
    ~TSemEco() {
        if (m_ativo)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_antes);
    }
    TSemEco(const TSemEco&) = delete;
    TSemEco& operator=(const TSemEco&) = delete;
    bool Ativo() const { return m_ativo; }

private:
    termios m_antes{};
    bool m_ativo = false;
};

// One line of stdin without its line end; nullopt at the end of the input with nothing read.
std::optional<QByteArray> lerLinha() {
    QByteArray linha;
    bool leuAlgo = false;
    for (;;) {
        const int c = std::fgetc(stdin);
        if (c == EOF)
            break;
        leuAlgo = true;
        if (c == '\n')
            break;
        linha += static_cast<char>(c);
    }
    if (!leuAlgo)
        return std::nullopt;
    if (linha.endsWith('\r'))
        linha.chop(1);
    return linha;
}

class TComandoVerificar : public TComando {
public:
    QString Nome() const override { return QStringLiteral("verificar"); }
    QString Resumo() const override {
        return QStringLiteral("confere o ARQUIVO (entradas, arquivos de cada tabela, CRC) sem\n"
                              "tocar no banco; diz para que filial, de que banco e quando\n"
                              "foi feito (linha iniciada por #) e uma linha por tabela:\n"
                              "nome, tamanho e tipo (MyISAM, Aria, InnoDB)");
    }
    QList<TOpcaoCli> Opcoes() const override { return {OpcaoPasta, OpcaoSilencioso, OpcaoJson}; }
    QString Argumento() const override { return QStringLiteral("ARQUIVO"); }
    int Executar(const TLinhaDeComando& linha) const override;
};

// Checks an archive without touching any database: what the archive says about itself, then
// one line per table (name, size, engine).
int TComandoVerificar::Executar(const TLinhaDeComando& linha) const {
    const QString arquivo = linha.argumentos.first();
    TFimDeComando fim{linha, QStringLiteral("verificar"), arquivo, nullptr, {}};
    fim.extra.insert(QStringLiteral("descricao"), QJsonValue());
    fim.extra.insert(QStringLiteral("lista"), QJsonArray());
    return ExecutarNoConsole(fim, nullptr, [&] {
        const QList<TTabelaArquivo> tabelas = VerificarArquivoBackup(arquivo, true);
        const auto descricao = DescricaoDoArquivo(arquivo);
        TResultado r;
        r.arquivo = arquivo;
        r.tamanhoArquivo = QFileInfo(arquivo).size();
        r.tabelas = static_cast<int>(tabelas.size());
        QString saida = descricao ? QStringLiteral("# ") + ResumoDaDescricao(*descricao)
                                  : QStringLiteral("# sem descrição (arquivo de uma versão "
                                                   "anterior ou de outro programa)");
        saida += QLatin1Char('\n');
        QJsonArray lista;
        for (const TTabelaArquivo& t : tabelas) {
            saida += t.nome + QLatin1Char('\t') + QString::number(t.tamanho) + QLatin1Char('\t') +
                     NomeDoMotor(t.motor) + QLatin1Char('\n');
            QJsonObject o;
            o.insert(QStringLiteral("nome"), t.nome);
            o.insert(QStringLiteral("tamanho"), static_cast<qint64>(t.tamanho));
            o.insert(QStringLiteral("motor"), NomeDoMotor(t.motor));
            lista.append(o);
        }
        if (descricao) {
            r.filial = QString::number(descricao->filial);
            r.banco = descricao->banco;
            QJsonObject d;
            d.insert(QStringLiteral("filial"), descricao->filial);
            d.insert(QStringLiteral("nome_filial"), descricao->nomeFilial);
            d.insert(QStringLiteral("banco"), descricao->banco);
            d.insert(QStringLiteral("data"), descricao->data.toString(Qt::ISODate));
            d.insert(QStringLiteral("versao"), descricao->versao);
            fim.extra.insert(QStringLiteral("descricao"), d);
        }
        fim.extra.insert(QStringLiteral("lista"), lista);
        if (!linha.silencioso && !linha.json)
            EscreverSaida(saida);
        return fim(r);
    });
}

class TComandoCifrarSenha : public TComando {
public:
    QString Nome() const override { return QStringLiteral("cifrar-senha"); }
    QString Resumo() const override {
        return QStringLiteral("lê a senha da entrada padrão e escreve o valor da chave senha\n"
                              "do sistema_qel.ini");
    }
    QList<TOpcaoCli> Opcoes() const override { return {}; }
    int Executar(const TLinhaDeComando& linha) const override;
};

// Reads a password from stdin (without echo on a terminal) and writes its enciphered form.
int TComandoCifrarSenha::Executar(const TLinhaDeComando&) const {
    std::optional<QByteArray> lida;
    {
        TSemEco semEco;
        if (semEco.Ativo())
            EscreverErro(QStringLiteral("Senha: "));
        lida = lerLinha();
        if (semEco.Ativo())
            EscreverErro(QStringLiteral("\n"));
    }
    if (!lida) {
        EscreverErro(QStringLiteral("marvek-cli: Nenhuma senha lida da entrada padrão.\n"));
        return SaidaFalha;
    }
    const QString senha = QString::fromLocal8Bit(*lida);
    if (senha.isEmpty()) {
        // The enciphered form of an empty text is a seed alone, which the settings reader
        // cannot decipher; an empty senha= is how the settings file says "no password".
        EscreverSaida(QStringLiteral("\n"));
        EscreverErro(QStringLiteral("marvek-cli: Senha vazia: deixe a chave senha= vazia no "
                                    "sistema_qel.ini.\n"));
        return SaidaSucesso;
    }
    for (QChar c : senha) {
        if (c.unicode() > 255 || c.unicode() == 0) {
            EscreverErro(
                QStringLiteral("marvek-cli: A senha tem o caractere \"%1\", que o sistema_qel.ini "
                               "não guarda (só caracteres Latin-1).\n")
                    .arg(c));
            return SaidaFalha;
        }
    }
    const TLinhaDeComando semOpcoes;
    const TFimDeComando fim{semOpcoes, QStringLiteral("cifrar-senha"), QString(), nullptr, {}};
    return ExecutarNoConsole(fim, nullptr, [&] {
        const QString cifrada = Criptografar(QStringLiteral("E"), senha, ChaveSenha());
        if (Descriptografar(cifrada, ChaveSenha()) != senha)
            throw EErro(QStringLiteral("A senha cifrada não volta à senha informada."));
        EscreverSaida(cifrada + QLatin1Char('\n'));
        return SaidaSucesso;
    });
}

} // namespace

const TComando& ComandoVerificar() {
    return Unico<TComandoVerificar>();
}

const TComando& ComandoCifrarSenha() {
    return Unico<TComandoCifrarSenha>();
}

} // namespace marvek
