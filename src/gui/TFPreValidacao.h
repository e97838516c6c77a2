#pragma once

#include <QColor>
#include <QDialog>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace marvek {

// The pre-validation wizard: the kind of installation, the store's code, and the result of
// checking the branch table for that kind. It only reads the database.
class TFPreValidacao : public QDialog {
    Q_OBJECT
public:
    // The colours of PanelInf, which alone carry the state of a result.
    static const QColor CorFalha;   // 255, 128, 128: a problem was found (and at creation)
    static const QColor CorSucesso; // 211, 255, 168: no problem

    explicit TFPreValidacao(QWidget* pai = nullptr);
    ~TFPreValidacao() override;

    // Index of the selected installation type: 0 Loja, 1 Notebook / Escritório Adic., 2 Central.
    int TipoInstalacao() const;
    void DefinirTipoInstalacao(int tipo);
    QColor CorPanelInf() const;
    // The result text exactly as composed (line breaks "\r\n").
    QString TextoDoResultado() const { return m_textoDoResultado; }

    // Page buttons. btnProximoPage2Click raises the database's errors; the button's click
    // shows them through the general error display.
    void btnAvancarPage1Click();
    void BtnAnteriorPage2Click();
    void btnProximoPage2Click();
    void Button1Click();
    void Button2Click();

    QStackedWidget* Notebook1;
    QLabel* Label1;
    QGroupBox* RadioTipoInstalacao;
    QButtonGroup* grupoTipos;
    QPushButton* btnAvancarPage1;
    QLabel* Label2;
    QLineEdit* txtFilialId;
    QPushButton* btnProximoPage2;
    QPushButton* BtnAnteriorPage2;
    QFrame* PanelInf;
    QFrame* Shape2;
    QLabel* Label4;
    QPushButton* Button1; // "&Sair"
    QPushButton* Button2; // "<<"

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void definirCorPanelInf(const QColor& cor);
    void definirTextoDoResultado(const QString& texto);
    QString m_textoDoResultado;
};

// The pre-validation offer of the main window's FormShow (backup mode only): asks, and on yes
// shows a new wizard window modally.
void OferecerPreValidacao(QWidget* pai);

} // namespace marvek
