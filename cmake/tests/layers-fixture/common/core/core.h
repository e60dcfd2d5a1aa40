#pragma once
#include "ui/window.h"
