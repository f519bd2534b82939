#include "application_entry.h"

int main(int argc, char *argv[])
{
    return ApplicationEntry::run(argc, argv);
}
