#pragma once

#include "maintenance/TConfiguracoes.h"
#include "operador/TLogOperacao.h"
#include "operador/TOperador.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace teste {

// A TOperador for tests: inputs set by the test, answers to questions taken from a script,
// and every text shown kept as "Kind: text" in Mostrados, in order.
class TOperadorGravador : public marvek::TOperador {
public:
    explicit TOperadorGravador(const QString& arquivoLog = QString());

    bool Backup = true;
    QString Filial;
    QString Pasta;
    QString ArquivoZip;
    std::unique_ptr<marvek::TConfiguracoes> Opcoes = std::make_unique<marvek::TConfiguracoes>();
    bool SemOpcoes = false; // the inputs carry no options object

    QList<bool> Respostas; // answers to Confirmar, in order; true when the list runs out
    // Called after every log line with its text (a test's hook into the middle of a run).
    std::function<void(const QString&)> AoGravarLog;
    QStringList Mostrados;
    QList<int> Posicoes;           // every bar position set
    QList<int> Maximos;            // every bar maximum set
    QList<marvek::TCampo> Recusas; // inputs an input check found missing
    int Processamentos = 0;        // calls of ProcessarMensagens
    QStringList Programas;         // programs started
    int NumeroConexoes = 1;        // tables one after another unless a test asks for more
    // An archive made for another branch: taken unless a test asks otherwise (nullopt: asked).
    std::optional<bool> OutraFilial = true;
    bool Simular = false;
    QString PastaExtracao;

    marvek::TLogOperacao Log;
    marvek::TResultado Resultado; // what the test's operation returned, where a helper keeps it

    marvek::TEntradas Entradas() const override;
    void GravarLog(const QString& texto) override;
    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void ProcessarMensagens() override;
    void ExecutarPrograma(const QString& caminho) override;

    // The log lines without their time prefix.
    QStringList LinhasLog() const;

protected:
    void EntradaRecusada(marvek::TCampo campo) override { Recusas << campo; }
    void MostrarCaixa(marvek::TCaixa tipo, const QString& texto) override;
    void MostrarProgresso(const marvek::TProgresso& p) override;
};

} // namespace teste
