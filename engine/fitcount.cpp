#include "fitcount.h"
