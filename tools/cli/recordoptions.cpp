#include "tools/cli/recordoptions.h"

#include <QDate>
#include <QRegularExpression>

#include "tools/cli/protocoloptions.h"

namespace protocolcli {

namespace {

const char *const kPatientOptions[] = {"patient",      "birth",      "sex",
                                       "beta-blocker", "resting-hr", "resting-bp"};

QString Birth(const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
    if (!date.isValid())
        throw TUsageError(QStringLiteral("--birth: not a date (DD/MM/YYYY): \"%1\"").arg(text));
    if (date > QDate::currentDate())
        throw TUsageError(QStringLiteral("--birth: %1 is in the future").arg(text));
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

int RestingHeartRate(const QString &text)
{
    bool ok = false;
    const int bpm = text.toInt(&ok);
    if (!ok || bpm < TRecordOptions::kFcMinima || bpm > TRecordOptions::kFcMaxima)
        throw TUsageError(QStringLiteral("--resting-hr must be a whole number of bpm from %1 to "
                                         "%2, not \"%3\"")
                              .arg(TRecordOptions::kFcMinima)
                              .arg(TRecordOptions::kFcMaxima)
                              .arg(text));
    return bpm;
}

void RestingPressure(const QString &text, TRecordOptions &options)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})/(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(text);
    const int sys = m.captured(1).toInt(), dia = m.captured(2).toInt();
    if (!m.hasMatch() || sys < TRecordOptions::kSistolicaMinima ||
        sys > TRecordOptions::kSistolicaMaxima || dia < TRecordOptions::kDiastolicaMinima ||
        dia > TRecordOptions::kDiastolicaMaxima || dia >= sys)
        throw TUsageError(QStringLiteral("--resting-bp must be SYS/DIA in mmHg, systolic %1 to %2, "
                                         "diastolic %3 to %4 and below it, not \"%5\"")
                              .arg(TRecordOptions::kSistolicaMinima)
                              .arg(TRecordOptions::kSistolicaMaxima)
                              .arg(TRecordOptions::kDiastolicaMinima)
                              .arg(TRecordOptions::kDiastolicaMaxima)
                              .arg(text));
    options.sistolicaRepouso = sys;
    options.diastolicaRepouso = dia;
}

}  // namespace

QList<QCommandLineOption> TRecordOptions::Options()
{
    return {{"database", "Record the run in this session database: a file or postgresql://...",
             "FILE|URL"},
            {"station", "The station recorded with the session (default: the host name).", "NAME"},
            {"patient", "The patient's name.", "NAME"},
            {"birth", "The patient's birth date.", "DD/MM/YYYY"},
            {"sex", "The patient's sex.", "F|M"},
            {"beta-blocker", "The patient takes a beta blocker."},
            {"resting-hr", "Resting heart rate.", "BPM"},
            {"resting-bp", "Resting blood pressure.", "SYS/DIA"}};
}

std::optional<TRecordOptions> TRecordOptions::Parse(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("database"))) {
        for (const char *name : kPatientOptions)
            if (parser.isSet(QLatin1String(name)))
                throw TUsageError(QStringLiteral("--%1 needs --database").arg(QLatin1String(name)));
        return std::nullopt;
    }
    TRecordOptions options;
    options.databasePath = parser.value(QStringLiteral("database"));
    options.estacao = parser.value(QStringLiteral("station"));
    options.paciente.nome = parser.value(QStringLiteral("patient")).trimmed();
    if (options.databasePath.isEmpty() || options.paciente.nome.isEmpty() ||
        !parser.isSet(QStringLiteral("birth")) || !parser.isSet(QStringLiteral("sex")))
        throw TUsageError(
            QStringLiteral("--database needs --patient NAME, --birth DD/MM/YYYY and "
                           "--sex F|M"));
    options.paciente.nascimento = Birth(parser.value(QStringLiteral("birth")));
    const QString sex = parser.value(QStringLiteral("sex")).toUpper();
    if (sex != QLatin1String("F") && sex != QLatin1String("M"))
        throw TUsageError(
            QStringLiteral("--sex must be F or M, not \"%1\"").arg(parser.value("sex")));
    options.paciente.sexo = sex;
    options.betabloqueador = parser.isSet(QStringLiteral("beta-blocker"));
    if (parser.isSet(QStringLiteral("resting-hr")))
        options.fcRepouso = RestingHeartRate(parser.value(QStringLiteral("resting-hr")));
    if (parser.isSet(QStringLiteral("resting-bp")))
        RestingPressure(parser.value(QStringLiteral("resting-bp")), options);
    return options;
}

}  // namespace protocolcli
