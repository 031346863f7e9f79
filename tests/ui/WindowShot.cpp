// Saves a picture of the window's client area as the operator sees it after start-up and one Start:
// zor_windowshot <file.png>. Runs on the offscreen platform, with a fixed clock and an empty settings store,
// so that the picture never changes.
#include "support/TestWindow.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    TestWindow test;
    SchedulerWindow& window = test.window();
    window.Form_Load();
    window.cmdStart_Click();
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
