#include "raster/Canvas.h"
