#include "cli/Comandos.h"

#include "backup/Backup.h"
#include "cli/FimDeComando.h"
#include "cli/TComando.h"
#include "data/TDM.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"

namespace marvek {

namespace {

class TComandoBackup : public TComando {
public:
    QString Nome() const override { return QStringLiteral("backup"); }
    QString Resumo() const override {
        return QStringLiteral("marca as linhas de todas as tabelas como lidas pela filial ID,\n"
                              "copia as tabelas e grava PASTA/Backup_Central.zip");
    }
    QList<TOpcaoCli> Opcoes() const override {
        return {OpcaoPasta,
                {{QStringLiteral("filial")},
                 QStringLiteral("ID"),
                 QStringLiteral("a filial (filial_id) que vai receber o backup"),
                 true},
                {{QStringLiteral("destino")},
                 QStringLiteral("PASTA"),
                 QStringLiteral("a pasta onde o Backup_Central.zip é gravado"),
                 true},
                OpcaoConexoes,
                OpcaoSilencioso,
                OpcaoJson};
    }
    QString Conferir(const TLinhaDeComando& linha) const override;
    int Executar(const TLinhaDeComando& linha) const override;
};

QString TComandoBackup::Conferir(const TLinhaDeComando& linha) const {
    if (!LerIdFilial(*linha.filial))
        return QStringLiteral("backup: a filial \"%1\" não é um número inteiro").arg(*linha.filial);
    return {};
}

// Connects as the window does, checks that the branch is live, then runs the central backup.
int TComandoBackup::Executar(const TLinhaDeComando& linha) const {
    TOperadorConsole op;
    ConfigurarSaida(op, linha);
    op.Valores.conexoes = ConexoesDe(linha);
    op.Valores.backup = true;
    const int filial = *LerIdFilial(*linha.filial);
    op.Valores.filial = QString::number(filial);
    op.Valores.diretorio = *linha.destino;
    const TFimDeComando fim{linha, QStringLiteral("backup"), op.Valores.diretorio, &op, {}};
    return ExecutarNoConsole(fim, &op, [&] {
        DM().Conectar();
        const QString sql =
            QStringLiteral("select count(*) from filial where apagado <> \"S\" and filial_id = ") +
            QString::number(filial);
        if (DM().ConsultarValor(sql, 0).toLongLong() == 0)
            throw EErro(QStringLiteral("A filial %1 não existe ou está apagada (tabela filial): "
                                       "nada foi feito.")
                            .arg(filial));
        return fim(RealizarBackup(op, DM()));
    });
}

class TComandoRestaurar : public TComando {
public:
    QString Nome() const override { return QStringLiteral("restaurar"); }
    QString Resumo() const override {
        return QStringLiteral("guarda as tabelas atuais num banco de reserva, carrega as\n"
                              "tabelas do ARQUIVO e, numa loja, apaga os dados das outras\n"
                              "filiais");
    }
    QList<TOpcaoCli> Opcoes() const override {
        return {OpcaoPasta,
                {{QStringLiteral("navirel")},
                 QString(),
                 QStringLiteral("responde sim à pergunta final e inicia o Navirel.exe da\n"
                                "pasta do programa")},
                OpcaoConexoes,
                {{QStringLiteral("outra-filial")},
                 QString(),
                 QStringLiteral("restaura também um arquivo feito para outra filial que\n"
                                "não a CodFisica do sistema_qel.ini")},
                {{QStringLiteral("simular")},
                 QString(),
                 QStringLiteral("faz todas as verificações e não altera nada")},
                {{QStringLiteral("extrair-em")},
                 QStringLiteral("DIR"),
                 QStringLiteral("descompacta numa pasta privada dentro de DIR, e não ao\n"
                                "lado do arquivo (um pendrive só de leitura)")},
                OpcaoSilencioso,
                OpcaoJson};
    }
    QString Argumento() const override { return QStringLiteral("ARQUIVO"); }
    int Executar(const TLinhaDeComando& linha) const override;
};

// The restore run as after a start without maintenance login; the closing question is
// answered with --navirel.
int TComandoRestaurar::Executar(const TLinhaDeComando& linha) const {
    TOperadorConsole op;
    ConfigurarSaida(op, linha);
    op.Valores.conexoes = ConexoesDe(linha);
    op.Valores.backup = false;
    op.Valores.arquivo = linha.argumentos.first();
    op.Resposta = linha.navirel;
    op.Valores.simular = linha.simular;
    op.Valores.pastaExtracao = linha.extrairEm.value_or(QString());
    op.Valores.outraFilial = linha.outraFilial;
    const TFimDeComando fim{linha,
                            linha.simular ? QStringLiteral("simulação da restauração")
                                          : QStringLiteral("restauração"),
                            op.Valores.arquivo,
                            &op,
                            {}};
    // As at the window's start, the settings are read but a connection that cannot be opened
    // now is left to the restore, which opens it when it first needs it and reports its error.
    // (The log lines of the run itself, "Inicio Restore" and "Fim Restore", are not covered by
    // the restore's own handler.)
    return ExecutarNoConsole(fim, &op, [&] {
        DM().Configurar();
        return fim(ExecutarRestauracao(op, DM()));
    });
}

class TComandoReverter : public TComando {
public:
    QString Nome() const override { return QStringLiteral("reverter"); }
    QString Resumo() const override {
        return QStringLiteral("põe de volta as tabelas do banco de reserva BASE_RESERVA\n"
                              "(<banco>_Backup_<data>_<hora>), guardando antes as atuais\n"
                              "num novo banco de reserva, cujo nome é escrito");
    }
    QList<TOpcaoCli> Opcoes() const override { return {OpcaoPasta, OpcaoSilencioso, OpcaoJson}; }
    QString Argumento() const override { return QStringLiteral("BASE_RESERVA"); }
    int Executar(const TLinhaDeComando& linha) const override;
};

int TComandoReverter::Executar(const TLinhaDeComando& linha) const {
    TOperadorConsole op;
    ConfigurarSaida(op, linha);
    op.Valores.backup = false;
    const QString reserva = linha.argumentos.first();
    const TFimDeComando fim{linha, QStringLiteral("reversão"), reserva, &op, {}};
    return ExecutarNoConsole(fim, &op, [&] {
        DM().Conectar();
        const TResultado r = ReverterRestauracao(op, DM(), reserva);
        // The aside database that now holds the tables the way back replaced, for a script
        // that takes them up again.
        if (!r.bancoReserva.isEmpty() && !linha.silencioso && !linha.json)
            EscreverSaida(QStringLiteral("Banco reserva criado: ") + r.bancoReserva +
                          QLatin1Char('\n'));
        return fim(r);
    });
}

} // namespace

const TComando& ComandoBackup() {
    return Unico<TComandoBackup>();
}

const TComando& ComandoRestaurar() {
    return Unico<TComandoRestaurar>();
}

const TComando& ComandoReverter() {
    return Unico<TComandoReverter>();
}

} // namespace marvek
