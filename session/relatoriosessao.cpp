#include "session/relatoriosessao.h"

#include <QLocale>
#include <cmath>
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
constexpr int kLinhaTabela = 11;
constexpr double kPontosCampos = 7;
// A4 in report units, and the lowest line anything is drawn above.
constexpr double kAlturaPagina = TRelatorioSessao::kLarguraPagina * 297.0 / 210;
constexpr double kFimPagina = kAlturaPagina - kMargem;
constexpr double kAlturaConclusao = 60;
// Below this the belt chart alone goes to a page of its own rather than being squeezed; with
// the heart-rate chart under it, each may be smaller, down to the second value.
constexpr double kAlturaMinimaGrafico = 200, kAlturaMinimaPar = 140;
constexpr double kAlturaMaximaGrafico = 330, kEntreGraficos = 8;
// The legend's line under a chart, and the printed lines' width (about 0.3 mm: wide enough for
// dashes to show, and a printer pen other than 1 draws them in millimetres).
constexpr double kAlturaLegenda = 14;
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
    double Largura(const QString &texto, int pontos = 8)
    {
        Fonte(pontos, false);
        return c.TextWidth(texto) / FRazao;
    }
    // Word-wrapped text in a box of report units.
    void Caixa(double x, double y, double w, double h, const QString &texto, int pontos = 8)
    {
        c.Font().SetSize(pontos);
        c.Font().Bold = false;
        c.Brush().Style = TCanvas::bsClear;
        TRect r = TRect::Bounds(X(x), Y(y), L(w), L(h));
        c.DrawText(r, texto, TCanvas::dtWordBreak | TCanvas::dtNoPrefix);
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

QString Numero(double v, int casas = 1)
{
    return QString::number(v, 'f', casas);
}

// A patient field exactly as TInterfaceImpressora measured it: a 96-dpi font scaled by the
// page ratio, wrapped in the scaled box.
void CampoPaciente(TPagina &p, const TRelatorioSessao::TCaixa &caixa, const QString &texto)
{
    p.Texto(caixa.x, caixa.y - 9, caixa.rotulo, 6);
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

void Cabecalho(TPagina &p, const TRelatorioSessao::TDados &d)
{
    p.Texto(kMargem, kMargem, QStringLiteral("Relatório de teste de esforço"), 14, true);
    for (const TRelatorioSessao::TCaixa &caixa : TRelatorioSessao::CaixasPaciente())
        CampoPaciente(p, caixa, TRelatorioSessao::ValorCampo(d.paciente, caixa.campo));
}

void Protocolo(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    const TSessao &s = d.sessao;
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    p.Texto(kMargem, y, QStringLiteral("Protocolo: %1").arg(s.protocoloNome), 9, true);
    p.Texto(280, y,
            QStringLiteral("Data: %1")
                .arg(br.toString(s.inicio.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm"))),
            9);
    p.Texto(kMargem, y + 13,
            QStringLiteral("Limites: %1 km/h, %2 %   Recuperação: %3 min a %4 km/h, %5 %")
                .arg(Numero(s.velocidadeMaxima), Numero(s.inclinacaoMaxima),
                     Numero(s.recuperacaoMs / 60000.0), Numero(s.recuperacaoVelocidade),
                     Numero(s.recuperacaoInclinacao)));
    p.Texto(280, y + 13,
            QStringLiteral("Duração: %1   Situação: %2")
                .arg(TResumoSessao::Tempo(s.duracaoMs), TBancoSessoes::NomeSituacao(s.situacao)));
}

// The stage table's columns. Speed and grade get the room for "12.0 km/h (protocolo 14.5)".
constexpr int kColunas[] = {kMargem, 66, 118, 150, 236, 318, 354, 406};
const char *const kTitulos[] = {"Estágio",    "Fase", "Início", "Velocidade",
                                "Inclinação", "FC",   "PA",     "Borg"};

// "5.0 km/h", and the protocol's value beside it where the test's limits changed it.
QString Enviado(double valor, double protocolo, const QString &unidade)
{
    QString texto = QStringLiteral("%1 %2").arg(Numero(valor), unidade);
    if (protocolo != 0 && Numero(protocolo) != Numero(valor))
        texto += QStringLiteral(" (protocolo %1)").arg(Numero(protocolo));
    return texto;
}

double CabecalhoTabela(TPagina &p, double y)
{
    for (int i = 0; i < 8; ++i)
        p.Texto(kColunas[i], y, QString::fromUtf8(kTitulos[i]), 8, true);
    p.Linha(kMargem, y + kLinhaTabela, TRelatorioSessao::kLarguraPagina - kMargem,
            y + kLinhaTabela);
    return y + kLinhaTabela + 2;
}

void LinhaEstagio(TPagina &p, const TResumoEstagio &e, double y)
{
    const QString campos[] = {
        QString::number(e.estagio),
        TResumoSessao::NomeFase(e.fase),
        TResumoSessao::Tempo(e.inicioMs),
        Enviado(e.velocidade, e.velocidadeProtocolo, QStringLiteral("km/h")),
        Enviado(e.inclinacao, e.inclinacaoProtocolo, QStringLiteral("%")),
        e.frequenciaCardiaca ? QStringLiteral("%1 bpm").arg(e.frequenciaCardiaca) : QString(),
        e.pressaoSistolica
            ? QStringLiteral("%1/%2 mmHg").arg(e.pressaoSistolica).arg(e.pressaoDiastolica)
            : QString(),
        e.borg ? QString::number(e.borg) : QString()};
    for (int i = 0; i < 8; ++i)
        p.Texto(kColunas[i], y, campos[i]);
}

// The stage table, going on to further pages (under its header again) as it needs.
double Tabela(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    y = CabecalhoTabela(p, y);
    for (const TResumoEstagio &e : d.estagios) {
        if (y + kLinhaTabela > kFimPagina)
            y = CabecalhoTabela(p, p.NovaPagina());
        LinhaEstagio(p, e, y);
        y += kLinhaTabela;
    }
    return y;
}

double Conclusao(TPagina &p, const TRelatorioSessao::TDados &d, double y)
{
    const TResumoSessao::TPicos &pk = d.picos;
    QString picos = QStringLiteral("Picos: %1 km/h, %2 %, exercício %3")
                        .arg(Numero(pk.velocidade), Numero(pk.inclinacao),
                             TResumoSessao::Tempo(pk.exercicioMs));
    if (pk.frequenciaCardiaca)
        picos += QStringLiteral(", FC %1 bpm").arg(pk.frequenciaCardiaca);
    if (pk.pressaoSistolica)
        picos +=
            QStringLiteral(", PA %1/%2 mmHg").arg(pk.pressaoSistolica).arg(pk.pressaoDiastolica);
    if (pk.borg)
        picos += QStringLiteral(", Borg %1").arg(pk.borg);
    p.Texto(kMargem, y, picos, 9, true);
    p.Texto(kMargem, y + 13,
            QStringLiteral("Motivo da interrupção: %1")
                .arg(d.sessao.motivoParada.isEmpty() ? QStringLiteral("-") : d.sessao.motivoParada),
            9);
    p.Texto(kMargem, y + 26, QStringLiteral("Comentários:"), 8, true);
    p.Caixa(kMargem + 55, y + 26, TRelatorioSessao::kLarguraPagina - 2 * kMargem - 55, 30,
            d.sessao.comentarios);
    return y + kAlturaConclusao;
}

// The chart set up for paper while it prints, as it was afterwards: a white background without
// the screen's bevel (toner; the report frames it), lines `traco` printer pixels wide, and the
// division widths that make the control, at its canvas' resolution, the size of the rectangle it
// prints in: the paper then scales its margins as the text is scaled, so the numbers and captions
// fit in them as on screen.
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
          FMargem(g.LRmargin())
    {
        g.SetColor(clWhite);
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
        Dividir(*g.YAxis(), alturaPol * g.Canvas().PixelsPerInchY(),
                total.height() - l.PlotHeight());
    }
    ~TGraficoNoPapel()
    {
        g.XAxis()->SetDivisionWidth(FDivisaoX);
        g.YAxis()->SetDivisionWidth(FDivisaoY);
        g.SetLRmargin(FMargem);
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
    int FTraco, FDivisaoX, FDivisaoY, FMargem;
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
        {QStringLiteral("nome"), QStringLiteral("Nome"), kMargem, 62, 300, 14},
        {QStringLiteral("identificador"), QStringLiteral("Identificação"), 340, 62, 134, 14},
        {QStringLiteral("nascimento"), QStringLiteral("Nascimento"), kMargem, 90, 70, 14},
        {QStringLiteral("sexo"), QStringLiteral("Sexo"), 108, 90, 60, 14},
        {QStringLiteral("peso"), QStringLiteral("Peso (kg)"), 176, 90, 50, 14},
        {QStringLiteral("altura"), QStringLiteral("Altura (cm)"), 234, 90, 50, 14},
        {QStringLiteral("medico"), QStringLiteral("Médico solicitante"), 292, 90, 182, 14},
        {QStringLiteral("observacoes"), QStringLiteral("Observações"), kMargem, 118, 444, 26},
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
    d.sessao = banco.LerSessao(sessaoId).value_or(TSessao{});
    d.paciente = banco.LerPaciente(d.sessao.pacienteId).value_or(TPaciente{});
    // A test prints the weight and height of its day, not the patient's latest.
    if (!d.sessao.peso.isEmpty() || !d.sessao.altura.isEmpty()) {
        d.paciente.peso = d.sessao.peso;
        d.paciente.altura = d.sessao.altura;
    }
    d.amostras = banco.LerAmostras(sessaoId);
    d.eventos = banco.LerEventos(sessaoId);
    d.estagios = banco.LerEstagios(sessaoId);
    if (d.estagios.isEmpty())
        d.estagios = TResumoSessao::Estagios(d.amostras, d.eventos);
    d.picos = TResumoSessao::Picos(d.amostras, d.eventos);
    return d;
}

void TRelatorioSessao::Imprimir(const TDados &dados, TvtxGraph &grafico)
{
    TPrinter *impressora = Printer();
    impressora->SetTitle(QStringLiteral("Teste de esforço %1").arg(dados.sessao.id));
    impressora->BeginDoc();
    try {
        TPagina p(*impressora);
        Cabecalho(p, dados);
        Protocolo(p, dados, 158);
        double y = Tabela(p, dados, 194);
        y = Conclusao(p, dados, p.Reservar(y + 8, kAlturaConclusao));
        // The charts and their legends share what is left of the page above the bottom margin.
        std::unique_ptr<TvtxGraph> cardiaco;
        if (TGraficoCardiaco::TemDados(dados.amostras, dados.eventos)) {
            cardiaco = std::make_unique<TvtxGraph>();
            TGraficoCardiaco(*cardiaco).Redesenhar(dados.amostras, dados.eventos);
        }
        const int graficos = cardiaco ? 2 : 1;
        const double minima = cardiaco ? kAlturaMinimaPar : kAlturaMinimaGrafico;
        const double entre = kEntreGraficos * (graficos - 1);
        const double topo = p.Reservar(y + 6, graficos * (minima + kAlturaLegenda) + entre);
        const double altura =
            std::min((kFimPagina - topo - entre) / graficos - kAlturaLegenda, kAlturaMaximaGrafico);
        const int traco = std::max(2, p.L(kTracoGrafico));
        // Both laid out with the wider side margins, so their time axes line up on paper.
        int margem = 0;
        for (TvtxGraph *g : {&grafico, cardiaco.get()})
            if (g) {
                g->CalculaDimensoes();
                margem = std::max(margem, g->Xorigin());
            }
        y = Grafico(p, grafico, topo, altura, traco, margem);
        Legenda(p, y + 4, TGraficoSessao::Linhas(), {}, traco);
        if (cardiaco) {
            y = Grafico(p, *cardiaco, y + kAlturaLegenda + kEntreGraficos, altura, traco, margem);
            Legenda(p, y + 4, TGraficoCardiaco::Linhas(), TGraficoCardiaco::Simbolos(), traco);
        }
        impressora->EndDoc();
    } catch (...) {
        impressora->Abort();
        throw;
    }
}
