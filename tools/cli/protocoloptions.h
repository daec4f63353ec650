#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/exception.h"
#include "protocol/protocolo.h"
#include "protocol/unidadevelocidade.h"
#include "tools/cli/recordoptions.h"

namespace protocolcli {

// A command-line mistake: reported with exit status 2.
class TUsageError : public Exception {
public:
    using Exception::Exception;
};

// The options of "show" and "run": the protocol's name or file, the ramp generator's
// parameters and the test's settings.
struct TProtocolOptions {
    TProtocolo protocolo;
    QStringList refusedFiles;  // user files the library refused while loading
    // --mph: speeds typed and printed in mph (the options' values are kept here in km/h, each
    // quantised once to the board's step); the CSV stays in km/h.
    TUnidadeVelocidade unidade;
    std::optional<double> maxSpeed, maxGrade, recoveryMinutes, timeScale;
    bool acceptClamp = false;
    QString csvPath;
    QString hrFilePath;                    // a heart-rate trace replayed during the run
    std::optional<TRecordOptions> record;  // the session to record the run as

    // words: NAME followed by options. Throws TUsageError.
    static TProtocolOptions Parse(const QString &command, const QStringList &words);
};

std::optional<double> ParseNumber(QString text);
void PrintError(const QString &text);
// A message's lines joined into one, for standard error.
QString OneLine(QString text);
void PrintLine(const QString &text);
// "mm:ss" (or "h:mm:ss") for a time in milliseconds.
QString FormatTime(qint64 ms);

}  // namespace protocolcli
