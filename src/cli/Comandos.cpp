#include "cli/Comandos.h"

#include "backup/Backup.h"
#include "base/EErro.h"
#include "cli/LinhaDeComando.h"
#include "cli/TOperadorConsole.h"
#include "data/Criptografia.h"
#include "data/TDM.h"
#include "operador/Historico.h"
#include "plataforma/Parada.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"
#include "restore/VerificacaoArquivo.h"

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
} // namespace

namespace {
// The one place where a console command shows an error that escapes it: on stderr, after the
// progress line is cleared. The command's own result gives the exit code.
template <typename F> int noConsole(TOperadorConsole* op, F&& comando) {
    try {
        return comando();
    } catch (const EErro& e) {
        if (op)
            op->TerminarProgresso();
        EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(e.Mensagem()));
        return SaidaFalha;
    }
}

// The run goes into the history; a history that cannot be written is said, but does not
// change how the operation ended.
int saida(const TOperadorConsole& op, const QString& operacao, const QString& alvo,
          const TResultado& r) {
    try {
        RegistrarNoHistorico(op.Log().Arquivo(), operacao, alvo, r, op.Log().Linhas());
    } catch (const EErro& e) {
        EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(e.Mensagem()));
    }
    if (r.desfecho == TResultado::Interrompida)
        return 128 + ParadaPedida(); // 130 for SIGINT, 143 for SIGTERM, as a shell reports them
    return r.Sucesso() ? SaidaSucesso : SaidaFalha;
}
} // namespace

int ComandoBackup(int filial, const QString& destino, int conexoes) {
    TOperadorConsole op;
    op.NumeroConexoes = conexoes;
    op.Backup = true;
    op.Filial = QString::number(filial);
    op.Pasta = destino;
    return noConsole(&op, [&] {
        DM().Conectar();
        const QString sql =
            QStringLiteral("select count(*) from filial where apagado <> \"S\" and filial_id = ") +
            QString::number(filial);
        if (DM().ConsultarValor(sql, 0, true).toLongLong() == 0)
            throw EErro(QStringLiteral("A filial %1 não existe ou está apagada (tabela filial): "
                                       "nada foi feito.")
                            .arg(filial));
        return saida(op, QStringLiteral("backup"), destino, RealizarBackup(op, DM()));
    });
}

int ComandoRestaurar(const QString& arquivo, bool navirel, int conexoes) {
    TOperadorConsole op;
    op.NumeroConexoes = conexoes;
    op.Backup = false;
    op.ArquivoZip = arquivo;
    op.Resposta = navirel;
    // As at the window's start, the settings are read but a connection that cannot be opened
    // now is left to the restore, which opens it when it first needs it and reports its error.
    // (The log lines of the run itself, "Inicio Restore" and "Fim Restore", are not covered by
    // the restore's own handler.)
    return noConsole(&op, [&] {
        DM().Configurar();
        return saida(op, QStringLiteral("restauração"), arquivo, ExecutarRestauracao(op, DM()));
    });
}

int ComandoReverter(const QString& bancoReserva) {
    TOperadorConsole op;
    op.Backup = false;
    return noConsole(&op, [&] {
        DM().Conectar();
        return saida(op, QStringLiteral("reversão"), bancoReserva,
                     ReverterRestauracao(op, DM(), bancoReserva));
    });
}

int ComandoVerificar(const QString& arquivo) {
    return noConsole(nullptr, [&] {
        const QList<TTabelaArquivo> tabelas = VerificarArquivoBackup(arquivo, true);
        QString saida;
        for (const TTabelaArquivo& t : tabelas)
            saida += t.nome + QLatin1Char('\t') + QString::number(t.tamanho) + QLatin1Char('\n');
        EscreverSaida(saida);
        return SaidaSucesso;
    });
}

int ComandoCifrarSenha() {
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
    return noConsole(nullptr, [&] {
        const QString cifrada = Criptografar(QStringLiteral("E"), senha, ChaveSenha());
        if (Descriptografar(cifrada, ChaveSenha()) != senha)
            throw EErro(QStringLiteral("A senha cifrada não volta à senha informada."));
        EscreverSaida(cifrada + QLatin1Char('\n'));
        return SaidaSucesso;
    });
}

} // namespace marvek
