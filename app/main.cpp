#include "GuardedApplication.h"
#include "RealPlatform.h"
#include "frmMain.h"

int main(int argc, char** argv)
{
    app::GuardedApplication application(argc, argv);
    app::RealPlatform real;
    application.setMessageBoxes(&real.messages);

    frmMain form(real.platform());
    real.setOwner(&form);
    if (!application.guard([&] { form.Form_Load(); }))
        return EXIT_FAILURE;
    form.show();
    return application.exec();
}
