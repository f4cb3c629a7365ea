// Starts the Arvestra editor.
#include "ui/shell/ArvestraApp.h"

int main(int argc, char** argv) {
    arvestra::CArvestraApp app(argc, argv);
    if (!app.Startup()) {
        return 1;
    }
    return arvestra::CArvestraApp::exec();
}
