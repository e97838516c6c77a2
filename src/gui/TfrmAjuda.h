#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;

namespace marvek {

// The about window: a picture of the main window with its six controls numbered, and what each
// one does. Pointing at item 1 (or pressing 1) plays two pictures of the branch field in use.
class TfrmAjuda : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAjuda(QWidget* pai = nullptr);
    ~TfrmAjuda() override;

    // Length of each of the two waits of the picture sequence (1500 ms).
    static int Espera();
    static void DefinirEspera(int milissegundos);
    // Called after each step of the sequence has been painted (img1 shown, img2 shown, both
    // hidden again); empty by default.
    static void DefinirObservador(std::function<void(TfrmAjuda*)> observador);

    // The picture sequence: img1, wait, img2, wait, top picture alone. The waits block.
    void Lbl1MouseEnter();
    void btnFecharClick();

    QLabel* Image1;
    QLabel* img1;
    QLabel* img2;
    QGroupBox* GroupBox2;
    QLabel* Lbl1;
    QList<QLabel*> Itens;       // "Item 1:" to "Item 6:"
    QList<QLabel*> Descricoes;  // every description line, in order
    QList<QLabel*> LinhasItem1; // the three lines of item 1
    QPushButton* btnFechar;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    // Escape closes; the key 1 (main keyboard or keypad) plays the sequence.
    bool FormKeyDown(QKeyEvent* evento);
    void passo();
};

// Opens the about window modally (the main window's about button).
void MostrarSobre(QWidget* pai);

} // namespace marvek
