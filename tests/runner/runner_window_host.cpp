// For the test of closing the window mid-batch: the real window starts a
// batch of one file, and as soon as its converter runs, writes the
// converter's id and closes the window, which ends this program.
//   runner_window_host <id-file> <program-folder> <source-pdf> <output-folder>
#include "WindowHarness.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 5)
        return 64;
    runner::testing::WindowHarness harness(QFile::decodeName(argv[2]));
    harness.form.show();
    harness.form.AddPDF(QFile::decodeName(argv[3]));
    harness.form.txtSave->setText(QFile::decodeName(argv[4]));
    harness.form.cmdStart->click();

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (harness.form.runner().lngPID <= 0)
            return;
        poll.stop();
        QFile idFile(QFile::decodeName(argv[1]));
        if (idFile.open(QIODevice::WriteOnly))
            idFile.write(QByteArray::number(harness.form.runner().lngPID));
        idFile.close();
        harness.form.close();
    });
    poll.start(10);
    return application.exec();
}
