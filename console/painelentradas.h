#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <optional>

#include "session/registrossessao.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The operator's entries at any moment of a test (heart rate, blood pressure, Borg 6-20, angina
// 0-4, the ST deviation the physician reads on the ECG, a comment) and, for the end, the stop
// reason and the report's comments.
//
// An entry records exactly what the field shows: the fields start empty for each test, a value
// outside its range (or a diastolic not below the systolic) is refused with the range said, and
// each Registrar is enabled only while its fields hold a valid value.
class KESTROVA_CONSOLE_EXPORT TPainelEntradas : public QGroupBox {
    Q_OBJECT
public:
    // The accepted ranges.
    static constexpr int kFcMinima = 30, kFcMaxima = 250;
    static constexpr int kSistolicaMinima = 50, kSistolicaMaxima = 300;
    static constexpr int kDiastolicaMinima = 20, kDiastolicaMaxima = 200;
    static constexpr int kBorgMinimo = 6, kBorgMaximo = 20;
    static constexpr int kAnginaMaxima = 4;
    static constexpr double kStMaximoMm = 10;
    // Comments typed in the report's box are saved this long after the last keystroke.
    static constexpr int kEsperaComentariosMs = 1000;

    explicit TPainelEntradas(QWidget *parent = nullptr);
    // Entries are taken while a test is being recorded (and after its end, until it is closed).
    void AjustarGravando(bool gravando);
    QString MotivoParada() const;
    void AjustarMotivoParada(const QString &motivo);
    QString Comentarios() const;
    // Saves what is typed in the report's comments now (ConclusaoMudou) if it changed.
    void ConfirmarComentarios();
    QComboBox *CaixaMotivo() const { return FMotivo; }
    void Limpar();
    // The stop reasons: the published indications for ending an exercise test (absolute, then
    // relative), then completion, target heart rate, fatigue, the operator's decision, other.
    static QStringList Motivos();
    // The reasons that say angina stopped the test.
    static QStringList MotivosDeAngina();
    // A whole number within [minimo, maximo] as typed (surrounding blanks allowed), or nothing.
    static std::optional<int> LerInteiro(const QString &texto, int minimo, int maximo);
    // A number of at most one decimal, '.' or ',' as the separator, within [0, maximo].
    static std::optional<double> LerDecimal(const QString &texto, double maximo);

signals:
    // tipo "fc", "pa", "borg", "angina", "st" or "comentario"; the time is the caller's to set.
    void Entrada(const TEventoRegistro &entrada);
    // The stop reason or the report's comments changed.
    void ConclusaoMudou();

private:
    QPushButton *Registrar(const QString &nome);
    QLineEdit *Campo(const QString &nome, int minimo, int maximo, const QString &unidade);
    void Validar();
    void Enviar(const QString &tipo, double v1, double v2, const QString &texto);

    QLineEdit *FFc = nullptr, *FSistolica = nullptr, *FDiastolica = nullptr, *FBorg = nullptr;
    QLineEdit *FAngina = nullptr, *FSt = nullptr, *FComentario = nullptr;
    QPushButton *FBotaoFc = nullptr, *FBotaoPa = nullptr, *FBotaoBorg = nullptr,
                *FBotaoAngina = nullptr, *FBotaoSt = nullptr, *FBotaoComentario = nullptr;
    QLabel *FProblema = nullptr;
    QComboBox *FMotivo = nullptr;
    QPlainTextEdit *FComentarios = nullptr;
    QTimer *FSalvarComentarios = nullptr;
    QString FComentariosSalvos;
    bool FbGravando = false;
};
