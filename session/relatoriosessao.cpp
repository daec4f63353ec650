#include "session/relatoriosessao.h"

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

#include "chart/dashline.h"
#include "chart/vtxgraph.h"
#include "components/interfaceimpressora.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "session/bancosessoes.h"
#include "session/graficocardiaco.h"
#include "session/graficosessao.h"

namespace {

constexpr int kMargem = 30;
constexpr double kDireita = TRelatorioSessao::kLarguraPagina - kMargem;
constexpr int kPontosTabela = 7;
constexpr double kLinhaTabela = 9;
constexpr double kPontosCampos = 7;
// A4 in report units, and the lowest line anything is drawn above.
constexpr double kAlturaPagina = TRelatorioSessao::kLarguraPagina * 297.0 / 210;
constexpr double kFimPagina = kAlturaPagina - kMargem;
// The laboratory's header: its height, the logo's largest width, and how far it moves the
// patient block down.
constexpr double kAlturaLaboratorio = 28, kLarguraLogo = 90, kDeslocamentoLaboratorio = 12;
// Peaks and stop reason; the results block's lines; the comments' lines.
constexpr double kAlturaPicos = 24, kLinhaResultado = 9, kLinhaComentario = 10;
// The physician's conclusion and signature, under the charts.
constexpr double kAlturaLaudo = 48;
// Below this the belt chart alone goes to a page of its own rather than being squeezed; with
// the heart-rate chart under it, each may be smaller, down to the second value.
constexpr double kAlturaMinimaGrafico = 200, kAlturaMinimaPar = 90;
constexpr double kAlturaMaximaGrafico = 330, kEntreGraficos = 8;
// The legend's line under a chart, and the printed lines' width (about 0.3 mm: wide enough for
// dashes to show, and a printer pen other than 1 draws them in millimetres).
constexpr double kAlturaLegenda = 14;
// The chart's own margin above its title and below its caption on paper, control pixels.
constexpr int kMargemVertical = 3;
constexpr double kTracoGrafico = 0.7;

// Maps report units to the printer's device pixels.
class TPagina {
public:
    explicit TPagina(TPrinter &impressora)
        : c(impressora.Canvas()),
          FImpressora(impressora),
          FRazao(double(c.DeviceCaps(TCanvas::PhysicalWidth)) / TRelatorioSessao::kLarguraPagina),
          FX(c.DeviceCaps(TCanvas::PhysicalOffsetX)),
          FY(c.DeviceCaps(TCanvas::PhysicalOffsetY))
    {
        if (!(FRazao > 0))
            FRazao = double(c.DeviceCaps(TCanvas::LogPixelsX)) * 210 / 25.4 /
                     TRelatorioSessao::kLarguraPagina;
    }
    int X(double u) const { return int(std::lround(u * FRazao)) - FX; }
    int Y(double u) const { return int(std::lround(u * FRazao)) - FY; }
    int L(double u) const { return int(std::trunc(u * FRazao)); }
    double Polegadas(int pixels) const
    {
        return double(pixels) / std::max(1, c.DeviceCaps(TCanvas::LogPixelsX));
    }
    double Razao() const { return FRazao; }
    // Starts the next page; the top of its content.
    double NovaPagina()
    {
        FImpressora.NewPage();
        return kMargem;
    }
    // `y`, or the top of a new page when `altura` from `y` would pass the page's bottom.
    double Reservar(double y, double altura) { return y + altura > kFimPagina ? NovaPagina() : y; }
    void Texto(double x, double y, const QString &texto, int pontos = 8, bool negrito = false)
    {
        Fonte(pontos, negrito);
        c.Brush().Style = TCanvas::bsClear;
        c.TextOut(X(x), Y(y), texto);
    }
    // A text's width in report units.
    double Largura(const QString &texto, int pontos = 8, bool negrito = false)
    {
        Fonte(pontos, negrito);
        return c.TextWidth(texto) / FRazao;
    }
    // The text ending at `direita`.
    void TextoDireita(double direita, double y, const QString &texto, int pontos = 8,
                      bool negrito = false)
    {
        Texto(direita - Largura(texto, pontos, negrito), y, texto, pontos, negrito);
    }
    // The lines `texto` wraps to within `largura`, breaking at spaces (a word wider than the
    // width stands on a line of its own).
    QStringList Quebrar(const QString &texto, double largura, int pontos, bool negrito = false)
    {
        QStringList linhas;
        QString linha;
        for (const QString &palavra : texto.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString junta = linha.isEmpty() ? palavra : linha + QLatin1Char(' ') + palavra;
            if (!linha.isEmpty() && Largura(junta, pontos, negrito) > largura) {
                linhas << linha;
                linha = palavra;
            } else {
                linha = junta;
            }
        }
        if (!linha.isEmpty() || linhas.isEmpty())
            linhas << linha;
        return linhas;
    }
    // The text cut, with an ellipsis, to fit `largura`.
    QString Encurtar(const QString &texto, double largura, int pontos, bool negrito = false)
    {
        QString t = texto;
        while (t.size() > 1 && Largura(t, pontos, negrito) > largura)
            t = t.left(t.size() - 2) + QChar(0x2026);
        return t;
    }
    // An image scaled smoothly to the printer's pixels of a box in report units.
    void Imagem(double x, double y, double w, double h, const QImage &imagem)
    {
        const QImage pronta = imagem.scaled(std::max(1, L(w)), std::max(1, L(h)),
                                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        c.StretchDraw(TRect::Bounds(X(x), Y(y), pronta.width(), pronta.height()), pronta);
    }
    void Linha(double x0, double y0, double x1, double y1)
    {
        c.Pen().Color = clBlack;
        c.Pen().Width = std::max(1, L(0.5));
        c.MoveTo(X(x0), Y(y0));
        c.LineTo(X(x1), Y(y1));
    }
    TCanvas &c;

private:
    void Fonte(int pontos, bool negrito)
    {
        c.Font().Name = QStringLiteral("Arial");
        c.Font().SetSize(pontos);
        c.Font().Bold = negrito;
        c.Font().Color = clBlack;
    }

    TPrinter &FImpressora;
    double FRazao;
    int FX, FY;
};

// A figure as the default locale writes it (the language installed chose it).
QString Numero(double v, int casas = 1)
{
    return QLocale().toString(v, 'f', casas);
}

// A speed or grade on escala's scale, as Numero writes it.
QString Numero(const TEscalaVelocidade &escala, double kmh)
{
    return Numero(escala.Valor(kmh), escala.casas);
}

// A patient field exactly as TInterfaceImpressora measured it: a 96-dpi font scaled by the
// page ratio, wrapped in the scaled box.
void CampoPaciente(TPagina &p, const TRelatorioSessao::TCaixa &caixa, const QString &rotulo,
                   const QString &texto)
{
    p.Texto(caixa.x, caixa.y - 9, rotulo, 6);
    TCanvas &c = p.c;
    c.Pen().Color = clSilver;
    c.Pen().Width = 1;
    c.Brush().Style = TCanvas::bsClear;
    const TRect box =
        TRect::Bounds(p.X(caixa.x), p.Y(caixa.y), p.L(caixa.largura), p.L(caixa.altura));
    c.Rectangle(box.Left - p.L(1), box.Top - p.L(1), box.Right + p.L(1), box.Bottom + p.L(1));
    c.SetPixelsPerInch(96, 96);
    c.Font() = TCanvas::TFont::FromQFont(TRelatorioSessao::FonteCampos());
    c.Font().SetSize(int(std::trunc(kPontosCampos * p.Razao() + 0.5)));
    TRect r = box;
    c.SetClipRect(box);
    c.DrawText(r, texto, TCanvas::dtWordBreak | TCanvas::dtNoPrefix);
    c.ResetClip();
    c.SetPixelsPerInch(0, 0);  // back to the printer's own resolution
}

// The title, alone as it always was, or on the right of the laboratory's logo, name and
// address; how far the header moves the patient block down.
double Titulo(TPagina &p, const TLaboratorio &lab)
{
    const QString titulo =
        QCoreApplication::translate("TRelatorioSessao", "Relatório de teste de esforço");
    if (lab.Vazio()) {
        p.Texto(kMargem, kMargem, titulo, 14, true);
        return 0;
    }
    const double larguraTitulo = p.Largura(titulo, 12, true);
    p.TextoDireita(kDireita, kMargem, titulo, 12, true);
    double x = kMargem;
    if (const QImage logo(lab.logotipo); !lab.logotipo.isEmpty() && !logo.isNull()) {
        const double escala =
            std::min(kAlturaLaboratorio / logo.height(), kLarguraLogo / logo.width());
        p.Imagem(kMargem, kMargem, logo.width() * escala, logo.height() * escala, logo);
        x += logo.width() * escala + 6;
    }
    const double largura = kDireita - larguraTitulo - 10 - x;
    p.Texto(x, kMargem, p.Encurtar(lab.nome, largura, 10, true), 10, true);
    const QStringList endereco = lab.endereco.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < std::min<int>(2, endereco.size()); ++i)
        p.Texto(x, kMargem + 13 + 8 * i, p.Encurtar(endereco.at(i).trimmed(), largura, 7), 7);
    p.Linha(kMargem, kMargem + kAlturaLaboratorio + 2, kDireita, kMargem + kAlturaLaboratorio + 2);
    return kDeslocamentoLaboratorio;
}

// The patient block, `dy` below its place without a header: the age beside the birth date's
// label, and the beta blocker on the observations' line.
void Paciente(TPagina &p, const TRelatorioSessao::TDados &d, double dy)
{
    for (TRelatorioSessao::TCaixa caixa : TRelatorioSessao::CaixasPaciente()) {
        caixa.y += int(dy);
        QString rotulo = caixa.rotulo;
        if (caixa.campo == QLatin1String("nascimento") && d.idade)
            rotulo +=
                *d.idade == 1
                    ? QCoreApplication::translate("TRelatorioSessao", " (1 ano)")
                    : QCoreApplication::translate("TRelatorioSessao", " (%1 anos)").arg(*d.idade);
        if (caixa.campo == QLatin1String("observacoes") && d.sessao.betabloqueador)
            p.TextoDireita(caixa.x + caixa.largura, caixa.y - 9,
                           QCoreApplication::translate("TRelatorioSessao", "Usa betabloqueador"), 6,
                           true);
        CampoPaciente(p, caixa, rotulo, TRelatorioSessao::ValorCampo(d.paciente, caixa.campo));
    }
}

// Protocol, date, limits, recovery, duration and situation; the line under them.
double Protocolo(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    const TSessao &s = d.sessao;
    p.Texto(kMargem, y,
            QCoreApplication::translate("TRelatorioSessao", "Protocolo: %1").arg(s.protocoloNome),
            9, true);
    p.Texto(280, y,
            QCoreApplication::translate("TRelatorioSessao", "Data: %1")
                .arg(QLocale().toString(
                    s.inicio.toLocalTime(),
                    QCoreApplication::translate("TRelatorioSessao", "dd/MM/yyyy HH:mm",
                                                "date and time format"))),
            9);
    p.Texto(
        kMargem, y + 12,
        QCoreApplication::translate("TRelatorioSessao",
                                    "Limites: %1 %2, %3 %   Recuperação: %4 min a %5 %2, %6 %")
            .arg(Numero(d.velocidade, s.velocidadeMaxima), d.velocidade.simbolo,
                 Numero(s.inclinacaoMaxima), Numero(s.recuperacaoMs / 60000.0),
                 Numero(d.velocidade, s.recuperacaoVelocidade), Numero(s.recuperacaoInclinacao)),
        8);
    p.Texto(280, y + 12,
            QCoreApplication::translate("TRelatorioSessao", "Duração: %1   Situação: %2")
                .arg(TResumoSessao::Tempo(s.duracaoMs), TBancoSessoes::NomeSituacao(s.situacao)),
            8);
    return y + 28;
}

// The stage table's columns. Speed and grade get the room for "12.0 km/h (protocolo 14.5)".
constexpr int kColunas[] = {kMargem, 58, 100, 126, 152, 226, 290, 312, 338, 378, 406, 426};
constexpr int kNumColunas = int(std::size(kColunas));
const char *const kTitulos[kNumColunas] = {QT_TRANSLATE_NOOP("TRelatorioSessao", "Estágio"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Fase"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Início"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Fim"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Velocidade"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Inclinação"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "METs"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "FC"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "PA"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "DP"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Borg"),
                                           QT_TRANSLATE_NOOP("TRelatorioSessao", "Obs.")};

// "5.0 km/h", and the protocol's value beside it where the test's limits changed it; the figures
// as escala shows them (grades: a scale of 1 and one decimal).
QString Enviado(double valor, double protocolo, const TEscalaVelocidade &escala)
{
    QString texto = QStringLiteral("%1 %2").arg(Numero(escala, valor), escala.simbolo);
    if (protocolo != 0 && escala.Numero(protocolo) != escala.Numero(valor))
        texto += QCoreApplication::translate("TRelatorioSessao", " (protocolo %1)")
                     .arg(Numero(escala, protocolo));
    return texto;
}

double CabecalhoTabela(TPagina &p, double y)
{
    for (int i = 0; i < kNumColunas; ++i)
        p.Texto(kColunas[i], y, QCoreApplication::translate("TRelatorioSessao", kTitulos[i]),
                kPontosTabela, true);
    p.Linha(kMargem, y + kLinhaTabela, kDireita, y + kLinhaTabela);
    return y + kLinhaTabela + 2;
}

void LinhaEstagio(TPagina &p, const TRelatorioSessao::TEstagio &linha,
                  const TEscalaVelocidade &velocidade, double y)
{
    const TResumoEstagio &e = linha.resumo;
    QStringList marcas;
    if (e.pulado)
        marcas << QCoreApplication::translate("TRelatorioSessao", "pulado");
    if (e.espera)
        marcas << QCoreApplication::translate("TRelatorioSessao", "espera");
    const QString campos[kNumColunas] = {
        QString::number(e.estagio),
        TResumoSessao::NomeFaseExibido(e.fase),
        TResumoSessao::Tempo(e.inicioMs),
        TResumoSessao::Tempo(e.fimMs),
        Enviado(e.velocidade, e.velocidadeProtocolo, velocidade),
        Enviado(e.inclinacao, e.inclinacaoProtocolo, TEscalaVelocidade{QStringLiteral("%"), 1, 1}),
        linha.mets ? Numero(*linha.mets) : QString(),
        e.frequenciaCardiaca
            ? QCoreApplication::translate("TRelatorioSessao", "%1 bpm").arg(e.frequenciaCardiaca)
            : QString(),
        e.pressaoSistolica ? QCoreApplication::translate("TRelatorioSessao", "%1/%2 mmHg")
                                 .arg(e.pressaoSistolica)
                                 .arg(e.pressaoDiastolica)
                           : QString(),
        linha.duploProduto ? QString::number(*linha.duploProduto) : QString(),
        e.borg ? QString::number(e.borg) : QString(),
        marcas.join(QStringLiteral(", "))};
    for (int i = 0; i < kNumColunas; ++i)
        p.Texto(kColunas[i], y, campos[i], kPontosTabela);
}

// The stage table, going on to further pages (under its header again) as it needs.
double Tabela(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    y = CabecalhoTabela(p, y);
    for (const TRelatorioSessao::TEstagio &e : d.estagios) {
        if (y + kLinhaTabela > kFimPagina)
            y = CabecalhoTabela(p, p.NovaPagina());
        LinhaEstagio(p, e, d.velocidade, y);
        y += kLinhaTabela;
    }
    return y;
}

// What the marks of the stage table mean, under it when a stage has one.
double NotaMarcas(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    const bool marcas = std::any_of(d.estagios.begin(), d.estagios.end(), [](const auto &e) {
        return e.resumo.pulado || e.resumo.espera;
    });
    if (!marcas)
        return y;
    y = p.Reservar(y, kLinhaTabela);
    p.Texto(kMargem, y,
            QCoreApplication::translate(
                "TRelatorioSessao",
                "pulado: deixado pelo operador antes do fim previsto; espera: pausa "
                "ou perda de comunicação durante o estágio"),
            6);
    return y + kLinhaTabela;
}

double Picos(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    const TResumoSessao::TPicos &pk = d.picos;
    QString picos =
        QCoreApplication::translate("TRelatorioSessao", "Picos: %1, %2 %, exercício %3")
            .arg(Numero(d.velocidade, pk.velocidade) + QLatin1Char(' ') + d.velocidade.simbolo,
                 Numero(pk.inclinacao), TResumoSessao::Tempo(pk.exercicioMs));
    if (pk.frequenciaCardiaca)
        picos += QCoreApplication::translate("TRelatorioSessao", ", FC %1 bpm")
                     .arg(pk.frequenciaCardiaca);
    if (pk.pressaoSistolica)
        picos += QCoreApplication::translate("TRelatorioSessao", ", PA %1/%2 mmHg")
                     .arg(pk.pressaoSistolica)
                     .arg(pk.pressaoDiastolica);
    if (pk.borg)
        picos += QCoreApplication::translate("TRelatorioSessao", ", Borg %1").arg(pk.borg);
    p.Texto(kMargem, y, picos, 9, true);
    p.Texto(kMargem, y + 12,
            QCoreApplication::translate("TRelatorioSessao", "Motivo da interrupção: %1")
                .arg(d.sessao.motivoParada.isEmpty()
                         ? QStringLiteral("-")
                         // a reason the session database wrote is shown translated; others as
                         // they were recorded
                         : QCoreApplication::translate("TBancoSessoes",
                                                       d.sessao.motivoParada.toUtf8().constData())),
            9);
    return y + kAlturaPicos;
}

// The results in two columns, each line wrapped in its column, then the test's warnings across
// the page; nothing when the caller gave neither.
class TBlocoResultados {
public:
    TBlocoResultados(TPagina &p, const TRelatorioSessao::TDados &d) : FPagina(p)
    {
        if (d.resultados.isEmpty() && d.avisos.isEmpty())
            return;
        for (const TRelatorioSessao::TLinhaResultado &r : d.resultados) {
            const QString texto = (r.alerta ? QStringLiteral("! ") : QString()) + r.rotulo +
                                  QStringLiteral(": ") + r.valor;
            FItens << TItem{p.Quebrar(texto, kColuna, kPontosTabela, r.alerta), r.alerta};
        }
        const QString avisos = d.avisos.isEmpty()
                                   ? QCoreApplication::translate("TRelatorioSessao", "nenhum")
                                   : d.avisos.join(QStringLiteral("; "));
        FAvisos = p.Quebrar(
            QCoreApplication::translate("TRelatorioSessao", "Avisos durante o teste: ") + avisos,
            kDireita - kMargem, kPontosTabela);
        FAltura = kTitulo + 2 + FAvisos.size() * kLinhaResultado;
        for (qsizetype i = 0; i < FItens.size(); i += 2)
            FAltura += Linhas(i) * kLinhaResultado;
    }
    double Altura() const { return FAltura; }
    double Imprimir(double y)
    {
        if (FAltura == 0)
            return y;
        FPagina.Texto(kMargem, y, QCoreApplication::translate("TRelatorioSessao", "Resultados"), 9,
                      true);
        y += kTitulo;
        for (qsizetype i = 0; i < FItens.size(); ++i) {
            const TItem &item = FItens.at(i);
            for (qsizetype l = 0; l < item.linhas.size(); ++l)
                FPagina.Texto(kMargem + (i % 2) * (kColuna + kEntreColunas),
                              y + l * kLinhaResultado, item.linhas.at(l), kPontosTabela,
                              item.alerta);
            if (i % 2 == 1 || i + 1 == FItens.size())
                y += Linhas(i - i % 2) * kLinhaResultado;
        }
        y += 2;
        for (const QString &linha : FAvisos) {
            FPagina.Texto(kMargem, y, linha, kPontosTabela);
            y += kLinhaResultado;
        }
        return y;
    }

private:
    static constexpr double kTitulo = 12, kEntreColunas = 10;
    static constexpr double kColuna = (kDireita - kMargem - kEntreColunas) / 2;
    struct TItem {
        QStringList linhas;
        bool alerta = false;
    };
    // The lines of the row of two that starts at item `i`.
    qsizetype Linhas(qsizetype i) const
    {
        const qsizetype esquerda = FItens.at(i).linhas.size();
        return i + 1 < FItens.size() ? std::max(esquerda, FItens.at(i + 1).linhas.size())
                                     : esquerda;
    }

    TPagina &FPagina;
    QList<TItem> FItens;
    QStringList FAvisos;
    double FAltura = 0;
};

// The operator's comments, each paragraph wrapped; nothing without them.
double Comentarios(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    if (d.sessao.comentarios.trimmed().isEmpty())
        return y;
    const double recuo = 55;
    QStringList linhas;
    for (const QString &paragrafo : d.sessao.comentarios.split(QLatin1Char('\n')))
        if (!paragrafo.trimmed().isEmpty())
            linhas << p.Quebrar(paragrafo, kDireita - kMargem - recuo, 8);
    y = p.Reservar(y, linhas.size() * kLinhaComentario);
    p.Texto(kMargem, y, QCoreApplication::translate("TRelatorioSessao", "Comentários:"), 8, true);
    for (const QString &linha : linhas) {
        p.Texto(kMargem + recuo, y, linha, 8);
        y += kLinhaComentario;
    }
    return y;
}

// The physician's lines: the conclusion with room to write, and the signature.
void Laudo(TPagina &p, double y)
{
    p.Texto(kMargem, y, QCoreApplication::translate("TRelatorioSessao", "Conclusão:"), 9, true);
    p.Linha(kMargem + 50, y + 10, kDireita, y + 10);
    p.Linha(kMargem, y + 24, kDireita, y + 24);
    const double assinatura = kDireita - 200;
    p.Linha(assinatura, y + 40, kDireita, y + 40);
    const QString texto = QCoreApplication::translate("TRelatorioSessao",
                                                      "Assinatura e carimbo do médico responsável");
    p.Texto(assinatura + (200 - p.Largura(texto, 7)) / 2, y + 42, texto, 7);
}

// The chart set up for paper while it prints, as it was afterwards: a white background without
// the screen's bevel (toner; the report frames it), a thin margin above and below (the plot gets
// the height; the frame is the margin), fewer Y divisions where a short chart would crowd its
// numbers, lines `traco` printer pixels wide, and the division widths that make the control, at
// its canvas' resolution, the size of the rectangle it prints in: the paper then scales its
// margins as the text is scaled, so the numbers and captions fit in them as on screen.
class TGraficoNoPapel {
public:
    // `margem`: the side margin (control pixels) the plot is to start at, when wider than the
    // chart's own, so that charts printed one under the other line their plots up.
    TGraficoNoPapel(TvtxGraph &grafico, double larguraPol, double alturaPol, int traco, int margem)
        : g(grafico),
          FCor(g.Color()),
          FBorda(g.Border()),
          FTraco(g.PrinterPenWidth()),
          FDivisaoX(g.XAxis()->DivisionWidth()),
          FDivisaoY(g.YAxis()->DivisionWidth()),
          FMargem(g.LRmargin()),
          FMargemTB(g.TBmargin()),
          FDivisoesY(g.YAxis()->NumberOfDivisions()),
          FEscalaY(g.YAxis()->ScalePerDivision()),
          FEscalaY2(g.YAxis2()->ScalePerDivision())
    {
        g.SetColor(clWhite);
        g.SetTBmargin(kMargemVertical);
        g.SetBorder(false);
        g.SetPrinterPenWidth(traco);
        g.CalculaDimensoes();
        if (margem > g.Xorigin()) {
            g.SetLRmargin(FMargem + margem - g.Xorigin());
            g.CalculaDimensoes();
        }
        const TChartLayout &l = g.Layout();
        const QSize total = l.ControlSize();
        Dividir(*g.XAxis(), larguraPol * g.Canvas().PixelsPerInchX(),
                total.width() - l.PlotWidth());
        const double altura = alturaPol * g.Canvas().PixelsPerInchY();
        const int margens = total.height() - l.PlotHeight();
        TAxis &y = *g.YAxis();
        Dividir(y, altura, margens);
        // A short chart: half as many divisions, each twice as long, while a division is lower
        // than its number.
        const QFont fonte = y.Font();
        const double numero =
            1.2 * (fonte.pointSizeF() > 0 ? fonte.pointSizeF() * g.Canvas().PixelsPerInchY() / 72
                                          : fonte.pixelSize());
        while (y.NumberOfDivisions() % 2 == 0 && y.DivisionWidth() < numero) {
            y.SetNumberOfDivisions(y.NumberOfDivisions() / 2);
            y.SetScalePerDivision(2 * y.ScalePerDivision());
            g.YAxis2()->SetScalePerDivision(2 * g.YAxis2()->ScalePerDivision());
            Dividir(y, altura, margens);
        }
    }
    ~TGraficoNoPapel()
    {
        g.YAxis()->SetNumberOfDivisions(FDivisoesY);
        g.YAxis()->SetScalePerDivision(FEscalaY);
        g.YAxis2()->SetScalePerDivision(FEscalaY2);
        g.XAxis()->SetDivisionWidth(FDivisaoX);
        g.YAxis()->SetDivisionWidth(FDivisaoY);
        g.SetLRmargin(FMargem);
        g.SetTBmargin(FMargemTB);
        g.SetPrinterPenWidth(FTraco);
        g.SetBorder(FBorda);
        g.SetColor(FCor);
    }
    TGraficoNoPapel(const TGraficoNoPapel &) = delete;
    TGraficoNoPapel &operator=(const TGraficoNoPapel &) = delete;

private:
    static void Dividir(TAxis &eixo, double pixels, int margens)
    {
        eixo.SetDivisionWidth(
            std::max(1, int((pixels - margens) / std::max(1, eixo.NumberOfDivisions()))));
    }

    TvtxGraph &g;
    TColor FCor;
    bool FBorda;
    int FTraco, FDivisaoX, FDivisaoY, FMargem, FMargemTB, FDivisoesY;
    double FEscalaY, FEscalaY2;
};

// One line under a chart: a sample of each line as printed with its name, then each symbol with
// its name.
void Legenda(TPagina &p, double y, const QList<TGraficoSessao::TLinha> &linhas,
             const QList<TGraficoCardiaco::TSimbolo> &simbolos, int traco)
{
    TCanvas &c = p.c;
    const int meio = p.Y(y + 4);
    double x = kMargem + 10;
    for (const TGraficoSessao::TLinha &linha : linhas) {
        c.Pen() = TCanvas::TPen{linha.cor, traco, linha.estilo, TCanvas::pmCopy};
        TDashLine::Draw(c, QPoint(p.X(x + 28), meio), QPoint(p.X(x), meio), true);
        p.Texto(x + 32, y, linha.nome);
        x += 32 + p.Largura(linha.nome) + 20;
    }
    for (const TGraficoCardiaco::TSimbolo &s : simbolos) {
        s.simbolo.Draw(c, p.X(x + 14), meio, true, traco);
        p.Texto(x + 32, y, s.nome);
        x += 32 + p.Largura(s.nome) + 20;
    }
}

// A chart printed in a thin black frame, `altura` tall from `topo` across the page, its plot
// `margem` control pixels from its sides at least; the frame's bottom.
double Grafico(TPagina &p, TvtxGraph &grafico, double topo, double altura, int traco, int margem)
{
    const double largura = TRelatorioSessao::kLarguraPagina - 2 * kMargem;
    {
        const TGraficoNoPapel papel(grafico, p.Polegadas(p.L(largura)), p.Polegadas(p.L(altura)),
                                    traco, margem);
        grafico.Imprime(float(p.Polegadas(p.X(kMargem))), float(p.Polegadas(p.Y(topo))),
                        float(p.Polegadas(p.L(largura))), float(p.Polegadas(p.L(altura))));
    }
    const double fundo = topo + altura;
    p.Linha(kMargem, topo, kMargem + largura, topo);
    p.Linha(kMargem + largura, topo, kMargem + largura, fundo);
    p.Linha(kMargem + largura, fundo, kMargem, fundo);
    p.Linha(kMargem, fundo, kMargem, topo);
    return fundo;
}

}  // namespace

QList<TRelatorioSessao::TCaixa> TRelatorioSessao::CaixasPaciente()
{
    return {
        {QStringLiteral("nome"), QCoreApplication::translate("TRelatorioSessao", "Nome"), kMargem,
         62, 300, 14},
        {QStringLiteral("identificador"),
         QCoreApplication::translate("TRelatorioSessao", "Identificação"), 340, 62, 134, 14},
        {QStringLiteral("nascimento"),
         QCoreApplication::translate("TRelatorioSessao", "Nascimento"), kMargem, 90, 70, 14},
        {QStringLiteral("sexo"), QCoreApplication::translate("TRelatorioSessao", "Sexo"), 108, 90,
         60, 14},
        {QStringLiteral("peso"), QCoreApplication::translate("TRelatorioSessao", "Peso (kg)"), 176,
         90, 50, 14},
        {QStringLiteral("altura"), QCoreApplication::translate("TRelatorioSessao", "Altura (cm)"),
         234, 90, 50, 14},
        {QStringLiteral("medico"),
         QCoreApplication::translate("TRelatorioSessao", "Médico solicitante"), 292, 90, 182, 14},
        {QStringLiteral("observacoes"),
         QCoreApplication::translate("TRelatorioSessao", "Observações"), kMargem, 118, 444, 26},
    };
}

QFont TRelatorioSessao::FonteCampos()
{
    QFont fonte(QStringLiteral("Arial"));
    fonte.setPointSizeF(kPontosCampos);
    return fonte;
}

void TRelatorioSessao::ConfigurarCaixa(TInterfaceImpressora &interface, const QString &campo)
{
    for (const TCaixa &c : CaixasPaciente())
        if (c.campo == campo) {
            interface.AjustarFonte(FonteCampos());
            interface.AjustarAlinhamento(TInterfaceImpressora::taLeftJustify);
            interface.AjustarLargura(c.largura);
            interface.AjustarAltura(c.altura);
            interface.AjustarLargDaPaginaNaTela(kLarguraPagina);
        }
}

QString TRelatorioSessao::ValorCampo(const TPaciente &p, const QString &campo)
{
    const std::pair<const char *, const QString *> campos[] = {{"nome", &p.nome},
                                                               {"identificador", &p.identificador},
                                                               {"nascimento", &p.nascimento},
                                                               {"sexo", &p.sexo},
                                                               {"peso", &p.peso},
                                                               {"altura", &p.altura},
                                                               {"medico", &p.medico},
                                                               {"observacoes", &p.observacoes}};
    for (const auto &[nome, valor] : campos)
        if (campo == QLatin1String(nome))
            return *valor;
    return QString();
}

TRelatorioSessao::TDados TRelatorioSessao::Carregar(const TBancoSessoes &banco, qint64 sessaoId)
{
    TDados d;
    d.laboratorio = TLaboratorio::Carregar();
    d.sessao = banco.LerSessao(sessaoId).value_or(TSessao{});
    d.paciente = banco.LerPaciente(d.sessao.pacienteId).value_or(TPaciente{});
    // A test prints the weight and height of its day, not the patient's latest.
    if (!d.sessao.peso.isEmpty() || !d.sessao.altura.isEmpty()) {
        d.paciente.peso = d.sessao.peso;
        d.paciente.altura = d.sessao.altura;
    }
    d.amostras = banco.LerAmostras(sessaoId);
    d.eventos = banco.LerEventos(sessaoId);
    // From the record, as the clinical results are, rather than the stored table, which keeps
    // no skipped and held marks.
    for (const TResumoEstagio &e : TResumoSessao::Estagios(d.amostras, d.eventos))
        d.estagios << TEstagio{e, std::nullopt, std::nullopt};
    d.picos = TResumoSessao::Picos(d.amostras, d.eventos);
    return d;
}

void TRelatorioSessao::Imprimir(const TDados &dados, TvtxGraph &grafico)
{
    TPrinter *impressora = Printer();
    impressora->SetTitle(QCoreApplication::translate("TRelatorioSessao", "Teste de esforço %1")
                             .arg(dados.sessao.id));
    impressora->BeginDoc();
    try {
        TPagina p(*impressora);
        const double dy = Titulo(p, dados.laboratorio);
        Paciente(p, dados, dy);
        double y = Protocolo(p, dados, 150 + dy);
        y = NotaMarcas(p, dados, Tabela(p, dados, y));
        y = Picos(p, dados, p.Reservar(y + 6, kAlturaPicos));
        TBlocoResultados resultados(p, dados);
        y = resultados.Imprimir(p.Reservar(y, resultados.Altura()));
        y = Comentarios(p, dados, y + 2);
        // The charts and their legends share what is left of the page above the physician's
        // lines.
        std::unique_ptr<TvtxGraph> cardiaco;
        if (TGraficoCardiaco::TemDados(dados.amostras, dados.eventos)) {
            cardiaco = std::make_unique<TvtxGraph>();
            TGraficoCardiaco(*cardiaco).Redesenhar(dados.amostras, dados.eventos);
        }
        const int graficos = cardiaco ? 2 : 1;
        const double minima = cardiaco ? kAlturaMinimaPar : kAlturaMinimaGrafico;
        const double entre = kEntreGraficos * (graficos - 1);
        const double topo =
            p.Reservar(y + 4, graficos * (minima + kAlturaLegenda) + entre + kAlturaLaudo);
        const double altura =
            std::min((kFimPagina - kAlturaLaudo - topo - entre) / graficos - kAlturaLegenda,
                     kAlturaMaximaGrafico);
        const int traco = std::max(2, p.L(kTracoGrafico));
        // Both laid out with the wider side margins, so their time axes line up on paper.
        int margem = 0;
        for (TvtxGraph *g : {&grafico, cardiaco.get()})
            if (g) {
                g->CalculaDimensoes();
                margem = std::max(margem, g->Xorigin());
            }
        y = Grafico(p, grafico, topo, altura, traco, margem);
        Legenda(p, y + 4, TGraficoSessao::Linhas(dados.velocidade), {}, traco);
        if (cardiaco) {
            y = Grafico(p, *cardiaco, y + kAlturaLegenda + kEntreGraficos, altura, traco, margem);
            Legenda(p, y + 4, TGraficoCardiaco::Linhas(), TGraficoCardiaco::Simbolos(), traco);
        }
        Laudo(p, y + kAlturaLegenda + 4);
        impressora->EndDoc();
    } catch (...) {
        impressora->Abort();
        throw;
    }
}
