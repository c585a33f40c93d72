#include "app/vozy_main.h"

int main(int argc, char *argv[])
{
    return vozyMain(argc, argv);
}
