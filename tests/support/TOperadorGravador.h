#pragma once

#include "maintenance/TConfiguracoes.h"
#include "operador/TLogOperacao.h"
#include "operador/TOperador.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

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
    bool SemOpcoes = false; // Configuracoes() gives none

    QList<bool> Respostas; // answers to Confirmar, in order; true when the list runs out
    QStringList Mostrados;
    QList<int> Posicoes;  // every progress position set
    QList<int> Maximos;   // every progress maximum set
    int Alternancias = 0; // calls of AlternarControles
    bool ControlesAtivos = true;
    int Processamentos = 0; // calls of ProcessarMensagens
    QStringList Programas;  // programs started
    int NumeroConexoes = 1; // tables one after another unless a test asks for more

    marvek::TLogOperacao Log;

    bool ModoBackup() const override { return Backup; }
    QString FilialSelecionada() const override { return Filial; }
    QString Diretorio() const override { return Pasta; }
    QString Arquivo() const override { return ArquivoZip; }
    marvek::TConfiguracoes* Configuracoes() override { return SemOpcoes ? nullptr : Opcoes.get(); }
    void ValidarCampos() override;
    void AlternarControles() override;
    void DefinirMaximoProgresso(int maximo) override;
    void DefinirPosicaoProgresso(int posicao) override;
    int PosicaoProgresso() const override { return m_posicao; }
    void GravarLog(const QString& texto) override;
    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void MostrarErro(const QString& texto) override;
    void Alertar(const QString& texto) override;
    void Informar(const QString& texto) override;
    void ErroPadrao(const QString& texto) override;
    void MostrarMensagem(const QString& texto) override;
    void ProcessarMensagens() override;
    void ExecutarPrograma(const QString& caminho) override;
    int Conexoes() const override { return NumeroConexoes; }

    // The log lines without their time prefix.
    QStringList LinhasLog() const;

private:
    int m_posicao = 0;
};

} // namespace teste
