#pragma once

#include "kestrova_somatochart_export.h"
#include "platform/color.h"

#include <QString>

class TColecaoDePontos;

// A Heath-Carter somatotype: the endomorphy, mesomorphy and ectomorphy ratings, and the
// somatochart position they map to (X = ecto - endo, Y = 2 meso - (endo + ecto)).
// Ratings must be finite and not negative, nor so large that Y overflows; the constructor raises
// Exception otherwise. X and Y are rounded to nine decimals, which removes the binary noise of sums
// of decimal ratings.
class KESTROVA_SOMATOCHART_EXPORT TSomatotipo {
public:
    TSomatotipo(double endo, double meso, double ecto);

    double Endo() const { return FEndo; }
    double Meso() const { return FMeso; }
    double Ecto() const { return FEcto; }
    double X() const;
    double Y() const;

    // Adds the position as a new point of the collection (AcrescentarPonto, so the chart redraws).
    void AcrescentarEm(TColecaoDePontos &pontos, TColor cor, int forma, int tamanho,
                       const QString &descricao) const;

    // The source text of the refusal (the exception carries it translated).
    static const QString kMensagemInvalido;  // "Classificação de somatotipo inválida."

private:
    double FEndo;
    double FMeso;
    double FEcto;
};
