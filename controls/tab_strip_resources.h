#pragma once
// The tab strip's three bitmaps, made from the pictures kept here.

#include "controls/tab_strip.h"

// A new bitmap of the id (the caller deletes it); nullptr for another id.
HBITMAP LoadStripBitmap(UINT id);
