#include "somatochart/somatotipo.h"

#include <QCoreApplication>

#include "platform/exception.h"
#include "somatochart/colecaodepontos.h"

#include <cmath>

namespace {

bool Valida(double classificacao)
{
    return std::isfinite(classificacao) && classificacao >= 0;
}

// Ratings carry a decimal or two; rounding the coordinate to nine decimals drops the binary noise
// of the sums (3.8 - 1.6 = 2.1999999999999997) so the editor and the legend show 2.2.
double Arredondar(double coordenada)
{
    if (std::abs(coordenada) >= 1e6)
        return coordenada;
    return std::round(coordenada * 1e9) / 1e9;
}

}  // namespace

const QString TSomatotipo::kMensagemInvalido =
    QString::fromUtf8(QT_TRANSLATE_NOOP("TSomatotipo", "Classificação de somatotipo inválida."));

TSomatotipo::TSomatotipo(double endo, double meso, double ecto)
    : FEndo(endo), FMeso(meso), FEcto(ecto)
{
    if (!Valida(endo) || !Valida(meso) || !Valida(ecto) || !std::isfinite(Y()))
        throw Exception(
            QCoreApplication::translate("TSomatotipo", kMensagemInvalido.toUtf8().constData()));
}

double TSomatotipo::X() const
{
    return Arredondar(FEcto - FEndo);
}

double TSomatotipo::Y() const
{
    return Arredondar(2 * FMeso - (FEndo + FEcto));
}

void TSomatotipo::AcrescentarEm(TColecaoDePontos &pontos, TColor cor, int forma, int tamanho,
                                const QString &descricao) const
{
    pontos.AcrescentarPonto(X(), Y(), cor, forma, tamanho, descricao);
}
