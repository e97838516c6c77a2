#pragma once

class QWidget;

namespace marvek {

class TConfiguracoes;
class TFConfiguracoes;

// The flow of the hidden maintenance button: login window, web-service check, the list of
// maintenance codes, the options window. Sets configuracoes (the main window's reference) to
// the options window's object after "&OK", to nullptr after "&Cancelar".
void ExecutarLoginManutencao(QWidget* pai, TFConfiguracoes& opcoes,
                             TConfiguracoes*& configuracoes);

} // namespace marvek
