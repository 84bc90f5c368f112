// The program's top level: an exception that escapes an event handler, or a
// start-up step, is shown in a message box and ends the program with a
// failure code. One case per run: "startup" or "handler".
#include "app/GuardedApplication.h"
#include "platform/doubles/Doubles.h"

#include <QTimer>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    std::fprintf(stderr, "%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok)
        ++failures;
}

void checkBox(const platform::doubles::ScriptedMessageBoxes& boxes, const QString& error)
{
    check(boxes.shown.size() == 1, "exactly one box");
    const auto box = boxes.shown.value(0);
    check(box.text == QStringLiteral("程序发生意外错误，即将退出：\n") + error, "the box names the error");
    check(box.title == QStringLiteral("VelkaroPDF转换成Word转换器"), "the box carries the program's title");
    check(box.icon == platform::MessageIcon::Critical && box.buttons == platform::MessageButtons::Ok,
          "a critical box with OK");
}

} // namespace

int main(int argc, char** argv)
{
    const bool startup = argc > 1 && std::strcmp(argv[1], "startup") == 0;
    app::GuardedApplication application(argc, argv);
    platform::doubles::ScriptedMessageBoxes boxes;
    application.setMessageBoxes(&boxes);

    if (startup) {
        bool after = false;
        const bool ok = application.guard([&] {
            throw std::runtime_error("skin library missing");
            after = true;
        });
        check(!ok, "the failed step is reported to main, which ends");
        check(!after, "the step stops where it failed");
        checkBox(boxes, "skin library missing");
    } else {
        bool ranAfter = false;
        QTimer::singleShot(0, &application, [] { throw std::logic_error("handler broke"); });
        QTimer::singleShot(3000, &application, [&] {
            ranAfter = true;
            QCoreApplication::exit(0);
        });
        const int code = application.exec();
        check(code == EXIT_FAILURE, "the program ends with a failure code");
        check(!ranAfter, "the program ends at once");
        checkBox(boxes, "handler broke");
    }
    return failures == 0 ? 0 : 1;
}
