// Prints the caption of a TCustomVersao built in a program that carries no version note.
#include <QApplication>
#include <cstdio>

#include "components/customversao.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TCustomVersao label;
    std::fputs(label.text().toUtf8().constData(), stdout);
    return 0;
}
