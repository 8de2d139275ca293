#include "app/MorlanzApplication.h"

int main(int argc, char** argv) {
    MorlanzApplication app(argc, argv);
    return app.exec();
}
