#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>

#include "session/registrossessao.h"

namespace protocolcli {

// The options of "run" that record it as a session of the console's database: --database FILE
// with the patient (--patient NAME, --birth DD/MM/YYYY, --sex F|M) and the set-up's clinical
// inputs (--beta-blocker, --resting-hr BPM, --resting-bp SYS/DIA), within the console's ranges.
struct TRecordOptions {
    static constexpr int kFcMinima = 30, kFcMaxima = 250;                  // bpm
    static constexpr int kSistolicaMinima = 50, kSistolicaMaxima = 300;    // mmHg
    static constexpr int kDiastolicaMinima = 20, kDiastolicaMaxima = 200;  // mmHg

    QString databasePath;
    QString estacao;     // empty: the host name
    TPaciente paciente;  // nome, nascimento (dd/MM/yyyy) and sexo ("F" or "M")
    bool betabloqueador = false;
    std::optional<int> fcRepouso, sistolicaRepouso, diastolicaRepouso;

    static QList<QCommandLineOption> Options();
    // Nothing without --database; the patient's options without it are refused. Throws
    // TUsageError.
    static std::optional<TRecordOptions> Parse(const QCommandLineParser &parser);
};

}  // namespace protocolcli
