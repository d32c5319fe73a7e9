#include "Beeper.h"

#include <QApplication>

namespace {

int g_Beeps = 0;

}  // namespace

void Beeper::Beep() {
    ++g_Beeps;
    QApplication::beep();
}

int Beeper::Count() {
    return g_Beeps;
}
