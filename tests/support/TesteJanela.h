#pragma once

#include "gui/Dialogos.h"

#include <QObject>
#include <QTest>
#include <QWidget>

namespace teste {

// What every window test shares: message boxes recorded instead of shown, and a window's
// controls found by their object names.
class TTesteJanela : public QObject {
protected:
    // For each test's init(): boxes are recorded from now on, the record and the answer queue
    // emptied.
    static void GravarCaixas() { marvek::dialogos::AtivarTeste(true); }

    // The window's control of that name and type; the test program stops when there is none.
    template <typename T> static T* Controle(QWidget& janela, const char* nome) {
        T* c = janela.findChild<T*>(QString::fromLatin1(nome));
        if (!c)
            qFatal("control %s not found", nome);
        return c;
    }

    // Shows the window and waits until it is the active one.
    static bool Mostrar(QWidget& janela) {
        janela.show();
        return QTest::qWaitForWindowActive(&janela);
    }
};

} // namespace teste
