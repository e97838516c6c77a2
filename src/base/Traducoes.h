#pragma once

class QTranslator;

namespace marvek {

// Loads Qt's own translations (qtbase_*.qm from Qt's translations folder) for the locale in
// use, so that Qt's standard buttons and dialogs speak the user's language ("Sim", "Não",
// "Escolher"). The program's own texts are not translated. Call once, after the application
// object exists. Returns the translator installed (owned by the application), or nullptr when
// none was found.
QTranslator* CarregarTraducoes();

} // namespace marvek
