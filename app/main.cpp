#include "app/main_window.h"
#include "platform/linux_registry_view.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Port discovery reads this machine's devices from the first refresh of the port selector on.
    platform::InstallSystemRegistry(std::make_shared<platform::LinuxRegistryView>());
    app::MainWindow window;
    window.show();
    return application.exec();
}
