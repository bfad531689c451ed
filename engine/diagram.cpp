#include "diagram.h"
