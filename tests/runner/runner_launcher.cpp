// For tests of a converter that outlives whoever started it: starts
// <program> <arguments...> through the real process layer, writes the new
// process id into <id-file> and ends at once without waiting.
//   runner_launcher <id-file> <program> [arguments...]
#include "platform/qt/PosixProcesses.h"

#include <QFile>
#include <QStringList>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    QStringList arguments;
    for (int i = 3; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));

    platform::qt::PosixProcesses processes;
    const auto launch = processes.startHidden(QFile::decodeName(argv[2]), arguments);
    if (!launch.ok())
        return 1;
    QFile idFile(QFile::decodeName(argv[1]));
    if (!idFile.open(QIODevice::WriteOnly))
        return 2;
    idFile.write(QByteArray::number(launch.pid));
    return 0;
}
