#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>
#include <optional>

// What a heart-rate sensor says about skin contact (the Bluetooth Heart Rate Measurement's
// "Sensor Contact Status" bits).
enum class TContatoSensor {
    NaoSuportado,  // the sensor cannot tell
    NaoDetectado,  // it can tell, and there is no contact: the rate is not to be trusted
    Detectado,
};

// One heart-rate reading, as any source gives it.
struct TLeituraCardiaca {
    qint64 tempoMs = 0;  // on the session's axis: 0 at the end of the countdown, negative before
    int bpm = 0;         // 0 only in a reading without a rate (no contact in a replayed trace)
    TContatoSensor contato = TContatoSensor::NaoSuportado;
    QList<double> rrMs;            // RR intervals sent with this reading, in ms, oldest first
    std::optional<int> energiaKj;  // energy expended since the sensor's reset, when sent
    QString fonte;                 // the source's name
};
Q_DECLARE_METATYPE(TLeituraCardiaca)
