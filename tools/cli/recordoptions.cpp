#include "tools/cli/recordoptions.h"

#include <QCoreApplication>
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
        throw TUsageError(QCoreApplication::translate(
                              "orvanta-ctl", "--birth: não é uma data (DD/MM/AAAA): \"%1\"")
                              .arg(text));
    if (date > QDate::currentDate())
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "--birth: %1 está no futuro").arg(text));
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

int RestingHeartRate(const QString &text)
{
    bool ok = false;
    const int bpm = text.toInt(&ok);
    if (!ok || bpm < TRecordOptions::kFcMinima || bpm > TRecordOptions::kFcMaxima)
        throw TUsageError(QCoreApplication::translate("orvanta-ctl",
                                                      "--resting-hr deve ser um número inteiro "
                                                      "de bpm de %1 a %2, não \"%3\"")
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
        throw TUsageError(QCoreApplication::translate(
                              "orvanta-ctl",
                              "--resting-bp deve ser SIS/DIA em mmHg, sistólica de %1 a %2, "
                              "diastólica de %3 a %4 e abaixo dela, não \"%5\"")
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
                throw TUsageError(
                    QCoreApplication::translate("orvanta-ctl", "--%1 precisa de --database")
                        .arg(QLatin1String(name)));
        return std::nullopt;
    }
    TRecordOptions options;
    options.databasePath = parser.value(QStringLiteral("database"));
    options.estacao = parser.value(QStringLiteral("station"));
    options.paciente.nome = parser.value(QStringLiteral("patient")).trimmed();
    if (options.databasePath.isEmpty() || options.paciente.nome.isEmpty() ||
        !parser.isSet(QStringLiteral("birth")) || !parser.isSet(QStringLiteral("sex")))
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl",
                                        "--database precisa de --patient NAME, --birth "
                                        "DD/MM/YYYY e --sex F|M"));
    options.paciente.nascimento = Birth(parser.value(QStringLiteral("birth")));
    const QString sex = parser.value(QStringLiteral("sex")).toUpper();
    if (sex != QLatin1String("F") && sex != QLatin1String("M"))
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "--sex deve ser F ou M, não \"%1\"")
                .arg(parser.value("sex")));
    options.paciente.sexo = sex;
    options.betabloqueador = parser.isSet(QStringLiteral("beta-blocker"));
    if (parser.isSet(QStringLiteral("resting-hr")))
        options.fcRepouso = RestingHeartRate(parser.value(QStringLiteral("resting-hr")));
    if (parser.isSet(QStringLiteral("resting-bp")))
        RestingPressure(parser.value(QStringLiteral("resting-bp")), options);
    return options;
}

}  // namespace protocolcli
