#include "tools/boardsim/simulatedboards.h"

#include "platform/exception.h"
#include "tools/boardsim/boardsimulator.h"

TSimulatedBoards::TSimulatedBoards() = default;
TSimulatedBoards::~TSimulatedBoards() = default;

void TSimulatedBoards::PrepararPorta(int porta)
{
    auto &board = FBoards[porta];
    if (!board) {
        board = std::make_unique<TBoardSimulator>();
        QString erro;
        if (!board->Start(&erro)) {
            board.reset();
            throw Exception(QStringLiteral("Simulador da esteira: %1").arg(erro));
        }
    }
    qputenv(QStringLiteral("KESTROVA_COM%1").arg(porta).toLocal8Bit(),
            board->DevicePath().toLocal8Bit());
}
