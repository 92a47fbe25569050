// The flags an encounter leaves for the overworld.
#include "areas/areas.h"

uint8_t temparea = 0;
uint8_t justleft = 0;
