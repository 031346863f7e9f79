#include "ui/frmScheduler.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    frmScheduler window(Platform::running());
    window.Form_Load();
    window.show();
    return app.exec();
}
