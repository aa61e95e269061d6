#include "RunCli.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    return vidlatch::cli::RunCli(argc, argv, STDIN_FILENO, stdout, stderr);
}
