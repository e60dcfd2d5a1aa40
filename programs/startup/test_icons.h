// Resource numbers of the double-click test picture's two icons (resource 1 is the program icon).
#pragma once

#define KORAL_TEST_OFF_ICON 2
#define KORAL_TEST_ON_ICON 3
