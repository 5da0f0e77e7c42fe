// The program's entry point, for programs made of an application object
// and the framework alone.
#include "framework/winmain.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
