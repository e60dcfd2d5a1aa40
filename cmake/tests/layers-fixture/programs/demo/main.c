#include "ui/window.h"
int main(void) { return 0; }
