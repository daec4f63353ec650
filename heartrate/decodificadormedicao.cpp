#include "heartrate/decodificadormedicao.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "platform/trace.h"

namespace {

constexpr quint8 kFormato16Bits = 0x01;
constexpr quint8 kContatoSuportado = 0x04;
constexpr quint8 kContatoDetectado = 0x02;
constexpr quint8 kEnergiaPresente = 0x08;
constexpr quint8 kRrPresente = 0x10;
constexpr quint8 kReservados = 0xE0;

quint16 Uint16(const QByteArray &bytes, qsizetype i)
{
    return quint16(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8));
}

// The text in the installed language, or the Portuguese source text (for the trace).
QString Texto(const char *fonte, bool traduzir = true)
{
    return traduzir ? QCoreApplication::translate("TDecodificadorMedicao", fonte)
                    : QString::fromUtf8(fonte);
}

std::optional<TLeituraCardiaca> Recusar(QString *motivo, const QString &texto)
{
    if (motivo)
        *motivo = texto;
    return std::nullopt;
}

QString Bytes(qsizetype n, bool traduzir)
{
    return n == 1 ? Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", "1 byte"), traduzir)
                  : Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", "%1 bytes"), traduzir).arg(n);
}

// Interpretar, its reason translated or in Portuguese.
std::optional<TLeituraCardiaca> Analisar(const QByteArray &notificacao, QString *motivo,
                                         bool traduzir)
{
    const auto T = [traduzir](const char *fonte) { return Texto(fonte, traduzir); };
    if (notificacao.isEmpty())
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao", "notificação vazia")));
    const quint8 flags = quint8(notificacao[0]);
    if (flags & kReservados)
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                   "bits reservados ligados nos sinalizadores "
                                                   "(0x%1)"))
                                   .arg(flags, 2, 16, QLatin1Char('0')));
    const qsizetype bytesFc = (flags & kFormato16Bits) ? 2 : 1;
    const qsizetype fixos = 1 + bytesFc + ((flags & kEnergiaPresente) ? 2 : 0);
    if (notificacao.size() < fixos)
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                   "curta demais: %1, os sinalizadores (0x%2) "
                                                   "pedem %3"))
                                   .arg(Bytes(notificacao.size(), traduzir))
                                   .arg(flags, 2, 16, QLatin1Char('0'))
                                   .arg(Bytes(fixos, traduzir)));
    const qsizetype resto = notificacao.size() - fixos;
    if (!(flags & kRrPresente) && resto > 0)
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                   "%1 além dos campos dos sinalizadores (0x%2)"))
                                   .arg(Bytes(resto, traduzir))
                                   .arg(flags, 2, 16, QLatin1Char('0')));
    if ((flags & kRrPresente) && resto % 2 != 0)
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                   "intervalos RR com um byte a mais no fim")));

    TLeituraCardiaca leitura;
    leitura.bpm = bytesFc == 2 ? Uint16(notificacao, 1) : quint8(notificacao[1]);
    if (leitura.bpm == 0 || leitura.bpm > TDecodificadorMedicao::kFcMaxima)
        return Recusar(motivo, T(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                   "frequência impossível: %1 bpm (aceita de 1 a "
                                                   "%2)"))
                                   .arg(leitura.bpm)
                                   .arg(TDecodificadorMedicao::kFcMaxima));
    if (!(flags & kContatoSuportado))
        leitura.contato = TContatoSensor::NaoSuportado;
    else if (flags & kContatoDetectado)
        leitura.contato = TContatoSensor::Detectado;
    else
        leitura.contato = TContatoSensor::NaoDetectado;
    qsizetype i = 1 + bytesFc;
    if (flags & kEnergiaPresente) {
        leitura.energiaKj = Uint16(notificacao, i);
        i += 2;
    }
    for (; i < notificacao.size(); i += 2)
        leitura.rrMs.append(Uint16(notificacao, i) * 1000.0 / 1024.0);
    return leitura;
}

}  // namespace

std::optional<TLeituraCardiaca> TDecodificadorMedicao::Interpretar(const QByteArray &notificacao,
                                                                   QString *motivo)
{
    return Analisar(notificacao, motivo, true);
}

std::optional<QByteArray> TDecodificadorMedicao::LerHex(const QString &texto, QString *motivo)
{
    static const QRegularExpression separadores(QStringLiteral("[\\s:,\\-]+"));
    const QStringList partes = texto.split(separadores, Qt::SkipEmptyParts);
    QByteArray bytes;
    for (const QString &parte : partes) {
        QString digitos = parte;
        if (digitos.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            digitos = digitos.mid(2);
        bool ok = !digitos.isEmpty() && digitos.size() % 2 == 0;
        for (const QChar c : digitos) {
            const char16_t u = c.unicode();
            ok = ok &&
                 ((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F'));
        }
        if (!ok) {
            if (motivo)
                *motivo = Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao",
                                                  "\"%1\" não é uma sequência de bytes em "
                                                  "hexadecimal (dois dígitos por byte)"))
                              .arg(parte);
            return std::nullopt;
        }
        bytes += QByteArray::fromHex(digitos.toLatin1());
    }
    if (bytes.isEmpty()) {
        if (motivo)
            *motivo = Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", "nenhum byte"));
        return std::nullopt;
    }
    return bytes;
}

QString TDecodificadorMedicao::Descrever(const TLeituraCardiaca &leitura)
{
    QString texto = QStringLiteral("%1 bpm").arg(leitura.bpm);
    switch (leitura.contato) {
        case TContatoSensor::NaoSuportado:
            texto += Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", ", contato não informado"));
            break;
        case TContatoSensor::NaoDetectado:
            texto += Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", ", sem contato"));
            break;
        case TContatoSensor::Detectado:
            texto += Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", ", contato detectado"));
            break;
    }
    if (leitura.energiaKj)
        texto += Texto(QT_TRANSLATE_NOOP("TDecodificadorMedicao", ", energia %1 kJ"))
                     .arg(*leitura.energiaKj);
    if (!leitura.rrMs.isEmpty()) {
        texto += QStringLiteral(", %1 RR:").arg(leitura.rrMs.size());
        for (const double rr : leitura.rrMs)
            texto += QStringLiteral(" %1 ms").arg(rr, 0, 'f', 1);
    }
    return texto;
}

std::optional<TLeituraCardiaca> TDecodificadorMedicao::Decodificar(const QByteArray &notificacao,
                                                                   QString *motivo)
{
    // The trace keeps the Portuguese reason whatever the language; the caller gets it translated.
    QString porque;
    std::optional<TLeituraCardiaca> leitura = Analisar(notificacao, &porque, false);
    if (leitura) {
        ++FAceitas;
        return leitura;
    }
    ++FRecusadas;
    Trace(QStringLiteral("FC RECUSOU %1  (%2; %3 recusadas)")
              .arg(QString::fromLatin1(notificacao.toHex(' ')), porque)
              .arg(FRecusadas));
    if (motivo)
        Analisar(notificacao, motivo, true);
    return std::nullopt;
}
