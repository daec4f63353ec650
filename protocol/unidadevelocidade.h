#pragma once

#include <QString>
#include <optional>

#include "kestrova_protocol_export.h"

// The unit speeds are shown and typed in. Protocols, files, the database and the board work in
// km/h; this is the one place that converts.
//
// A speed typed in mph goes to the board as Kmh(): converted (1 mile = 1.609344 km) and then
// quantised once to the board's 0.1 km/h (TFaixaEsteira::QuantizarVelocidade: nearest step,
// halfway away from zero). A speed shown is the km/h value converted back with Casas() decimals:
// two for mph, the fewest that keep distinct 0.1 km/h steps (0.062 mph apart) distinct, and that
// read back as the same step.
class KESTROVA_PROTOCOL_EXPORT TUnidadeVelocidade {
public:
    enum class TUnidade { Kmh, Mph };
    static constexpr double kKmPorMilha = 1.609344;

    explicit TUnidadeVelocidade(TUnidade unidade = TUnidade::Kmh);

    TUnidade Unidade() const { return FUnidade; }
    bool Mph() const { return FUnidade == TUnidade::Mph; }
    QString Simbolo() const;  // "km/h", "mph"
    int Casas() const;        // decimals shown: 1 for km/h, 2 for mph
    // Plain conversions, no rounding.
    double ParaKmh(double valor) const;
    double DeKmh(double kmh) const;
    // A speed typed in this unit as the board takes it, in km/h: in mph converted and quantised
    // to 0.1 km/h; in km/h as typed (what takes it quantises, as it always did).
    double Kmh(double valor) const;
    // A speed in km/h as shown in this unit: "6.84" in mph, "11.0" in km/h ('.' as decimal
    // separator, like every figure of the programs), and with the symbol: "6.84 mph".
    QString Numero(double kmh) const;
    QString Texto(double kmh) const;
    // A text written in km/h (the runner's events, as recorded) with each "N km/h" figure in
    // this unit; unchanged in km/h.
    QString TextoNaUnidade(const QString &textoKmh) const;
    // The setting's value: "kmh", "mph"; DoCodigo(anything else) is nullopt.
    QString Codigo() const;
    static std::optional<TUnidadeVelocidade> DoCodigo(const QString &codigo);

    bool operator==(const TUnidadeVelocidade &outra) const { return FUnidade == outra.FUnidade; }

private:
    TUnidade FUnidade;
};
