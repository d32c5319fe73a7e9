#include "CSonavistApp.h"

int main(int argc, char** argv) {
    CSonavistApp app(argc, argv);
    app.InitInstance();
    return 0;
}
