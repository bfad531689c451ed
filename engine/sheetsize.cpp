#include "sheetsize.h"
