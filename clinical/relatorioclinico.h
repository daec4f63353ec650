#pragma once

#include "kestrova_clinical_export.h"
#include "session/relatoriosessao.h"

class TBancoSessoes;

// The printed report of a session with its clinical results (TAvaliacaoClinica::Calcular), so
// that every program prints the same figures: the results block and the test's warnings, the
// patient's age, and each stage's METs and rate-pressure product. Print what Carregar gives
// with TRelatorioSessao::Imprimir.
class KESTROVA_CLINICAL_EXPORT TRelatorioClinico {
public:
    // TRelatorioSessao::Carregar, then Completar.
    static TRelatorioSessao::TDados Carregar(const TBancoSessoes &banco, qint64 sessaoId);
    // Fills the clinical part of `dados` from its session, patient and record.
    static void Completar(TRelatorioSessao::TDados &dados);
};
