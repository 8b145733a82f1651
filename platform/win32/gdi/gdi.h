#pragma once
// Everything of our drawing layer in one include.

#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/gdi/gdi_classes.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/gdi/geometry.h"
