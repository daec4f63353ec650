#pragma once

#include <QObject>
#include <functional>

#include "kestrova_console_export.h"

// Space and Escape press PARAR in every window of the program while a test runs: the main
// window, the sessions browser, a message or file box in front of them. Installed on the
// application, so no window's own handling of the keys (a dialog closing on Escape, a focused
// button pressed by Space) comes first. In a text field Space types a space; Escape still stops.
class KESTROVA_CONSOLE_EXPORT TTeclasParada : public QObject {
    Q_OBJECT
public:
    // emTeste: whether the keys stop now; parar: presses PARAR.
    TTeclasParada(std::function<bool()> emTeste, std::function<void()> parar,
                  QObject *parent = nullptr);
    ~TTeclasParada() override;

protected:
    bool eventFilter(QObject *alvo, QEvent *evento) override;

private:
    bool EDeParada(QObject *alvo, QEvent *evento) const;

    std::function<bool()> FEmTeste;
    std::function<void()> FParar;
};
