#include "gui/Icones.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace marvek {

namespace {
// Draws the picture on a square canvas of 100 by 100 units, at each size the icon offers.
QIcon desenhar(const std::function<void(QPainter&)>& desenho) {
    QIcon icone;
    for (int lado : {16, 24, 28, 32, 48, 64}) {
        QPixmap imagem(lado, lado);
        imagem.fill(Qt::transparent);
        QPainter p(&imagem);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lado / 100.0, lado / 100.0);
        desenho(p);
        p.end();
        icone.addPixmap(imagem);
    }
    return icone;
}
} // namespace

QIcon IconeSobre() {
    return desenhar([](QPainter& p) {
        QRadialGradient fundo(QPointF(38, 32), 70);
        fundo.setColorAt(0, QColor(96, 160, 236));
        fundo.setColorAt(1, QColor(22, 84, 170));
        p.setPen(QPen(QColor(14, 60, 126), 3));
        p.setBrush(fundo);
        p.drawEllipse(QRectF(5, 5, 90, 90));
        // the letter: a dot and a stem with a small foot
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(42, 18, 16, 16));
        QPainterPath haste;
        haste.addRoundedRect(QRectF(42.5, 41, 15, 36), 3, 3);
        haste.addRoundedRect(QRectF(35, 71, 30, 8), 3, 3);
        haste.addRoundedRect(QRectF(36, 41, 12, 8), 3, 3);
        haste.setFillRule(Qt::WindingFill);
        p.drawPath(haste.simplified());
    });
}

QIcon IconeManutencao() {
    return desenhar([](QPainter& p) {
        p.translate(50, 50);
        p.rotate(45);
        // the wrench lies along the y axis: the open jaw on top, the handle below
        QPainterPath chave;
        chave.addEllipse(QPointF(0, -24), 22, 22);
        chave.addRoundedRect(QRectF(-8, -12, 16, 58), 7, 7);
        chave.setFillRule(Qt::WindingFill);
        QPainterPath boca;
        boca.addRect(QRectF(-8.5, -50, 17, 26));
        boca.addEllipse(QPointF(0, -24), 8.5, 8.5);
        boca.setFillRule(Qt::WindingFill);
        const QPainterPath forma = chave.simplified().subtracted(boca.simplified());

        QLinearGradient metal(QPointF(-22, 0), QPointF(22, 0));
        metal.setColorAt(0, QColor(214, 218, 224));
        metal.setColorAt(0.5, QColor(160, 166, 176));
        metal.setColorAt(1, QColor(110, 116, 126));
        p.setPen(QPen(QColor(64, 68, 76), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(metal);
        p.drawPath(forma);
        // a hole at the end of the handle
        p.setBrush(QColor(64, 68, 76));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0, 37), 3.5, 3.5);
    });
}

QIcon IconeProcurar() {
    return desenhar([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 60));
        for (int x : {22, 50, 78})
            p.drawEllipse(QPointF(x, 62), 8, 8);
    });
}

} // namespace marvek
