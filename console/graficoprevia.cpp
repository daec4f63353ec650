#include "console/graficoprevia.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// A scale's top: the next multiple of passo above the largest value (at least one passo).
double Topo(double maximo, double passo)
{
    return std::max(passo, std::ceil(maximo / passo + 1e-9) * passo);
}

}  // namespace

TGraficoPrevia::TGraficoPrevia(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("grfPrevia"));
    setMinimumSize(280, 160);
}

void TGraficoPrevia::Mostrar(const TPreviaProtocolo &previa, const TUnidadeVelocidade &unidade)
{
    FPrevia = previa;
    FUnidade = unidade;
    update();
}

QSize TGraficoPrevia::sizeHint() const
{
    return {420, 220};
}

void TGraficoPrevia::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    const int margemX = fm.horizontalAdvance(QStringLiteral("00.0")) + 8;
    const QRect area = rect().adjusted(margemX, fm.height() + 6, -margemX, -(fm.height() + 10));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area);
    if (FPrevia.Pontos().isEmpty() || FPrevia.DuracaoMs() <= 0) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                   tr("Sem prévia: corrija os campos marcados."));
        return;
    }
    const double duracao = double(FPrevia.DuracaoMs());
    const double topoV = Topo(FUnidade.DeKmh(FPrevia.VelocidadePico()), 2);
    const double topoI = Topo(FPrevia.InclinacaoPico(), 5);
    auto x = [&](qint64 t) { return area.left() + area.width() * double(t) / duracao; };
    auto y = [&](double v, double topo) { return area.bottom() - area.height() * v / topo; };

    // Step boundaries, then the minutes under the axis.
    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (const TPreviaProtocolo::TEtapa &e : FPrevia.Etapas())
        p.drawLine(QPointF(x(e.etapa.inicioMs), area.top()),
                   QPointF(x(e.etapa.inicioMs), area.bottom()));
    p.setPen(palette().color(QPalette::Text));
    const qint64 minutos = FPrevia.DuracaoMs() / 60000;
    const qint64 passoMin = std::max<qint64>(1, (minutos + 9) / 10);
    for (qint64 m = 0; m * 60000 <= FPrevia.DuracaoMs(); m += passoMin)
        p.drawText(QRectF(x(m * 60000) - 20, area.bottom() + 2, 40, fm.height()), Qt::AlignCenter,
                   QString::number(m));
    p.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), fm.height() + 8),
               Qt::AlignRight | Qt::AlignBottom, QStringLiteral("min"));
    // The scales: speed on the left, grade on the right.
    p.setPen(QColor(190, 0, 0));
    p.drawText(QRectF(0, area.top() - fm.height() - 4, margemX * 3, fm.height()), Qt::AlignLeft,
               FUnidade.Simbolo());
    p.drawText(QRectF(0, area.top() - fm.height() / 2, margemX - 4, fm.height()), Qt::AlignRight,
               QString::number(topoV, 'f', 0));
    p.drawText(QRectF(0, area.bottom() - fm.height() / 2, margemX - 4, fm.height()), Qt::AlignRight,
               QStringLiteral("0"));
    p.setPen(QColor(0, 70, 200));
    p.drawText(
        QRectF(area.right() - margemX * 2, area.top() - fm.height() - 4, margemX * 3, fm.height()),
        Qt::AlignRight, QStringLiteral("%"));
    p.drawText(QRectF(area.right() + 4, area.top() - fm.height() / 2, margemX, fm.height()),
               Qt::AlignLeft, QString::number(topoI, 'f', 0));
    p.drawText(QRectF(area.right() + 4, area.bottom() - fm.height() / 2, margemX, fm.height()),
               Qt::AlignLeft, QStringLiteral("0"));

    // Each target held until the next one; the last until the stop.
    p.setRenderHint(QPainter::Antialiasing, false);
    auto degraus = [&](auto valor, double topo, const QColor &cor) {
        QPainterPath caminho;
        const QList<TPreviaProtocolo::TPonto> &pontos = FPrevia.Pontos();
        for (int i = 0; i < pontos.size(); ++i) {
            const double yi = y(valor(pontos[i]), topo);
            const qint64 fim = i + 1 < pontos.size() ? pontos[i + 1].tempoMs : FPrevia.DuracaoMs();
            if (i == 0)
                caminho.moveTo(x(pontos[i].tempoMs), yi);
            else
                caminho.lineTo(x(pontos[i].tempoMs), yi);
            caminho.lineTo(x(fim), yi);
        }
        p.setPen(QPen(cor, 2));
        p.drawPath(caminho);
    };
    degraus([](const TPreviaProtocolo::TPonto &q) { return q.inclinacao; }, topoI,
            QColor(0, 70, 200));
    degraus([this](const TPreviaProtocolo::TPonto &q) { return FUnidade.DeKmh(q.velocidade); },
            topoV, QColor(190, 0, 0));
}
