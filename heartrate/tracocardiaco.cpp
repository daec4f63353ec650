#include "heartrate/tracocardiaco.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cmath>

#include "heartrate/decodificadormedicao.h"

namespace {

// The largest RR interval a strap can send: 65535/1024 s.
constexpr double kRrMaximoMs = 65535 * 1000.0 / 1024.0;
// A trace of a day is already far longer than any test.
constexpr double kTempoMaximoS = 24 * 3600;

struct TFalha {
    QString texto;
};

// A failure's text in the installed language.
QString Tr(const char *fonte)
{
    return QCoreApplication::translate("TTracoCardiaco", fonte);
}

double Numero(const QString &campo, const char *nome, int linha)
{
    bool ok = false;
    const double valor = campo.toDouble(&ok);  // C locale: '.' is the decimal separator
    if (!ok || !std::isfinite(valor))
        throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco", "linha %1: %2 \"%3\" não é um número"))
                         .arg(linha)
                         .arg(QLatin1String(nome), campo)};
    return valor;
}

}  // namespace

std::optional<TTracoCardiaco> TTracoCardiaco::Ler(const QByteArray &csv, QString *erro)
{
    QString texto = QString::fromUtf8(csv);
    if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);
    QStringList linhas = texto.split(QLatin1Char('\n'));
    // Blank lines at the end (a final newline) are not readings.
    while (!linhas.isEmpty() && linhas.last().trimmed().isEmpty())
        linhas.removeLast();
    try {
        if (linhas.isEmpty())
            throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco", "arquivo vazio"))};
        const QString cabecalho = linhas[0].trimmed();
        int colunas = 0;
        if (cabecalho == QLatin1String("tempo_s,fc"))
            colunas = 2;
        else if (cabecalho == QLatin1String("tempo_s,fc,rr_ms"))
            colunas = 3;
        else
            throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                              "linha 1: cabeçalho \"%1\"; deve ser \"tempo_s,fc\" "
                                              "ou \"tempo_s,fc,rr_ms\""))
                             .arg(cabecalho)};
        if (linhas.size() == 1)
            throw TFalha{
                Tr(QT_TRANSLATE_NOOP("TTracoCardiaco", "nenhuma leitura depois do cabeçalho"))};

        TTracoCardiaco traco;
        for (int i = 1; i < linhas.size(); ++i) {
            const int linha = i + 1;
            if (linhas[i].trimmed().isEmpty())
                throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco", "linha %1: vazia")).arg(linha)};
            const QStringList campos = linhas[i].trimmed().split(QLatin1Char(','));
            if (campos.size() != colunas)
                throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                                  "linha %1: %2 campos; o cabeçalho tem %3"))
                                 .arg(linha)
                                 .arg(campos.size())
                                 .arg(colunas)};
            const double tempoS = Numero(campos[0].trimmed(), "tempo_s", linha);
            if (std::abs(tempoS) > kTempoMaximoS)
                throw TFalha{
                    Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                         "linha %1: tempo_s %2 fora da faixa (-86400 a 86400)"))
                        .arg(linha)
                        .arg(tempoS)};
            TLeituraCardiaca leitura;
            leitura.tempoMs = std::llround(tempoS * 1000);
            if (!traco.FLeituras.isEmpty() && leitura.tempoMs < traco.FLeituras.last().tempoMs)
                throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                                  "linha %1: tempo_s %2 anterior ao da linha %3"))
                                 .arg(linha)
                                 .arg(campos[0].trimmed())
                                 .arg(linha - 1)};
            const QString fc = campos[1].trimmed();
            if (fc.isEmpty()) {
                leitura.contato = TContatoSensor::NaoDetectado;
            } else {
                const double bpm = Numero(fc, "fc", linha);
                if (bpm < 1 || bpm > TDecodificadorMedicao::kFcMaxima)
                    throw TFalha{Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                                      "linha %1: fc %2 fora da faixa (1 a %3 bpm)"))
                                     .arg(linha)
                                     .arg(fc)
                                     .arg(TDecodificadorMedicao::kFcMaxima)};
                leitura.bpm = int(std::lround(bpm));
                leitura.contato = TContatoSensor::Detectado;
            }
            if (colunas == 3) {
                const QStringList rrs = campos[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
                for (const QString &rr : rrs) {
                    const double ms = Numero(rr, "rr_ms", linha);
                    if (ms <= 0 || ms > kRrMaximoMs)
                        throw TFalha{
                            Tr(QT_TRANSLATE_NOOP("TTracoCardiaco",
                                                 "linha %1: rr_ms %2 fora da faixa (maior que 0 e "
                                                 "até %3)"))
                                .arg(linha)
                                .arg(rr)
                                .arg(kRrMaximoMs, 0, 'f', 1)};
                    leitura.rrMs.append(ms);
                }
            }
            traco.FLeituras.append(leitura);
        }
        return traco;
    } catch (const TFalha &falha) {
        if (erro)
            *erro = falha.texto;
        return std::nullopt;
    }
}

std::optional<TTracoCardiaco> TTracoCardiaco::Abrir(const QString &caminho, QString *erro)
{
    QFile arquivo(caminho);
    const QString nome = QFileInfo(caminho).fileName();
    if (!arquivo.open(QIODevice::ReadOnly)) {
        if (erro)
            *erro = Tr(QT_TRANSLATE_NOOP("TTracoCardiaco", "%1: não foi possível abrir (%2)"))
                        .arg(nome, arquivo.errorString());
        return std::nullopt;
    }
    QString problema;
    std::optional<TTracoCardiaco> traco = Ler(arquivo.readAll(), &problema);
    if (!traco && erro)
        *erro = QStringLiteral("%1: %2").arg(nome, problema);
    return traco;
}
