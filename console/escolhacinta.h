#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <memory>
#include <optional>

#include "heartrate/preferenciacinta.h"
#include "heartrate/tracocardiaco.h"

class QComboBox;
class QLabel;
class QPushButton;
class TFonteCardiaca;
class TProcuraCintas;
class TRelogio;
struct TCintaEncontrada;

// The set-up's choice of heart-rate source: none (the operator types the rate), the straps a
// Bluetooth search found (name, address, signal strength; "Procurar" searches again), the
// simulated strap and a replayed trace when the program offers them. The remembered strap is
// listed from the start.
class KESTROVA_CONSOLE_EXPORT TEscolhaCinta : public QGroupBox {
    Q_OBJECT

public:
    // A replayed trace: the only kind not in TPreferenciaCinta, never remembered.
    static constexpr int kTraco = 100;

    explicit TEscolhaCinta(QWidget *parent = nullptr);
    ~TEscolhaCinta() override;

    // The simulated strap (with a simulated board) and a recorded trace, by its name; the
    // trace is then chosen, else the simulated strap when nothing else was remembered.
    void OferecerDemonstracao(bool simulada, const std::optional<TTracoCardiaco> &traco = {},
                              const QString &nomeTraco = {});
    // Lists and chooses the remembered strap (without emitting Mudou).
    void Mostrar(const TPreferenciaCinta &preferencia);
    TPreferenciaCinta Escolha() const;
    bool TracoEscolhido() const;
    // The source chosen, on the given clock (nullptr: none). A strap's own failures are shown
    // under the list.
    std::unique_ptr<TFonteCardiaca> CriarFonte(std::shared_ptr<TRelogio> relogio);
    // A line under the list: the source's news, a failure.
    void MostrarSituacao(const QString &texto);

public slots:
    void Procurar();

signals:
    void Mudou();

private:
    int Adicionar(const QString &texto, int tipo, const QString &endereco = {},
                  const QString &nome = {});
    int Indice(int tipo, const QString &endereco = {}) const;
    void Encontrada(const TCintaEncontrada &cinta);

    QComboBox *FLista = nullptr;
    QPushButton *FProcurar = nullptr;
    QLabel *FSituacao = nullptr;
    TProcuraCintas *FProcura = nullptr;
    std::optional<TTracoCardiaco> FTraco;
    QString FNomeTraco;
};
