#include "heartrate/fontebluetooth.h"

#include <QBluetoothAddress>
#include <QBluetoothDeviceInfo>
#include <QBluetoothUuid>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <algorithm>
#include <utility>

#include "heartrate/situacaocardiaca.h"
#include "platform/trace.h"

namespace {

constexpr int kBuscaMs = 5000;   // an awake strap advertises several times a second
constexpr int kPrazoMs = 20000;  // to connect, find the service and enable the notifications

const QBluetoothUuid kServicoFc(QBluetoothUuid::ServiceClassUuid::HeartRate);
const QBluetoothUuid kMedicao(QBluetoothUuid::CharacteristicType::HeartRateMeasurement);
const QBluetoothUuid kServicoBateria(QBluetoothUuid::ServiceClassUuid::BatteryService);
const QBluetoothUuid kNivelBateria(QBluetoothUuid::CharacteristicType::BatteryLevel);
const QBluetoothUuid kConfiguracao(
    QBluetoothUuid::DescriptorType::ClientCharacteristicConfiguration);
// Client Characteristic Configuration: notifications on (0x0001, little-endian).
const QByteArray kNotificacoesLigadas = QByteArray::fromHex("0100");

// A failure of the adapter, or nothing for a failure of this connection (tried again).
std::optional<TFalhaBluetooth> FalhaDoAdaptador(QLowEnergyController::Error erro)
{
    switch (erro) {
        case QLowEnergyController::InvalidBluetoothAdapterError:
            return TFalhaBluetooth::SemAdaptador;
        case QLowEnergyController::MissingPermissionsError: return TFalhaBluetooth::SemPermissao;
        default: return std::nullopt;
    }
}

}  // namespace

TFonteBluetooth::TFonteBluetooth(const QString &endereco, const QString &nome,
                                 std::shared_ptr<TRelogio> relogio, QObject *parent)
    : TFonteCardiaca(std::move(relogio), parent),
      FEndereco(endereco.trimmed().toUpper()),
      FNome(nome)
{
    FEspera.setSingleShot(true);
    FPrazo.setSingleShot(true);
    connect(&FEspera, &QTimer::timeout, this, &TFonteBluetooth::Tentar);
    connect(&FPrazo, &QTimer::timeout, this, [this] {
        Trace(QStringLiteral("Bluetooth: %1 não completou a conexão em %2 s")
                  .arg(FEndereco)
                  .arg(kPrazoMs / 1000));
        Caiu();
    });
    connect(&FProcura, &TProcuraCintas::Encontrada, this, [this](const TCintaEncontrada &cinta) {
        if (!FBuscando || cinta.endereco.compare(FEndereco, Qt::CaseInsensitive) != 0)
            return;
        FBuscando = false;
        FProcura.Parar();  // BlueZ connects sooner without a search going on
        Conectar();
    });
    connect(&FProcura, &TProcuraCintas::Falhou, this, [this](TFalhaBluetooth falha) {
        FBuscando = false;
        Caiu(falha);
    });
    connect(&FProcura, &TProcuraCintas::Concluida, this, [this] {
        if (!std::exchange(FBuscando, false))
            return;
        Trace(QStringLiteral("Bluetooth: %1 não encontrada em %2 s")
                  .arg(FEndereco)
                  .arg(kBuscaMs / 1000));
        Caiu();
    });
}

TFonteBluetooth::~TFonteBluetooth()
{
    Parar();
}

bool TFonteBluetooth::EnderecoValido(const QString &texto)
{
    return !QBluetoothAddress(texto.trimmed()).isNull();
}

QString TFonteBluetooth::Nome() const
{
    return FNome.isEmpty() ? FEndereco : FNome;
}

void TFonteBluetooth::Iniciar()
{
    Parar();
    FAtiva = true;
    FReconexao.Iniciar();
    Tentar();
}

void TFonteBluetooth::Parar()
{
    FAtiva = false;
    FBuscando = false;
    FReconexao.Parar();
    FEspera.stop();
    FProcura.Parar();
    Desconectar();
}

// An attempt: BlueZ connects only to a device it has heard, so each one searches first.
void TFonteBluetooth::Tentar()
{
    if (!FAtiva)
        return;
    FBuscando = true;
    FProcura.Iniciar(kBuscaMs);
}

void TFonteBluetooth::Conectar()
{
    QBluetoothDeviceInfo info(QBluetoothAddress(FEndereco), FNome, 0);
    info.setCoreConfigurations(QBluetoothDeviceInfo::LowEnergyCoreConfiguration);
    FControlador = QLowEnergyController::createCentral(info, this);
    connect(FControlador, &QLowEnergyController::connected, this,
            [this] { FControlador->discoverServices(); });
    connect(FControlador, &QLowEnergyController::discoveryFinished, this,
            &TFonteBluetooth::ServicosDescobertos);
    connect(
        FControlador, &QLowEnergyController::errorOccurred, this,
        [this](QLowEnergyController::Error erro) {
            Trace(QStringLiteral("Bluetooth: %1: %2").arg(FEndereco, FControlador->errorString()));
            Caiu(FalhaDoAdaptador(erro));
        });
    connect(FControlador, &QLowEnergyController::disconnected, this, [this] {
        Trace(QStringLiteral("Bluetooth: %1 desconectada").arg(FEndereco));
        Caiu();
    });
    FPrazo.start(kPrazoMs);
    FControlador->connectToDevice();
}

void TFonteBluetooth::ServicosDescobertos()
{
    if (!FControlador->services().contains(kServicoFc)) {
        Trace(QStringLiteral("Bluetooth: %1 não oferece o serviço de frequência cardíaca")
                  .arg(FEndereco));
        Caiu();
        return;
    }
    FMedicao = FControlador->createServiceObject(kServicoFc, FControlador);
    if (!FMedicao) {
        Caiu();
        return;
    }
    connect(FMedicao, &QLowEnergyService::stateChanged, this,
            [this](QLowEnergyService::ServiceState estado) {
                if (estado == QLowEnergyService::RemoteServiceDiscovered)
                    Assinar();
            });
    connect(FMedicao, &QLowEnergyService::characteristicChanged, this,
            [this](const QLowEnergyCharacteristic &caracteristica, const QByteArray &valor) {
                if (caracteristica.uuid() == kMedicao)
                    Recebida(valor);
            });
    connect(FMedicao, &QLowEnergyService::descriptorWritten, this,
            [this](const QLowEnergyDescriptor &descritor, const QByteArray &) {
                if (descritor.uuid() != kConfiguracao || FConectada)
                    return;
                FPrazo.stop();
                FConectada = true;
                Dizer(FReconexao.Conectou());
                if (FAtiva)
                    LerBateria();
            });
    connect(FMedicao, &QLowEnergyService::errorOccurred, this,
            [this](QLowEnergyService::ServiceError erro) {
                Trace(QStringLiteral("Bluetooth: %1: erro %2 no serviço de frequência cardíaca")
                          .arg(FEndereco)
                          .arg(int(erro)));
                Caiu();
            });
    // Only the attributes: the measurement is read from its notifications, never polled.
    FMedicao->discoverDetails(QLowEnergyService::SkipValueDiscovery);
}

void TFonteBluetooth::Assinar()
{
    const QLowEnergyCharacteristic medicao = FMedicao->characteristic(kMedicao);
    const QLowEnergyDescriptor configuracao = medicao.clientCharacteristicConfiguration();
    if (!medicao.isValid() || !configuracao.isValid()) {
        Trace(QStringLiteral("Bluetooth: %1 sem notificações da medição (0x2A37)").arg(FEndereco));
        Caiu();
        return;
    }
    FMedicao->writeDescriptor(configuracao, kNotificacoesLigadas);
}

// Read once per connection, when the strap offers the Battery Service; a failure here does not
// drop the strap.
void TFonteBluetooth::LerBateria()
{
    if (!FControlador->services().contains(kServicoBateria))
        return;
    FServicoBateria = FControlador->createServiceObject(kServicoBateria, FControlador);
    if (!FServicoBateria)
        return;
    connect(FServicoBateria, &QLowEnergyService::stateChanged, this,
            [this](QLowEnergyService::ServiceState estado) {
                const QLowEnergyCharacteristic nivel =
                    FServicoBateria->characteristic(kNivelBateria);
                if (estado == QLowEnergyService::RemoteServiceDiscovered && nivel.isValid())
                    FServicoBateria->readCharacteristic(nivel);
            });
    connect(FServicoBateria, &QLowEnergyService::characteristicRead, this,
            [this](const QLowEnergyCharacteristic &caracteristica, const QByteArray &valor) {
                if (caracteristica.uuid() != kNivelBateria || valor.isEmpty())
                    return;
                const int pct = std::min(int(quint8(valor[0])), 100);
                FBateriaPct = pct;
                emit Bateria(pct);
                Dizer(QString::fromUtf8(SituacaoCardiaca::kBateria).arg(pct));
            });
    connect(FServicoBateria, &QLowEnergyService::errorOccurred, this,
            [this](QLowEnergyService::ServiceError erro) {
                Trace(QStringLiteral("Bluetooth: %1: erro %2 ao ler a bateria")
                          .arg(FEndereco)
                          .arg(int(erro)));
            });
    FServicoBateria->discoverDetails(QLowEnergyService::SkipValueDiscovery);
}

void TFonteBluetooth::Recebida(const QByteArray &bytes)
{
    emit Notificacao(bytes);
    if (!FAtiva)
        return;
    // A refused notification is counted and traced by the decoder, never a rate.
    std::optional<TLeituraCardiaca> leitura = FDecodificador.Decodificar(bytes);
    if (!leitura)
        return;
    leitura->tempoMs = RelogioSessao().AgoraMs();
    leitura->fonte = Nome();
    emit Leitura(*leitura);
}

void TFonteBluetooth::Caiu(std::optional<TFalhaBluetooth> falha)
{
    if (!FAtiva)
        return;
    Desconectar();
    if (falha) {
        emit Falhou(*falha);
        if (!FAtiva)
            return;  // stopped from a handler
        Dizer(FReconexao.FalhaDoAdaptador(*falha));
    } else {
        Dizer(FReconexao.Perdeu());
    }
    if (FAtiva && FReconexao.Tentando())
        FEspera.start(TReconexaoCinta::kIntervaloMs);
}

void TFonteBluetooth::Desconectar()
{
    FPrazo.stop();
    FConectada = false;
    if (!FControlador)
        return;
    // Nothing of the old connection reaches this source again; its services go with it.
    for (QObject *objeto : {static_cast<QObject *>(FControlador), static_cast<QObject *>(FMedicao),
                            static_cast<QObject *>(FServicoBateria)})
        if (objeto)
            objeto->disconnect(this);
    if (FControlador->state() != QLowEnergyController::UnconnectedState)
        FControlador->disconnectFromDevice();
    FControlador->deleteLater();
    FControlador = nullptr;
    FMedicao = FServicoBateria = nullptr;
}

void TFonteBluetooth::Dizer(const QString &texto)
{
    if (!texto.isEmpty())
        emit Situacao(texto);
}
