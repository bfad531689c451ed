#include "val.h"
