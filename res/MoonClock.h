// Resource ids of the moon clock's pictures (res/MoonClock.rc).
#pragma once

#define IDB_MOON_CLOCK_FACE         239
#define IDB_MOON_CLOCK_LARGE_DIGITS 149
#define IDB_MOON_CLOCK_SMALL_DIGITS 168
