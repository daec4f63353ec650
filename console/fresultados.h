#pragma once

#include "kestrova_console_export.h"

#include <QDialog>

#include "session/relatoriosessao.h"

class QTreeWidget;

// The results of a test on screen, as its report prints them (TRelatorioClinico): one line each,
// a flagged one in red, then the warnings the test gave. Not modal.
class KESTROVA_CONSOLE_EXPORT TfrmResultados : public QDialog {
    Q_OBJECT
public:
    explicit TfrmResultados(QWidget *parent = nullptr);
    void Mostrar(const TRelatorioSessao::TDados &dados);
    QTreeWidget *Lista() const { return FLista; }

private:
    QTreeWidget *FLista = nullptr;
};
