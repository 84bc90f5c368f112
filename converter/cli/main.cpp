// pwt --src=<pdf> --dest=<doc>: the converter the window runs once per file.
#include "Conversion.h"

int main(int argc, char** argv)
{
    return pwt::cli::runPwt(std::vector<std::string>(argv + 1, argv + argc));
}
