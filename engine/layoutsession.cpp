#include "layoutsession.h"
