#include "app/Application.h"

int main(int argc, char** argv)
{
    return RunKorvant(argc, argv);
}
