#include "numberformat.h"
