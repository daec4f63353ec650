#pragma once

#include "kestrova_somatochart_export.h"
#include "platform/event.h"
#include "somatochart/ponto.h"

#include <QObject>
#include <memory>
#include <vector>

// The points of a somatochart. Items are held by pointer so that references stay valid while other
// items are added or removed. Add/Clear serve streaming and notify nobody; AcrescentarPonto,
// EditarPonto and ExcluirPonto fire the matching slot with the collection as sender.
class KESTROVA_SOMATOCHART_EXPORT TColecaoDePontos : public QObject {
    Q_OBJECT
public:
    static constexpr TColor kCorInalterada = 2147483647;

    explicit TColecaoDePontos(QObject *parent = nullptr);
    ~TColecaoDePontos() override;

    int Count() const;
    TPonto &Items(int index);
    const TPonto &Items(int index) const;
    TPonto &Add();
    void Clear();

    void AcrescentarPonto(double X, double Y, TColor Cor, int Forma, int Tamanho,
                          const QString &Descricao);
    void EditarPonto(int index, double X, double Y, TColor Cor = kCorInalterada, int Forma = -1,
                     int Tamanho = -1, const QString &Descricao = QStringLiteral("0"));
    void ExcluirPonto(int index);

    TNotifyEvent OnPontoAcrescentado;
    TNotifyEvent OnPontoEditado;
    TNotifyEvent OnPontoExcluido;

private:
    bool ValidIndex(int index) const;
    void Fire(const TNotifyEvent &event);

    std::vector<std::unique_ptr<TPonto>> FItems;
};
