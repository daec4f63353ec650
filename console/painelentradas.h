#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>

#include "session/registrossessao.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// The operator's entries at any moment of a test (heart rate, blood pressure, Borg 6-20, a
// comment) and, for the end, the stop reason and the report's comments.
class KESTROVA_CONSOLE_EXPORT TPainelEntradas : public QGroupBox {
    Q_OBJECT
public:
    explicit TPainelEntradas(QWidget *parent = nullptr);
    // Entries are taken while a test is being recorded.
    void AjustarGravando(bool gravando);
    QString MotivoParada() const;
    void AjustarMotivoParada(const QString &motivo);
    QString Comentarios() const;
    void Limpar();
    static QStringList Motivos();

signals:
    // tipo "fc", "pa", "borg" or "comentario"; the time is the caller's to set.
    void Entrada(const TEventoRegistro &entrada);
    void ConclusaoMudou();

private:
    QPushButton *Registrar(const QString &nome);

    QSpinBox *FFc = nullptr, *FSistolica = nullptr, *FDiastolica = nullptr, *FBorg = nullptr;
    QLineEdit *FComentario = nullptr;
    QComboBox *FMotivo = nullptr;
    QPlainTextEdit *FComentarios = nullptr;
    QList<QPushButton *> FBotoes;
};
