#pragma once

#include <QString>
#include <QStringList>

#include "kestrova_protocol_export.h"
#include "protocol/unidadevelocidade.h"

struct TPasso;
struct TProtocolo;

// What the board can do, and how a protocol's values are fitted to it.
class KESTROVA_PROTOCOL_EXPORT TFaixaEsteira {
public:
    static constexpr double kVelocidadeMinima = 1.5;  // lowest moving speed, km/h
    static constexpr double kVelocidadeMaxima = 18.0;
    static constexpr double kInclinacaoMaxima = 25.0;
    static constexpr double kPassoVelocidade = 0.1;  // the board's resolution
    static constexpr double kPassoInclinacao = 0.5;
    // Beyond these a file is refused outright rather than fitted.
    static constexpr double kVelocidadeRecusada = 25.0;
    static constexpr double kInclinacaoRecusada = 40.0;

    // Nearest value the board can take (0.1 km/h, 0.5 %), without clamping.
    static double QuantizarVelocidade(double velocidade);
    static double QuantizarInclinacao(double inclinacao);
    // Into the board's range: (0, 1.5) -> 1.5, above 18 -> 18; grade into 0..25.
    static double AjustarVelocidade(double velocidade);
    static double AjustarInclinacao(double inclinacao);
    // What the board receives for a protocol's value under a test's limit: into the board's
    // range, down to the board's step at or below the limit, quantised. A speed of 0 stays 0
    // (the belt stops). Every program that sends or shows a target uses these.
    static double VelocidadeEnviada(double velocidade, double limite);
    static double InclinacaoEnviada(double inclinacao, double limite);
    // A speed limit the belt can keep while moving: at least the lowest moving speed.
    static bool LimiteDeVelocidadeValido(double limite);
    // One Portuguese line per value the board cannot take as it is (empty: fits as it is); the
    // speeds in `unidade`.
    static QStringList Limitacoes(const TProtocolo &protocolo,
                                  const TUnidadeVelocidade &unidade = TUnidadeVelocidade());
    // The same for one step, its lines starting with onde ("Estágio 3").
    static QStringList LimitacoesDoPasso(const TPasso &passo, const QString &onde,
                                         const TUnidadeVelocidade &unidade = TUnidadeVelocidade());
};
