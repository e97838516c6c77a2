#include "operador/TOperador.h"

#include "base/Pastas.h"
#include "plataforma/Plataforma.h"

namespace marvek {

void TOperador::ValidarEntradas(const TEntradas& e) {
    TCampo campo = TCampo::Nenhum;
    QString falta;
    if (e.backup && e.filial.isEmpty()) {
        campo = TCampo::Filial;
        falta = QStringLiteral("Nenhuma filial selecionada");
    } else if (e.backup && e.diretorio.isEmpty()) {
        campo = TCampo::Diretorio;
        falta = QStringLiteral("Nenhum diretório selecionado");
    } else if (!e.backup && e.arquivo.isEmpty()) {
        campo = TCampo::Arquivo;
        falta = QStringLiteral("Nenhum arquivo selecionado");
    }
    if (campo == TCampo::Nenhum)
        return;
    EntradaRecusada(campo);
    throw EEntradaRecusada(falta);
}

void TOperador::Mostrar(TCaixa tipo, const QString& texto) {
    if (tipo != TCaixa::Alerta && tipo != TCaixa::Informacao)
        m_erros << texto;
    else if (tipo == TCaixa::Alerta)
        m_detalhes.avisos << texto;
    MostrarCaixa(tipo, texto);
}

void TOperador::mudou(TProgresso::TMudanca mudanca) {
    m_progresso.mudanca = mudanca;
    MostrarProgresso(m_progresso);
}

void TOperador::DefinirMaximoProgresso(int maximo) {
    m_progresso.posicao = m_progresso.PosicaoNaBarra(); // as the bar showed it, in the old range
    m_progresso.maximo = qMax(0, maximo);
    mudou(TProgresso::Faixa);
}

void TOperador::DefinirPosicaoProgresso(int posicao) {
    m_progresso.posicao = posicao;
    mudou(TProgresso::Barra);
}

void TOperador::IniciarFase(const QString& fase, int total) {
    m_progresso.fase = fase;
    m_progresso.total = qMax(0, total);
    m_progresso.feitas = 0;
    mudou(TProgresso::Fase);
}

void TOperador::AvancarFase() {
    ++m_progresso.feitas;
    mudou(TProgresso::Tabela);
}

void TOperador::ExecutarPrograma(const QString& caminho) {
    IniciarPrograma(caminho);
}

TResultado TOperador::Resultado(TResultado::TDesfecho desfecho, qsizetype inicio) const {
    TResultado r = m_detalhes;
    r.desfecho = desfecho;
    r.erros = m_erros.mid(inicio);
    if (r.duracaoMs < 0)
        r.duracaoMs += QDateTime::currentMSecsSinceEpoch();
    if (desfecho == TResultado::Interrompida)
        r.sinal = ParadaPedida() > 0 ? ParadaPedida() : 0;
    return r;
}

int CodigoDeSaida(const TResultado& r) {
    if (r.desfecho == TResultado::Interrompida)
        return 128 + (r.sinal > 0 ? r.sinal : 2);
    if (r.ocupada)
        return SaidaOcupada;
    return r.Sucesso() ? 0 : 1;
}

TResultado ResultadoDaFalha(TResultado r, const QString& mensagem) {
    if (r.duracaoMs < 0)
        r.duracaoMs += QDateTime::currentMSecsSinceEpoch();
    const int parada = ParadaPedida();
    r.desfecho = parada != 0 ? TResultado::Interrompida : TResultado::Falhou;
    r.sinal = parada > 0 ? parada : 0;
    r.erros = QStringList{mensagem};
    return r;
}

void LimparPasta(TOperador& op, const QString& pasta) {
    for (const QString& nome : EsvaziarPasta(pasta))
        op.Mostrar(TCaixa::Mensagem, QStringLiteral("Erro ao excluir") + nome);
}

} // namespace marvek
