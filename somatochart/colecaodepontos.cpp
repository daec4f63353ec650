#include "somatochart/colecaodepontos.h"

#include "platform/exception.h"

TColecaoDePontos::TColecaoDePontos(QObject *parent) : QObject(parent) {}

TColecaoDePontos::~TColecaoDePontos()
{
    Clear();
}

int TColecaoDePontos::Count() const
{
    return int(FItems.size());
}

TPonto &TColecaoDePontos::Items(int index)
{
    if (!ValidIndex(index))
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *FItems[size_t(index)];
}

const TPonto &TColecaoDePontos::Items(int index) const
{
    if (!ValidIndex(index))
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *FItems[size_t(index)];
}

TPonto &TColecaoDePontos::Add()
{
    FItems.push_back(std::make_unique<TPonto>());
    return *FItems.back();
}

void TColecaoDePontos::Clear()
{
    FItems.clear();
}

void TColecaoDePontos::AcrescentarPonto(double X, double Y, TColor Cor, int Forma, int Tamanho,
                                        const QString &Descricao)
{
    TPonto &ponto = Add();
    ponto.X = X;
    ponto.Y = Y;
    ponto.Cor = Cor;
    ponto.Forma = Forma;
    ponto.Tamanho = Tamanho;
    ponto.Descricao = Descricao;
    Fire(OnPontoAcrescentado);
}

void TColecaoDePontos::EditarPonto(int index, double X, double Y, TColor Cor, int Forma,
                                   int Tamanho, const QString &Descricao)
{
    if (!ValidIndex(index))
        return;
    TPonto &ponto = *FItems[size_t(index)];
    ponto.X = X;
    ponto.Y = Y;
    if (Cor != kCorInalterada)
        ponto.Cor = Cor;
    if (Forma != -1)
        ponto.Forma = Forma;
    if (Tamanho != -1)
        ponto.Tamanho = Tamanho;
    if (Descricao != QLatin1String("0"))
        ponto.Descricao = Descricao;
    Fire(OnPontoEditado);
}

void TColecaoDePontos::ExcluirPonto(int index)
{
    if (!ValidIndex(index))
        return;
    FItems.erase(FItems.begin() + index);
    Fire(OnPontoExcluido);
}

bool TColecaoDePontos::ValidIndex(int index) const
{
    return index >= 0 && index < Count();
}

void TColecaoDePontos::Fire(const TNotifyEvent &event)
{
    if (event)
        event(this);
}
