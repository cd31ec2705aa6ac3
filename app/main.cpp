#include "app/main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::TForm1 form;
    form.show();
    return application.exec();
}
