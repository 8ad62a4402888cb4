#include "shell/startup.h"

int main(int argc, char** argv) { StartUp(argc, argv); }
