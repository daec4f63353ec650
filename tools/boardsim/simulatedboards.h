#pragma once

#include <map>
#include <memory>

#include "kestrova_boardsim_export.h"

class TBoardSimulator;

// The programs' --simulate: one simulated board per port number, started on a pseudo-terminal the
// first time the port is used, with KESTROVA_COM<n> pointed at it so the port number opens it.
class KESTROVA_BOARDSIM_EXPORT TSimulatedBoards {
public:
    TSimulatedBoards();
    ~TSimulatedBoards();
    TSimulatedBoards(const TSimulatedBoards &) = delete;
    TSimulatedBoards &operator=(const TSimulatedBoards &) = delete;

    // Raises Exception("Simulador da esteira: ...") when the board cannot start.
    void PrepararPorta(int porta);

private:
    std::map<int, std::unique_ptr<TBoardSimulator>> FBoards;
};
