#include "tools/sim.h"
#include "ui/window.h"
int main(void) { return 0; }
