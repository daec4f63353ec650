#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "comm/portlisting.h"
#include "kestrova_app_export.h"

class QTableWidget;

// Lists the serial ports found, one row each (device, description, maker, serial number, USB
// ids, what uses it), marks the one the port number maps to and those in use, and lets the
// operator pick the device for the port number. "Padrão" removes the mapping.
class KESTROVA_APP_EXPORT TfrmEscolherPorta : public QDialog {
    Q_OBJECT

public:
    TfrmEscolherPorta(unsigned porta, const QList<kestrova::comm::TSerialPortEntry> &portas,
                      QWidget *parent = nullptr);

    // After Accepted: the stable name of the chosen device, or empty when "Padrão" was pressed.
    QString DispositivoEscolhido() const { return FEscolhido; }
    QTableWidget *Tabela() const { return FTabela; }
    // The text of the "Situação" column for an entry.
    static QString Situacao(unsigned porta, const kestrova::comm::TSerialPortEntry &entrada);

private:
    void Preencher();
    void Escolher();

    unsigned FPorta;
    QList<kestrova::comm::TSerialPortEntry> FPortas;
    QTableWidget *FTabela;
    QString FEscolhido;
};
